#include "MvVariableTable.h"

MvVariableTable::MvVariableTable() = default;

MvVariableTable::~MvVariableTable() { clear(); }

// Buckets outside the table's range share the synthetic head.
int MvVariableTable::headIndex(int bucket) {
    return bucket >= 0 && bucket < kBucketHeads ? bucket : kBucketHeads - 1;
}

MvValueContainer* MvVariableTable::find(int bucket, const std::string& name) const {
    for (Entry* e = heads_[headIndex(bucket)]; e; e = e->next)
        if (e->bucket == bucket && e->name == name)
            return e->container.get();
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

MvValueContainer* MvVariableTable::insert(int bucket, const std::string& name,
                                          std::unique_ptr<MvValueContainer> container) {
    Entry* entry = takeFreeEntry();
    entry->bucket = bucket;
    entry->name = name;
    entry->container = std::move(container);
    Entry*& head = heads_[headIndex(bucket)];
    entry->next = head;
    head = entry;
    ++size_;
    return entry->container.get();
}

// The container is destroyed after the entry is unlinked, so the table is
// consistent while its destructor invalidates references elsewhere.
void MvVariableTable::unlinkAndFree(Entry** link) {
    Entry* entry = *link;
    *link = entry->next;
    std::unique_ptr<MvValueContainer> doomed = std::move(entry->container);
    entry->name.clear();
    entry->next = freeList_;
    freeList_ = entry;
    --size_;
    doomed.reset();
}

bool MvVariableTable::remove(int bucket, const std::string& name) {
    for (Entry** link = &heads_[headIndex(bucket)]; *link; link = &(*link)->next) {
        if ((*link)->bucket == bucket && (*link)->name == name) {
            unlinkAndFree(link);
            return true;
        }
    }
    return false;
}

// Visits the live entries through the storage blocks rather than all bucket
// heads: a scope holds few variables, and a function call empties its scope
// and purges the global one every time.
void MvVariableTable::removeIf(const std::function<bool(MvValueContainer*)>& doomed) {
    if (size_ == 0)
        return;
    for (auto& block : blocks_) {
        for (int i = 0; i < kBlockSize && size_ != 0; ++i) {
            Entry* entry = &block[i];
            if (!entry->container || !doomed(entry->container.get()))
                continue;
            Entry** link = &heads_[headIndex(entry->bucket)];
            while (*link != entry)
                link = &(*link)->next;
            unlinkAndFree(link);
        }
    }
}

void MvVariableTable::forEach(
    const std::function<void(const std::string&, MvValueContainer*)>& visit) const {
    for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block)
        for (int i = 0; i < kBlockSize; ++i)
            if ((*block)[i].container)
                visit((*block)[i].name, (*block)[i].container.get());
}

void MvVariableTable::clear() {
    removeIf([](MvValueContainer*) { return true; });
}
