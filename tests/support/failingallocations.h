#pragma once
// Allocation that fails on demand, as on a PC without the memory a file
// asks for: while a TFailingAllocations lives, every request of at least
// its size through the global operator new throws std::bad_alloc (the
// nothrow forms give null); smaller ones are served. Only a test program
// that links failingallocations.cpp, which replaces the global operators
// new and delete, has this seam; they are built on malloc and free, so the
// sanitizers still see every block.

#include <cstddef>

namespace testsupport {

class TFailingAllocations {
 public:
  explicit TFailingAllocations(std::size_t bytes);
  ~TFailingAllocations();
  TFailingAllocations(const TFailingAllocations&) = delete;
  TFailingAllocations& operator=(const TFailingAllocations&) = delete;
  // The requests refused so far: a check that the seam was reached.
  std::size_t Refused() const;
};

}  // namespace testsupport
