// Who may write a session's pipes: the job's members, the child alone where the job could not be had,
// and the host only while it releases a reader. Real processes under Wine (cmd.exe as the child).
#include "pipe_client_check_win.h"

#include <gtest/gtest.h>

#include "capture_job_win.h"
#include "child_win.h"

namespace {

constexpr DWORD kStranger = 0x7FFFFFF0;  // no process has this id

TEST(PipeClientCheck, ChildInTheJob) {
  CaptureJob job;
  ASSERT_TRUE(job.usable()) << job.failure();
  PipeClientCheck check(job);
  Child child("cmd.exe /c exit 4");
  bool memberBeforeItRuns = false;
  child.start(&job, [&](DWORD id) {
    check.childCreated(id);
    memberBeforeItRuns = job.contains(id);
  });
  EXPECT_TRUE(child.inJob());
  EXPECT_TRUE(memberBeforeItRuns);
  EXPECT_TRUE(check.accepts(child.processId(), false));
  EXPECT_FALSE(job.contains(GetCurrentProcessId()));
  child.wait();
  check.childEnded();
  EXPECT_FALSE(check.accepts(child.processId(), false)) << "an ended child's id may be reused";
  EXPECT_EQ(child.exitCode(), 4u);
}

// A job nothing could be put into stands for one the system refused (a host already in a job that
// forbids nesting): only the child's own id passes.
TEST(PipeClientCheck, WithoutTheJobOnlyTheChildItself) {
  CaptureJob job;
  PipeClientCheck check(job);
  const DWORD self = GetCurrentProcessId();
  struct Case {
    const char* name;
    DWORD processId;
    bool releasing, accepted;
  };
  const Case before[] = {
      {"unknown client", 0, false, false},
      {"child not yet created", 1234, false, false},
      {"host, not releasing", self, false, false},
      {"host releasing", self, true, true},
  };
  for (const Case& c : before) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(check.accepts(c.processId, c.releasing), c.accepted);
  }
  check.childCreated(1234);
  EXPECT_TRUE(check.accepts(1234, false));
  EXPECT_FALSE(check.accepts(kStranger, false));
  EXPECT_FALSE(check.accepts(kStranger, true));
}

}  // namespace
