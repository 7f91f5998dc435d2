#include "result_catalog.h"

#include "result_codes.h"

namespace {

// The name is the constant's own spelling, so the table cannot name a code wrongly.
#define RESULT(constant, when, retry) {constant, #constant, when, RetryHelps::retry}

const char kNotProduced[] =
    "Not produced by this version; defined so that callers written for earlier versions keep their handling.";

const ResultCatalogEntry kCatalog[] = {
    RESULT(DEV_SUCCESS, "A capture: \"wsq\" and \"jpg\" carry the print.", kNotApplicable),
    RESULT(DEV_ERR_JAVA_NOT_FOUND, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_JAVA_PLATFORM_NOT_SUPPORTED, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_JAVA_VERSION_NOT_SUPPORTED, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_OS_NOT_SUPPORTED, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_APP_NOT_FOUND, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_APP_INVALID_REGISTRY, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_APP_NOT_INITIALIZED, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_APP_NOT_FOUND_FILE, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_DRIVER_INVALID,
           "The capture application ended without sending anything: it crashed, was ended, or could not start "
           "(a scanner library missing or of the wrong bitness does this every time: run "
           "velmar-device.exe --diagnose).",
           kYes),
    RESULT(DEV_ERR_DLL_INVALID, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_DRIVER_NOT_SUPPORTED, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_DRIVER_TEST_FAILED, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_DRIVER_NOT_FOUND, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_NOT_CONNECTED, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_ALREADY_RUNNING,
           "A capture with the same capture application is already running, in this process or another one "
           "(its single-instance mutex is taken).",
           kYes),
    RESULT(DEV_ERR_TIMEOUT,
           "No finger was accepted in time: capture-a allows at most 30 s, capture-b the request's \"timeout\" "
           "(45 s by default).",
           kYes),
    RESULT(DEV_ERR_WRONG_FINGERPRINT,
           "The image held no finger, or more than one, once cut out (segmentation).", kYes),
    RESULT(DEV_ERR_JAVA_LOCKED, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_DIRTY, "capture-b: the reader found dirt or a latent print on its capture area.", kYes),
    RESULT(DEV_ERR_CAPTURE_TOO_EARLY, "capture-b: the finger lay on the reader before it was ready.", kYes),
    RESULT(DEV_ERR_CANCELLED,
           "The person closed the capture window or pressed Escape or Cancelar, the capture was cancelled by the "
           "caller, or the reader reported the capture cancelled.",
           kYes),
    RESULT(DEV_ERR_WSQ_CONVERSION,
           "The WSQ could not be made: capture-a's encoder failed, or capture-b's converter wsq.exe is missing, "
           "failed or wrote no whole WSQ.",
           kYes),
    RESULT(DEV_ERR_INTERNAL_APP,
           "The request could not be read, the capture application could not be started (wrong \"command\" "
           "path), the host's pipes could not be made, or the capture application failed while starting.",
           kAfterFix),
    RESULT(DEV_ERR_INTERNAL_DEVICE,
           "The scanner or reader reported an internal fault (opening it, reading a frame or a report).", kYes),
    RESULT(DEV_ERR_USB_FAILURE, "capture-b: the reader reported a failure of its USB connection.", kYes),
    RESULT(DEV_ERR_NOT_DETECTED, "No scanner or reader is connected.", kAfterFix),
    RESULT(DEV_ERR_FAKE_FINGER, "capture-b: the reader judged the finger to be fake.", kYes),
    RESULT(DEV_ERR_FAULTY_FINGER, "capture-b: the reader could not take a usable image of the finger.", kYes),
    RESULT(DEV_ERR_LOCKED_DEVICE, "capture-b: the reader is busy, held by another program.", kYes),
    RESULT(DEV_ERR_INIT_FAIL_NBIOF, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_DLL_INVALID_PLATFORM, kNotProduced, kNotApplicable),
    RESULT(DEV_ERR_OUTDATED_APP,
           "capture-b was started with -vr naming a version newer than its own (the host never passes -vr).",
           kAfterFix),
    RESULT(DEV_ERR_FAILURE,
           "The capture went wrong in a way no other code names: the data received was not a whole WSQ and a "
           "valid image, or the host stopped waiting for a capture application that did not end.",
           kYes),
};

#undef RESULT

}  // namespace

const ResultCatalogEntry* resultCatalog(std::size_t& count) {
  count = sizeof kCatalog / sizeof kCatalog[0];
  return kCatalog;
}

const char* retryHelpsText(RetryHelps retry) {
  switch (retry) {
    case RetryHelps::kYes: return "yes";
    case RetryHelps::kAfterFix: return "after-fix";
    case RetryHelps::kNotApplicable: break;
  }
  return "n/a";
}
