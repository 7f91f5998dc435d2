#include "result_texts.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "result_codes.h"

namespace {

const std::int32_t kCodesWithTexts[] = {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 201, 202, 203,
                                        204, 205, 206, 207, 208, 210, 211, 212, 213, 214, 215, 216, 217, 219, 220, 221, 299};

struct Texts {
  std::string error, solution;
};
Texts textsOf(const std::string& code) {
  Texts t;
  resultTexts(code, t.error, t.solution);
  return t;
}

TEST(ResultTexts, EveryDefinedCodeHasBothTexts) {
  for (std::int32_t code : kCodesWithTexts) {
    SCOPED_TRACE(code);
    const Texts t = textsOf(std::to_string(code));
    EXPECT_FALSE(t.error.empty());
    EXPECT_FALSE(t.solution.empty());
  }
}

TEST(ResultTexts, SampleTextsByteForByte) {
  EXPECT_EQ(textsOf("203").error, "Tiempo de espera agotado para la captura de la impresi\xC3\xB3n dactilar.");
  EXPECT_EQ(textsOf("208").solution, "Reintente el proceso de captura nuevamente.");
  EXPECT_EQ(textsOf("211").error, "No se pudo iniciar el dispositivo biom\xC3\xA9trico.");
  EXPECT_EQ(textsOf("112").solution,
            "Desinstale versiones anteriores del software de captura biom\xC3\xA9trica e instale la \xC3\xBAltima "
            "versi\xC3\xB3n seg\xC3\xBAn el manual de instalaci\xC3\xB3n.Ejecute nuevamente la prueba con privilegios "
            "de Administrador.");
  EXPECT_EQ(textsOf("104").solution, "Utilice Windows 7 o superior.");
}

TEST(ResultTexts, SharedTexts) {
  const Texts t202 = textsOf("202");
  for (const char* code : {"205", "217"}) {
    EXPECT_EQ(textsOf(code).error, t202.error) << code;
    EXPECT_EQ(textsOf(code).solution, t202.solution) << code;
  }
  struct Pair {
    const char *a, *b;
  };
  for (const Pair& p : {Pair{"108", "106"}, Pair{"111", "110"}, Pair{"207", "206"}}) {
    EXPECT_EQ(textsOf(p.a).error, textsOf(p.b).error) << p.a;
    EXPECT_EQ(textsOf(p.a).solution, textsOf(p.b).solution) << p.a;
  }
  EXPECT_EQ(textsOf("219").error, textsOf("210").error);
  EXPECT_NE(textsOf("219").solution, textsOf("210").solution);
  const std::string diagnosis = "No se complet\xC3\xB3 el diagn\xC3\xB3stico de funcionamiento del dispositivo biom\xC3\xA9trico.";
  EXPECT_EQ(textsOf("220").error, diagnosis);
  EXPECT_EQ(textsOf("299").error, diagnosis);
}

TEST(ResultTexts, CodesWithoutTextsLeaveTheOutputsAlone) {
  for (const char* code : {"0", "209", "222", "255", "43", "-1", "100"}) {
    Texts t{"before", "kept"};
    resultTexts(code, t.error, t.solution);
    EXPECT_EQ(t.error, "before") << code;
    EXPECT_EQ(t.solution, "kept") << code;
  }
}

TEST(ResultTexts, ParsesLikeTheStandardConversion) {
  const Texts want = textsOf("203");
  for (const char* code : {"0203", "  203", "+203", "203 ", "203abc", "\t00203"}) {
    EXPECT_EQ(textsOf(code).error, want.error) << code;
  }
}

TEST(ResultTexts, TextsThatAreNoNumber) {
  std::string error, solution;
  for (const char* code : {"", "abc", " x1", "-"}) {
    try {
      resultTexts(code, error, solution);
      ADD_FAILURE() << code;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "invalid stoi argument");
    }
  }
  try {
    resultTexts("4294967296", error, solution);
    ADD_FAILURE();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "stoi argument out of range");
  }
}

}  // namespace
