#pragma once
// The system clipboard, for plain text only: clear it, put a text on it. Each step tells whether
// it worked, or failed because another program holds the clipboard (worth trying again), or
// failed otherwise.

#include <QString>

class Clipboard {
 public:
  enum class Result { Ok, HeldByAnotherProgram, Failed };

  virtual ~Clipboard() = default;
  virtual Result Clear() = 0;
  virtual Result SetText(const QString& text) = 0;
};
