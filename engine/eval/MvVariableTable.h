// The variables of one scope: a chained hash table keyed by identifier
// bucket and name. Entries come from blocks of 20 and are recycled through a
// free list, so creating and deleting variables in a loop allocates nothing.
#ifndef MORVANE_ENGINE_MVVARIABLETABLE_H
#define MORVANE_ENGINE_MVVARIABLETABLE_H

#include "MvValueContainer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class MvVariableTable {
public:
    static constexpr int kBucketHeads = 212;   // buckets 0..210, and 211 for synthetic names
    static constexpr int kBlockSize = 20;

    MvVariableTable();
    ~MvVariableTable();
    MvVariableTable(const MvVariableTable&) = delete;
    MvVariableTable& operator=(const MvVariableTable&) = delete;

    MvValueContainer* find(int bucket, const std::string& name) const;
    // Takes ownership; the entry goes to the head of its chain.
    MvValueContainer* insert(int bucket, const std::string& name,
                             std::unique_ptr<MvValueContainer> container);
    // Unlinks the entry and destroys its container; false when absent.
    bool remove(int bucket, const std::string& name);
    // Removes every entry whose container satisfies doomed.
    void removeIf(const std::function<bool(MvValueContainer*)>& doomed);
    // Visits live entries, newest block first.
    void forEach(const std::function<void(const std::string&, MvValueContainer*)>& visit) const;
    void clear();

    std::size_t blockCount() const { return blocks_.size(); }
    // Names the table's current set of entries up to insertions: it changes
    // whenever an entry goes, and no two tables ever share one. A container
    // found while the epoch stays the same is still the one find returns.
    std::uint64_t epoch() const { return epoch_; }
    std::size_t size() const { return size_; }

private:
    struct Entry {
        Entry* next = nullptr;
        std::int32_t bucket = 0;
        std::string name;
        std::unique_ptr<MvValueContainer> container;   // null while on the free list
    };

    static int headIndex(int bucket);
    Entry* takeFreeEntry();
    void unlinkAndFree(Entry** link);

    void entryRemoved() { ++epoch_; }

    std::uint64_t epoch_;
    Entry* heads_[kBucketHeads] = {};
    Entry* freeList_ = nullptr;
    std::vector<std::unique_ptr<Entry[]>> blocks_;
    std::size_t size_ = 0;
};

#endif
