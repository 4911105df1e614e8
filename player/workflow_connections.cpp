// Connects the transcription workflow's controls to their handlers: the time code source label,
// the entry box, the hot keys on Logo, the bookmark list, File Finished and the wait panel.

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <functional>

#include "form1.h"

namespace {

// Hands Enter and Esc typed into a text box to a key-press handler as character codes 13 and 27;
// a key the handler sets to 0 never reaches the box.
class EntryKeys : public QObject {
 public:
  EntryKeys(QObject* parent, std::function<void(int&)> keyPress)
      : QObject(parent), keyPress_(std::move(keyPress)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    int code = 0;
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter: code = 13; break;
      case Qt::Key_Escape: code = 27; break;
      default: return false;
    }
    keyPress_(code);
    return code == 0;
  }

 private:
  std::function<void(int&)> keyPress_;
};

}  // namespace

void Form1::ConnectWorkflowHandlers() {
  connect(TCLabel, &ClickLabel::Click, this, &Form1::TCLabel_Click);
  connect(SetTC, &QToolButton::clicked, this, &Form1::SetTC_Click);
  TCEntry->installEventFilter(new EntryKeys(TCEntry, [this](int& key) { TCEntry_KeyPress(key); }));

  connect(Logo, &PictureBox::KeyDown, this, [this](int keyCode, int shift) {
    Logo_KeyDown(keyCode, shift);
  });
  connect(Logo, &PictureBox::KeyUp, this, &Form1::Logo_KeyUp);

  // A row chosen by the typist; the program's own selections call the handler themselves.
  connect(Bookmark, &QComboBox::activated, this, &Form1::Bookmark_Click);

  connect(finished, &QToolButton::clicked, this, &Form1::finished_Click);
  connect(Waitbox, &PictureBox::DblClick, this, &Form1::Waitbox_DblClick);
}
