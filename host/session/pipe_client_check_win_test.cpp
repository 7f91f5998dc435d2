// Who may write a session's pipes: the job's members, or the child alone where the job could not be
// had; never the host itself. Real processes under Wine (cmd.exe as the child).
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
  EXPECT_TRUE(check.accepts(child.processId()));
  EXPECT_FALSE(job.contains(GetCurrentProcessId()));
  child.wait();
  check.childEnded();
  EXPECT_FALSE(check.accepts(child.processId())) << "an ended child's id may be reused";
  EXPECT_EQ(child.exitCode(), 4u);
}

// A job nothing could be put into stands for one the system refused (a host already in a job that
// forbids nesting): only the child's own id passes.
TEST(PipeClientCheck, WithoutTheJobOnlyTheChildItself) {
  CaptureJob job;
  PipeClientCheck check(job);
  const DWORD self = GetCurrentProcessId();
  EXPECT_FALSE(check.accepts(0)) << "unknown client";
  EXPECT_FALSE(check.accepts(1234)) << "child not yet created";
  EXPECT_FALSE(check.accepts(self)) << "the host itself";
  check.childCreated(1234);
  EXPECT_TRUE(check.accepts(1234));
  EXPECT_FALSE(check.accepts(kStranger));
  EXPECT_FALSE(check.accepts(self));
}

}  // namespace
