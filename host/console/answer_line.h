// answer_line.h: what velmar-device's console prints for one capture. Portable.
#pragma once

#include <cstdint>
#include <string>

// The JSON line of a failed capture: empty "wsq" and "jpg", the code in decimal, and the code's error
// and solution texts (both empty for a code without texts).
std::string failedCaptureJson(std::int32_t code);

// The bytes written to standard output for a JSON text: the text and a line feed, preceded by
// "Invalid UTF-8 encoding detected at line " when the text is not strict UTF-8.
std::string answerOutput(const std::string& json);
