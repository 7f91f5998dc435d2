// json_line.h: the one-line JSON answer of a capture. Built by concatenation: no value is escaped,
// since base64, decimal digits and the result texts hold no quote or backslash.
#pragma once

#include <string>

// {"wsq":"..","jpg":"..","exitcode":"..","error":"..","solution":".."}
std::string makeJsonLine(const std::string& wsq64, const std::string& jpg64, const std::string& exitCode,
                         const std::string& error, const std::string& solution);
