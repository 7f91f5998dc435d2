// converter_command.h: the temporary file names of one capture and the WSQ converter's command line.
// Portable.
#pragma once

#include <string>

namespace capture_b {

struct CaptureFiles {
  std::wstring debugImage;  // "original-<runId>.pgm", in the working directory
  std::wstring raw;         // <temporary folder> "final-<runId>.raw"
  std::wstring wsq;         // <temporary folder> "final-<runId>.raw.wsq"
  std::wstring converterCommand;
};

// The raw and WSQ files go into `tempFolder` (the user's temporary folder, with its trailing
// separator; empty: the working directory). The converter is "../../wsq.exe", relative to the working
// directory, and gets the raw file, its size 512 x 512, the WSQ file to write and the bit rate 0.75;
// the two file names are quoted, since a user's temporary folder may hold blanks.
CaptureFiles captureFiles(const std::wstring& tempFolder, const std::wstring& runId);

}  // namespace capture_b
