// The real message box: it opens over the window it belongs to, so it stays above a window kept
// on top, and the button pressed comes back as the answer.

#include "platform/qt_message_boxes.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace {

struct SeenBox {
  QWidget* parent = nullptr;
  QString title;
  QString text;
};

// Once the box is up, notes what it shows and presses `button` on it.
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton button) {
  QTimer::singleShot(0, [&seen, button] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = {box->parentWidget(), box->windowTitle(), box->text()};
    box->button(button)->click();
  });
}

TEST(QtMessageBoxes, OpenOverTheirWindowAndAnswerWithTheButtonPressed) {
  QWidget window;
  window.setWindowFlag(Qt::WindowStaysOnTopHint);
  window.show();
  QtMessageBoxes boxes(nullptr);
  boxes.SetParent(&window);

  SeenBox seen;
  AnswerNextBox(seen, QMessageBox::Cancel);
  EXPECT_EQ(boxes.Show("Move talk.wav into Completed Folder?", "Transcription Done",
                       MessageBoxes::Buttons::OkCancel),
            MessageBoxes::Answer::Cancel);
  EXPECT_EQ(seen.parent, &window);
  EXPECT_EQ(seen.title, "Transcription Done");
  EXPECT_EQ(seen.text, "Move talk.wav into Completed Folder?");

  AnswerNextBox(seen, QMessageBox::Retry);
  EXPECT_EQ(boxes.Show("Can't Access Clipboard", "Clipboard error",
                       MessageBoxes::Buttons::AbortRetryIgnore),
            MessageBoxes::Answer::Retry);
  for (const auto& [button, answer] :
       {std::pair{QMessageBox::No, MessageBoxes::Answer::No},
        std::pair{QMessageBox::Yes, MessageBoxes::Answer::Yes}}) {
    AnswerNextBox(seen, button);
    EXPECT_EQ(boxes.Show("Open next: talk 2.wav?", "Next Recording", MessageBoxes::Buttons::YesNo),
              answer);
  }
  AnswerNextBox(seen, QMessageBox::Ok);
  EXPECT_EQ(boxes.Show("INVALID COM PORT!", "CONFIGURATION ERROR", MessageBoxes::Buttons::OkOnly),
            MessageBoxes::Answer::Ok);
  EXPECT_EQ(seen.parent, &window);
}

}  // namespace
