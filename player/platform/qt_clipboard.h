#pragma once
// The clipboard on QClipboard.

#include "clipboard.h"

class QtClipboard : public Clipboard {
 public:
  Result Clear() override;
  Result SetText(const QString& text) override;
  QString Text(Source source) override;
};
