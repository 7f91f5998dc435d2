/* diagnose_caller.c: calls diagnoseJson as an integrator's C program does: velmar-device.dll loaded by
 * its full path, the functions found by name, the line written to standard output exactly as returned
 * (no line feed added) and released with freeJson. Exits with diagnoseJson's result, or 2 when the DLL
 * or a function cannot be found, or 3 for a null line.
 * usage: diagnose_caller DLL_PATH */
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>

#include "velmar_device.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: diagnose_caller DLL_PATH\n");
    return 2;
  }
  HMODULE dll = LoadLibraryW(argv[1]);
  if (!dll) {
    fprintf(stderr, "LoadLibrary failed with %lu\n", GetLastError());
    return 2;
  }
  diagnoseJsonFunction diagnose = (diagnoseJsonFunction)(void*)GetProcAddress(dll, "diagnoseJson");
  freeJsonFunction freeLine = (freeJsonFunction)(void*)GetProcAddress(dll, "freeJson");
  if (!diagnose || !freeLine) {
    fprintf(stderr, "diagnoseJson or freeJson not exported\n");
    return 2;
  }
  char* line = NULL;
  const int32_t status = diagnose(&line);
  if (!line) {
    fprintf(stderr, "diagnoseJson returned a null line\n");
    return 3;
  }
  _setmode(_fileno(stdout), _O_BINARY);
  fwrite(line, 1, strlen(line), stdout);
  fflush(stdout);
  freeLine(line);
  FreeLibrary(dll);
  return (int)status;
}
