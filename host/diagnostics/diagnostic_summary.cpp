// diagnostic_summary.cpp: the failed checks' texts, told once each, and the log folders for support.
#include "diagnostic_summary.h"

#include <algorithm>
#include <utility>

std::vector<std::string> diagnosticSummary(const DiagnosticFacts& facts, const std::vector<DiagnosticCheck>& checks) {
  std::vector<std::pair<std::string, std::string>> faults;
  for (const DiagnosticCheck& c : checks) {
    if (c.ok) continue;
    const std::pair<std::string, std::string> fault{c.error, c.solution};
    if (std::find(faults.begin(), faults.end(), fault) == faults.end()) faults.push_back(fault);
  }

  const std::string product =
      "velmar-device " + (facts.version.empty() ? std::string("(versión desconocida)") : facts.version);
  std::vector<std::string> lines;
  if (faults.empty()) {
    lines.push_back("Diagnóstico de " + product + ": todo está en orden.");
  } else {
    lines.push_back("Diagnóstico de " + product + ": " +
                    (faults.size() == 1 ? std::string("se encontró 1 problema.")
                                        : "se encontraron " + std::to_string(faults.size()) + " problemas."));
    const std::size_t shown = std::min(faults.size(), kSummaryFaults);
    for (std::size_t i = 0; i < shown; ++i) {
      lines.push_back(std::to_string(i + 1) + ". " + faults[i].first);
      lines.push_back("   Qué hacer: " + faults[i].second);
    }
    if (faults.size() > shown) {
      lines.push_back("   … y " + std::to_string(faults.size() - shown) + " problemas más, en el informe de la última línea.");
    }
  }

  lines.push_back("Si necesita ayuda, envíe a soporte este informe completo y las carpetas de logs:");
  std::vector<std::string> folders;
  for (const LogFacts& log : facts.logs) {
    if (std::find(folders.begin(), folders.end(), log.folder) != folders.end()) continue;
    folders.push_back(log.folder);
    lines.push_back("   " + log.folder);
  }
  lines.push_back("No envíe imágenes de huellas.");
  return lines;
}
