// A per-thread cache of freed blocks of one size, for the small values a
// script makes and drops at every step (numbers, booleans). Every block is
// an allocation of its own, so a block may be freed on any thread and a
// thread's cache is simply released when the thread ends.
#ifndef MORVANE_ENGINE_MVSMALLOBJECTCACHE_H
#define MORVANE_ENGINE_MVSMALLOBJECTCACHE_H

#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define MV_SMALL_OBJECT_CACHE 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MV_SMALL_OBJECT_CACHE 0
#endif
#endif
#ifndef MV_SMALL_OBJECT_CACHE
#define MV_SMALL_OBJECT_CACHE 1
#endif

template <std::size_t Size>
class MvSmallObjectCache {
public:
    static void* allocate(std::size_t size) {
        if (MV_SMALL_OBJECT_CACHE && size == Size) {
            Cache& cache = local();
            if (cache.count > 0)
                return cache.blocks[--cache.count];
        }
        return ::operator new(size);
    }

    static void release(void* block, std::size_t size) noexcept {
        if (!block)
            return;
        if (MV_SMALL_OBJECT_CACHE && size == Size) {
            Cache& cache = local();
            if (cache.count < kCapacity) {
                cache.blocks[cache.count++] = block;
                return;
            }
        }
        ::operator delete(block);
    }

private:
    static constexpr int kCapacity = 64;

    struct Cache {
        void* blocks[kCapacity];
        int count = 0;
        ~Cache() {
            while (count > 0)
                ::operator delete(blocks[--count]);
        }
    };

    static Cache& local() {
#if defined(__GNUC__)
        static thread_local Cache cache __attribute__((tls_model("initial-exec")));
#else
        static thread_local Cache cache;
#endif
        return cache;
    }
};

#endif
