// Counts the COM objects of chosen classes that outlive their users: while
// a census lives, every object of those classes that the process creates on
// its own (not aggregated) is made through it and one reference is kept, so
// that once the engine has let go, releasing the kept references shows
// whether anyone else still holds one.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <vector>

namespace korvel_test {

class InstanceCensus {
public:
    InstanceCensus(const CLSID* classes, size_t count);
    ~InstanceCensus();
    InstanceCensus(const InstanceCensus&) = delete;
    InstanceCensus& operator=(const InstanceCensus&) = delete;

    // S_OK when every class could be taken over.
    HRESULT Result() const { return result_; }
    int Created() const;
    // Releases the kept references; answers how many objects were still
    // referenced by someone else (Release did not reach 0).
    int ReleaseAndCountHeldElsewhere();

private:
    class Factory;
    void Keep(IUnknown* object);

    HRESULT result_ = S_OK;
    std::vector<std::unique_ptr<Factory>> factories_;
    mutable std::mutex lock_;  // creations may come from any thread of the process
    std::vector<IUnknown*> kept_;  // one owned reference each
    int created_ = 0;
};

}  // namespace korvel_test
