// wide_text_win.h: UTF-16 texts of the system (paths, version strings) as UTF-8 for the report, and back.
#pragma once

#include <string>
#include <string_view>

std::string utf8FromWide(std::wstring_view text);
std::wstring wideFromUtf8(std::string_view text);
