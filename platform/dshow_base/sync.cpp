#include "dshow_base/sync.h"

#include <process.h>

CAMThread::CAMThread() = default;

CAMThread::~CAMThread() { Close(); }

BOOL CAMThread::Create() {
    CAutoLock lock(&m_AccessLock);
    if (thread_) return FALSE;
    requestPending_.Reset();
    replied_.Reset();
    const uintptr_t h = _beginthreadex(nullptr, 0, &CAMThread::Start, this, 0, nullptr);
    if (!h) return FALSE;
    thread_ = reinterpret_cast<HANDLE>(h);
    return TRUE;
}

unsigned __stdcall CAMThread::Start(void* self) {
    // Workers call into COM (allocators, downstream pins) from the free-threaded apartment.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const DWORD rc = static_cast<CAMThread*>(self)->ThreadProc();
    if (SUCCEEDED(init)) CoUninitialize();
    return rc;
}

void CAMThread::Close() {
    HANDLE h = thread_;
    if (!h) return;
    WaitForSingleObject(h, INFINITE);
    CloseHandle(h);
    thread_ = nullptr;
}

DWORD CAMThread::CallWorker(DWORD request) {
    CAutoLock lock(&m_AccessLock);
    if (!thread_) return static_cast<DWORD>(E_FAIL);
    request_ = request;
    requestPending_.Set();
    // A worker that dies without answering must not hang the caller.
    const HANDLE waits[2] = {replied_, thread_};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        requestPending_.Reset();
        return static_cast<DWORD>(E_FAIL);
    }
    return result_;
}

DWORD CAMThread::GetRequest() {
    requestPending_.Wait();
    return request_;
}

BOOL CAMThread::CheckRequest(DWORD* request) {
    if (!requestPending_.Check()) return FALSE;
    if (request) *request = request_;
    return TRUE;
}

void CAMThread::Reply(DWORD result) {
    result_ = result;
    requestPending_.Reset();
    replied_.Set();
}
