#pragma once
// A clipboard (and a selection) that holds its text in memory and answers each step from a script (Ok once the
// script is used up). It records the steps in order.

#include <QString>
#include <deque>
#include <string>
#include <vector>

#include "platform/clipboard.h"

class FakeClipboard : public Clipboard {
 public:
  Result Clear() override {
    steps.push_back("clear");
    const Result result = Next();
    if (result == Result::Ok) text.clear();
    return result;
  }
  Result SetText(const QString& value) override {
    steps.push_back("set");
    const Result result = Next();
    if (result == Result::Ok) text = value;
    return result;
  }

  QString Text(Source source) override {
    return source == Source::Selection ? selection : text;
  }

  // The answers of the next steps, in order.
  std::deque<Result> answers;
  std::vector<std::string> steps;
  QString text;       // the clipboard
  QString selection;  // the text selected in another program

 private:
  Result Next() {
    if (answers.empty()) return Result::Ok;
    const Result result = answers.front();
    answers.pop_front();
    return result;
  }
};
