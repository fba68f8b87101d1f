// The test binary's operator new: the standard one (malloc, the new-handler, retry), with a switch that
// makes every allocation fail, for the out-of-memory handler's tests.
#include "support/failing_new.h"

#include <cstdlib>
#include <new>

// GCC cannot see that these replacements pair malloc with free and warns; they do.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
bool failing = false;
}

namespace testing_support {
void FailEveryAllocation(bool on) { failing = on; }
}  // namespace testing_support

void* operator new(size_t size) {
    for (;;) {
        if (!failing)
            if (void* p = std::malloc(size ? size : 1)) return p;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
// The nothrow forms too, so that every form of new in this binary pairs with the deletes above (the
// standard library's temporary buffers use them; a sanitizer's own nothrow new would not pair with free).
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
