// request_reader.h: one request line of velmar-device (the console's standard input, or the text a
// caller hands to captureJson) read into what a capture needs. Portable; plain inputs and outputs.
//
// A line is read as JSON (RFC 8259) when it is a JSON object whose "command" and "message" members
// are strings: members in any order, any white space, every escape; unknown members are ignored and
// the optional "timeout" and "debugLevel" (a string or a number) replace the defaults. Its texts are
// UTF-8 and go to the capture application as such. Any other line is cut by position as it always was
// (cutRequestLine), its message reduced to Latin-1 (reduceToLatin1), so lines that worked before work
// the same.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "capture_command.h"
#include "request_line.h"

inline constexpr char REQUEST_DEFAULT_TIMEOUT[] = "15000";
inline constexpr char REQUEST_DEFAULT_DEBUG_LEVEL[] = "4";

struct CaptureRequest {
  std::string command;
  std::string message;
  std::string timeout = REQUEST_DEFAULT_TIMEOUT;
  std::string debugLevel = REQUEST_DEFAULT_DEBUG_LEVEL;
  CommandText text = CommandText::kAnsi;  // how command and message reach the child
};

// The request of a line written as JSON, or nothing when the line is not such a request: not JSON, not
// an object, "command" or "message" missing or not a string, or a command holding a control character
// (a path never does; a line with raw single backslashes such as C:\tools\new.exe parses as JSON with
// a tab and a line feed in it, and is the positional rule's). A U+0000 in the message, which would end
// the child's command line, becomes '?'. Throws RequestLineError for a request whose "timeout" or
// "debugLevel" is neither a string nor a number.
std::optional<CaptureRequest> readJsonRequest(std::string_view line);

// The request of a line: as JSON when readJsonRequest takes it, else by position. Throws
// RequestLineError with the reason when neither reads it (a message that is not UTF-8 gives
// "message: not a UTF-8 string").
CaptureRequest readRequestLine(std::string_view line);
