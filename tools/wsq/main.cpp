// main.cpp: the wsq command-line converter. Encoding and decoding come with the WSQ codec; until then
// the program says so and fails.
#include <cstdio>

int main() {
  std::fputs("wsq: the WSQ codec is not built yet\n", stderr);
  return 2;
}
