// running_captures_win.h: ending the captures that run in this process the way a person does.
#pragma once

// Posts WM_CLOSE to the windows of every capture application this process is running, so each ends
// through its own cancel path (208). Returns how many capture applications it reached. Any thread.
int cancelRunningCaptures();
