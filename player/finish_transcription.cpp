// File Finished: release the recording and move it, with its bookmark file, into the "Completed"
// folder beside it, under a wait panel. The move never overwrites and never loses a file: a taken
// name gets a free variant (the bookmark file follows the recording's new name), and when the
// recording cannot be moved it is loaded again where it was, as if nothing had been pressed.

#include <QLabel>
#include <QTimer>
#include <system_error>

#include "bookmark_file.h"
#include "completed_move.h"
#include "form1.h"
#include "form_text.h"
#include "platform/file_dialog.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "twips.h"

namespace fs = std::filesystem;

namespace {

// Creates the Completed folder when it is missing; the reason for the typist when that fails.
std::string MakeFolder(const fs::path& folder) {
  std::error_code error, ignored;
  if (fs::is_directory(folder, ignored)) return {};
  // Made meanwhile by another program counts as made.
  if (fs::create_directory(folder, error) || fs::is_directory(folder, ignored)) return {};
  return "cannot create the folder " + folder.string() + ": " + error.message();
}

}  // namespace

void Form1::finished_Click() {
  const QString mediaPath = cdlg1->FileName();
  if (mediaPath.isEmpty()) {
    // The typist may think the file that could not be played is open.
    if (!FailedFile.isEmpty()) {
      MsgBox->Show(FailedFile + " could not be played, so there is nothing to finish.",
                   "NOTHING TO FINISH", MessageBoxes::Buttons::OkOnly);
    }
    return;
  }
  const QString name = cdlg1->FileTitle();
  const fs::path completed = quillmark::CompletedFolderOf(LocalPath(mediaPath));

  if (MsgBox->Show("Move " + name + " into Completed Folder?", "Transcription Done",
                   MessageBoxes::Buttons::OkCancel) != MessageBoxes::Answer::Ok) {
    return;
  }
  // Kept to put the recording back should it not move.
  const double position = MP1->currentPosition();
  const double offset = TCOffset;

  MP1->setURL("");
  MoveTwips(Waitbox, 2025, 0);
  Waitbox->show();
  Waitbox->raise();
  Timer2->setInterval(300);
  Timer2->start();
  Indicator->setText(">>>>>");
  repaint();
  setWindowTitle("Quillmark");
  TCOffset = 0;
  for (QLabel* field : {TCHour, TCMin, TCSecond, TCFrame}) field->setText("00");

  quillmark::MoveOutcome media;
  media.error = MakeFolder(completed);
  if (media.error.empty()) {
    media = quillmark::MoveWithoutOverwriting(LocalPath(mediaPath), completed,
                                              LocalPath(name).string());
  }
  // The bookmark file keeps its pair's name, also when the recording had to take a free one.
  quillmark::MoveOutcome bookmarks;
  const fs::path bookmarkFile = LocalPath(BookmarkFile);
  std::string bookmarkName;
  std::error_code error;
  const bool moveBookmarks =
      media.moved && !BookmarkFile.isEmpty() && fs::exists(bookmarkFile, error);
  if (moveBookmarks) {
    bookmarkName = quillmark::BookmarkFilePath(media.destination.filename().string());
    bookmarks = quillmark::MoveWithoutOverwriting(bookmarkFile, completed, bookmarkName);
  }

  Timer2->stop();
  Indicator->setText("DONE");
  Waitbox->hide();

  if (!media.moved) {
    MsgBox->Show(name + " was not moved and stays where it was.\n" +
                     QString::fromStdString(media.error),
                 "FILE NOT MOVED", MessageBoxes::Buttons::OkOnly);
    // Back to the recording as it was before File Finished.
    MP1->setURL(mediaPath);
    PlayThenPause();
    MoveTo(position);
    TCOffset = offset;
    setWindowTitle("Quillmark - " + name);
    Logo->setFocus();
    emit RecordingChanged();
    return;
  }
  if (media.renamed) {
    MsgBox->Show("A file named " + name + " is already in the Completed folder, so " + name +
                     " was moved there as " + FromLocalPath(media.destination.filename()) + ".",
                 "FILE RENAMED", MessageBoxes::Buttons::OkOnly);
  }
  if (moveBookmarks && !bookmarks.moved) {
    MsgBox->Show("The bookmark file was not moved and stays at " + BookmarkFile + ".\n" +
                     QString::fromStdString(bookmarks.error),
                 "BOOKMARK FILE NOT MOVED", MessageBoxes::Buttons::OkOnly);
  } else if (moveBookmarks && bookmarks.renamed) {
    MsgBox->Show("A file named " + FromLocalPath(bookmarkName) +
                     " is already in the Completed folder, so the bookmark file was moved there "
                     "as " + FromLocalPath(bookmarks.destination.filename()) + ".",
                 "BOOKMARK FILE RENAMED", MessageBoxes::Buttons::OkOnly);
  }
  // Nothing of the recording stays: its bookmarks and time code went with it.
  ShowNothingOpen();
  Logo->setFocus();
  AfterFinishing(mediaPath);
}

void Form1::Waitbox_DblClick() {
  Timer2->stop();
  Waitbox->hide();
}

void Form1::AnimateWaitIndicator() {
  Indicator->setText(Indicator->text() + ">");
  Indicator->repaint();
  if (Indicator->text().size() >= 7) Indicator->setText(">");
}
