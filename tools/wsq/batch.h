// batch.h: the wsq program's batch mode: many files in one call, on every core.
//   wsq --batch [--rate R] [--size WxH] [--out DIR] [--jobs N] [--decode [--format pgm|bmp|raw]] PATH...
// Each PATH is a file or a folder (its files with a known extension, not its subfolders). Encoding takes
// .pgm and .bmp pictures (8-bit grey or colour, made grey) and .raw pixel rows of the size --size gives,
// and writes NAME.wsq; --decode takes .wsq files and writes NAME.pgm (or the --format). Outputs go
// beside their inputs, or into DIR. A file that fails is reported with its reason and the others go on.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace wsq_tool {

// `args` after "--batch". Writes a progress line to `err` while it works when `progress` is set (a
// terminal), every failure with its reason to `err`, and the summary to `out`. Returns 0 when every file
// was converted, 1 when any failed or none was found, 2 for a wrong command line.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress);

}  // namespace wsq_tool
