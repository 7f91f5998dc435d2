// ftr_ansi_sdk.cpp: the virtual template library behind ftrAnsiSdk.dll: a deterministic byte string of
// the scenario's size, made from the frame.
#include <windows.h>

#include <cstring>

#include "futronic_api.h"
#include "scenario_loader_win.h"
#include "template_bytes.h"

using namespace velmar::futronic;

extern "C" {

int FTR_API ftrAnsiSdkGetMaxTemplateSize() {
  trace("template-max-size");
  return loadedScenario().scenario.templateMaxSize;
}

FTR_BOOL FTR_API ftrAnsiSdkCreateTemplateFromBuffer(FTRHANDLE device, int, const void* frame, int width, int height,
                                                    void* outTemplate, int* outSize) {
  const Scenario& s = loadedScenario().scenario;
  trace("template %dx%d", width, height);
  if (!device || !frame || !outTemplate || !outSize || width <= 0 || height <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (s.templateError != 0) {
    SetLastError(s.templateError);
    return FALSE;
  }
  // The caller's buffer holds the maximum template size; a larger template does not fit.
  if (s.templateSize > s.templateMaxSize) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  const std::vector<std::uint8_t> bytes = makeTemplate(static_cast<const std::uint8_t*>(frame),
                                                       static_cast<std::size_t>(width) * height,
                                                       static_cast<std::size_t>(s.templateSize));
  std::memcpy(outTemplate, bytes.data(), bytes.size());
  // A library that misreports the size it wrote: the caller must not trust a size beyond its buffer.
  *outSize = s.templateReportedSize >= 0 ? s.templateReportedSize : s.templateSize;
  return TRUE;
}

}  // extern "C"
