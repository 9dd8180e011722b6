// A set of names told apart by the address of their text. The texts of a
// tree's nodes are kept once per arena (see MvASTArena), so while the arena
// lives one address stands for one name, and a name is found without
// reading or hashing its characters.
#ifndef MORVANE_ENGINE_MVNAMEADDRESSSET_H
#define MORVANE_ENGINE_MVNAMEADDRESSSET_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class MvNameAddressSet {
public:
    bool contains(const std::string* name) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = slotOf(name, mask); slots_[i]; i = (i + 1) & mask)
            if (slots_[i] == name)
                return true;
        return false;
    }

    void insert(const std::string* name) {
        if (contains(name))
            return;
        if (2 * (count_ + 1) > slots_.size())
            grow();
        place(name);
        ++count_;
    }

    void clear() {
        if (count_ == 0)
            return;
        std::fill(slots_.begin(), slots_.end(), nullptr);
        count_ = 0;
    }

private:
    // Open addressing with linear probing, at most half full.
    static std::size_t slotOf(const std::string* name, std::size_t mask) {
        const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(name));
        return static_cast<std::size_t>((address * 0x9E3779B97F4A7C15ull) >> 40) & mask;
    }

    void place(const std::string* name) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = slotOf(name, mask);
        while (slots_[i])
            i = (i + 1) & mask;
        slots_[i] = name;
    }

    void grow() {
        std::vector<const std::string*> old(2 * slots_.size(), nullptr);
        old.swap(slots_);
        for (const std::string* name : old)
            if (name)
                place(name);
    }

    std::vector<const std::string*> slots_ = std::vector<const std::string*>(64, nullptr);
    std::size_t count_ = 0;
};

#endif
