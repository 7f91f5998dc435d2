#include "capture_command.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

biodeviceInput validated(std::string message, std::string timeout, std::string debugLevel) {
  biodeviceInput input{std::move(message), std::move(timeout), std::move(debugLevel), "", ""};
  validateInput(input);
  return input;
}

TEST(ValidateInput, Timeout) {
  struct Case {
    const char *in, *want;
  };
  const Case cases[] = {
      {"25000", "25000"},   {"600000", "600000"}, {"24999", "45000"},    {"600001", "45000"},
      {"30000abc", "30000"}, {"15000", "45000"},  {" +30000", "30000"},  {"-30000", "45000"},
      {"0", "45000"},        {"0025000", "25000"}, {"99999999999", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    if (*c.want == '\0') {
      EXPECT_THROW(validated("", c.in, "4"), std::runtime_error);
    } else {
      EXPECT_EQ(validated("", c.in, "4").timeout, c.want);
    }
  }
}

TEST(ValidateInput, TimeoutWithoutNumberNamesTheText) {
  for (const char* timeout : {"abc", "", "  "}) {
    try {
      validated("", timeout, "4");
      ADD_FAILURE() << timeout;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(e.what(), "invalid biodeviceInput.timeout='" + std::string(timeout) + "'");
    }
  }
}

TEST(ValidateInput, DebugLevel) {
  struct Case {
    const char *in, *want;
  };
  const Case cases[] = {{"0", "0"}, {"1", "1"}, {"2", "2"},   {"3", "3"},   {"4", "4"},   {"5", "NO"},
                        {"", "NO"}, {"NO", "NO"}, {"04", "NO"}, {" 4", "NO"}, {"-1", "NO"}};
  for (const Case& c : cases) {
    EXPECT_EQ(validated("", "30000", c.in).debugLevel, c.want) << c.in;
  }
}

TEST(ValidateInput, MessageKeepsAtMostHundredBytes) {
  EXPECT_EQ(validated("", "30000", "4").message, "");
  EXPECT_EQ(validated(std::string(100, 'm'), "30000", "4").message, std::string(100, 'm'));
  std::string long150;
  for (int i = 0; i < 150; ++i) long150 += static_cast<char>('a' + i % 26);
  EXPECT_EQ(validated(long150, "30000", "4").message, long150.substr(0, 100));
  // A two-byte character across the limit is cut in the middle.
  const std::string cut = validated(std::string(99, 'x') + "\xC3\xB1", "30000", "4").message;
  EXPECT_EQ(cut, std::string(99, 'x') + "\xC3");
}

TEST(ValidateInput, Utf8MessageIsCutAtAWholeCharacter) {
  struct Case {
    const char* name;
    std::string in, want;
  };
  const std::string x98(98, 'x'), x99(99, 'x');
  const Case cases[] = {
      {"two bytes across the limit", x99 + "\xC3\xB1", x99},
      {"two bytes ending at the limit", x98 + "\xC3\xB1" + "z", x98 + "\xC3\xB1"},
      {"four bytes across the limit", x98 + "\xF0\x9F\x98\x80", x98},
      {"ascii at the limit", std::string(101, 'a'), std::string(100, 'a')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    biodeviceInput input{c.in, "30000", "4", "", ""};
    validateInput(input, CommandText::kUtf8);
    EXPECT_EQ(input.message, c.want);
  }
}

TEST(ValidateInput, EmptyPipeNamesGetTheDefaults) {
  const biodeviceInput input = validated("", "30000", "4");
  EXPECT_EQ(input.wsqPipeName, "\\\\.\\pipe\\wsq");
  EXPECT_EQ(input.bmpPipeName, "\\\\.\\pipe\\bmp");
  biodeviceInput named{"", "30000", "4", "\\\\.\\pipe\\a", "\\\\.\\pipe\\b"};
  validateInput(named);
  EXPECT_EQ(named.wsqPipeName, "\\\\.\\pipe\\a");
  EXPECT_EQ(named.bmpPipeName, "\\\\.\\pipe\\b");
}

TEST(QuoteArgument, WindowsArgumentRules) {
  struct Case {
    const char *in, *want;
  };
  const Case cases[] = {
      {"", "\"\""},
      {"Coloque el dedo", "\"Coloque el dedo\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"ends\\", "\"ends\\\\\""},
      {"two\\\\", "\"two\\\\\\\\\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},
      {"c:\\dir\\file", "\"c:\\dir\\file\""},
      {"\" -p \"x", "\"\\\" -p \\\"x\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(quoteArgument(c.in), c.want) << c.in;
  }
}

TEST(MakeCommandLine, OptionsInOrder) {
  const biodevice device{"", "C:\\apps\\capture.exe", "", "", ""};
  biodeviceInput input{"Coloque el dedo", "45000", "4", "\\\\.\\pipe\\W", "\\\\.\\pipe\\B"};
  EXPECT_EQ(makeCommandLine(device, input),
            "\"C:\\apps\\capture.exe\" -v 4 -lci \"Coloque el dedo\" -t 45000 -p \"\\\\.\\pipe\\W\" -bp "
            "\"\\\\.\\pipe\\B\" -h");
  input.debugLevel = "NO";
  input.message = "";
  input.timeout = "";
  EXPECT_EQ(makeCommandLine(device, input), "\"C:\\apps\\capture.exe\" -p \"\\\\.\\pipe\\W\" -bp \"\\\\.\\pipe\\B\" -h");
  input.debugLevel = "0";
  EXPECT_EQ(makeCommandLine(device, input).substr(0, 28), "\"C:\\apps\\capture.exe\" -v 0 -");
}

TEST(MakeCommandLine, MessageCannotAddOptions) {
  const biodevice device{"", "cap.exe", "", "", ""};
  const biodeviceInput input{"x\" -p \"\\\\.\\pipe\\evil", "45000", "NO", "\\\\.\\pipe\\W", "\\\\.\\pipe\\B"};
  EXPECT_EQ(makeCommandLine(device, input),
            "\"cap.exe\" -lci \"x\\\" -p \\\"\\\\.\\pipe\\evil\" -t 45000 -p \"\\\\.\\pipe\\W\" -bp \"\\\\.\\pipe\\B\" -h");
}

TEST(MakeCommandLine, EmptyPipeNamesFail) {
  const biodevice device{"", "cap.exe", "", "", ""};
  struct Case {
    const char *wsq, *bmp, *error;
  };
  const Case cases[] = {{"", "b", "didn't specify the response pipe name"},
                        {"w", "", "didn't specify the image pipe name"}};
  for (const Case& c : cases) {
    try {
      makeCommandLine(device, biodeviceInput{"", "45000", "4", c.wsq, c.bmp});
      ADD_FAILURE() << c.error;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  }
}

}  // namespace
