// Reference counting shared by values, pictures and windows.
//
// An MvAutoObject starts with refCount 1 (the creator's reference) and no
// holders. The first mv_auto_value that adopts it takes that reference over;
// any later adoption of the same raw pointer, and every copy of a holder,
// adds one. Releasing the holder that sees refCount 1 deletes the object.
// Every change of the counts, and of the pointer inside a holder, happens
// under the process-wide lock returned by GetAutoObjectMutex.
#ifndef MORVANE_MVAUTOOBJECT_H
#define MORVANE_MVAUTOOBJECT_H

#include "MvExport.h"
#include "MvMutexLock.h"

#include <cstdint>
#include <utility>

class MV_EXPORT MvAutoObject {
public:
    MvAutoObject() = default;
    MvAutoObject(const MvAutoObject&) : refCount(1), holderCount(0) {}
    MvAutoObject& operator=(const MvAutoObject&) { return *this; }
    virtual ~MvAutoObject();

    std::uint32_t refCount = 1;
    std::uint32_t holderCount = 0;
};

namespace mv_detail {

// The reference count is changed only under the lock, but stored
// atomically (with release order), so that mv_auto_value::isSole may read it
// without the lock.
inline std::uint32_t loadCount(const std::uint32_t& count) {
#if defined(__GNUC__)
    return __atomic_load_n(&count, __ATOMIC_ACQUIRE);
#else
    return count;
#endif
}

inline void storeCount(std::uint32_t& count, std::uint32_t value) {
#if defined(__GNUC__)
    __atomic_store_n(&count, value, __ATOMIC_RELEASE);
#else
    count = value;
#endif
}

} // namespace mv_detail

template <class T>
class mv_auto_value {
public:
    mv_auto_value() = default;

    // Adopts a raw pointer (see the file comment).
    mv_auto_value(T* p) : ptr_(p) {
        if (p) {
            MvLockGuard guard(GetAutoObjectMutex());
            adoptLocked(p);
        }
    }

    mv_auto_value(const mv_auto_value& other) {
        MvLockGuard guard(GetAutoObjectMutex());
        copyLocked(other.ptr_);
    }

    template <class U>
    mv_auto_value(const mv_auto_value<U>& other) {
        MvLockGuard guard(GetAutoObjectMutex());
        copyLocked(other.get());
    }

    // Moving hands the reference over: the counts stay as they are, and the
    // new holder is not yet visible to any other thread, so no lock is needed.
    mv_auto_value(mv_auto_value&& other) noexcept : ptr_(other.ptr_) { other.ptr_ = nullptr; }

    ~mv_auto_value() {
        if (ptr_) {
            MvLockGuard guard(GetAutoObjectMutex());
            releaseLocked();
        }
    }

    mv_auto_value& operator=(T* p) {
        MvLockGuard guard(GetAutoObjectMutex());
        T* old = ptr_;
        if (p)
            adoptLocked(p);
        ptr_ = p;
        releaseLocked(old);
        return *this;
    }

    mv_auto_value& operator=(const mv_auto_value& other) {
        MvLockGuard guard(GetAutoObjectMutex());
        T* old = ptr_;
        copyLocked(other.ptr_);
        releaseLocked(old);
        return *this;
    }

    mv_auto_value& operator=(mv_auto_value&& other) noexcept {
        if (this != &other) {
            MvLockGuard guard(GetAutoObjectMutex());
            T* old = ptr_;
            ptr_ = other.ptr_;
            other.ptr_ = nullptr;
            releaseLocked(old);
        }
        return *this;
    }

    // Drops the held object (if any); the holder is empty afterwards.
    void release() {
        if (ptr_) {
            MvLockGuard guard(GetAutoObjectMutex());
            releaseLocked();
        }
    }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

    // True when nobody else holds a reference to the object.
    bool isUnique() const {
        MvLockGuard guard(GetAutoObjectMutex());
        return ptr_ && ptr_->refCount == 1;
    }

    // The same answer without the lock, for a holder the caller owns: while
    // the caller's holder is the only reference, nobody else can add one (only
    // a holder of the object could), and a count still falling from two
    // merely makes the caller copy when it need not. Seeing one orders the
    // caller after the last other holder's release.
    bool isSole() const { return ptr_ && mv_detail::loadCount(ptr_->refCount) == 1; }

    void swap(mv_auto_value& other) noexcept {
        MvLockGuard guard(GetAutoObjectMutex());
        std::swap(ptr_, other.ptr_);
    }

private:
    void adoptLocked(T* p) {
        if (p->holderCount != 0)
            mv_detail::storeCount(p->refCount, p->refCount + 1);
        ++p->holderCount;
    }

    void copyLocked(T* p) {
        ptr_ = p;
        if (p) {
            ++p->holderCount;
            mv_detail::storeCount(p->refCount, p->refCount + 1);
        }
    }

    void releaseLocked() {
        T* p = ptr_;
        ptr_ = nullptr;
        releaseLocked(p);
    }

    static void releaseLocked(T* p) {
        if (!p)
            return;
        --p->holderCount;
        if (p->refCount == 1)
            delete p;
        else
            mv_detail::storeCount(p->refCount, p->refCount - 1);
    }

    T* ptr_ = nullptr;
};

#endif
