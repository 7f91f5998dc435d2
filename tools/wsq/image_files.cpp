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

std::vector<ByteRun> imageFileRuns(ImageFormat format, int width, int height, const unsigned char* pixels,
                                   std::vector<unsigned char>& header) {
  header.clear();
  const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (format == ImageFormat::Raw) return {{pixels, pixelCount}};
  if (format == ImageFormat::Pgm) {
    const std::string text = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    header.assign(text.begin(), text.end());
    return {{header.data(), header.size()}, {pixels, pixelCount}};
  }
  if (format != ImageFormat::Bmp) return {};
  // Bottom-up rows padded to four bytes, 256 grey palette entries; the padding of every row is written
  // from three zero bytes kept after the header.
  const uint32_t stride = (static_cast<uint32_t>(width) + 3u) & ~3u;
  const uint32_t dataOffset = 14 + 40 + 256 * 4;
  const uint32_t imageSize = stride * static_cast<uint32_t>(height);
  header.reserve(dataOffset + 3);
  header.push_back('B');
  header.push_back('M');
  putLe32(header, dataOffset + imageSize);
  putLe32(header, 0);
  putLe32(header, dataOffset);
  putLe32(header, 40);
  putLe32(header, static_cast<uint32_t>(width));
  putLe32(header, static_cast<uint32_t>(height));
  putLe16(header, 1);   // planes
  putLe16(header, 8);   // bits per pixel
  putLe32(header, 0);   // no compression
  putLe32(header, imageSize);
  putLe32(header, 19685);  // 500 pixels per inch in pixels per metre
  putLe32(header, 19685);
  putLe32(header, 256);
  putLe32(header, 0);
  for (int i = 0; i < 256; ++i) {
    header.push_back(static_cast<unsigned char>(i));
    header.push_back(static_cast<unsigned char>(i));
    header.push_back(static_cast<unsigned char>(i));
    header.push_back(0);
  }
  header.insert(header.end(), 3, 0);  // room reserved above: the rows' padding
  std::vector<ByteRun> runs{{header.data(), dataOffset}};
  const unsigned char* zeros = header.data() + dataOffset;
  const size_t pad = stride - static_cast<uint32_t>(width);
  for (int row = height - 1; row >= 0; --row) {
    runs.push_back({pixels + static_cast<size_t>(row) * width, static_cast<size_t>(width)});
    if (pad > 0) runs.push_back({zeros, pad});
  }
  return runs;
}

std::vector<unsigned char> imageFileBytes(ImageFormat format, int width, int height,
                                          const std::vector<unsigned char>& pixels) {
  std::vector<unsigned char> header, out;
  for (const ByteRun& run : imageFileRuns(format, width, height, pixels.data(), header)) {
    out.insert(out.end(), run.data, run.data + run.size);
  }
  return out;
}

}  // namespace wsq_tool
