#include "capture_summary.h"

namespace {

std::string phase(long long milliseconds) { return milliseconds < 0 ? "-" : std::to_string(milliseconds); }

}  // namespace

std::string captureId(unsigned long processId, unsigned long long sequence) {
  return std::to_string(processId) + "-" + std::to_string(sequence);
}

std::string summaryLine(const CaptureSummary& s) {
  return "capture " + s.id + " ended: application=" + s.application + " result=" + std::to_string(s.result) +
         " wsq=" + std::to_string(s.wsqBytes) + " bmp=" + std::to_string(s.bmpBytes) +
         " answer=" + std::to_string(s.answerBytes) + " bytes; ms: pipes ready " + phase(s.pipesReady) +
         ", child started " + phase(s.childStarted) + ", first byte " + phase(s.firstByte) + ", child ended " +
         phase(s.childEnded) + ", answer encoded " + phase(s.answerEncoded);
}
