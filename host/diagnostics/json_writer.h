// json_writer.h: a compact JSON text built member by member (one line, no blanks), for the
// diagnostics report. Strings are escaped as RFC 8259 asks; bytes that are not UTF-8 become U+FFFD, so
// whatever a file or the system hands over, the line stays valid JSON. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
 public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  // The next member's name; inside an object only.
  JsonWriter& key(std::string_view name);
  JsonWriter& string(std::string_view value);
  JsonWriter& number(std::int64_t value);
  // A fixed-point number with the given decimals (durations in milliseconds).
  JsonWriter& number(double value, int decimals);
  JsonWriter& boolean(bool value);
  JsonWriter& null();
  // A string, or null when value is empty.
  JsonWriter& stringOrNull(std::string_view value);

  const std::string& text() const { return text_; }

 private:
  void beforeValue();
  std::string text_;
  std::vector<bool> first_;  // one entry per open object or array: nothing written in it yet
  bool afterKey_ = false;
};

// The JSON string literal of value, quotes included.
std::string jsonQuote(std::string_view value);
