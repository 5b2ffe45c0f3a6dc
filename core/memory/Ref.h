#pragma once

#include <cstddef>
#include <utility>

namespace kinloom {

/// Shared ownership through a reference count kept in the object itself
/// (the object provides retain() and release()). Nodes and records use it
/// instead of std::shared_ptr: it costs one pointer per holder and no block
/// beside the object, a raw pointer (such as a node's parent) can be turned
/// back into an owning reference, and release() can free deep trees without
/// recursion.
///
/// A node's count is a plain integer: a node and every Ref to it belong to
/// one thread at a time, and pass to another thread only where the two
/// synchronise (a thread that is joined hands over what it made); its
/// retain() and release() assert in debug builds that the count never goes
/// below zero. A record's count is atomic (see LNGedcomRecord).
template <typename T> class Ref {
  public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    /// Takes a new share of the object (which may already have holders).
    Ref(T* object) : object_(object) {
        if (object_) object_->retain();
    }
    Ref(const Ref& other) : Ref(other.object_) {}
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    template <typename U> Ref(const Ref<U>& other) : Ref(static_cast<T*>(other.get())) {}
    template <typename U> Ref(Ref<U>&& other) noexcept : object_(static_cast<T*>(other.leak())) {}
    ~Ref() {
        if (object_) object_->release();
    }

    Ref& operator=(Ref other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset() { Ref().swap(*this); }
    void swap(Ref& other) noexcept { std::swap(object_, other.object_); }

    /// Gives up this holder's share without releasing it.
    T* leak() { return std::exchange(object_, nullptr); }

    friend bool operator==(const Ref& a, const Ref& b) { return a.object_ == b.object_; }
    friend bool operator==(const Ref& a, std::nullptr_t) { return a.object_ == nullptr; }
    friend bool operator==(const Ref& a, const T* b) { return a.object_ == b; }

  private:
    T* object_ = nullptr;
};

template <typename T, typename... Args> Ref<T> makeRef(Args&&... args) {
    return Ref<T>(new T(std::forward<Args>(args)...));
}

/// Downcast for references whose dynamic type the caller knows.
template <typename T, typename U> Ref<T> staticRefCast(const Ref<U>& ref) {
    return Ref<T>(static_cast<T*>(ref.get()));
}

} // namespace kinloom
