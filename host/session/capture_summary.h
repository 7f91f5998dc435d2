// capture_summary.h: the one line every capture ends with in the host log: which capture, which
// capture application, the result, byte counts and when each phase was reached. Never carries a byte
// of the capture itself. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct CaptureSummary {
  std::string id;           // unique within the process: "<process id>-<sequence>"
  std::string application;  // the capture application as the request names it
  std::int32_t result = 0;
  std::size_t wsqBytes = 0;
  std::size_t bmpBytes = 0;
  std::size_t answerBytes = 0;  // the JSON line, when one was made
  // Milliseconds from the start of the capture; negative for a phase that was not reached.
  long long pipesReady = -1;
  long long childStarted = -1;
  long long firstByte = -1;
  long long childEnded = -1;
  long long answerEncoded = -1;
};

// "<process id>-<sequence>".
std::string captureId(unsigned long processId, unsigned long long sequence);

// "capture <id> ended: application=<application> result=<r> wsq=<n> bmp=<n> answer=<n> bytes; ms:
// pipes ready <t>, child started <t>, first byte <t>, child ended <t>, answer encoded <t>", with "-"
// for a phase not reached.
std::string summaryLine(const CaptureSummary& summary);
