// result_codes_sdk: keeps the SDK's result-code files and README's result-code table equal to the host's
// table of result codes.
//
//   result_codes_sdk --check SOURCE_DIR   exit 1, naming each file that differs from the table
//   result_codes_sdk --write SOURCE_DIR   rewrite them from the table
//
// The files: host/exports/include/velmar_result_codes.h, host/exports/sdk/velmar_result_codes.json and,
// in README.md, the lines between the two result-code markers.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "result_codes_sdk.h"

namespace {

const char kBegin[] = "<!-- result codes: written by result_codes_sdk --write from the host's table; do not edit -->\n";
const char kEnd[] = "<!-- end of result codes -->\n";

bool readFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

bool writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

// README with the table between the markers replaced; empty when the markers are missing.
std::string withTable(const std::string& readme) {
  const std::size_t begin = readme.find(kBegin);
  const std::size_t end = readme.find(kEnd);
  if (begin == std::string::npos || end == std::string::npos || end < begin) return {};
  const std::size_t tableStart = begin + std::strlen(kBegin);
  return readme.substr(0, tableStart) + resultCodesMarkdown() + readme.substr(end);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "--check") != 0 && std::strcmp(argv[1], "--write") != 0)) {
    std::fprintf(stderr, "usage: result_codes_sdk --check|--write SOURCE_DIR\n");
    return 2;
  }
  const bool write = std::strcmp(argv[1], "--write") == 0;
  const std::string root = argv[2];
  const std::string readmePath = root + "/README.md";
  std::string readme;
  if (!readFile(readmePath, readme)) {
    std::fprintf(stderr, "result_codes_sdk: cannot read %s\n", readmePath.c_str());
    return 2;
  }
  const std::string readmeWanted = withTable(readme);
  if (readmeWanted.empty()) {
    std::fprintf(stderr, "result_codes_sdk: %s lacks the result-code markers:\n%s%s", readmePath.c_str(), kBegin, kEnd);
    return 1;
  }
  const struct {
    std::string path, wanted;
  } files[] = {
      {root + "/host/exports/include/velmar_result_codes.h", resultCodesCHeader()},
      {root + "/host/exports/sdk/velmar_result_codes.json", resultCodesJson()},
      {readmePath, readmeWanted},
  };
  int differing = 0;
  for (const auto& file : files) {
    std::string present;
    if (readFile(file.path, present) && present == file.wanted) continue;
    if (write) {
      if (!writeFile(file.path, file.wanted)) {
        std::fprintf(stderr, "result_codes_sdk: cannot write %s\n", file.path.c_str());
        return 2;
      }
      std::printf("result_codes_sdk: wrote %s\n", file.path.c_str());
    } else {
      std::fprintf(stderr, "result_codes_sdk: %s differs from the table of result codes\n", file.path.c_str());
      ++differing;
    }
  }
  if (differing > 0) {
    std::fprintf(stderr, "result_codes_sdk: run result_codes_sdk --write %s (native build) to rewrite them\n",
                 root.c_str());
    return 1;
  }
  if (!write) std::printf("result_codes_sdk: the SDK files and README agree with the table\n");
  return 0;
}
