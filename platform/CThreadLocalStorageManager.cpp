#include "platform/CThreadLocalStorageManager.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/String.h"
#include "foundation/TSingleton.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "platform/ISimpleThreadLocalStorageFactory.h"
#include "platform/IThreadManager.h"

#include <memory>

namespace lumo {

CThreadLocalStorageManager::CThreadLocalStorageManager()
    : m_mutex(getMutexFactory()->createMutex()), m_slot(getSimpleThreadLocalStorageFactory()->createStorage()),
      m_threadManager(getThreadManager())
{
}

CThreadLocalStorageManager::~CThreadLocalStorageManager()
{
    while (SRecord* record = m_records) {
        Objects released;
        m_records = record->next;
        destroy(record, released);
    }
}

int32_t CThreadLocalStorageManager::allocateIndex()
{
    CScopedLock lock(m_mutex);
    for (int32_t index = 0; index < m_indexCount; ++index)
        if (isFree(index)) {
            m_freeMarks[index] = 0;
            return index;
        }
    return m_indexCount++;
}

void CThreadLocalStorageManager::freeIndex(int32_t index)
{
    Objects released;
    CScopedLock lock(m_mutex);
    if (index < 0 || index >= m_indexCount || isFree(index))
        throw CInvalidArgError("index " + String::fromInt(index) + " is not in use", "freeIndex", this);
    for (SRecord* record = m_records; record; record = record->next)
        if (static_cast<size_t>(index) < record->entries.size()) {
            SEntry& entry = record->entries[index];
            released.push_back(std::move(entry.object));
            entry.value = nullptr;
        }
    if (index == m_indexCount - 1) {
        // Indices below that were freed earlier go with it, so the count
        // never ends on a free index.
        --m_indexCount;
        while (m_indexCount > 0 && isFree(m_indexCount - 1))
            m_freeMarks[--m_indexCount] = 0;
    } else {
        if (m_freeMarks.size() < static_cast<size_t>(m_indexCount))
            m_freeMarks.resize(m_indexCount);
        m_freeMarks[index] = 1;
    }
}

int32_t CThreadLocalStorageManager::getIndexCount() const
{
    CScopedLock lock(m_mutex);
    return m_indexCount;
}

void CThreadLocalStorageManager::setValue(int32_t index, void* value) { getOwnEntry(index).value = value; }

void CThreadLocalStorageManager::setObject(int32_t index, IBase* object) { getOwnEntry(index).object = object; }

void* CThreadLocalStorageManager::getValue(int32_t index) const
{
    const SEntry* entry = findOwnEntry(index);
    return entry ? entry->value : nullptr;
}

P<IBase> CThreadLocalStorageManager::getObject(int32_t index) const
{
    const SEntry* entry = findOwnEntry(index);
    return entry ? entry->object : nullptr;
}

void CThreadLocalStorageManager::releaseThread()
{
    while (SRecord* record = findOwnRecord()) {
        Objects released;
        CScopedLock lock(m_mutex);
        unlink(record);
        m_slot->setValue(nullptr);
        destroy(record, released);
    }
}

CThreadLocalStorageManager::SRecord* CThreadLocalStorageManager::findOwnRecord() const
{
    return static_cast<SRecord*>(m_slot->getValue());
}

CThreadLocalStorageManager::SRecord& CThreadLocalStorageManager::getOwnRecord()
{
    if (SRecord* record = findOwnRecord())
        return *record;
    auto record = std::make_unique<SRecord>();
    record->threadID = m_threadManager->getCurrentThreadID();
    Objects released;
    CScopedLock lock(m_mutex);
    // A record with this identity belongs to an ended thread whose identity
    // the system has handed on; its values must not reach the new thread.
    for (SRecord* stale = m_records; stale;) {
        SRecord* next = stale->next;
        if (stale->threadID == record->threadID) {
            unlink(stale);
            destroy(stale, released);
        }
        stale = next;
    }
    record->next = m_records;
    m_records = record.get();
    m_slot->setValue(record.get());
    return *record.release();
}

CThreadLocalStorageManager::SEntry& CThreadLocalStorageManager::getOwnEntry(int32_t index)
{
    SRecord& record = getOwnRecord();
    if (index < 0 || static_cast<size_t>(index) >= record.entries.size()) {
        // Other threads walk this record when they free an index.
        CScopedLock lock(m_mutex);
        if (index < 0 || index >= m_indexCount)
            throw CInvalidArgError("index " + String::fromInt(index) + " was never handed out", "setValue", this);
        record.entries.resize(m_indexCount);
    }
    return record.entries[index];
}

const CThreadLocalStorageManager::SEntry* CThreadLocalStorageManager::findOwnEntry(int32_t index) const
{
    const SRecord* record = findOwnRecord();
    if (!record || index < 0 || static_cast<size_t>(index) >= record->entries.size())
        return nullptr;
    return &record->entries[index];
}

void CThreadLocalStorageManager::unlink(SRecord* record)
{
    for (SRecord** link = &m_records; *link; link = &(*link)->next)
        if (*link == record) {
            *link = record->next;
            return;
        }
}

void CThreadLocalStorageManager::destroy(SRecord* record, Objects& released)
{
    for (SEntry& entry : record->entries)
        if (entry.object)
            released.push_back(std::move(entry.object));
    delete record;
}

bool CThreadLocalStorageManager::isFree(int32_t index) const
{
    return static_cast<size_t>(index) < m_freeMarks.size() && m_freeMarks[index] != 0;
}

namespace {

P<CThreadLocalStorageManager> createThreadLocalStorageManager() { return make<CThreadLocalStorageManager>(); }

TSingleton<CThreadLocalStorageManager> managerHolder(&createThreadLocalStorageManager);

} // namespace

P<CThreadLocalStorageManager> getThreadLocalStorageManager() { return managerHolder.get(); }

} // namespace lumo
