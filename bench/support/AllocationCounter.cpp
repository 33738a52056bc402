// glibc's allocator behind a counting front: this program's malloc family wins over libc's at
// link time; the real work is done by the __libc_ entry points.
#include "AllocationCounter.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);
}

namespace {

std::atomic<bool> g_on{false};
std::atomic<std::int64_t> g_current{0};
std::atomic<std::int64_t> g_peak{0};

void added(void* p) {
    if (!p || !g_on.load(std::memory_order_relaxed)) return;
    const auto size = std::int64_t(malloc_usable_size(p));
    const std::int64_t now = g_current.fetch_add(size) + size;
    std::int64_t seen = g_peak.load();
    while (now > seen && !g_peak.compare_exchange_weak(seen, now)) {
    }
}

void removed(void* p) {
    if (p && g_on.load(std::memory_order_relaxed)) g_current.fetch_sub(std::int64_t(malloc_usable_size(p)));
}

}  // namespace

extern "C" {

void* malloc(size_t size) {
    void* p = __libc_malloc(size);
    added(p);
    return p;
}

void* calloc(size_t n, size_t size) {
    void* p = __libc_calloc(n, size);
    added(p);
    return p;
}

void* realloc(void* old, size_t size) {
    removed(old);
    void* p = __libc_realloc(old, size);
    if (p)
        added(p);
    else if (old && size != 0)
        added(old);  // failed: the old block stays
    return p;
}

void free(void* p) {
    removed(p);
    __libc_free(p);
}

void* memalign(size_t alignment, size_t size) {
    void* p = __libc_memalign(alignment, size);
    added(p);
    return p;
}

void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }

int posix_memalign(void** out, size_t alignment, size_t size) {
    void* p = memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}

}  // extern "C"

namespace allocation {

void start() {
    g_current.store(0);
    g_peak.store(0);
    g_on.store(true);
}
void stop() { g_on.store(false); }
std::int64_t current() { return g_current.load(); }
std::int64_t peak() { return g_peak.load(); }

}  // namespace allocation
