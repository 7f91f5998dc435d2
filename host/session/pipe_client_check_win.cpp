#include "pipe_client_check_win.h"

#include "capture_job_win.h"

bool PipeClientCheck::accepts(DWORD processId) const {
  if (processId == 0) return false;
  if (processId == childId_.load()) return true;
  return job_.contains(processId);
}
