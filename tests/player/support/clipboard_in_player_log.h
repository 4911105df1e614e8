#pragma once
// A clipboard that notes each set in the player's call log, so the order of copies and player
// calls shows in one list.

#include "fake_clipboard.h"
#include "fake_media_player.h"

class ClipboardInPlayerLog : public FakeClipboard {
 public:
  explicit ClipboardInPlayerLog(FakeMediaPlayer& player) : player_(player) {}
  Result SetText(const QString& value) override {
    player_.calls.push_back("clipboard " + value.toStdString());
    return FakeClipboard::SetText(value);
  }

 private:
  FakeMediaPlayer& player_;
};
