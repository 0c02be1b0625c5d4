// Locks, events and the request/reply worker thread the filters are built on.
#pragma once

#include <windows.h>

class CCritSec {
public:
    CCritSec() { InitializeCriticalSection(&cs_); }
    ~CCritSec() { DeleteCriticalSection(&cs_); }
    CCritSec(const CCritSec&) = delete;
    CCritSec& operator=(const CCritSec&) = delete;

    void Lock() {
        EnterCriticalSection(&cs_);
        owner_ = GetCurrentThreadId();
        ++depth_;
    }
    // Takes the lock only when that needs no wait; true when taken.
    bool TryLock() {
        if (!TryEnterCriticalSection(&cs_)) return false;
        owner_ = GetCurrentThreadId();
        ++depth_;
        return true;
    }
    void Unlock() {
        if (--depth_ == 0) owner_ = 0;
        LeaveCriticalSection(&cs_);
    }
    // For assertions only: whether the calling thread holds the lock.
    bool OwnedByCurrentThread() const { return owner_ == GetCurrentThreadId(); }

private:
    CRITICAL_SECTION cs_;
    volatile DWORD owner_ = 0;
    int depth_ = 0;  // touched only by the owner
};

inline BOOL CritCheckIn(const CCritSec* cs) { return cs->OwnedByCurrentThread() ? TRUE : FALSE; }
inline BOOL CritCheckOut(const CCritSec* cs) { return cs->OwnedByCurrentThread() ? FALSE : TRUE; }

class CAutoLock {
public:
    explicit CAutoLock(CCritSec* lock) : lock_(lock) { lock_->Lock(); }
    ~CAutoLock() { lock_->Unlock(); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CCritSec* lock_;
};

class CAMEvent {
public:
    explicit CAMEvent(BOOL manualReset = FALSE) : h_(CreateEventW(nullptr, manualReset, FALSE, nullptr)) {}
    ~CAMEvent() { if (h_) CloseHandle(h_); }
    CAMEvent(const CAMEvent&) = delete;
    CAMEvent& operator=(const CAMEvent&) = delete;

    operator HANDLE() const { return h_; }
    void Set() { SetEvent(h_); }
    void Reset() { ResetEvent(h_); }
    BOOL Wait(DWORD timeoutMs = INFINITE) { return WaitForSingleObject(h_, timeoutMs) == WAIT_OBJECT_0; }
    // Polls; an auto-reset event is consumed by a successful check.
    BOOL Check() { return Wait(0); }

private:
    HANDLE h_;
};

// A worker thread driven by one request at a time: the caller posts a DWORD
// with CallWorker and blocks until the worker answers it with Reply.
class CAMThread {
public:
    CAMThread();
    virtual ~CAMThread();
    CAMThread(const CAMThread&) = delete;
    CAMThread& operator=(const CAMThread&) = delete;

    // Starts the thread; FALSE if one is running already or creation failed.
    BOOL Create();
    // Waits for the thread to end; it must have been told to exit.
    void Close();
    BOOL ThreadExists() const { return thread_ != nullptr; }

    // Caller side. E_FAIL when no thread runs.
    DWORD CallWorker(DWORD request);

    // Worker side. A request stays pending until Reply, so the worker can
    // peek with CheckRequest inside a loop and answer it later.
    DWORD GetRequest();
    BOOL CheckRequest(DWORD* request);
    void Reply(DWORD result);
    HANDLE GetRequestHandle() const { return requestPending_; }
    DWORD GetRequestParam() const { return request_; }

    virtual DWORD ThreadProc() = 0;

protected:
    CCritSec m_AccessLock;  // one caller at a time
    CCritSec m_WorkerLock;  // for derived classes that share state with the worker

private:
    static unsigned __stdcall Start(void* self);

    CAMEvent requestPending_{TRUE};
    CAMEvent replied_{FALSE};
    HANDLE thread_ = nullptr;
    volatile DWORD request_ = 0;
    volatile DWORD result_ = 0;
};
