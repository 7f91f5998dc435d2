/* print_result_codes.c: a C program that uses the SDK headers as an integrator's program does: it
 * declares the C interface's function types and prints the table of velmar_result_codes.h, one code a
 * line: code, name, error and solution texts (as hex bytes), and the retry value, separated by tabs. */
#include <stdio.h>
#include <string.h>

#include "velmar_device.h"
#define VELMAR_RESULT_CODE_TABLE
#include "velmar_result_codes.h"

static void printHex(const char* text) {
  size_t i;
  for (i = 0; i < strlen(text); ++i) printf("%02x", (unsigned)(unsigned char)text[i]);
}

int main(void) {
  size_t i;
  /* The types a caller gets from GetProcAddress compile here too. */
  captureJsonFunction captureJson = NULL;
  freeJsonFunction freeJson = NULL;
  diagnoseJsonFunction diagnoseJson = NULL;
  if (captureJson != NULL || freeJson != NULL || diagnoseJson != NULL) return 1;
  if (DEV_SUCCESS != 0 || DEV_ERR_TIMEOUT != 203 || DEV_ERR_FAILURE != 299) return 1;

  for (i = 0; i < sizeof velmar_result_code_table / sizeof velmar_result_code_table[0]; ++i) {
    const velmar_result_code_entry* entry = &velmar_result_code_table[i];
    printf("%d\t%s\t", entry->code, entry->name);
    printHex(entry->error);
    printf("\t");
    printHex(entry->solution);
    printf("\t%d\n", entry->retry);
  }
  return 0;
}
