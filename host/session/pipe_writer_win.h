// pipe_writer_win.h: a client end of a result pipe. The host writes nothing through it: connecting and
// closing at once ends a reader that still waits for a capture application that never came.
#pragma once

#include <string>

#include "win/unique_handle.h"

class PipeWriter {
 public:
  explicit PipeWriter(std::string name);

  // One attempt to open the pipe for writing; "CreateFile (Pipe) failed with N" when it is missing (2)
  // or another client holds it (231).
  void connect();
  void close();

  bool connected() const noexcept { return connected_; }

 private:
  velmar::win::UniqueHandle pipe_;
  bool connected_ = false;
  std::string name_;
};
