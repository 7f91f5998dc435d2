// template_bytes.h: the virtual template library's output: a deterministic byte string of a given size
// that depends on the frame it was made from. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmar::futronic {

// "FMR\0" followed by bytes of a generator seeded from the frame's contents, `size` bytes in all.
std::vector<std::uint8_t> makeTemplate(const std::uint8_t* frame, std::size_t frameBytes, std::size_t size);

}  // namespace velmar::futronic
