#pragma once
// One JSON object on one line, keys in the order they are added. Numbers in their shortest
// round-trip form; text as UTF-8 with control characters escaped.

#include <QString>
#include <initializer_list>
#include <string>
#include <vector>

class JsonLine {
 public:
  JsonLine& Text(const char* key, const QString& value);
  JsonLine& Number(const char* key, double value);
  JsonLine& Bool(const char* key, bool value);
  JsonLine& Texts(const char* key, const std::vector<QString>& values);
  JsonLine& Numbers(const char* key, const std::vector<double>& values);
  // An array of objects, each given as its own finished JsonLine.
  JsonLine& Objects(const char* key, const std::vector<JsonLine>& values);

  std::string str() const { return "{" + body_ + "}"; }

  static std::string Quoted(const QString& text);
  static std::string NumberText(double value);

 private:
  void Key(const char* key);
  std::string body_;
};
