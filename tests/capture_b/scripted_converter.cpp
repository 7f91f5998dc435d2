// failing_converter.cpp: a WSQ converter that fails, for tests: it writes a few bytes where the WSQ
// file should go (a truncated file) and ends with exit code 3.
#include <cstdio>

int main(int argc, char** argv) {
  if (argc >= 5) {
    if (FILE* f = std::fopen(argv[4], "wb")) {
      std::fputs("\xFF\xA0\xFF", f);
      std::fclose(f);
    }
  }
  return 3;
}
