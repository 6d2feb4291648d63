#include "foundation/sync/windows/CGlobalMutexImpl.h"

#include "foundation/CException.h"
#include "foundation/windows/toWide.h"

namespace lumo::win32 {

std::wstring CGlobalMutexImpl::getKernelName(const String& name)
{
    std::wstring kernelName = L"Global\\lumo.globalmutex.";
    for (wchar_t unit : toWide(name)) {
        if (unit == L'\\')
            kernelName += L"%5C";
        else if (unit == L'%')
            kernelName += L"%25";
        else
            kernelName += unit;
    }
    return kernelName;
}

CGlobalMutexImpl::CGlobalMutexImpl(const String& name) : m_name(name), m_mutex(nullptr)
{
    const std::wstring kernelName = getKernelName(name);
    if (kernelName.size() < MAX_PATH)
        m_mutex = CreateMutexW(nullptr, FALSE, kernelName.c_str());
    if (!m_mutex)
        throw CException("Error createing global mutex " + name, String());
}

CGlobalMutexImpl::~CGlobalMutexImpl()
{
    // A release fails when another thread holds the lock through this
    // object; closing the handle then leaves it to that thread.
    for (int depth = m_depth.load(); depth > 0 && ReleaseMutex(m_mutex); --depth) {
    }
    CloseHandle(m_mutex);
}

void CGlobalMutexImpl::lock() { wait(INFINITE); }

bool CGlobalMutexImpl::tryLock(uint32_t timeoutMs)
{
    // IMutex::noTimeout is INFINITE.
    return wait(timeoutMs);
}

void CGlobalMutexImpl::unlock()
{
    if (ReleaseMutex(m_mutex))
        --m_depth;
}

bool CGlobalMutexImpl::wait(DWORD timeoutMs)
{
    switch (WaitForSingleObject(m_mutex, timeoutMs)) {
    case WAIT_OBJECT_0:
    // The owner died holding the lock; what it guarded is ours to repair,
    // and the lock is ours now.
    case WAIT_ABANDONED:
        ++m_depth;
        return true;
    case WAIT_TIMEOUT:
        return false;
    default:
        throw CException("Error locking global mutex " + m_name, String());
    }
}

} // namespace lumo::win32
