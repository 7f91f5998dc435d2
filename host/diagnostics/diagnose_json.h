/* diagnose_json.h: the field diagnostics through the C interface. Compiles as C and as C++. */
#ifndef VELMAR_DIAGNOSE_JSON_H
#define VELMAR_DIAGNOSE_JSON_H

#include <stdint.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Inspects this PC the way velmar-device.exe --diagnose does and sets *line to the report: one
 * NUL-terminated UTF-8 JSON line without a line feed, allocated with the C runtime's malloc, so freeJson
 * (or free in the same runtime) releases it. A null line runs the checks and writes nothing. Returns 0
 * when every check passes and 1 otherwise (also when the line could not be allocated; *line is then
 * null). Never takes a capture application's mutex and starts no capture. */
int32_t WINAPI diagnoseJson(char** line);

#ifdef __cplusplus
}
#endif

#endif
