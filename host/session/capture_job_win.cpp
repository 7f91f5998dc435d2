#include "capture_job_win.h"

#include <vector>

#include "api_failure.h"

CaptureJob::CaptureJob() {
  job_.reset(CreateJobObjectW(nullptr, nullptr));
  if (!job_) {
    failure_ = velmar::apiFailure("CreateJobObject", GetLastError());
    return;
  }
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
    // Without kill-on-close the job would let processes outlive the session: not the job we want.
    failure_ = velmar::apiFailure("SetInformationJobObject", GetLastError());
    job_.reset();
  }
}

bool CaptureJob::assign(HANDLE process) {
  if (!job_) return false;
  if (!AssignProcessToJobObject(job_.get(), process)) {
    failure_ = velmar::apiFailure("AssignProcessToJobObject", GetLastError());
    return false;
  }
  assigned_ = true;
  return true;
}

long CaptureJob::activeProcesses() const {
  std::lock_guard<std::mutex> hold(lock_);
  if (!job_ || !assigned_) return -1;
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
  if (!QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &accounting, sizeof(accounting),
                                 nullptr)) {
    return -1;
  }
  return static_cast<long>(accounting.ActiveProcesses);
}

void CaptureJob::close() noexcept {
  std::lock_guard<std::mutex> hold(lock_);
  job_.reset();
}

bool CaptureJob::contains(DWORD processId) const {
  std::lock_guard<std::mutex> hold(lock_);
  if (!job_ || !assigned_ || processId == 0) return false;
  // The job's own list of live members: unlike IsProcessInJob it needs no handle to the client's
  // process, which a process of another user or integrity level would not grant.
  std::vector<BYTE> buffer(sizeof(JOBOBJECT_BASIC_PROCESS_ID_LIST) + 64 * sizeof(ULONG_PTR));
  for (;;) {
    auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
    if (QueryInformationJobObject(job_.get(), JobObjectBasicProcessIdList, list, static_cast<DWORD>(buffer.size()),
                                  nullptr)) {
      for (DWORD i = 0; i < list->NumberOfProcessIdsInList; ++i) {
        if (list->ProcessIdList[i] == processId) return true;
      }
      return false;
    }
    if (GetLastError() != ERROR_MORE_DATA || buffer.size() > (1u << 20)) return false;
    buffer.resize(buffer.size() * 4);
  }
}
