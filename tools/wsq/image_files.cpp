// image_files.cpp: PGM, BMP and raw writers.
#include "image_files.h"

#include <cctype>
#include <cstdint>

namespace wsq_tool {
namespace {

void putLe16(std::vector<unsigned char>& out, uint32_t v) {
  out.push_back(static_cast<unsigned char>(v));
  out.push_back(static_cast<unsigned char>(v >> 8));
}

void putLe32(std::vector<unsigned char>& out, uint32_t v) {
  putLe16(out, v & 0xFFFF);
  putLe16(out, v >> 16);
}

}  // namespace

ImageFormat imageFormatOf(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos) return ImageFormat::Unknown;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "pgm") return ImageFormat::Pgm;
  if (ext == "bmp") return ImageFormat::Bmp;
  if (ext == "raw") return ImageFormat::Raw;
  return ImageFormat::Unknown;
}

std::vector<unsigned char> imageFileBytes(ImageFormat format, int width, int height,
                                          const std::vector<unsigned char>& pixels) {
  std::vector<unsigned char> out;
  if (format == ImageFormat::Raw) return pixels;
  if (format == ImageFormat::Pgm) {
    const std::string header = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    out.assign(header.begin(), header.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
  if (format != ImageFormat::Bmp) return out;
  // Bottom-up rows padded to four bytes, 256 grey palette entries.
  const uint32_t stride = (static_cast<uint32_t>(width) + 3u) & ~3u;
  const uint32_t dataOffset = 14 + 40 + 256 * 4;
  const uint32_t imageSize = stride * static_cast<uint32_t>(height);
  out.reserve(dataOffset + imageSize);
  out.push_back('B');
  out.push_back('M');
  putLe32(out, dataOffset + imageSize);
  putLe32(out, 0);
  putLe32(out, dataOffset);
  putLe32(out, 40);
  putLe32(out, static_cast<uint32_t>(width));
  putLe32(out, static_cast<uint32_t>(height));
  putLe16(out, 1);   // planes
  putLe16(out, 8);   // bits per pixel
  putLe32(out, 0);   // no compression
  putLe32(out, imageSize);
  putLe32(out, 19685);  // 500 pixels per inch in pixels per metre
  putLe32(out, 19685);
  putLe32(out, 256);
  putLe32(out, 0);
  for (int i = 0; i < 256; ++i) {
    out.push_back(static_cast<unsigned char>(i));
    out.push_back(static_cast<unsigned char>(i));
    out.push_back(static_cast<unsigned char>(i));
    out.push_back(0);
  }
  for (int row = height - 1; row >= 0; --row) {
    const auto begin = pixels.begin() + static_cast<long>(row) * width;
    out.insert(out.end(), begin, begin + width);
    for (uint32_t pad = static_cast<uint32_t>(width); pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace wsq_tool
