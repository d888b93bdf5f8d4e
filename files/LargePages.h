#pragma once
// Memory for a large buffer that lives while one result is worked out (a transform, a
// spectrum, a stored table). It is mapped on its own and in large pages where the system has
// them: under a virtual machine a first touch of each small page can cost more than filling
// it, and a large page is one touch for 512. Sizes under a MiB come from the heap.

#include <cstddef>
#include <new>
#include <vector>

// `bytes` of memory, not zeroed; throws std::bad_alloc. Does not ask the memory gate: callers
// ask for what they will hold in all.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* p, std::size_t bytes);

// An allocator for std::vector that takes large buffers in large pages and leaves new
// elements uninitialised (a resize fills nothing the caller will overwrite).
template <class T> struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <class U> LargePageAllocator(const LargePageAllocator<U>&) {}

    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_alloc();
        return static_cast<T*>(AllocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) { FreeLarge(p, n * sizeof(T)); }
    template <class U> void construct(U* p) { ::new (static_cast<void*>(p)) U; }
    template <class U, class... A> void construct(U* p, A&&... a) {
        ::new (static_cast<void*>(p)) U(static_cast<A&&>(a)...);
    }
    template <class U> bool operator==(const LargePageAllocator<U>&) const { return true; }
};

template <class T> using LargeVector = std::vector<T, LargePageAllocator<T>>;
