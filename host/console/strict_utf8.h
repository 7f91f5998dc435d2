// strict_utf8.h: whether a text is well-formed UTF-8 in the strict sense. Portable.
#pragma once

#include <string_view>

// False for a byte that cannot start a character, a missing or wrong continuation byte, an overlong
// form, a surrogate code point (U+D800..U+DFFF) or one above U+10FFFF.
bool isStrictUtf8(std::string_view text) noexcept;
