#pragma once

#include "foundation/CObject.h"
#include "platform/ISimpleThreadLocalStorage.h"

#include <pthread.h>

namespace lumo::posix {

class CSimpleThreadLocalStorage : public CObject, public virtual ISimpleThreadLocalStorage {
public:
    // Throws CError when the system has no slot left.
    CSimpleThreadLocalStorage();
    ~CSimpleThreadLocalStorage() override;

    void setValue(void* value) override;
    void* getValue() override;

private:
    pthread_key_t m_key;
};

} // namespace lumo::posix
