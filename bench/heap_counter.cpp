#include "heap_counter.h"

#include <malloc.h>

#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* p);
}

namespace {

// The benchmarks run on one thread; nothing else allocates while counting.
bool counting = false;
int64_t live = 0;
int64_t peak = 0;

inline void Gained(void* p) {
  if (counting && p) {
    live += static_cast<int64_t>(malloc_usable_size(p));
    if (live > peak) peak = live;
  }
}

inline void Lost(void* p) {
  if (counting && p) live -= static_cast<int64_t>(malloc_usable_size(p));
}

}  // namespace

void StartHeapCount() {
  live = peak = 0;
  counting = true;
}

int64_t StopHeapCount() {
  counting = false;
  return peak;
}

extern "C" {

void* malloc(size_t size) {
  void* p = __libc_malloc(size);
  Gained(p);
  return p;
}

void* calloc(size_t count, size_t size) {
  void* p = __libc_calloc(count, size);
  Gained(p);
  return p;
}

void* realloc(void* old, size_t size) {
  Lost(old);
  void* p = __libc_realloc(old, size);
  // A failed realloc keeps the old block.
  Gained(p ? p : (size ? old : nullptr));
  return p;
}

void free(void* p) {
  Lost(p);
  __libc_free(p);
}

void* memalign(size_t alignment, size_t size) {
  void* p = __libc_memalign(alignment, size);
  Gained(p);
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
