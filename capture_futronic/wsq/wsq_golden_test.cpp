// The codec's exact output pinned by SHA-256: the encoder's stream for the synthetic finger and for every
// NIST source, and the decoder's pixels for every reference stream. Any change to the arithmetic, its
// order or the entropy coding that alters a single bit fails here, in every build (x86_64 and i686,
// native and mingw), and on every filter path this processor has (scalar, SSE2, AVX).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "wsq_decoder.h"
#include "wsq_filter_kernel.h"
#include "wsq_test_encode.h"
#include "wsq_test_image.h"
#include "wsq_test_sha256.h"
#include "wsq_testdata.h"

namespace wsq {
namespace {

using testdata::Bytes;
using testdata::dataDir;
using testdata::readFile;
using testing::sha256Hex;

// Runs `check` once on each filter path up to the widest this processor has, then restores the widest.
template <class Check>
void onEveryVectorPath(Check check) {
  for (VectorPath path : {VectorPath::Scalar, VectorPath::Sse2, VectorPath::Avx}) {
    if (useVectorPath(path) != path) continue;
    SCOPED_TRACE(path == VectorPath::Scalar ? "scalar loops" : path == VectorPath::Sse2 ? "SSE2 loops" : "AVX loops");
    check();
  }
  useVectorPath(widestVectorPath());
}

std::string encodedHash(const Bytes& pixels, int width, int height, float bitRate) {
  return sha256Hex(testing::encodeForTest(pixels, width, height, bitRate));
}

TEST(WsqGolden, KnownHashImplementation) {
  EXPECT_EQ(sha256Hex(nullptr, 0), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  const std::string abc = "abc";
  EXPECT_EQ(sha256Hex(reinterpret_cast<const unsigned char*>(abc.data()), abc.size()),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // Two blocks of padding.
  const std::string long56 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  EXPECT_EQ(sha256Hex(reinterpret_cast<const unsigned char*>(long56.data()), long56.size()),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(WsqGolden, EncoderOutputForTheSyntheticFinger) {
  const Bytes finger = testing::syntheticFinger(512, 512);
  struct Case {
    float bitRate;
    const char* hash;
  };
  const Case cases[] = {
      {0.75f, "c91c81dc642fb4f3ff2725b621bb1fdaf4b6511eacec6ab8d410ae8e597d636c"},
      {1.0f, "c166e91a0f108f10c14a3b6eec7edc07855bab7a92f53a0c3e2b680453142bd7"},
  };
  onEveryVectorPath([&] {
    for (const Case& c : cases) {
      EXPECT_EQ(encodedHash(finger, 512, 512, c.bitRate), c.hash) << "synthetic 512 x 512 at " << c.bitRate;
    }
  });
}

TEST(WsqGolden, EncoderOutputForTheNistSources) {
  SKIP_WITHOUT_WSQ_TESTDATA();
  struct Case {
    const char* name;
    int width, height;
    float bitRate;
    const char* hash;
  };
  const Case cases[] = {
      {"cmp00001", 589, 605, 0.75f, "c2344a77d4b89b81492cc6e508582b64671d869875224b6d7203e4568dfe3403"},
      {"cmp00001", 589, 605, 2.25f, "f47aaf82e760bc477c9884f50a53e43531626e9258ba29f95b95011952955145"},
      {"cmp00007", 545, 638, 0.75f, "d01792e013b31391395861befe0b1b2548dfc5c6c51028797d23d551964ddb17"},
      {"cmp00007", 545, 638, 2.25f, "be2885aa98daa0ac41f03fa89e177623c7640e3d1077aba97ed399d73da7a62c"},
      {"cmp00009", 512, 678, 0.75f, "e6b2a2cba6e48244631852af51c9d6cdae4c9174703d2dfbf1ffe85d084121d0"},
      {"cmp00009", 512, 678, 2.25f, "86eb0ccdda34899a93a8df364315ef6f5e2c1d65b61268546585617971e24fde"},
      {"cmp00010", 375, 526, 0.75f, "3189b1ae48fabecfa3e43bf1c85da2ca8a19a6a05e2b9e48bed56d9a36f92a50"},
      {"cmp00010", 375, 526, 2.25f, "ac789a55dc521b742a1ee2ec2a983306afbd4a9f939bb14c6ac46dc9c118e797"},
      {"cmp00014", 466, 578, 0.75f, "fd01f2aa1473fccd3c95a50c3aa12a74a46a79b2e11707380de2d0c52304884d"},
      {"cmp00014", 466, 578, 2.25f, "423867b419542033adb65d04e817feedec468eb10a3d5f181abb0adae59fe120"},
      {"cmp00017", 521, 666, 0.75f, "39354df7d50ccb51b4325006e120bd218af045e9fade1d0e962de16e7d475e20"},
      {"cmp00017", 521, 666, 2.25f, "0d2b4edc099958f0697d796bd4f36eb77dc3754ecc0c0179856272cb91ee0eb1"},
      {"sample_01", 1600, 1500, 0.75f, "7b17e55cfd39b6d9abb44b35756c5e6280c9239e43f212fb53d20aa8bdbbf7a0"},
      {"sample_01", 1600, 1500, 2.25f, "f3df66f980e1e4e24cc05c3c098d23716b8a38706aa183b9a4b63a9416c08a31"},
  };
  onEveryVectorPath([&] {
    for (const Case& c : cases) {
      Bytes source;
      ASSERT_TRUE(readFile(dataDir() + "/raw/" + c.name + ".raw", source)) << c.name;
      ASSERT_EQ(source.size(), static_cast<size_t>(c.width) * c.height) << c.name;
      EXPECT_EQ(encodedHash(source, c.width, c.height, c.bitRate), c.hash) << c.name << " at " << c.bitRate;
    }
  });
}

TEST(WsqGolden, DecoderPixelsForTheReferenceStreams) {
  SKIP_WITHOUT_WSQ_TESTDATA();
  struct Case {
    const char* file;
    const char* hash;
  };
  const Case cases[] = {
      {"ref075/cmp00001.wsq", "87a74e994ba18b9569b9cfdbcfb451039d1133a26940f02b17e8b914d68703d2"},
      {"ref075/cmp00007.wsq", "1eafd1e3412785f289dc03fac63a9b6be5081bbf9f03060477e53df0fc7d285d"},
      {"ref075/cmp00009.wsq", "c3f826c4507d995bad15f2045a375b5daa63bf6f08a0a5b329db386d0ac4612c"},
      {"ref075/cmp00010.wsq", "856a174a25835343e1b0bd74c79069d93a108c63bfa87fcc3e7a2c0b824160cb"},
      {"ref075/cmp00014.wsq", "3aa69d1c1057a014a6aab8d9e80e781af01a7f5f277f8781dbe824de6b56738e"},
      {"ref075/cmp00017.wsq", "a0724b507c091c3d6ae0e8224a4d4c01b4f0a51e15007ec7c3d8ea7770205f4f"},
      {"ref075/sample_01.wsq", "eb574ea84e1a11ec8bfdd7e7eba8c41d1cc129ffe26626445d0c7eefa68a821e"},
      {"ref225/cmp00001.wsq", "749517a0fa85e8c4f608b605e269623c3cc256345fdb4c1369ffe40c769f4466"},
      {"ref225/cmp00007.wsq", "d38901c9879f230c2af543d52e88d88274980768e2cdc63c19e50c945d513e34"},
      {"ref225/cmp00009.wsq", "dc1556e3b879ca785db7be947ec67b919c96f04e0c8bad0dac213414718c6c49"},
      {"ref225/cmp00010.wsq", "7a2da7365a40be8a0817d1aa1b7faacf06636adaad52bb6c92aabcd96e130c41"},
      {"ref225/cmp00014.wsq", "999dbf1d117713384ab3091e107e97454792c0438d778061623c83745ddf2ba3"},
      {"ref225/cmp00017.wsq", "9b80fa856a2ab30b3cfc326710e07802e5daff5ec4384db66b3f4a5b6660123d"},
      {"ref225/sample_01.wsq", "a6f444614ab2518b8bb7c5ba6bd6ec2b03a785c459438b7832f0f5ea3576a695"},
      {"nonstd/cmp00009.wsq", "5b944503000b2c941ef633f042ee828ce93d50da267f9d118893379bdebdf58c"},
      {"nonstd/cmp00010.wsq", "c15f63974a847a7c9f43267f254503c3c548465a2b1349e8b9aa560247e876ec"},
      {"nonstd/cmp00013.wsq", "0f7853eaa79d97e48023a537b2c34ecd6330192f1ce9d1a5a824c238da9d3515"},
      {"nonstd/cmp00014.wsq", "60ba542f005846275422a9c040c08381d7d103a8cb2727ebaddada1c4ad618f4"},
      {"nonstd/cmp00015.wsq", "ed7686ef5f7bbf7e3acc2d0bbc20d15d9ff252b04afc6e708f6ff7b3a5d3322e"},
      {"nonstd/cmp00016.wsq", "f0ab599df84593863c444f2da58718ebf8c0c602243d836f118df7ec88fe49d7"},
  };
  onEveryVectorPath([&] {
    for (const Case& c : cases) {
      Bytes stream;
      ASSERT_TRUE(readFile(dataDir() + "/" + c.file, stream)) << c.file;
      WsqImage image;
      std::string error;
      ASSERT_TRUE(decodeWsq(stream.data(), stream.size(), image, error)) << c.file << ": " << error;
      EXPECT_EQ(sha256Hex(image.pixels), c.hash) << c.file;
    }
  });
}

}  // namespace
}  // namespace wsq
