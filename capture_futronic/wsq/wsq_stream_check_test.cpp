// The stream check on our encoder's output: a whole stream passes; each kind of fault is named; a
// stream cut inside a block and closed with an end of image passes the walk and is caught by the decode.
#include "wsq_stream_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "wsq_decoder.h"
#include "wsq_format.h"
#include "wsq_test_stream.h"

namespace wsq {
namespace {

using Bytes = std::vector<unsigned char>;

const Bytes& stream() {
  static const Bytes bytes = testing::syntheticWsq(96, 80);
  return bytes;
}

// Offset of the n-th segment with `marker` (0 = first) in our stream.
size_t segmentAt(int marker, int n = 0) {
  WsqStreamInfo info;
  std::string error;
  EXPECT_TRUE(inspectWsq(stream().data(), stream().size(), info, error)) << error;
  for (const WsqSegmentInfo& s : info.segments) {
    if (s.marker == marker && n-- == 0) return s.offset;
  }
  ADD_FAILURE() << "no segment " << marker;
  return 0;
}

WsqCheckResult check(const Bytes& s, const WsqCheckOptions& options = {}) {
  return checkWsqStream(s.data(), s.size(), options);
}

TEST(WsqStreamCheck, OurEncoderOutputIsWhole) {
  const WsqCheckResult r = check(stream());
  EXPECT_TRUE(r.whole) << r.fault;
  EXPECT_TRUE(r.decoded);
  EXPECT_EQ(r.fault, "");
  EXPECT_EQ(r.width, 96);
  EXPECT_EQ(r.height, 80);
  EXPECT_EQ(r.blocks, 3);
}

struct Case {
  const char* name;
  std::function<Bytes()> make;
  const char* fault;  // the start of the expected fault text
};

Bytes edited(const std::function<void(Bytes&)>& edit) {
  Bytes s = stream();
  edit(s);
  return s;
}

TEST(WsqStreamCheck, NamesWhatIsWrong) {
  const Case cases[] = {
      {"empty", [] { return Bytes{}; }, "no start of image"},
      {"other data", [] { return Bytes{'B', 'M', 0, 0}; }, "no start of image"},
      {"start of image alone", [] { return Bytes{0xFF, 0xA0}; }, "the last two bytes are not the end of image"},
      {"start and end only", [] { return Bytes{0xFF, 0xA0, 0xFF, 0xA1}; }, "no frame header"},
      {"half the stream", [] { return Bytes(stream().begin(), stream().begin() + stream().size() / 2); },
       "the last two bytes are not the end of image"},
      {"one byte short", [] { return Bytes(stream().begin(), stream().end() - 1); },
       "the last two bytes are not the end of image"},
      {"a byte after the end", [] { return edited([](Bytes& s) { s.push_back(0); }); },
       "the last two bytes are not the end of image"},
      {"data after the end of image",
       [] { return edited([](Bytes& s) { s.insert(s.end(), {0xFF, 0xA1, 0xFF, 0xA1}); }); },
       "4 bytes after the end of image"},
      {"segment length past the end",
       [] { return edited([](Bytes& s) { s[segmentAt(DTT_WSQ) + 2] = 0xF0; }); },
       "transform table at byte"},
      {"frame of zero width",
       [] { return edited([](Bytes& s) { s[segmentAt(SOF_WSQ) + 8] = s[segmentAt(SOF_WSQ) + 9] = 0; }); },
       "frame of 0 x 80 pixels"},
      {"two frame headers",
       [] {
         return edited([](Bytes& s) {
           const size_t sof = segmentAt(SOF_WSQ);
           s.insert(s.begin() + static_cast<long>(sof), s.begin() + static_cast<long>(sof),
                    s.begin() + static_cast<long>(sof + 19));
         });
       },
       "second frame header"},
      {"block naming an undefined table",
       [] { return edited([](Bytes& s) { s[segmentAt(SOB_WSQ) + 4] = 5; }); },
       "block 1 names Huffman table 5"},
      {"a block left out",
       [] {
         return edited([](Bytes& s) {
           const size_t b3 = segmentAt(SOB_WSQ, 2);
           s.erase(s.begin() + static_cast<long>(b3), s.end() - 2);
         });
       },
       "2 blocks, expected 3"},
      {"unknown marker", [] { return edited([](Bytes& s) { s[segmentAt(DQT_WSQ) + 1] = 0xC4; }); },
       "unexpected marker 0xFFC4"},
      {"cut inside block 3, then an end of image",
       [] {
         return edited([](Bytes& s) {
           s.erase(s.end() - 12, s.end());
           s.insert(s.end(), {0xFF, 0xA1});
         });
       },
       "does not decode: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes s = c.make();
    const WsqCheckResult r = check(s);
    EXPECT_FALSE(r.whole);
    EXPECT_FALSE(r.decoded);
    EXPECT_EQ(r.fault.rfind(c.fault, 0), 0u) << r.fault;
  }
}

TEST(WsqStreamCheck, OnlyTheDecodeSeesABlockCutShort) {
  Bytes s = stream();
  s.erase(s.end() - 12, s.end());
  s.insert(s.end(), {0xFF, 0xA1});
  WsqCheckOptions walkOnly;
  walkOnly.decode = false;
  const WsqCheckResult walked = check(s, walkOnly);
  EXPECT_TRUE(walked.whole) << walked.fault;
  EXPECT_FALSE(walked.decoded);
  EXPECT_FALSE(check(s).whole);
}

TEST(WsqStreamCheck, FrameLargerThanTheLimitIsRefused) {
  WsqCheckOptions small;
  small.maxPixels = 96 * 80 - 1;
  const WsqCheckResult r = check(stream(), small);
  EXPECT_FALSE(r.whole);
  EXPECT_EQ(r.fault, "frame of 96 x 80 pixels");
}

TEST(WsqStreamCheck, NullDataIsNotAStream) {
  EXPECT_EQ(checkWsqStream(nullptr, 100).fault, "no start of image");
}

}  // namespace
}  // namespace wsq
