#include "qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

// QClipboard reports nothing itself. Setting the text makes this program the clipboard's owner;
// when that did not take (on X11 another client kept the selection), the text read back is not
// ours and the clipboard counts as held by another program.

Clipboard::Result QtClipboard::Clear() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return Result::Failed;
  clipboard->clear();
  return Result::Ok;
}

Clipboard::Result QtClipboard::SetText(const QString& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return Result::Failed;
  clipboard->setText(text);
  return clipboard->text() == text ? Result::Ok : Result::HeldByAnotherProgram;
}

QString QtClipboard::Text(Source source) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return {};
  if (source == Source::Clipboard) return clipboard->text(QClipboard::Clipboard);
  // Wayland without the primary-selection protocol, and the offscreen platform, keep no selection.
  return clipboard->supportsSelection() ? clipboard->text(QClipboard::Selection) : QString();
}
