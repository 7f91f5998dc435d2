// The result processing's admission: the first outcome, the fourth cancellation during processing,
// and nothing once a result has been delivered; the reader slot that no cancel passes after a close.
#include "capture_admission.h"

#include <gtest/gtest.h>

#include <vector>

#include "reader_slot.h"
#include "result_codes.h"

namespace capture_b {
namespace {

TEST(CaptureAdmission, FirstOutcomeThenTheFourthCancelDuringProcessing) {
  CaptureAdmission a;
  int ignored = -1;
  EXPECT_EQ(a.admit(DEV_SUCCESS, ignored), Admission::First);
  EXPECT_EQ(a.admit(DEV_ERR_TIMEOUT, ignored), Admission::Ignored);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(a.admit(DEV_ERR_CANCELLED, ignored), Admission::Ignored);
    EXPECT_EQ(ignored, i);
  }
  EXPECT_EQ(a.admit(DEV_ERR_CANCELLED, ignored), Admission::ForcedCancel);
  EXPECT_EQ(ignored, 3);
  // The forced cancel delivers first; the first processing then finds the delivery taken.
  EXPECT_TRUE(a.claimDelivery());
  EXPECT_FALSE(a.claimDelivery());
}

// The race: a capture has been delivered and the dialog is in its closing second when the user holds
// Escape (or the timeout watch fires): none of these reaches the processing again.
TEST(CaptureAdmission, NothingIsAdmittedAfterDelivery) {
  CaptureAdmission a;
  int ignored = 0;
  ASSERT_EQ(a.admit(DEV_SUCCESS, ignored), Admission::First);
  ASSERT_TRUE(a.claimDelivery());
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(a.admit(DEV_ERR_CANCELLED, ignored), Admission::AfterDelivery);
    EXPECT_EQ(ignored, i);  // still counted, for the log
  }
  EXPECT_EQ(a.admit(DEV_ERR_TIMEOUT, ignored), Admission::AfterDelivery);
  EXPECT_FALSE(a.claimDelivery());
  EXPECT_TRUE(a.delivered());
}

TEST(ReaderSlot, NoUseReachesAClosedReader) {
  ReaderSlot<int*> slot;
  int reader = 7;
  std::vector<int*> cancelled, closed;
  auto cancel = [&](int* r) { cancelled.push_back(r); };
  EXPECT_FALSE(slot.use(cancel));  // nothing open yet
  slot.set(&reader);
  EXPECT_TRUE(slot.use(cancel));
  EXPECT_EQ(slot.close([&](int* r) { closed.push_back(r); return 0; }), 0);
  EXPECT_TRUE(slot.empty());
  EXPECT_FALSE(slot.use(cancel));  // the timeout watch's late cancel
  EXPECT_EQ(cancelled, std::vector<int*>{&reader});
  EXPECT_EQ(closed, std::vector<int*>{&reader});
  EXPECT_EQ(slot.close([&](int*) { return 5; }), 0);  // closing again calls nothing
}

TEST(ReaderSlot, AFailedCloseKeepsTheReader) {
  ReaderSlot<int*> slot;
  int reader = 1;
  slot.set(&reader);
  EXPECT_EQ(slot.close([](int*) { return 0x05BA001F; }), 0x05BA001F);
  EXPECT_FALSE(slot.empty());
}

}  // namespace
}  // namespace capture_b
