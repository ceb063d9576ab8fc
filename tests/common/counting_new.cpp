#include "common/counting_new.h"

#include <cstdlib>
#include <new>

namespace {
long g_allocations = 0;
}  // namespace

long counting_new::allocations() { return g_allocations; }

// The replacements pair malloc with free; the compiler, seeing them inlined
// into callers, takes the pair for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
