// ansi_text_win.h: 8-bit texts (in the current thread's ANSI code page, or UTF-8) to UTF-16 just
// before a system call, limited to the 1024-unit buffers (1023 units and the terminator) the host hands to the system.
#pragma once

#include <string>

inline constexpr std::size_t kWideBufferUnits = 1024;

// UTF-16 form of text. Throws ApiError("MultiByteToWideChar", code) when the conversion fails and
// std::runtime_error("<what> does not fit 1024 UTF-16 units") when the result is longer than 1023 units.
std::wstring ansiToWide(const std::string& text, const char* what);

// The same for a UTF-8 text, decoded exactly (utf8ToUtf16). Throws std::runtime_error("<what> is not
// UTF-8") for a text that is not, and the length error above.
std::wstring utf8ToWide(const std::string& text, const char* what);
