#include "answer_line.h"

#include <gtest/gtest.h>

namespace {

TEST(FailedCaptureJson, CodeAndItsTexts) {
  EXPECT_EQ(failedCaptureJson(203),
            u8"{\"wsq\":\"\",\"jpg\":\"\",\"exitcode\":\"203\","
            u8"\"error\":\"Tiempo de espera agotado para la captura de la impresión dactilar.\","
            u8"\"solution\":\"Asegúrese de colocar el dedo adecuadamente en el área de captura del dispositivo "
            u8"biométrico en el tiempo requerido por el software.Limpie el área de captura del dispositivo "
            u8"biométrico y reintente.Use el botón de captura manual si lo requiere.\"}");
  EXPECT_EQ(failedCaptureJson(109).rfind(
                u8"{\"wsq\":\"\",\"jpg\":\"\",\"exitcode\":\"109\",\"error\":\"El driver del dispositivo", 0),
            0u);
}

TEST(FailedCaptureJson, CodesWithoutTextsGiveEmptyTexts) {
  EXPECT_EQ(failedCaptureJson(255), R"({"wsq":"","jpg":"","exitcode":"255","error":"","solution":""})");
  EXPECT_EQ(failedCaptureJson(-1), R"({"wsq":"","jpg":"","exitcode":"-1","error":"","solution":""})");
}

TEST(AnswerOutput, PrefixOnlyForTextThatIsNotStrictUtf8) {
  EXPECT_EQ(answerOutput(u8"{\"error\":\"ñ\"}"), u8"{\"error\":\"ñ\"}\n");
  EXPECT_EQ(answerOutput(""), "\n");
  EXPECT_EQ(answerOutput("{\"error\":\"\xC0\x80\"}"),
            "Invalid UTF-8 encoding detected at line {\"error\":\"\xC0\x80\"}\n");
  EXPECT_EQ(answerOutput("\xF1"), "Invalid UTF-8 encoding detected at line \xF1\n");
}

}  // namespace
