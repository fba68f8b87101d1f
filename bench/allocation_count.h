// Counts every operator new of the process, so that a loop can show it allocates nothing. Replaces the
// global allocation functions: include it in exactly one file of a benchmark binary.
#pragma once

#include <cstdlib>
#include <new>

// GCC cannot see that these replacements pair malloc with free and warns; they do.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace bench_scene {
size_t allocations = 0;  // operator new calls so far
}

void* operator new(size_t size) {
    ++bench_scene::allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
