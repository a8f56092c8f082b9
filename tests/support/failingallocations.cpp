// The replaced global operators new and delete behind TFailingAllocations.

#include "failingallocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t Plain = alignof(std::max_align_t);

// 0: every request is served.
std::atomic<std::size_t> FailFrom{0};
std::atomic<std::size_t> RefusedCount{0};

bool Refuse(std::size_t bytes) {
  const std::size_t limit = FailFrom.load(std::memory_order_relaxed);
  if (limit == 0 || bytes < limit) return false;
  RefusedCount.fetch_add(1, std::memory_order_relaxed);
  return true;
}

void* Allocate(std::size_t bytes, std::size_t alignment) {
  if (Refuse(bytes)) return nullptr;
  // Zero bytes still give a block of their own.
  if (bytes == 0) bytes = 1;
  if (alignment <= Plain) return std::malloc(bytes);
  void* block = nullptr;
  return posix_memalign(&block, alignment, bytes) == 0 ? block : nullptr;
}

void* AllocateOrThrow(std::size_t bytes, std::size_t alignment) {
  void* block = Allocate(bytes, alignment);
  if (!block) throw std::bad_alloc();
  return block;
}

}  // namespace

namespace testsupport {

TFailingAllocations::TFailingAllocations(std::size_t bytes) {
  RefusedCount = 0;
  FailFrom = bytes;
}
TFailingAllocations::~TFailingAllocations() { FailFrom = 0; }
std::size_t TFailingAllocations::Refused() const { return RefusedCount; }

}  // namespace testsupport

void* operator new(std::size_t n) { return AllocateOrThrow(n, Plain); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n, Plain); }
void* operator new(std::size_t n, std::align_val_t a) { return AllocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return AllocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n, Plain); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n, Plain); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
