// The variables of one scope: a chained hash table keyed by identifier
// bucket and name. Entries come from blocks of 20 and are recycled through a
// free list, and each entry holds its variable's slot in place, so creating
// and deleting variables in a loop (the parameters of a function called
// again and again) allocates nothing.
#ifndef MORVANE_ENGINE_MVVARIABLETABLE_H
#define MORVANE_ENGINE_MVVARIABLETABLE_H

#include "MvValueContainer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
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

    // Makes the slot of a new variable from the container's constructor
    // arguments; the entry goes to the head of its chain. The slot stays
    // where it is until the variable is removed.
    template <class... Arguments>
    MvValueContainer* emplace(int bucket, const std::string& name, Arguments&&... arguments) {
        Entry* entry = takeFreeEntry();
        try {
            entry->container.emplace(std::forward<Arguments>(arguments)...);
        } catch (...) {
            returnToFreeList(entry);
            throw;
        }
        link(entry, bucket, name);
        return &*entry->container;
    }

    // Unlinks the entry and destroys its container; false when absent.
    bool remove(int bucket, const std::string& name);

    // Removes every entry whose container satisfies doomed.
    template <class Predicate>
    void removeIf(Predicate doomed) {
        for (std::size_t b = 0; b < blocks_.size() && size_ != 0; ++b) {
            Entry* block = blocks_[b].get();
            for (int i = 0; i < kBlockSize && size_ != 0; ++i)
                if (block[i].container && doomed(&*block[i].container))
                    removeEntry(&block[i]);
        }
    }

    // Visits live entries, newest block first.
    template <class Visitor>
    void forEach(Visitor visit) const {
        for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block)
            for (int i = 0; i < kBlockSize; ++i)
                if ((*block)[i].container)
                    visit((*block)[i].name, const_cast<MvValueContainer*>(&*(*block)[i].container));
    }

    void clear();

    std::size_t blockCount() const { return blocks_.size(); }
    std::size_t size() const { return size_; }
    // Names the table's current set of entries up to insertions: it changes
    // whenever an entry goes, and no two tables ever show the same one (nor
    // does one table twice). A container found while the epoch stays the
    // same is still the one find returns.
    std::uint64_t epoch() const { return epoch_; }
    // The epoch to remember with a container found here, to be compared with
    // epoch() later, possibly on another table: the epoch itself, or 0
    // (which no table has) when it is one of the table's own.
    std::uint64_t rememberedEpoch() const;

private:
    struct Entry {
        Entry* next = nullptr;
        std::int32_t bucket = 0;
        std::string name;                            // kept on the free list for reuse
        std::optional<MvValueContainer> container;   // empty while on the free list
    };

    static int headIndex(int bucket);
    Entry* takeFreeEntry();
    void returnToFreeList(Entry* entry);
    void link(Entry* entry, int bucket, const std::string& name);
    void removeEntry(Entry* entry);
    void unlinkAndFree(Entry** link);
    void advanceEpoch();

    std::uint64_t epoch_ = 0;
    Entry* heads_[kBucketHeads] = {};
    Entry* freeList_ = nullptr;
    std::vector<std::unique_ptr<Entry[]>> blocks_;
    std::size_t size_ = 0;
};

#endif
