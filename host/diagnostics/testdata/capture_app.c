/* capture_app.c: a program shaped like velmar-capture-a for the diagnostics' tests: it imports the
 * scanning library by ordinal (1 and 17) and Windows' own libraries (KERNEL32 and msvcrt through the C
 * runtime, USER32 and GDI32), so its import table looks like the application's in either bitness. It is
 * only ever read, never run. */
#include <windows.h>

int scan_open(void);
int scan_diodes(void);

int main(int argc, char** argv) {
  (void)argv;
  if (argc > 99) {
    MessageBoxW(NULL, L"", L"", MB_OK);
    return (int)(INT_PTR)GetStockObject(WHITE_BRUSH) + scan_open() + scan_diodes();
  }
  return 0;
}
