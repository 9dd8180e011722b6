// A boolean: true or false, stored as one byte.
#ifndef MORVANE_ENGINE_MVBOOLEANVALUE_H
#define MORVANE_ENGINE_MVBOOLEANVALUE_H

#include "MvSmallObjectCache.h"
#include "morvane/MvValue.h"

#include <iosfwd>

class MV_EXPORT MvBooleanValue : public MvValue {
    using Cache = MvSmallObjectCache<24>;

public:
    explicit MvBooleanValue(bool v = false) : value(v) {}
    // Reads the one-byte body of a value file (non-zero is true).
    explicit MvBooleanValue(std::istream& in);

    // Scripts make and drop these at every step: freed blocks are reused.
    static void* operator new(std::size_t size) { return Cache::allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept {
        Cache::release(block, size);
    }

    MvValue* Clone() override;
    MvTypeEnum GetType() override;
    void Write(std::ostream& out) override;
    bool IsEqual(MvValue* other) override;
    bool And(MvValue* other) override;
    bool Or(MvValue* other) override;
    bool Not() override;
    std::string GetText() override;
    bool GetBoolean() override;

    // One process-wide true and one false, for results that are only read
    // (comparisons): nothing changes a boolean in place, and a variable
    // given one takes a copy of its own.
    static MvValue* shared(bool value);

    bool value;
};

// The block cache above is sized for this layout.
static_assert(sizeof(MvBooleanValue) == 24, "update the cache size");

#endif
