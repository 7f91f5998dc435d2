// json_writer.cpp: comma placement and string escaping for JsonWriter.
#include "json_writer.h"

#include <cmath>
#include <cstdio>

#include "strict_utf8.h"

namespace {

// Length of the well-formed UTF-8 sequence starting at text[i], or 0 when none starts there.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (n == 0 || i + n > text.size()) return 0;
  return isStrictUtf8(text.substr(i, n)) ? n : 0;
}

}  // namespace

std::string jsonQuote(std::string_view value) {
  std::string out = "\"";
  for (std::size_t i = 0; i < value.size();) {
    const auto c = static_cast<unsigned char>(value[i]);
    if (c >= 0x80) {
      const std::size_t n = utf8SequenceLength(value, i);
      if (n == 0) {
        out += "\\ufffd";
        ++i;
      } else {
        out.append(value.substr(i, n));
        i += n;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char u[8];
          std::snprintf(u, sizeof u, "\\u%04x", c);
          out += u;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
    ++i;
  }
  out.push_back('"');
  return out;
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) text_.push_back(',');
    first_.back() = false;
  }
}

JsonWriter& JsonWriter::beginObject() {
  beforeValue();
  text_.push_back('{');
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::endObject() {
  text_.push_back('}');
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::beginArray() {
  beforeValue();
  text_.push_back('[');
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::endArray() {
  text_.push_back(']');
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
  beforeValue();
  text_ += jsonQuote(name);
  text_.push_back(':');
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::string(std::string_view value) {
  beforeValue();
  text_ += jsonQuote(value);
  return *this;
}

JsonWriter& JsonWriter::number(std::int64_t value) {
  beforeValue();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::number(double value, int decimals) {
  beforeValue();
  if (!std::isfinite(value)) {
    text_ += "null";  // JSON has no infinity or NaN
    return *this;
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  text_ += buffer;
  return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
  beforeValue();
  text_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::null() {
  beforeValue();
  text_ += "null";
  return *this;
}

JsonWriter& JsonWriter::stringOrNull(std::string_view value) { return value.empty() ? null() : string(value); }
