#pragma once

#include "foundation/CObject.h"
#include "foundation/P.h"

#include <cstdint>
#include <vector>

namespace lumo {

class IMutex;
class ISimpleThreadLocalStorage;
class IThreadManager;

// The table behind IThreadLocalStorage: any number of indices, each holding
// per thread one raw value and one counted object. Each thread keeps a
// record of its values, found through one system slot, so reading and
// writing one's own values takes no lock; the lock guards the list of
// records, the handing out of indices and the growth of a record.
//
// Objects are always released outside the lock, so their destructors may
// use thread-local storage themselves.
class CThreadLocalStorageManager : public CObject {
public:
    CThreadLocalStorageManager();
    ~CThreadLocalStorageManager() override;

    // The lowest freed index, else a new one.
    int32_t allocateIndex();
    // Releases the index's objects in every thread and makes it available
    // again. A thread still using it is the caller's error.
    void freeIndex(int32_t index);
    // One more than the highest index in use.
    int32_t getIndexCount() const;

    // Storing at an index that was never handed out throws CInvalidArgError.
    void setValue(int32_t index, void* value);
    void setObject(int32_t index, IBase* object);
    // Reading never makes a record: unknown indices and threads give null.
    void* getValue(int32_t index) const;
    P<IBase> getObject(int32_t index) const;

    // Releases every value of the calling thread; a new value made by one
    // of the released objects' destructors is released too. The thread
    // manager calls this when one of its threads ends.
    void releaseThread();

private:
    struct SEntry {
        void* value = nullptr;
        P<IBase> object;
    };
    struct SRecord {
        uint64_t threadID = 0;
        std::vector<SEntry> entries;
        SRecord* next = nullptr;
    };
    using Objects = std::vector<P<IBase>>;

    SRecord* findOwnRecord() const;
    SRecord& getOwnRecord();
    SEntry& getOwnEntry(int32_t index);
    const SEntry* findOwnEntry(int32_t index) const;
    // Unlinks the record from the list; the caller holds the lock.
    void unlink(SRecord* record);
    // Hands the record's objects to `released` and frees it.
    static void destroy(SRecord* record, Objects& released);
    bool isFree(int32_t index) const;

    P<IMutex> m_mutex;
    P<ISimpleThreadLocalStorage> m_slot;
    P<IThreadManager> m_threadManager;
    SRecord* m_records = nullptr;
    int32_t m_indexCount = 0;
    std::vector<uint8_t> m_freeMarks;
};

// The process-wide table.
P<CThreadLocalStorageManager> getThreadLocalStorageManager();

} // namespace lumo
