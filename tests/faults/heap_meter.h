#pragma once

#include <cstddef>

namespace tamarind::testing {

// What the test program holds on the heap through operator new, counted by a replacement of the
// global operators in heap_meter.cpp: the bytes held now and the most held since the last reset.
std::size_t HeapBytesHeld();
std::size_t HeapBytesPeak();
void ResetHeapPeak();

}  // namespace tamarind::testing
