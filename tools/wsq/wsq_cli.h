// wsq_cli.h: the wsq program's commands, on plain arguments and streams so that they are testable.
//   wsq <raw file> <width> <height> <output file> <bit rate>   encode 8-bit raw rows to WSQ
//   wsq --decode <in.wsq> <out.pgm|.bmp|.raw>                  decode
//   wsq --info <in.wsq>                                       describe the stream
//   wsq --batch [options] <file or folder>...                 many files on every core (batch.h)
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace wsq_tool {

// `args` without the program name. Returns the exit code: 0 when the output is complete, 1 when the
// work failed, 2 for a wrong command line. `progress`: standard error is a terminal, so a batch shows
// its progress line there.
int runWsq(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress = false);

}  // namespace wsq_tool
