// Twelve bookmarks per recording on F1 to F12: set, jump, choose from the list, and the bookmark
// file beside the recording that brings them (and a user-set time code) back next time.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <system_error>

#include "bookmark_file.h"
#include "form1.h"
#include "form_text.h"
#include "platform/file_dialog.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "time_code.h"

namespace {
QString BookmarkPathOf(const QString& mediaPath) {
  return FromLocalPath(quillmark::BookmarkFilePath(LocalPath(mediaPath).string()));
}
}  // namespace

QString Form1::BookmarkTimeCode(double position) const {
  const std::string caption = CaptionText(Framerate);
  const double t =
      TCOffset + timecode::RateCorrect(position, caption, timecode::RateCorrection::Display);
  return QString::fromStdString(
      timecode::FormatTC(timecode::SecondsToTC(t, caption, timecode::kBookmarkLabelTC)));
}

namespace {
QString BookmarkText(int n, const QString& timeCode) {
  return QString("F%1 = ").arg(n) + timeCode;
}
}  // namespace

void Form1::RemakeBookmarkTexts() {
  if (cdlg1->FileName().isEmpty()) return;
  for (int n = 1; n <= 12; ++n) {
    // A bookmark at 0 reads as one never set, and keeps the text it has.
    if (BookmarkPos[n] == 0) continue;
    Bookmark->setItemText(n - 1, BookmarkText(n, BookmarkTimeCode(BookmarkPos[n])));
  }
}

void Form1::SetBookmark(int n) {
  BookmarkPos[n] = MP1->currentPosition();
  Bookmark->setItemText(n - 1, BookmarkText(n, BookmarkTimeCode(BookmarkPos[n])));
  Bookmark->show();
  Bookmark->setCurrentIndex(n - 1);
  Bookmark_Click();
  SaveBookmarkFile();
}

void Form1::JumpToBookmark(int n) {
  // Choosing the row moves the player there.
  Bookmark->setCurrentIndex(n - 1);
  Bookmark_Click();
  RefreshIfPaused();
}

void Form1::Bookmark_Click() {
  const int n = Bookmark->currentIndex() + 1;  // 0 while no row is chosen: the start
  MoveTo(BookmarkPos[std::clamp(n, 0, 12)]);
  Logo->setFocus();
}

void Form1::SaveBookmarkFile() {
  // With no recording open there is no path to write beside: bookmarks and a typed time code are
  // kept in memory only.
  if (cdlg1->FileName().isEmpty()) return;
  BookmarkFile = BookmarkPathOf(cdlg1->FileName());
  std::array<quillmark::BookmarkLine, 13> lines;
  for (int n = 1; n <= 12; ++n) {
    lines[n - 1] = {BookmarkPos[n], Bookmark->itemText(n - 1).toStdString()};
  }
  lines[12] = {UserTCValue, ("User TC=" + TCEntry->text()).toStdString()};

  const quillmark::WriteResult result = quillmark::WriteBookmarkFile(LocalPath(BookmarkFile), lines);
  if (result == quillmark::WriteResult::Written) return;
  const QString reason = result == quillmark::WriteResult::PermissionDenied
                             ? "Folder Permission Denied."
                             : "The file could not be written.";
  MsgBox->Show("Bookmarks Not Saved\n" + BookmarkFile + "\n" + reason +
                   " The bookmarks stay set until another file is opened.",
               "ERROR SAVING BOOKMARKS", MessageBoxes::Buttons::OkOnly);
}

void Form1::LoadBookmarks() {
  BookmarkFile = BookmarkPathOf(cdlg1->FileName());
  std::error_code error;
  if (BookmarkFile.isEmpty() || !std::filesystem::is_regular_file(LocalPath(BookmarkFile), error)) {
    BookmarkFile = "";
    Logo->setFocus();
    return;
  }
  // Lines that cannot be read keep the values the opener reset them to; so does every line after
  // the first bad one. A position or value that is not a finite number counts as unreadable.
  const quillmark::BookmarkLines lines = quillmark::ReadBookmarkFile(LocalPath(BookmarkFile));
  for (int i = 0; i < 13; ++i) {
    const auto& line = lines[i];
    if (!line || !std::isfinite(line->number)) break;
    if (i < 12) {
      BookmarkPos[i + 1] = line->number;
      Bookmark->setItemText(i, QString::fromStdString(line->text));
    } else {
      UserTCValue = line->number;
    }
  }
  Bookmark->show();
  Bookmark->setCurrentIndex(-1);  // shows "Bookmarks"
  Logo->setFocus();
}
