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

    void swap(mv_auto_value& other) noexcept {
        MvLockGuard guard(GetAutoObjectMutex());
        std::swap(ptr_, other.ptr_);
    }

private:
    void adoptLocked(T* p) {
        if (p->holderCount != 0)
            ++p->refCount;
        ++p->holderCount;
    }

    void copyLocked(T* p) {
        ptr_ = p;
        if (p) {
            ++p->holderCount;
            ++p->refCount;
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
            --p->refCount;
    }

    T* ptr_ = nullptr;
};

#endif
