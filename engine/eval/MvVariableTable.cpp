#include "MvVariableTable.h"

#include <atomic>
#include <cstdlib>

// Epochs come from one counter for the whole process: no two tables ever
// show the same epoch, and an epoch never comes back. A node that remembers
// a slot with its table's epoch can therefore meet that epoch again only in
// that table, and only while the slot is still there.
//
// The counter could come round only after 2^63 epochs. Should it ever get
// there (a test makes the period short with MORVANE_TEST_VARIABLE_EPOCHS),
// tables go on with epochs of their own, marked as such: they still change
// at every removal, but nobody remembers them, so lookups simply stop being
// skipped.
namespace {

constexpr std::uint64_t kOwnEpoch = std::uint64_t(1) << 63;

std::uint64_t sharedEpochPeriod() {
    static const std::uint64_t period = [] {
        const char* text = std::getenv("MORVANE_TEST_VARIABLE_EPOCHS");
        const unsigned long long shortened = text ? std::strtoull(text, nullptr, 10) : 0;
        return shortened > 0 && shortened < kOwnEpoch ? shortened : kOwnEpoch;
    }();
    return period;
}

std::atomic<std::uint64_t> nextSharedEpoch{1};

} // namespace

void MvVariableTable::advanceEpoch() {
    const std::uint64_t period = sharedEpochPeriod();
    if (nextSharedEpoch.load(std::memory_order_relaxed) < period) {
        const std::uint64_t shared = nextSharedEpoch.fetch_add(1, std::memory_order_relaxed);
        if (shared < period) {
            epoch_ = shared;
            return;
        }
    }
    epoch_ = kOwnEpoch | (epoch_ + 1);
}

std::uint64_t MvVariableTable::rememberedEpoch() const {
    return (epoch_ & kOwnEpoch) ? 0 : epoch_;
}

MvVariableTable::MvVariableTable() { advanceEpoch(); }

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
    advanceEpoch();
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
