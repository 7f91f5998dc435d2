// diagnose_command_win.h: velmar-device --diagnose on the console.
#pragma once

// Inspects this PC, prints the Spanish summary for a person and then the report as the last line (the
// same JSON line diagnoseJson gives), all UTF-8. Returns 0 when every check passes and 1 otherwise.
int runDiagnoseCommand();
