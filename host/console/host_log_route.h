// host_log_route.h: the host log's set-up: the main logger of log4z configured as the host runs it,
// writing into the host log folder (host_log_folder_win.h), and every host log line (hostLog) sent to
// it from then on.
#pragma once

// Runs the host's log4z configuration sequence, then makes log4z's writer the host log's sink, in
// place of whatever sink was set. Returns whether the logger's writer thread started; lines are still
// routed when it did not (log4z then drops them). Never throws.
bool routeHostLogToLog4z() noexcept;
