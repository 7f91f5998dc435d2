// main.cpp: entry of the velmar-device console program. The request/answer loop comes with the
// capture session; for now the program starts and ends cleanly.
int wmain() { return 0; }
