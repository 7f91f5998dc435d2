// main.cpp: GUI entry of velmar-capture-a. Start-up, window and device come with their own files;
// for now the program starts and ends cleanly.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
