// synthetic_finger_main.cpp: the synthetic-finger tool. Writes one generated frame as PGM, BMP or RAW.
//   synthetic-finger [options] -o FILE
// Options: --width N --height N --seed N --fingers 0|1|2 --edge none|left|top|right|bottom
//          --specks N --pressure X --noise X --period X --scale X --format pgm|bmp|raw
// Without --format the format follows the file's extension (.pgm, .bmp, anything else raw).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "grey_image_file.h"
#include "synthetic_finger.h"

namespace {

using velmar::synthetic::Edge;
using velmar::synthetic::FingerParams;

const char kUsage[] =
    "usage: synthetic-finger [--width N] [--height N] [--seed N] [--fingers 0|1|2]\n"
    "                        [--edge none|left|top|right|bottom] [--specks N] [--pressure X]\n"
    "                        [--noise X] [--period X] [--scale X] [--format pgm|bmp|raw] -o FILE\n";

int toInt(const std::string& option, const std::string& text) {
  size_t used = 0;
  const long v = std::stol(text, &used);
  if (used != text.size()) throw std::invalid_argument(option + ": not a number: " + text);
  return static_cast<int>(v);
}

double toDouble(const std::string& option, const std::string& text) {
  size_t used = 0;
  const double v = std::stod(text, &used);
  if (used != text.size()) throw std::invalid_argument(option + ": not a number: " + text);
  return v;
}

Edge toEdge(const std::string& text) {
  if (text == "none") return Edge::None;
  if (text == "left") return Edge::Left;
  if (text == "top") return Edge::Top;
  if (text == "right") return Edge::Right;
  if (text == "bottom") return Edge::Bottom;
  throw std::invalid_argument("--edge: unknown edge: " + text);
}

std::string extensionFormat(const std::string& path) {
  const auto dot = path.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
  if (ext == "pgm" || ext == "PGM") return "pgm";
  if (ext == "bmp" || ext == "BMP") return "bmp";
  return "raw";
}

int run(int argc, char** argv) {
  FingerParams params;
  std::string output, format;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "-h" || option == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (i + 1 >= argc) throw std::invalid_argument(option + ": value missing");
    const std::string value = argv[++i];
    if (option == "--width") params.width = toInt(option, value);
    else if (option == "--height") params.height = toInt(option, value);
    else if (option == "--seed") params.seed = static_cast<uint32_t>(std::stoul(value));
    else if (option == "--fingers") params.fingers = toInt(option, value);
    else if (option == "--edge") params.edge = toEdge(value);
    else if (option == "--specks") params.specks = toInt(option, value);
    else if (option == "--pressure") params.pressure = toDouble(option, value);
    else if (option == "--noise") params.noise = toDouble(option, value);
    else if (option == "--period") params.ridgePeriod = toDouble(option, value);
    else if (option == "--scale") params.fingerScale = toDouble(option, value);
    else if (option == "--format") format = value;
    else if (option == "-o") output = value;
    else throw std::invalid_argument("unknown option: " + option);
  }
  if (output.empty()) throw std::invalid_argument("-o FILE is required");
  if (format.empty()) format = extensionFormat(output);
  if (format != "pgm" && format != "bmp" && format != "raw")
    throw std::invalid_argument("--format: unknown format: " + format);

  const auto pixels = velmar::synthetic::generateFinger(params);
  const auto bytes = format == "pgm"   ? velmar::synthetic::encodePgm(pixels, params.width, params.height)
                     : format == "bmp" ? velmar::synthetic::encodeBmp(pixels, params.width, params.height)
                                       : pixels;
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + output);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "synthetic-finger: %s\n%s", e.what(), kUsage);
    return 2;
  }
}
