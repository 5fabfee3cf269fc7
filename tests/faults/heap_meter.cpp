#include "tests/faults/heap_meter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> held{0};
std::atomic<std::size_t> peak{0};

// Each block carries its size in front, so that the unsized delete can count it off.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t now = held.fetch_add(size) + size;
  std::size_t highest = peak.load();
  while (now > highest && !peak.compare_exchange_weak(highest, now)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  held.fetch_sub(*static_cast<std::size_t*>(block));
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* pointer) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer) noexcept {
  Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
  Release(pointer);
}

namespace tamarind::testing {

std::size_t HeapBytesHeld() {
  return held.load();
}
std::size_t HeapBytesPeak() {
  return peak.load();
}
void ResetHeapPeak() {
  peak.store(held.load());
}

}  // namespace tamarind::testing
