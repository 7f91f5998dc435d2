// serve_win.h: velmar-device --serve: the local web service, from its command line to its exit status.
#pragma once

#include <string>
#include <vector>

// Runs the service for the arguments after the program name (the first is "--serve"). Returns 0 after
// Ctrl+C, the console's closing, log-off or shut-down; 1 when the command line cannot be used or the
// port cannot be taken (a line on standard error says why).
int serveMain(const std::vector<std::wstring>& args);
