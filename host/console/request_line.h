// request_line.h: the console request line of velmar-device, cut by position, and the reduction of its
// message to the 8-bit text handed to capture. Portable; plain inputs and outputs.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// The two values of a request line, exactly as they stand in it (nothing is unescaped).
struct ConsoleRequest {
  std::string command;
  std::string message;
};

// A request line whose values cannot be cut out of it.
class RequestLineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Cuts the values out of a line written as {"command":"...","message":"..."} with no blanks: with c the
// position of the first "command" and m that of the first "message", the command is the m-c-13
// characters from c+10 and the message runs from m+10 to two characters before the end of the line.
// Nothing else of the line is checked. Throws RequestLineError when a word is missing or when these
// positions do not lie inside the line (a value would start past its end or have a negative length).
ConsoleRequest cutRequestLine(std::string_view line);

// The message as capture takes it: decoded as UTF-8, then every UTF-16 unit cut to its low 8 bits, so
// characters up to U+00FF become their Latin-1 byte. The message travels inside the capture
// application's command line, between quotes and before the pipe names, so a unit that would become a
// NUL (which ends the command line there) or, from above U+00FF, a quote or a backslash (which would
// unbalance the quoting) becomes '?' instead. Throws std::logic_error("not a UTF-8 string") for a
// message that is not UTF-8.
std::string reduceToLatin1(std::string_view utf8Message);
