#include "MvVariableTable.h"

#include <atomic>

namespace {

// Each table's epochs start at a multiple of 2^40 of their own: a table
// would need 2^40 removals to reach another table's range.
std::uint64_t firstEpochOfNewTable() {
    static std::atomic<std::uint64_t> tables{1};
    return tables.fetch_add(1, std::memory_order_relaxed) << 40;
}

} // namespace

MvVariableTable::MvVariableTable() : epoch_(firstEpochOfNewTable()) {}

MvVariableTable::~MvVariableTable() { clear(); }

// Buckets outside the table's range share the synthetic head.
int MvVariableTable::headIndex(int bucket) {
    return bucket >= 0 && bucket < kBucketHeads ? bucket : kBucketHeads - 1;
}

namespace {

// Names are short: comparing them in place beats a call to memcmp.
bool sameName(const std::string& a, const std::string& b) {
    const std::size_t n = a.size();
    if (n != b.size())
        return false;
    const char* p = a.data();
    const char* q = b.data();
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != q[i])
            return false;
    return true;
}

} // namespace

MvValueContainer* MvVariableTable::find(int bucket, const std::string& name) const {
    for (Entry* e = heads_[headIndex(bucket)]; e; e = e->next)
        if (e->bucket == bucket && sameName(e->name, name))
            return const_cast<MvValueContainer*>(&*e->container);
    return nullptr;
}

MvVariableTable::Entry* MvVariableTable::takeFreeEntry() {
    if (!freeList_) {
        blocks_.push_back(std::make_unique<Entry[]>(kBlockSize));
        Entry* block = blocks_.back().get();
        for (int i = kBlockSize - 1; i >= 0; --i) {
            block[i].next = freeList_;
            freeList_ = &block[i];
        }
    }
    Entry* entry = freeList_;
    freeList_ = entry->next;
    return entry;
}

void MvVariableTable::returnToFreeList(Entry* entry) {
    entry->next = freeList_;
    freeList_ = entry;
}

void MvVariableTable::link(Entry* entry, int bucket, const std::string& name) {
    entry->bucket = bucket;
    if (!sameName(entry->name, name))   // a recycled entry often had this very name
        entry->name = name;
    Entry*& head = heads_[headIndex(bucket)];
    entry->next = head;
    head = entry;
    ++size_;
}

// The container is destroyed after the entry is unlinked, so the table is
// consistent while its destructor invalidates references elsewhere; the
// entry joins the free list only once the container is gone.
void MvVariableTable::unlinkAndFree(Entry** link) {
    Entry* entry = *link;
    *link = entry->next;
    --size_;
    ++epoch_;
    entry->container.reset();
    returnToFreeList(entry);
}

void MvVariableTable::removeEntry(Entry* entry) {
    Entry** link = &heads_[headIndex(entry->bucket)];
    while (*link != entry)
        link = &(*link)->next;
    unlinkAndFree(link);
}

bool MvVariableTable::remove(int bucket, const std::string& name) {
    for (Entry** link = &heads_[headIndex(bucket)]; *link; link = &(*link)->next) {
        if ((*link)->bucket == bucket && sameName((*link)->name, name)) {
            unlinkAndFree(link);
            return true;
        }
    }
    return false;
}

// Visits the live entries through the storage blocks rather than all bucket
// heads: a scope holds few variables, and a function call empties its scope
// every time.
void MvVariableTable::clear() {
    removeIf([](MvValueContainer*) { return true; });
}
