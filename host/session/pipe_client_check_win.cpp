#include "pipe_client_check_win.h"

#include "capture_job_win.h"

bool PipeClientCheck::accepts(DWORD processId, bool releasing) const {
  if (processId == 0) return false;
  if (processId == GetCurrentProcessId()) return releasing;
  if (processId == childId_.load()) return true;
  return job_.contains(processId);
}
