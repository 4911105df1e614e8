#pragma once
// Message boxes answered from a script. A box nobody expected, or one whose text or title differs
// from the next expected one, fails the test; so does an expected box that never came.

#include <gtest/gtest.h>

#include <deque>

#include "platform/message_boxes.h"

class FakeMessageBoxes : public MessageBoxes {
 public:
  struct Expected {
    QString text;
    QString title;
    Buttons buttons;
    Answer answer;
    bool textStartsOnly = false;  // the text begins with `text`; the rest is the engine's
  };

  ~FakeMessageBoxes() override {
    EXPECT_TRUE(expected_.empty()) << expected_.size() << " expected message box(es) not shown";
  }

  void Expect(const QString& text, const QString& title, Buttons buttons = Buttons::OkOnly,
              Answer answer = Answer::Ok) {
    expected_.push_back({text, title, buttons, answer});
  }
  // A box with an OK button whose text starts with `textStart`.
  void ExpectStartingWith(const QString& textStart, const QString& title) {
    expected_.push_back({textStart, title, Buttons::OkOnly, Answer::Ok, true});
  }

  Answer Show(const QString& text, const QString& title, Buttons buttons) override {
    ++shown;
    lastText = text;
    if (expected_.empty()) {
      ADD_FAILURE() << "unexpected message box \"" << title.toStdString() << "\": "
                    << text.toStdString();
      return Answer::Ok;
    }
    const Expected next = expected_.front();
    expected_.pop_front();
    if (next.textStartsOnly) {
      EXPECT_TRUE(text.startsWith(next.text)) << text.toStdString();
    } else {
      EXPECT_EQ(text.toStdString(), next.text.toStdString());
    }
    EXPECT_EQ(title.toStdString(), next.title.toStdString());
    EXPECT_EQ(buttons, next.buttons);
    return next.answer;
  }

  int shown = 0;
  QString lastText;

 private:
  std::deque<Expected> expected_;
};
