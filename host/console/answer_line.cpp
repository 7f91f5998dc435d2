#include "answer_line.h"

#include "json_line.h"
#include "result_texts.h"
#include "strict_utf8.h"

std::string failedCaptureJson(std::int32_t code) {
  const std::string exitCode = std::to_string(code);
  std::string error;
  std::string solution;
  resultTexts(exitCode, error, solution);
  return makeJsonLine("", "", exitCode, error, solution);
}

std::string answerOutput(const std::string& json) {
  std::string out;
  if (!isStrictUtf8(json)) out = "Invalid UTF-8 encoding detected at line ";
  out += json;
  out += '\n';
  return out;
}
