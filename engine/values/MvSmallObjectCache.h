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
            if (cache.count < kCapacity && cache.state != Ending) {
                if (cache.state == Unarmed)
                    armCleanup(cache);
                cache.blocks[cache.count++] = block;
                return;
            }
        }
        ::operator delete(block);
    }

private:
    static constexpr int kCapacity = 64;

    // Plain data, so that reaching a thread's cache needs no initialisation
    // guard (and no call into the dynamic linker).
    enum State { Unarmed = 0, Armed, Ending };
    struct Cache {
        void* blocks[kCapacity];
        int count;
        State state;
    };

    // Frees the cached blocks when the thread ends; made once per thread,
    // when its cache first keeps a block.
    struct Cleanup {
        ~Cleanup() {
            Cache& cache = local();
            while (cache.count > 0)
                ::operator delete(cache.blocks[--cache.count]);
            cache.state = Ending;   // blocks freed later go straight back to the heap
        }
    };

    static void armCleanup(Cache& cache) {
        static thread_local Cleanup cleanup;
        (void)cleanup;
        cache.state = Armed;
    }

    // The default model of thread storage for a shared library, which works
    // when a host loads the library with dlopen.
    // The compiler would otherwise work the address out again (a call into
    // the dynamic linker) at every use; hiding it behind an empty asm makes
    // one lookup serve the whole allocation or release.
    static Cache& local() {
        static thread_local Cache cache;
        Cache* found = &cache;
#if defined(__GNUC__)
        asm("" : "+r"(found));
#endif
        return *found;
    }
};

#endif
