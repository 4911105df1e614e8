#include "json_line.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::string JsonLine::Quoted(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  std::string out = "\"";
  for (const char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string JsonLine::NumberText(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

namespace {

// `values` as a JSON array, each written by `write`. Appending piece by piece keeps clear of
// building temporaries with a separator in front.
template <typename Value, typename Write>
void AppendArray(std::string& out, const std::vector<Value>& values, Write write) {
  out += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i != 0) out += ',';
    out += write(values[i]);
  }
  out += ']';
}

}  // namespace

void JsonLine::Key(const char* key) {
  if (!body_.empty()) body_ += ',';
  body_ += Quoted(QString::fromLatin1(key));
  body_ += ':';
}

JsonLine& JsonLine::Text(const char* key, const QString& value) {
  Key(key);
  body_ += Quoted(value);
  return *this;
}

JsonLine& JsonLine::Number(const char* key, double value) {
  Key(key);
  body_ += NumberText(value);
  return *this;
}

JsonLine& JsonLine::Bool(const char* key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonLine& JsonLine::Texts(const char* key, const std::vector<QString>& values) {
  Key(key);
  AppendArray(body_, values, Quoted);
  return *this;
}

JsonLine& JsonLine::Numbers(const char* key, const std::vector<double>& values) {
  Key(key);
  AppendArray(body_, values, NumberText);
  return *this;
}

JsonLine& JsonLine::Objects(const char* key, const std::vector<JsonLine>& values) {
  Key(key);
  AppendArray(body_, values, [](const JsonLine& value) { return value.str(); });
  return *this;
}
