// wsq_cli.cpp: argument checks and the three commands.
#include "wsq_cli.h"

#include <cstdio>
#include <utility>

#include "arguments.h"
#include "batch.h"
#include "conversions.h"
#include "file_bytes.h"
#include "image_files.h"
#include "wsq_decoder.h"
#include "wsq_stream_check.h"

namespace wsq_tool {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char kUsageText[] =
    "usage: wsq <raw file> <width> <height> <output file> <bit rate>\n"
    "       wsq --decode <in.wsq> <out.pgm|out.bmp|out.raw>\n"
    "       wsq --info <in.wsq>\n"
    "       wsq --batch [--rate R] [--size WxH] [--out DIR] [--jobs N] <file or folder>...\n"
    "       wsq --batch --decode [--format pgm|bmp|raw] [--out DIR] [--jobs N] <file or folder>...\n";

int encodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  int width = 0, height = 0;
  float bitRate = 0.0f;
  if (!parseSide(args[1], width) || !parseSide(args[2], height)) {
    err << "wsq: width and height must be whole numbers from 1 to 65535, got '" << args[1] << "' and '"
        << args[2] << "'\n";
    return kUsage;
  }
  if (!parseBitRate(args[4], bitRate)) {
    err << "wsq: bit rate must be a number above 0 and at most 64, got '" << args[4] << "'\n";
    return kUsage;
  }
  FileBuffer pixels;
  std::string error;
  if (!readFileBuffer(args[0], pixels, error)) {
    err << "wsq: " << error << "\n";
    return kFailed;
  }
  const size_t expected = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (pixels.size() != expected) {
    err << "wsq: '" << args[0] << "' holds " << pixels.size() << " bytes, " << width << " x " << height
        << " needs " << expected << "\n";
    return kFailed;
  }
  size_t bytes = 0;
  if (!encodeToFile(pixels.data(), pixels.size(), width, height, bitRate, args[3], bytes, error)) {
    err << "wsq: " << error << "\n";
    return kFailed;
  }
  out << "wsq: " << args[3] << ": " << bytes << " bytes from " << expected << " pixels\n";
  return kOk;
}

int decodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ImageFormat format = imageFormatOf(args[1]);
  if (format == ImageFormat::Unknown) {
    err << "wsq: output must end in .pgm, .bmp or .raw: '" << args[1] << "'\n";
    return kUsage;
  }
  std::string error;
  int width = 0, height = 0;
  if (!decodeToFile(args[0], format, args[1], width, height, error)) {
    err << "wsq: " << error << "\n";
    return kFailed;
  }
  out << "wsq: " << args[1] << ": " << width << " x " << height << "\n";
  return kOk;
}

std::string markerName(int marker) {
  switch (marker) {
    case 0xFFA0: return "SOI";
    case 0xFFA1: return "EOI";
    case 0xFFA2: return "SOF";
    case 0xFFA3: return "SOB";
    case 0xFFA4: return "DTT";
    case 0xFFA5: return "DQT";
    case 0xFFA6: return "DHT";
    case 0xFFA7: return "DRT";
    case 0xFFA8: return "COM";
    default: return "?";
  }
}

std::string number(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.10g", v);
  return text;
}

int infoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<unsigned char> data;
  std::string error;
  if (!readFileBytes(args[0], data, error)) {
    err << "wsq: " << error << "\n";
    return kFailed;
  }
  // The stream check first: what the host and velmar-capture-b would make of this file.
  const wsq::WsqCheckResult check = wsq::checkWsqStream(data.data(), data.size());
  out << "stream check: " << (check.whole ? std::string("whole") : "not whole: " + check.fault) << "\n";
  wsq::WsqStreamInfo info;
  if (!wsq::inspectWsq(data.data(), data.size(), info, error)) {
    err << "wsq: " << args[0] << ": " << error << "\n";
    return kFailed;
  }
  out << "file: " << args[0] << ", " << data.size() << " bytes\n";
  out << "segments:\n";
  for (const wsq::WsqSegmentInfo& s : info.segments) {
    char head[80];
    std::snprintf(head, sizeof head, "  %-3s %04X at %zu", markerName(s.marker).c_str(), s.marker, s.offset);
    out << head;
    if (s.length > 0) out << ", length " << s.length << " (" << s.length + 2 << " bytes with marker)";
    if (!s.tableIds.empty()) {
      out << ", table id";
      for (int id : s.tableIds) out << " " << id;
    }
    out << "\n";
  }
  out << "frame: width " << info.width << ", height " << info.height << ", black " << info.black << ", white "
      << info.white << ", M " << number(info.m_shift) << ", R " << number(info.r_scale) << ", encoder "
      << info.encoder << ", software " << info.software << "\n";
  out << "filters: low-pass " << info.lowPass.size() << " taps, high-pass " << info.highPass.size() << " taps\n";
  out << "  low-pass:";
  for (float t : info.lowPass) out << " " << number(t);
  out << "\n  high-pass:";
  for (float t : info.highPass) out << " " << number(t);
  out << "\n";
  if (info.restartInterval != 0) out << "restart interval: " << info.restartInterval << "\n";
  out << "bin centre C: " << number(info.binCenter) << "\n";
  out << "subband Q Z:\n";
  for (int band = 0; band < 64; ++band) {
    out << "  " << band << " " << number(info.q[band]) << " " << number(info.z[band]);
    if (info.q[band] == 0.0f) out << " (not coded)";
    out << "\n";
  }
  for (size_t b = 0; b < info.blocks.size(); ++b) {
    out << "block " << b + 1 << ": table id " << info.blocks[b].tableId << ", " << info.blocks[b].coefficients
        << " coefficients, " << info.blocks[b].codedBytes << " coded bytes\n";
  }
  return check.whole ? kOk : kFailed;
}

}  // namespace

int runWsq(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress) {
  if (!args.empty() && args[0] == "--batch") {
    return runBatch(std::vector<std::string>(args.begin() + 1, args.end()), out, err, progress);
  }
  if (!args.empty() && args[0] == "--decode") {
    if (args.size() != 3) {
      err << kUsageText;
      return kUsage;
    }
    return decodeCommand({args[1], args[2]}, out, err);
  }
  if (!args.empty() && args[0] == "--info") {
    if (args.size() != 2) {
      err << kUsageText;
      return kUsage;
    }
    return infoCommand({args[1]}, out, err);
  }
  if (args.size() != 5) {
    err << kUsageText;
    return kUsage;
  }
  return encodeCommand(args, out, err);
}

}  // namespace wsq_tool
