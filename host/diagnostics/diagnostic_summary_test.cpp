// diagnostic_summary_test.cpp: the lines a person reads before the report line.
#include "diagnostic_summary.h"

#include <gtest/gtest.h>

namespace {

DiagnosticFacts factsWithLogs() {
  DiagnosticFacts f;
  f.version = "1.4.0";
  f.logs = {{"velmar-device", "C:\\Users\\ana\\AppData\\Local\\velmar\\velmar-device", ""},
            {"velmar-capture-a", "C:\\Users\\ana\\AppData\\Local\\velmar\\velmar-capture-a", "x.log"}};
  return f;
}

DiagnosticCheck failure(const std::string& name, const std::string& error, const std::string& solution) {
  return {name, false, error, solution};
}

TEST(DiagnosticSummary, AllInOrderNamesTheLogFoldersForSupportAndNoImages) {
  const auto lines = diagnosticSummary(factsWithLogs(), {{"version", true, "", ""}});
  const std::vector<std::string> expected = {
      "Diagnóstico de velmar-device 1.4.0: todo está en orden.",
      "Si necesita ayuda, envíe a soporte este informe completo y las carpetas de logs:",
      "   C:\\Users\\ana\\AppData\\Local\\velmar\\velmar-device",
      "   C:\\Users\\ana\\AppData\\Local\\velmar\\velmar-capture-a",
      "No envíe imágenes de huellas.",
  };
  EXPECT_EQ(lines, expected);
}

TEST(DiagnosticSummary, EachFaultOnceWithWhatToDo) {
  DiagnosticFacts facts = factsWithLogs();
  facts.version.clear();
  const std::vector<DiagnosticCheck> checks = {
      {"version", true, "", ""},
      failure("a", "Este PC no puede ejecutar programas de 32 bits.", "Active WoW64."),
      failure("b", "Este PC no puede ejecutar programas de 32 bits.", "Active WoW64."),  // same fault, another app
      failure("c", "No se encontró el archivo ../../wsq.exe.", "Reinstale."),
  };
  const auto lines = diagnosticSummary(facts, checks);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Diagnóstico de velmar-device (versión desconocida): se encontraron 2 problemas.");
  EXPECT_EQ(lines[1], "1. Este PC no puede ejecutar programas de 32 bits.");
  EXPECT_EQ(lines[2], "   Qué hacer: Active WoW64.");
  EXPECT_EQ(lines[3], "2. No se encontró el archivo ../../wsq.exe.");
  EXPECT_EQ(lines[4], "   Qué hacer: Reinstale.");
  EXPECT_EQ(lines[5], "Si necesita ayuda, envíe a soporte este informe completo y las carpetas de logs:");
}

TEST(DiagnosticSummary, OneFaultInTheSingularAndManyFaultsCountedBeyondTheFirst) {
  const auto one = diagnosticSummary(factsWithLogs(), {failure("a", "E.", "S.")});
  EXPECT_EQ(one[0], "Diagnóstico de velmar-device 1.4.0: se encontró 1 problema.");

  std::vector<DiagnosticCheck> checks;
  for (std::size_t i = 0; i < kSummaryFaults + 3; ++i) {
    checks.push_back(failure(std::to_string(i), "Error " + std::to_string(i) + ".", "S."));
  }
  const auto lines = diagnosticSummary(factsWithLogs(), checks);
  EXPECT_EQ(lines[0], "Diagnóstico de velmar-device 1.4.0: se encontraron " + std::to_string(kSummaryFaults + 3) +
                          " problemas.");
  EXPECT_EQ(lines[2 * kSummaryFaults - 1], std::to_string(kSummaryFaults) + ". Error " +
                                               std::to_string(kSummaryFaults - 1) + ".");
  EXPECT_EQ(lines[2 * kSummaryFaults + 1], "   … y 3 problemas más, en el informe de la última línea.");
}

}  // namespace
