// image_writers.cpp: writePgm and toBmp.
#include "image_writers.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#ifdef _WIN32
#include <share.h>
#endif

namespace segmentation {

namespace {

constexpr uint32_t kBmpHeaderBytes = 14 + 40 + 256 * 4;  // 1078

// Created anew and not shared while it is written.
std::FILE* createFile(const wchar_t* path) {
#ifdef _WIN32
  return _wfsopen(path, L"wb", _SH_DENYRW);
#else
  return std::fopen(std::filesystem::path(path).string().c_str(), "wb");
#endif
}

void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  put16(out, at, v & 0xFFFF);
  put16(out, at + 2, v >> 16);
}

}  // namespace

bool writePgm(const GrayImage& image, const wchar_t* path, SegmentationLog* log) {
  if (!image.hasPixels() || image.channels != 1) {
    logDebug(log, L"PGM imagen vac\u00eda");
    return false;
  }
  std::FILE* file = path ? createFile(path) : nullptr;
  if (!file) {
    if (log) log->systemError(L"CreateFile");
    return false;
  }
  // Built as a string: a fixed header buffer would cut the sizes of very large images.
  const std::string header =
      "P5 " + std::to_string(image.width) + " " + std::to_string(image.height) + " 255 ";
  const size_t headerWritten = std::fwrite(header.data(), 1, header.size(), file);
  if (headerWritten != header.size() || std::fflush(file) != 0) {
    if (log) log->systemError(L"WriteFile");
    std::fclose(file);
    return false;
  }
  logDebug(log, L"PGM header = %d bytes", static_cast<int>(headerWritten));
  const size_t expected = image.byteCount();
  const size_t dataWritten = std::fwrite(image.data.data(), 1, expected, file);
  const bool flushed = std::fflush(file) == 0;
  if (dataWritten != expected || !flushed) {
    if (log) log->systemError(L"WriteFile");
    std::fclose(file);
    return false;
  }
  logDebug(log, L"PGM data = %d/%d bytes", static_cast<int>(dataWritten), static_cast<int>(expected));
  return std::fclose(file) == 0;
}

bool toBmp(const GrayImage& image, std::vector<uint8_t>& bmp, SegmentationLog* log) {
  if (!image.hasPixels()) {
    logDebug(log, L"imagen vac\u00eda");
    return false;
  }
  if (image.channels != 1) return false;
  // Rows are padded to 4 bytes: BMP readers expect it, and unpadded rows of other widths would
  // shear the picture.
  const uint64_t stride = (static_cast<uint64_t>(image.width) + 3) & ~static_cast<uint64_t>(3);
  const uint64_t pixelBytes = stride * static_cast<uint64_t>(image.height);
  if (pixelBytes > 0xFFFFFFFFull - kBmpHeaderBytes) return false;
  const uint32_t total = kBmpHeaderBytes + static_cast<uint32_t>(pixelBytes);
  try {
    bmp.assign(total, 0);
  } catch (const std::bad_alloc&) {
    bmp.clear();
    return false;
  }
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(bmp, 2, total);
  put32(bmp, 10, kBmpHeaderBytes);
  put32(bmp, 14, 40);
  put32(bmp, 18, static_cast<uint32_t>(image.width));
  put32(bmp, 22, static_cast<uint32_t>(image.height));  // positive: rows bottom-up
  put16(bmp, 26, 1);                                    // planes
  put16(bmp, 28, 8);                                    // bits per pixel
  put32(bmp, 30, 0);                                    // no compression
  put32(bmp, 34, static_cast<uint32_t>(pixelBytes));
  put32(bmp, 38, 2835);  // pixels per metre, both ways
  put32(bmp, 42, 2835);
  for (uint32_t i = 0; i < 256; ++i) put32(bmp, 54 + 4 * i, i | (i << 8) | (i << 16));
  for (int32_t row = 0; row < image.height; ++row) {
    const uint8_t* from = &image.at(0, image.height - 1 - row);
    std::copy(from, from + image.width, bmp.begin() + kBmpHeaderBytes + row * stride);
  }
  return true;
}

}  // namespace segmentation
