/* capture_json.c: how a C program calls velmar-device.dll. It loads the DLL of its own bitness from the
 * installed folder (or the DLL named as its first argument), reads one request line from standard input,
 * passes it to captureJson, prints the JSON line it gets back and releases it with freeJson. The exit
 * status is the capture's result code (low 8 bits), or 2 when the DLL cannot be used.
 *
 *   echo {"command":"C:\\Program Files\\velmar\\capture\\futronic\\velmar-capture-a.exe","message":"Coloque el dedo"} | capture_json.exe
 *
 * captureJson blocks until the capture has ended (up to 600 s): a program with a window calls it from a
 * worker thread, never from the thread that runs the window. Built as C99; any Windows C compiler. */
#include <windows.h>
/* After windows.h. */
#include <shellapi.h>

#include <stdio.h>
#include <string.h>

#include "velmar_device.h"

/* The installer's folder. A 32-bit program takes the 32-bit DLL from x86\ (the bitness of the
 * process decides, not that of Windows). */
#if defined(_WIN64)
#define VELMAR_DLL L"C:\\Program Files\\velmar\\velmar-device.dll"
#else
#define VELMAR_DLL L"C:\\Program Files\\velmar\\x86\\velmar-device.dll"
#endif

int main(void) {
  int argc = 0;
  /* The wide command line, so a DLL path with any character loads. */
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == NULL) {
    fprintf(stderr, "capture_json: CommandLineToArgvW failed with %lu\n", GetLastError());
    return 2;
  }
  HMODULE dll = LoadLibraryW(argc >= 2 ? argv[1] : VELMAR_DLL);
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
  int32_t code = captureJson(request, &line);
  if (line != NULL && line[0] != '\0') {
    fwrite(line, 1, strlen(line), stdout);
    fputc('\n', stdout);
  } else {
    /* Only when the DLL could not allocate the line: the code is all there is. */
    fprintf(stderr, "capture_json: result %ld without a JSON line\n", (long)code);
  }
  freeJson(line); /* every line, empty ones too; null is allowed */
  fflush(stdout);
  FreeLibrary(dll);
  return (int)code;
}
