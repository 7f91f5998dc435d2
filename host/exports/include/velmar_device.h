/* velmar_device.h: the C interface of velmar-device.dll, for callers in any language and either
 * bitness (the 64-bit DLL for 64-bit programs, the 32-bit one from the x86 folder for 32-bit programs).
 * Compiles as C (C99) and as C++. Every function uses the WINAPI (__stdcall) convention and is exported
 * under its plain name, so GetProcAddress(module, "captureJson") finds it in both bitnesses.
 *
 * Texts are UTF-8. What the DLL allocates, the DLL frees: pass every line from captureJson to freeJson,
 * never to free() (the caller's C runtime may not be the DLL's). Any function may be called from
 * several threads at once. */
#ifndef VELMAR_DEVICE_H
#define VELMAR_DEVICE_H

#include <stdint.h>

/* The calling convention of every function: __stdcall (WINAPI) on Windows, which 64-bit compilers
 * ignore; nothing elsewhere, so the header also compiles where __stdcall is unknown (a tool reading
 * the declarations, a test compiler on another system). A caller may define it beforehand. */
#ifndef VELMAR_DEVICE_CALL
#if defined(_WIN32)
#define VELMAR_DEVICE_CALL __stdcall
#else
#define VELMAR_DEVICE_CALL
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Runs one capture for request, one request line exactly as velmar-device.exe reads it on standard
 * input (UTF-8, for example
 * {"command":"C:\\Program Files\\velmar\\capture\\futronic\\velmar-capture-a.exe",
 * "message":"Coloque el dedo"}, with optional "timeout" and "debugLevel" members), and returns its
 * result code (0 for a capture). Blocks until the capture application has ended.
 *
 * *line receives a NUL-terminated UTF-8 JSON line, the one the console program prints for the same
 * request (without its line feed), failure texts included; release it with freeJson. A null request,
 * or one that cannot be read, starts nothing and returns 211 with the line of 211. A null line writes
 * nothing; *line is null when the line could not be allocated. Nothing else of the calling process is
 * changed (code pages, locale, console and standard streams stay as they are). */
int32_t VELMAR_DEVICE_CALL captureJson(const char* request, char** line);

/* Ends every capture running in the calling process (captureJson or capture, on any thread) the way
 * a person does: it closes the capture application's window, and that capture then returns 208 with
 * its line. Returns how many captures it reached: 0 when none runs, or when the capture application
 * has not shown its window yet. Does not wait for them to end. Any thread. */
int32_t VELMAR_DEVICE_CALL cancelCapture(void);

/* Frees a line from captureJson or diagnoseJson; null is allowed and does nothing. */
void VELMAR_DEVICE_CALL freeJson(char* line);

/* The field diagnostics of velmar-device.exe --diagnose: sets *line to the report, one UTF-8 JSON line
 * (release it with freeJson), and returns 0 when every check passes, 1 otherwise. A null line runs the
 * checks and writes nothing. Starts no capture and takes no capture application's mutex. */
int32_t VELMAR_DEVICE_CALL diagnoseJson(char** line);

/* The functions as GetProcAddress returns them. */
typedef int32_t(VELMAR_DEVICE_CALL* captureJsonFunction)(const char* request, char** line);
typedef void(VELMAR_DEVICE_CALL* freeJsonFunction)(char* line);
typedef int32_t(VELMAR_DEVICE_CALL* diagnoseJsonFunction)(char** line);
typedef int32_t(VELMAR_DEVICE_CALL* cancelCaptureFunction)(void);

#ifdef __cplusplus
}
#endif

#endif /* VELMAR_DEVICE_H */
