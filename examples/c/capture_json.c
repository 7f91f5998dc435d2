/* capture_json.c: how a C program calls velmar-device.dll. It loads the DLL by the path given as its
 * first argument (a 32-bit program loads the 32-bit DLL from dist\x86, a 64-bit one dist\velmar-device.dll),
 * reads one request line from standard input, passes it to captureJson, prints the JSON line it gets
 * back and releases it with freeJson. The exit status is the capture's result code (low 8 bits).
 *
 *   echo {"command":"C:\\velmar\\capture\\futronic\\velmar-capture-a.exe","message":"Coloque el dedo"} |
 *     capture_json.exe C:\velmar\velmar-device.dll
 */
#include <windows.h>
/* After windows.h. */
#include <shellapi.h>

#include <stdio.h>
#include <string.h>

#include "velmar_device.h"

int main(void) {
  int argc = 0;
  /* The wide command line, so a DLL path with any character loads. */
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == NULL || argc < 2) {
    fprintf(stderr, "usage: capture_json PATH\\velmar-device.dll < request-line\n");
    return 2;
  }
  HMODULE dll = LoadLibraryW(argv[1]);
  LocalFree(argv);
  if (dll == NULL) {
    fprintf(stderr, "capture_json: LoadLibrary failed with %lu\n", GetLastError());
    return 2;
  }
  /* GetProcAddress returns a generic function pointer; void (*)(void) converts to any function type. */
  captureJsonFunction captureJson = (captureJsonFunction)(void (*)(void))GetProcAddress(dll, "captureJson");
  freeJsonFunction freeJson = (freeJsonFunction)(void (*)(void))GetProcAddress(dll, "freeJson");
  if (captureJson == NULL || freeJson == NULL) {
    fprintf(stderr, "capture_json: GetProcAddress failed with %lu\n", GetLastError());
    FreeLibrary(dll);
    return 2;
  }

  /* One request line, UTF-8 bytes as they come, without its line end. */
  static char request[65536];
  if (fgets(request, sizeof request, stdin) == NULL) request[0] = '\0';
  request[strcspn(request, "\r\n")] = '\0';

  char* line = NULL;
  const int32_t code = captureJson(request, &line);
  if (line != NULL) {
    fwrite(line, 1, strlen(line), stdout);
    fputc('\n', stdout);
  }
  freeJson(line);
  fflush(stdout);
  FreeLibrary(dll);
  return (int)code;
}
