#pragma once
// The system clipboard, for plain text only: clear it, put a text on it, read a text back. Each
// step that changes it tells whether it worked, or failed because another program holds the
// clipboard (worth trying again), or failed otherwise.

#include <QString>

class Clipboard {
 public:
  enum class Result { Ok, HeldByAnotherProgram, Failed };
  // Where a text is read from: the text the user has selected in any program (the X11 primary
  // selection), or the clipboard proper.
  enum class Source { Selection, Clipboard };

  virtual ~Clipboard() = default;
  virtual Result Clear() = 0;
  virtual Result SetText(const QString& text) = 0;
  // The plain text held there; "" when there is none or the system keeps no such store.
  virtual QString Text(Source source) = 0;
};
