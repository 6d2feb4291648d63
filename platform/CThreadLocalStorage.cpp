#include "platform/CThreadLocalStorage.h"

namespace lumo {

CThreadLocalStorage::CThreadLocalStorage(P<CThreadLocalStorageManager> manager)
    : m_manager(std::move(manager)), m_index(m_manager->allocateIndex())
{
}

CThreadLocalStorage::~CThreadLocalStorage() { m_manager->freeIndex(m_index); }

void CThreadLocalStorage::setValue(void* value) { m_manager->setValue(m_index, value); }

void* CThreadLocalStorage::getValue() const { return m_manager->getValue(m_index); }

void CThreadLocalStorage::setObject(IBase* object) { m_manager->setObject(m_index, object); }

P<IBase> CThreadLocalStorage::getObject() const { return m_manager->getObject(m_index); }

} // namespace lumo
