// scripted_converter.cpp: a WSQ converter for tests that takes the real converter's command line and
// does what VELMAR_CONVERTER says (capture-b passes its environment on):
//   unset         writes three bytes where the WSQ file should go and ends with exit code 3
//   "whole N"     converts like the real one (a whole WSQ file), then ends with exit code N
//   "half N"      converts, cuts the file to its first half, then ends with exit code N
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "wsq_cli.h"

int main(int argc, char** argv) {
  const char* script = std::getenv("VELMAR_CONVERTER");
  if (!script || !*script) {
    if (argc >= 5) {
      if (FILE* f = std::fopen(argv[4], "wb")) {
        std::fputs("\xFF\xA0\xFF", f);
        std::fclose(f);
      }
    }
    return 3;
  }
  std::istringstream words(script);
  std::string kind;
  int exitCode = 0;
  words >> kind >> exitCode;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (wsq_tool::runWsq(args, std::cout, std::cerr) != 0 || args.size() < 4) return 99;
  if (kind == "half") {
    std::vector<char> bytes;
    {
      std::ifstream in(args[3], std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(args[3], std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<long>(bytes.size() / 2));
  }
  return exitCode;
}
