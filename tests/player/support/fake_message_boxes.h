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
  };

  ~FakeMessageBoxes() override {
    EXPECT_TRUE(expected_.empty()) << expected_.size() << " expected message box(es) not shown";
  }

  void Expect(const QString& text, const QString& title, Buttons buttons = Buttons::OkOnly,
              Answer answer = Answer::Ok) {
    expected_.push_back({text, title, buttons, answer});
  }

  Answer Show(const QString& text, const QString& title, Buttons buttons) override {
    ++shown;
    if (expected_.empty()) {
      ADD_FAILURE() << "unexpected message box \"" << title.toStdString() << "\": "
                    << text.toStdString();
      return Answer::Ok;
    }
    const Expected next = expected_.front();
    expected_.pop_front();
    EXPECT_EQ(text.toStdString(), next.text.toStdString());
    EXPECT_EQ(title.toStdString(), next.title.toStdString());
    EXPECT_EQ(buttons, next.buttons);
    return next.answer;
  }

  int shown = 0;

 private:
  std::deque<Expected> expected_;
};
