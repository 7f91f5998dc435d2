// result_texts.h: the host's Spanish error and solution texts of each result code (UTF-8).
#pragma once

#include <cstdint>
#include <string>

// Texts of one code; both null for 0 and for codes without an entry.
struct ResultText {
  const char* error = nullptr;
  const char* solution = nullptr;
};
ResultText findResultText(std::int32_t code);

// Parses code as a decimal integer (leading blanks and a sign allowed, trailing characters ignored) and,
// for a code with texts, assigns them to error and solution; otherwise both keep what they held.
// Throws std::invalid_argument("invalid stoi argument") when the text does not start with a number and
// std::out_of_range("stoi argument out of range") outside the 32-bit range.
void resultTexts(std::string code, std::string& error, std::string& solution);
