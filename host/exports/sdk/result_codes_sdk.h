// result_codes_sdk.h: the result-code files of the SDK and README's result-code table, written from the
// host's one table (result_catalog.h, with the Spanish texts of result_texts.h). Portable.
#pragma once

#include <string>

// sdk/include/velmar_result_codes.h: C99 and C++, ASCII only (texts as octal escapes), a macro per code
// and, in a source file that defines VELMAR_RESULT_CODE_TABLE, the whole table.
std::string resultCodesCHeader();

// sdk/velmar_result_codes.json: an array of {"code", "name", "error", "solution", "when", "retry"}.
std::string resultCodesJson();

// The Markdown table README shows, one row per code.
std::string resultCodesMarkdown();
