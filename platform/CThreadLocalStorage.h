#pragma once

#include "foundation/CObject.h"
#include "platform/CThreadLocalStorageManager.h"
#include "platform/IThreadLocalStorage.h"

namespace lumo {

// One index of a thread-local storage table, taken at construction and
// given back (with every thread's value at it) at destruction.
class CThreadLocalStorage : public CObject, public virtual IThreadLocalStorage {
public:
    explicit CThreadLocalStorage(P<CThreadLocalStorageManager> manager = getThreadLocalStorageManager());
    ~CThreadLocalStorage() override;

    void setValue(void* value) override;
    void* getValue() const override;
    void setObject(IBase* object) override;
    P<IBase> getObject() const override;

private:
    P<CThreadLocalStorageManager> m_manager;
    int32_t m_index;
};

} // namespace lumo
