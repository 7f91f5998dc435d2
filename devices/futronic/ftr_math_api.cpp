// ftr_math_api.cpp: the virtual quality library behind ftrMathAPI.dll: the NFIQ value the scenario sets.
#include <windows.h>

#include "futronic_api.h"
#include "scenario_loader_win.h"

using namespace velmar::futronic;

extern "C" int FTR_MATH_API ftrMathImageNfIQ(FTRHANDLE device, const void* frame, int width, int height,
                                            int* nfiq, int*) {
  const Scenario& s = loadedScenario().scenario;
  trace("nfiq %dx%d", width, height);
  if (!device || !frame || !nfiq || width <= 0 || height <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (s.nfiqError != 0) {
    SetLastError(s.nfiqError);
    return 0;
  }
  *nfiq = s.nfiq;
  return 1;
}
