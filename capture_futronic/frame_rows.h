// frame_rows.h: turning a frame upside down in place (row i exchanged with row height - 1 - i). The
// scanner delivers rows top first; the picture takes them bottom-up. Portable.
#pragma once

#include <cstdint>

void flipRows(std::uint8_t* pixels, int width, int height);
