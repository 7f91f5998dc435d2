// The wsq program's commands on real files: encoding as velmar-capture-b starts it, its argument and
// input checks, decoding to each image format, the stream description, and a run from a command line.
#include "wsq_cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "image_files.h"
#include "wsq_test_image.h"
#include "testing/temp_dir.h"
#include "wsq_decoder.h"

namespace wsq_tool {
namespace {

using Bytes = std::vector<unsigned char>;

struct RunResult {
  int code;
  std::string out;
  std::string err;
};

RunResult run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = runWsq(args, out, err);
  return {code, out.str(), err.str()};
}

void writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes readBytes(const std::filesystem::path& path) {
  const std::string s = velmar::testing::readBytes(path);
  return Bytes(s.begin(), s.end());
}

class WsqProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    raw = (dir / "final-aB3xY9.raw").string();
    wsqFile = (dir / "final-aB3xY9.raw.wsq").string();
    writeBytes(raw, wsq::testing::syntheticFinger(512, 512));
  }
  velmar::testing::TempDir dir;
  std::string raw, wsqFile;
};

TEST_F(WsqProgram, EncodesARawFileCompletely) {
  const RunResult r = run({raw, "512", "512", wsqFile, "0.75"});
  ASSERT_EQ(r.code, 0) << r.err;
  const Bytes stream = readBytes(wsqFile);
  wsq::WsqImage image;
  std::string error;
  ASSERT_TRUE(wsq::decodeWsq(stream.data(), stream.size(), image, error)) << error;
  EXPECT_EQ(image.width, 512);
  EXPECT_EQ(image.height, 512);
  EXPECT_FALSE(std::filesystem::exists(wsqFile + ".part"));

  // An existing output is replaced.
  ASSERT_EQ(run({raw, "512", "512", wsqFile, "1.0"}).code, 0);
  EXPECT_GT(readBytes(wsqFile).size(), stream.size());
}

TEST_F(WsqProgram, RefusesWrongArgumentsAndInputsWithoutAnOutputFile) {
  const std::string missingDir = (dir / "no-such-dir" / "x.wsq").string();
  writeBytes(dir / "short.raw", Bytes(1000, 7));
  writeBytes(dir / "flat.raw", Bytes(64 * 64, 200));
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string err;
  } cases[] = {
      {"no arguments", {}, 2, "usage: wsq"},
      {"four arguments", {raw, "512", "512", wsqFile}, 2, "usage: wsq"},
      {"six arguments", {raw, "512", "512", wsqFile, "0.75", "x"}, 2, "usage: wsq"},
      {"width text", {raw, "abc", "512", wsqFile, "0.75"}, 2, "width and height"},
      {"width 0", {raw, "0", "512", wsqFile, "0.75"}, 2, "width and height"},
      {"width 70000", {raw, "70000", "512", wsqFile, "0.75"}, 2, "width and height"},
      {"negative height", {raw, "512", "-5", wsqFile, "0.75"}, 2, "width and height"},
      {"height with suffix", {raw, "512", "512x", wsqFile, "0.75"}, 2, "width and height"},
      {"bit rate 0", {raw, "512", "512", wsqFile, "0"}, 2, "bit rate"},
      {"negative bit rate", {raw, "512", "512", wsqFile, "-1"}, 2, "bit rate"},
      {"bit rate nan", {raw, "512", "512", wsqFile, "nan"}, 2, "bit rate"},
      {"bit rate inf", {raw, "512", "512", wsqFile, "inf"}, 2, "bit rate"},
      {"bit rate with suffix", {raw, "512", "512", wsqFile, "0.75x"}, 2, "bit rate"},
      {"missing raw file", {(dir / "none.raw").string(), "512", "512", wsqFile, "0.75"}, 1, "cannot open"},
      {"raw file of another size", {(dir / "short.raw").string(), "512", "512", wsqFile, "0.75"}, 1,
       "holds 1000 bytes, 512 x 512 needs 262144"},
      {"uniform image", {(dir / "flat.raw").string(), "64", "64", wsqFile, "0.75"}, 1,
       "the image is uniform (every pixel is 200): there is no contrast to encode (unknown error: wsq "
       "encoder returned -92)"},
      {"output folder missing", {raw, "512", "512", missingDir, "0.75"}, 1, "cannot create"},
  };
  for (const Case& c : cases) {
    const RunResult r = run(c.args);
    EXPECT_EQ(r.code, c.code) << c.name;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.name << ": " << r.err;
    EXPECT_FALSE(std::filesystem::exists(wsqFile)) << c.name;
    EXPECT_FALSE(std::filesystem::exists(wsqFile + ".part")) << c.name;
  }
}

// Every size from a single pixel up: encoded and decoded back to its own size, or (a single pixel,
// necessarily uniform) refused with the reason and no output.
TEST_F(WsqProgram, EncodesAndDecodesTinyImages) {
  struct Case {
    int width, height;
  } cases[] = {{2, 1}, {1, 2}, {3, 3}, {7, 9}, {20, 30}, {600, 1}, {1, 600}, {33, 17}};
  for (const Case& c : cases) {
    const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
    Bytes pixels(static_cast<size_t>(c.width) * c.height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(40 + (i * 37) % 180);
    const std::string in = (dir / (name + ".raw")).string(), out = (dir / (name + ".wsq")).string(),
                      back = (dir / (name + ".back.raw")).string();
    writeBytes(in, pixels);
    for (const char* rate : {"0.75", "2.25"}) {
      const RunResult encoded = run({in, std::to_string(c.width), std::to_string(c.height), out, rate});
      ASSERT_EQ(encoded.code, 0) << name << " at " << rate << ": " << encoded.err;
      const RunResult decoded = run({"--decode", out, back});
      ASSERT_EQ(decoded.code, 0) << name << ": " << decoded.err;
      EXPECT_EQ(readBytes(back).size(), pixels.size()) << name;
      EXPECT_EQ(run({"--info", out}).code, 0) << name;
    }
  }
  writeBytes(dir / "one.raw", Bytes{77});
  const RunResult one = run({(dir / "one.raw").string(), "1", "1", (dir / "one.wsq").string(), "0.75"});
  EXPECT_EQ(one.code, 1);
  EXPECT_NE(one.err.find("the image is uniform (every pixel is 77)"), std::string::npos) << one.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "one.wsq"));
}

// A bright image above 2^32 / 255 pixels, whose pixel sum passes 32 bits: a white page with one print
// on it. Encoded, and the print and the page's mean survive the round trip.
TEST_F(WsqProgram, EncodesAHugeBrightImage) {
  const int width = 4200, height = 4100, side = 512, x0 = 1800, y0 = 1700;
  Bytes pixels(static_cast<size_t>(width) * height, 255);
  const Bytes finger = wsq::testing::syntheticFinger(side, side);
  for (int y = 0; y < side; ++y) {
    std::copy_n(finger.begin() + static_cast<long>(y) * side, side,
                pixels.begin() + static_cast<long>(y0 + y) * width + x0);
  }
  double sum = 0;
  for (unsigned char v : pixels) sum += v;
  ASSERT_GT(sum, 4294967295.0);
  writeBytes(dir / "huge.raw", pixels);
  pixels = Bytes();
  const std::string wsq = (dir / "huge.wsq").string(), back = (dir / "huge.back.raw").string();
  const RunResult encoded = run({(dir / "huge.raw").string(), "4200", "4100", wsq, "0.75"});
  ASSERT_EQ(encoded.code, 0) << encoded.err;
  ASSERT_EQ(run({"--decode", wsq, back}).code, 0);
  const Bytes decoded = readBytes(back);
  ASSERT_EQ(decoded.size(), static_cast<size_t>(width) * height);
  double decodedSum = 0, printError = 0;
  for (unsigned char v : decoded) decodedSum += v;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      printError += std::abs(decoded[static_cast<size_t>(y0 + y) * width + x0 + x] - finger[static_cast<size_t>(y) * side + x]);
    }
  }
  EXPECT_NEAR(decodedSum / decoded.size(), sum / decoded.size(), 0.1);
  EXPECT_LT(printError / (side * side), 8.0);
}

// A frame larger than the capture path's limit (2^26 pixels) but within what the encoder takes is
// decoded, not refused for its size: here a stream whose frame header says 10000 x 7000 fails only for
// its missing coded data.
TEST_F(WsqProgram, DecodesFramesAsLargeAsItEncodes) {
  ASSERT_EQ(run({raw, "512", "512", wsqFile, "0.75"}).code, 0);
  Bytes stream = readBytes(wsqFile);
  const size_t sof = 2 + 60 + 391;
  ASSERT_EQ(stream[sof + 1], 0xA2);
  stream[sof + 6] = 7000 >> 8;
  stream[sof + 7] = 7000 & 0xFF;
  stream[sof + 8] = 10000 >> 8;
  stream[sof + 9] = 10000 & 0xFF;
  writeBytes(dir / "large.wsq", stream);
  const RunResult r = run({"--decode", (dir / "large.wsq").string(), (dir / "large.raw").string()});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.find("larger than allowed"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("large.wsq: "), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "large.raw"));
}

TEST_F(WsqProgram, DecodesToEachImageFormat) {
  ASSERT_EQ(run({raw, "512", "512", wsqFile, "1.0"}).code, 0);
  const std::string pgm = (dir / "out.pgm").string(), bmp = (dir / "out.BMP").string(),
                    rawOut = (dir / "out.raw").string();
  ASSERT_EQ(run({"--decode", wsqFile, pgm}).code, 0);
  ASSERT_EQ(run({"--decode", wsqFile, bmp}).code, 0);
  ASSERT_EQ(run({"--decode", wsqFile, rawOut}).code, 0);
  const Bytes pixels = readBytes(rawOut);
  ASSERT_EQ(pixels.size(), 512u * 512u);
  const Bytes p = readBytes(pgm);
  const std::string header = "P5\n512 512\n255\n";
  ASSERT_EQ(p.size(), header.size() + pixels.size());
  EXPECT_EQ(std::string(p.begin(), p.begin() + static_cast<long>(header.size())), header);
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), p.begin() + static_cast<long>(header.size())));
  const Bytes b = readBytes(bmp);
  ASSERT_EQ(b.size(), 1078u + 512u * 512u);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[28], 8);  // bits per pixel
  // Bottom-up rows: the file's first row is the image's last.
  EXPECT_TRUE(std::equal(pixels.end() - 512, pixels.end(), b.begin() + 1078));

  EXPECT_EQ(run({"--decode", wsqFile, (dir / "out.png").string()}).code, 2);
  EXPECT_EQ(run({"--decode", wsqFile}).code, 2);
  writeBytes(dir / "broken.wsq", Bytes{0xFF, 0xA0, 0xFF, 0xA2, 0x00});
  const RunResult broken = run({"--decode", (dir / "broken.wsq").string(), (dir / "b.pgm").string()});
  EXPECT_EQ(broken.code, 1);
  EXPECT_NE(broken.err.find("stream ends"), std::string::npos) << broken.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "b.pgm"));
}

TEST_F(WsqProgram, DescribesTheStream) {
  ASSERT_EQ(run({raw, "512", "512", wsqFile, "1.0"}).code, 0);
  const RunResult r = run({"--info", wsqFile});
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* line : {"stream check: whole\n", "SOI FFA0 at 0\n", "DTT FFA4 at 2, length 58 (60 bytes with marker)\n",
                           "DQT FFA5 at 62, length 389 (391 bytes with marker)\n",
                           "SOF FFA2 at 453, length 17 (19 bytes with marker)\n", "frame: width 512, height 512,",
                           "encoder 2, software 0", "bin centre C: 0.4399999976\n", "  63 0 0 (not coded)\n",
                           "block 1: table id 0, 16384 coefficients,", "block 2: table id 1, 49152 coefficients,",
                           "block 3: table id 1, 131072 coefficients,", "EOI FFA1"}) {
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
  }
  EXPECT_EQ(run({"--info", (dir / "none.wsq").string()}).code, 1);

  // A whole stream followed by a stray byte still parses, but the check names the fault and the
  // command fails.
  Bytes bytes = readBytes(wsqFile);
  bytes.push_back(0);
  writeBytes(dir / "trailing.wsq", bytes);
  const RunResult trailing = run({"--info", (dir / "trailing.wsq").string()});
  EXPECT_EQ(trailing.code, 1);
  EXPECT_NE(trailing.out.find("stream check: not whole: the last two bytes are not the end of image\n"),
            std::string::npos) << trailing.out;
  EXPECT_NE(trailing.out.find("frame: width 512"), std::string::npos);
}

// Batch mode: a folder of prints of several kinds and sizes, one of them broken; every good file is
// converted with the same bits as the single-file command gives, the broken one is reported with its
// reason, and the others go on.
class WsqBatch : public WsqProgram {
 protected:
  void SetUp() override {
    WsqProgram::SetUp();
    std::filesystem::create_directories(prints);
    a = wsq::testing::syntheticFinger(300, 400, 2);
    b = wsq::testing::syntheticFinger(512, 512, 3);
    c = wsq::testing::syntheticFinger(97, 131, 4);
    writeBytes(prints / "a.pgm", imageFileBytes(ImageFormat::Pgm, 300, 400, a));
    writeBytes(prints / "b.BMP", imageFileBytes(ImageFormat::Bmp, 512, 512, b));
    writeBytes(prints / "c.raw", c);
    writeBytes(prints / "broken.pgm", Bytes{'P', '5', '\n', '9'});
    writeBytes(prints / "notes.txt", Bytes{'x'});
  }
  // What the single-file command writes for these pixels.
  Bytes singleFile(const Bytes& pixels, int width, int height, const char* rate) {
    const std::string raw = (dir / "single.raw").string(), out = (dir / "single.wsq").string();
    writeBytes(raw, pixels);
    EXPECT_EQ(run({raw, std::to_string(width), std::to_string(height), out, rate}).code, 0);
    return readBytes(out);
  }
  std::filesystem::path prints = dir / "prints";
  Bytes a, b, c;
};

TEST_F(WsqBatch, EncodesAFolderBesideItsFilesAndReportsTheBrokenOne) {
  const RunResult r = run({"--batch", "--size", "97x131", "--rate", "1.0", prints.string()});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(readBytes(prints / "a.wsq"), singleFile(a, 300, 400, "1.0"));
  EXPECT_EQ(readBytes(prints / "b.wsq"), singleFile(b, 512, 512, "1.0"));
  EXPECT_EQ(readBytes(prints / "c.wsq"), singleFile(c, 97, 131, "1.0"));
  EXPECT_FALSE(std::filesystem::exists(prints / "broken.wsq"));
  EXPECT_FALSE(std::filesystem::exists(prints / "notes.wsq"));
  EXPECT_NE(r.err.find("wsq: failed: " + (prints / "broken.pgm").string() + ": not a picture this program reads"),
            std::string::npos) << r.err;
  EXPECT_NE(r.out.find("wsq: 4 files in "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(": 3 converted, 1 failed\n"), std::string::npos) << r.out;
  // No progress line when standard error is not a terminal.
  EXPECT_EQ(r.err.find('\r'), std::string::npos);

  // Decoding them again, into another folder, one thread: each picture as the single-file decoder
  // writes it.
  const std::filesystem::path decoded = dir / "decoded";
  const RunResult d = run({"--batch", "--decode", "--format", "raw", "--jobs", "1", "--out", decoded.string(),
                           prints.string()});
  EXPECT_EQ(d.code, 0) << d.err;
  EXPECT_NE(d.out.find(": 3 converted, 0 failed\n"), std::string::npos) << d.out;
  ASSERT_EQ(run({"--decode", (prints / "b.wsq").string(), (dir / "b.raw").string()}).code, 0);
  EXPECT_EQ(readBytes(decoded / "b.raw"), readBytes(dir / "b.raw"));
  EXPECT_EQ(readBytes(decoded / "c.raw").size(), c.size());
}

TEST_F(WsqBatch, ShowsItsProgressOnATerminalAndClearsIt) {
  std::ostringstream out, err;
  ASSERT_EQ(runWsq({"--batch", "--jobs", "2", (prints / "a.pgm").string(), (prints / "b.BMP").string()}, out, err,
                   true),
            0);
  const std::string text = err.str();
  EXPECT_NE(text.find("\rwsq: 2 of 2 files, 0 failed"), std::string::npos) << text;
  // The last thing written blanks the line and returns to its start, so the summary stands alone.
  EXPECT_EQ(text.substr(text.size() - 62), "\r" + std::string(60, ' ') + "\r");
  EXPECT_NE(out.str().find("on 2 threads: 2 converted, 0 failed"), std::string::npos) << out.str();
}

TEST_F(WsqBatch, ListedFilesWithTheirFaults) {
  writeBytes(prints / "a.bmp", imageFileBytes(ImageFormat::Bmp, 300, 400, a));
  const std::filesystem::path out = dir / "out" / "nested";
  const RunResult r = run({"--batch", "--out", out.string(), (prints / "a.pgm").string(), (prints / "a.bmp").string(),
                           (prints / "c.raw").string(), (dir / "missing.pgm").string(), (prints / "b.BMP").string()});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(readBytes(out / "a.wsq"), singleFile(a, 300, 400, "0.75"));
  EXPECT_TRUE(std::filesystem::exists(out / "b.wsq"));
  for (const std::string& fault : {(prints / "a.bmp").string() + ": its output " + (out / "a.wsq").string() +
                                       " is also the output of " + (prints / "a.pgm").string(),
                                   (prints / "c.raw").string() + ": a .raw file needs its size: --size WIDTHxHEIGHT",
                                   (dir / "missing.pgm").string() + ": no such file or folder"}) {
    EXPECT_NE(r.err.find("wsq: failed: " + fault + "\n"), std::string::npos) << fault << "\n" << r.err;
  }
  EXPECT_NE(r.out.find(": 2 converted, 3 failed\n"), std::string::npos) << r.out;
}

TEST_F(WsqBatch, RefusesAWrongCommandLineBeforeAnyWork) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string err;
  } cases[] = {
      {"nothing to convert", {"--batch"}, 2, "no files or folders"},
      {"bit rate", {"--batch", "--rate", "0", prints.string()}, 2, "bit rate must be"},
      {"size", {"--batch", "--size", "97", prints.string()}, 2, "--size must be WIDTHxHEIGHT"},
      {"jobs", {"--batch", "--jobs", "0", prints.string()}, 2, "--jobs must be"},
      {"format", {"--batch", "--decode", "--format", "png", prints.string()}, 2, "--format must be"},
      {"unknown option", {"--batch", "--fast", prints.string()}, 2, "unknown option"},
      {"option without value", {"--batch", prints.string(), "--rate"}, 2, "without its value"},
      {"empty folder", {"--batch", "--decode", prints.string()}, 1, "no .wsq files found"},
  };
  for (const Case& c : cases) {
    const RunResult r = run(c.args);
    EXPECT_EQ(r.code, c.code) << c.name;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.name << ": " << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(prints / "a.wsq"));
}

#ifdef WSQ_PROGRAM
// The program itself, started through the system's command interpreter with two blanks between
// arguments, as velmar-capture-b's command line has them.
TEST_F(WsqProgram, RunsFromACommandLineWithSeveralBlanks) {
  std::string program = WSQ_PROGRAM;
#ifdef _WIN32
  if (!program.empty() && program[0] == '/') program = "Z:" + program;
  for (char& c : program) {
    if (c == '/') c = '\\';
  }
#endif
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const std::string command = "\"" + program + "\" final-aB3xY9.raw 512 512  final-aB3xY9.raw.wsq 0.75";
  const int status = std::system(command.c_str());
  std::filesystem::current_path(previous);
  EXPECT_EQ(status, 0) << command;
  EXPECT_GT(std::filesystem::file_size(wsqFile), 1000u);

  // The batch mode of the program itself: its threads, the folder listing and the summary.
  std::filesystem::create_directories(dir / "batch");
  for (int i = 0; i < 5; ++i) {
    writeBytes(dir / "batch" / ("p" + std::to_string(i) + ".pgm"),
               imageFileBytes(ImageFormat::Pgm, 200, 240, wsq::testing::syntheticFinger(200, 240, i + 1)));
  }
  std::filesystem::current_path(dir.path());
  const int batchStatus = std::system(("\"" + program + "\" --batch batch > batch.txt").c_str());
  std::filesystem::current_path(previous);
  EXPECT_EQ(batchStatus, 0);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(std::filesystem::exists(dir / "batch" / ("p" + std::to_string(i) + ".wsq"))) << i;
  EXPECT_NE(velmar::testing::readBytes(dir / "batch.txt").find(": 5 converted, 0 failed"), std::string::npos);
}
#endif

#ifndef _WIN32
// Pixels from a pipe, whose size is not known before it ends, encode as the same pixels from a file.
TEST_F(WsqProgram, EncodesPixelsFromAPipeAsFromAFile) {
  ASSERT_EQ(run({raw, "512", "512", wsqFile, "0.75"}).code, 0);
  const std::string piped = (dir / "piped.wsq").string();
  const std::string command =
      "cat \"" + raw + "\" | \"" + std::string(WSQ_PROGRAM) + "\" /dev/stdin 512 512 \"" + piped + "\" 0.75";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(readBytes(piped), readBytes(wsqFile));
}
#endif

}  // namespace
}  // namespace wsq_tool
