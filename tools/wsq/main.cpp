// main.cpp: entry of the wsq program (the converter velmar-capture-b starts, and a decoder for checks).
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "wsq_cli.h"

#ifdef _WIN32
#include <io.h>
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(wsq_tool::utf8FromWide(argv[i]));
  return wsq_tool::runWsq(args, std::cout, std::cerr, _isatty(_fileno(stderr)) != 0);
}
#else
#include <unistd.h>
int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return wsq_tool::runWsq(args, std::cout, std::cerr, isatty(fileno(stderr)) != 0);
}
#endif
