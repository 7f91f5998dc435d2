/* scan_library.c: a library shaped like the scanning library for the diagnostics' tests: seven functions
 * exported by ordinal only (which of them, the .def file decides), and one function of another library
 * imported by ordinal, so the file has both tables in either bitness. It is only ever read, never run. */
int ordinal_import(void);

int scan_open(void) { return ordinal_import(); }
int scan_close(void) { return 2; }
int scan_image_size(void) { return 3; }
int scan_frame(void) { return 4; }
int scan_finger(void) { return 5; }
int scan_options(void) { return 6; }
int scan_diodes(void) { return 17; }
