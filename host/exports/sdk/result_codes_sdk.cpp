#include "result_codes_sdk.h"

#include <nlohmann/json.hpp>

#include <cstdio>

#include "result_catalog.h"
#include "result_texts.h"

namespace {

struct Row {
  const ResultCatalogEntry& entry;
  std::string error, solution;
};

template <typename Visit>
void forEachCode(Visit visit) {
  std::size_t count = 0;
  const ResultCatalogEntry* entries = resultCatalog(count);
  for (std::size_t i = 0; i < count; ++i) {
    const ResultText text = findResultText(entries[i].code);
    visit(Row{entries[i], text.error ? text.error : "", text.solution ? text.solution : ""});
  }
}

// A C string literal of UTF-8 text in ASCII: bytes above 0x7E as three-digit octal escapes, which no
// following character can extend (a hex escape would swallow a following a-f).
std::string cLiteral(const std::string& text) {
  std::string out = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c > 0x7E) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\%03o", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

const char* retryMacro(RetryHelps retry) {
  switch (retry) {
    case RetryHelps::kYes: return "VELMAR_RETRY_YES";
    case RetryHelps::kAfterFix: return "VELMAR_RETRY_AFTER_FIX";
    case RetryHelps::kNotApplicable: break;
  }
  return "VELMAR_RETRY_NOT_APPLICABLE";
}

// A C comment of text, its lines wrapped at word boundaries to about 100 columns.
std::string cComment(const std::string& text) {
  const std::size_t width = 100;
  std::string out = "/*", line;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!line.empty() && 3 + line.size() + 1 + word.size() > width) {
      out += line + "\n *";
      line.clear();
    }
    line += " " + word;
    start = end + 1;
  }
  return out + line + " */\n";
}

std::string markdownCell(const std::string& text) {
  if (text.empty()) return "(none)";
  std::string out;
  for (const char c : text) {
    if (c == '|') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

std::string resultCodesCHeader() {
  std::string h =
      "/* velmar_result_codes.h: the result codes of velmar-device (the value captureJson returns, the\n"
      " * \"exitcode\" of the JSON line, a capture application's exit code), with their names, when they\n"
      " * happen, whether the same request made again can help, and, in the table below, the Spanish error\n"
      " * and solution texts the JSON line carries. Compiles as C (C99) and as C++. Numbers not listed here\n"
      " * have no meaning and no texts.\n"
      " *\n"
      " * Written from the host's table of result codes (the same as sdk/velmar_result_codes.json and the\n"
      " * table in README); do not edit. */\n"
      "#ifndef VELMAR_RESULT_CODES_H\n"
      "#define VELMAR_RESULT_CODES_H\n"
      "\n"
      "/* Whether the same request, made again, can end in a capture. */\n"
      "#define VELMAR_RETRY_YES 1            /* the cause passes: the finger, the person, a busy device */\n"
      "#define VELMAR_RETRY_AFTER_FIX 2      /* only after someone does what the solution text says */\n"
      "#define VELMAR_RETRY_NOT_APPLICABLE 0 /* success, or a code this version never produces */\n"
      "\n";
  forEachCode([&](const Row& row) {
    h += cComment(std::string(row.entry.when) + " Retry: " + retryHelpsText(row.entry.retry) + ".");
    h += "#define " + std::string(row.entry.name) + " " + std::to_string(row.entry.code) + "\n";
  });
  h +=
      "\n"
      "/* The whole table (UTF-8 texts; empty for DEV_SUCCESS), for a program that shows the texts itself:\n"
      " * define VELMAR_RESULT_CODE_TABLE in one source file before including this header. */\n"
      "#ifdef VELMAR_RESULT_CODE_TABLE\n"
      "typedef struct velmar_result_code_entry {\n"
      "  int code;\n"
      "  const char* name;\n"
      "  const char* error;    /* Spanish error text, UTF-8 */\n"
      "  const char* solution; /* Spanish solution text, UTF-8 */\n"
      "  int retry;            /* VELMAR_RETRY_... */\n"
      "} velmar_result_code_entry;\n"
      "\n"
      "static const velmar_result_code_entry velmar_result_code_table[] = {\n";
  forEachCode([&](const Row& row) {
    h += "    {" + std::string(row.entry.name) + ", " + cLiteral(row.entry.name) + ",\n     " + cLiteral(row.error) +
         ",\n     " + cLiteral(row.solution) + ",\n     " + retryMacro(row.entry.retry) + "},\n";
  });
  h +=
      "};\n"
      "#endif /* VELMAR_RESULT_CODE_TABLE */\n"
      "\n"
      "#endif /* VELMAR_RESULT_CODES_H */\n";
  return h;
}

std::string resultCodesJson() {
  nlohmann::ordered_json codes = nlohmann::ordered_json::array();
  forEachCode([&](const Row& row) {
    codes.push_back({{"code", row.entry.code},
                     {"name", row.entry.name},
                     {"error", row.error},
                     {"solution", row.solution},
                     {"when", row.entry.when},
                     {"retry", retryHelpsText(row.entry.retry)}});
  });
  return codes.dump(2) + "\n";
}

std::string resultCodesMarkdown() {
  std::string md =
      "| Code | Name | When it happens | Retry helps | Error text | Solution text |\n"
      "|---|---|---|---|---|---|\n";
  forEachCode([&](const Row& row) {
    md += "| " + std::to_string(row.entry.code) + " | `" + row.entry.name + "` | " + markdownCell(row.entry.when) +
          " | " + retryHelpsText(row.entry.retry) + " | " + markdownCell(row.error) + " | " +
          markdownCell(row.solution) + " |\n";
  });
  return md;
}
