// Global allocation functions that count the calls of each thread and can be made to
// fail, for test and benchmark programs that check a path never reaches the heap.
// Include this header in exactly one source file of the program.
//
// Every form (plain, array, nothrow, aligned, sized) is replaced: a sanitizer runtime
// supplies the forms left out, and would report memory taken through one side and
// given back through the other. All of them end in malloc/aligned_alloc and free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace dcs::testing {

// Global allocations made by the calling thread so far.
thread_local uint64_t tNewCalls = 0;
// While true, the calling thread's global allocations fail (bad_alloc, or nil for the
// nothrow forms); they are still counted.
thread_local bool tFailNew = false;

namespace detail {
inline void* CountedAllocate(std::size_t size, std::size_t align, bool nothrow)
{
    ++tNewCalls;
    void* p = nullptr;
    if (!tFailNew) {
        if (size == 0)
            size = 1;
        p = align <= alignof(std::max_align_t) ? std::malloc(size)
                                               : std::aligned_alloc(align, (size + align - 1) / align * align);
    }
    if (!p && !nothrow)
        throw std::bad_alloc();
    return p;
}
}  // namespace detail

}  // namespace dcs::testing

// The pairs are malloc/free on both sides; the compiler cannot see that once it inlines
// one half.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) { return dcs::testing::detail::CountedAllocate(n, 0, false); }
void* operator new[](std::size_t n) { return dcs::testing::detail::CountedAllocate(n, 0, false); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    return dcs::testing::detail::CountedAllocate(n, 0, true);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
{
    return dcs::testing::detail::CountedAllocate(n, 0, true);
}
void* operator new(std::size_t n, std::align_val_t a)
{
    return dcs::testing::detail::CountedAllocate(n, std::size_t(a), false);
}
void* operator new[](std::size_t n, std::align_val_t a)
{
    return dcs::testing::detail::CountedAllocate(n, std::size_t(a), false);
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return dcs::testing::detail::CountedAllocate(n, std::size_t(a), true);
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return dcs::testing::detail::CountedAllocate(n, std::size_t(a), true);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
