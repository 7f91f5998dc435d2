// utf8.h: the strict UTF-8 decoder applied to request texts.
#pragma once

#include <string>
#include <string_view>

// UTF-16 form of a UTF-8 text. Throws std::logic_error("not a UTF-8 string") for a byte that cannot
// start a character, a missing or wrong continuation byte, a surrogate code point or one above
// U+10FFFF. Overlong forms decode as they stand (0xC0 0x80 is U+0000).
std::u16string utf8ToUtf16(std::string_view text);
