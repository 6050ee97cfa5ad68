// Copies between files inside the kernel: the bytes never pass through the
// program's memory, which for a whole unit is the cheapest way to move them.
#pragma once

#include <cstdint>

#include "container/io/Stream.h"

namespace velmora {

// Copies up to count bytes from position from of the open file in to out at
// its position, and moves out's position past them. Returns the number of
// bytes copied: fewer, down to none, where the kernel cannot copy between
// the two (out is not a file, an old system) or in ends early; the caller
// writes the rest itself.
uint64_t CopyFileBytes(int in, uint64_t from, TStream& out, uint64_t count);

}  // namespace velmora
