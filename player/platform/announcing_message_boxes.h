#pragma once
// The window's message boxes, announced: a listener set for the next box hears its text, title
// and buttons just before it shows, once. A program that asked for an action from outside is
// answered there, while the typist still has the box to read, instead of after it is closed.

#include <functional>
#include <utility>

#include "message_boxes.h"

class AnnouncingMessageBoxes : public MessageBoxes {
 public:
  using Listener = std::function<void(const QString& text, const QString& title, Buttons buttons)>;

  explicit AnnouncingMessageBoxes(MessageBoxes* boxes) : boxes_(boxes) {}

  // Hears the next box only; an empty listener hears none.
  void AnnounceNextBox(Listener listener) { listener_ = std::move(listener); }

  Answer Show(const QString& text, const QString& title, Buttons buttons) override {
    if (Listener listener = std::exchange(listener_, {})) listener(text, title, buttons);
    return boxes_->Show(text, title, buttons);
  }

 private:
  MessageBoxes* boxes_;
  Listener listener_;
};
