// A caller outside never waits on a message box: an action from the bus that ends in a box is
// answered while the box is still open, with its outcome, and the box then works as it does for
// a key press. The window here shows Qt's real boxes, each a modal loop of its own; the rig
// answers them from inside that loop, as the typist would.

#include <sys/resource.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt_message_boxes.h"
#include "remote_fixture.h"
#include "support/test_media.h"

namespace {

// How long the rig keeps a box open for the caller's answer: a bound on a hang. A call answered
// only once the box is closed never has its answer in time.
constexpr int kAnswerDeadlineMs = 5000;

// Files this process writes cannot grow past `bytes` while it lives, as on a disk with that much
// room left: a write past it fails instead of ending the process.
class DiskRoomLeft {
 public:
  explicit DiskRoomLeft(rlim_t bytes) : oldSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  ~DiskRoomLeft() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldSignal_);
  }
  DiskRoomLeft(const DiskRoomLeft&) = delete;
  DiskRoomLeft& operator=(const DiskRoomLeft&) = delete;

 private:
  rlimit old_{};
  void (*oldSignal_)(int);
};

// What the rig saw of the box the window showed.
struct SeenBox {
  QString title;
  QString text;
  bool answeredWhileOpen = false;  // the caller had its answer before the box was closed
};

class AnswerBeforeBox : public RemoteFormTest {
 protected:
  void SetUp() override {
    ShowWindow(&boxes);
    boxes.SetParent(form.get());
  }

  // Sends `method` and returns at once; the window handles it on the event loop.
  QDBusPendingCall Send(const char* interface, const char* method,
                        const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        remote_names::kServiceName, remote_names::kObjectPath, interface, method);
    call.setArguments(arguments);
    return client.bus().asyncCall(call, 30000);
  }

  // Turns the event loop until the window has shown a box and it was answered with `button`.
  // While the box is open the rig waits for `answered()` (up to kAnswerDeadlineMs), then runs
  // `whileOpen` if the answer came, and presses `button`.
  SeenBox AnswerTheBox(const std::function<bool()>& answered, QMessageBox::StandardButton button,
                       const std::function<void()>& whileOpen = {}) {
    SeenBox seen;
    bool pressed = false;
    QDeadlineTimer deadline;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      if (seen.title.isEmpty()) {
        seen = {box->windowTitle(), box->text()};
        deadline.setRemainingTime(kAnswerDeadlineMs);
      }
      if (!answered() && !deadline.hasExpired()) return;
      poll.stop();
      seen.answeredWhileOpen = answered();
      if (seen.answeredWhileOpen && whileOpen) whileOpen();
      box->button(button)->click();
      pressed = true;
    });
    poll.start();
    EXPECT_TRUE(WaitUntil([&] { return pressed; }, 30000)) << "the window showed no box";
    return seen;
  }

  // A call made while a box is open.
  QDBusMessage CallWhileOpen(const char* method, const QVariantList& arguments = {}) {
    QDBusPendingCall pending = Send(remote_names::kActionsInterface, method, arguments);
    EXPECT_TRUE(WaitUntil([&] { return pending.isFinished(); }, kAnswerDeadlineMs)) << method;
    return pending.reply();
  }

  QtMessageBoxes boxes{nullptr};
};

TEST_F(AnswerBeforeBox, BookmarksNotSavedOnAFullDiskAnswerTheCommandWhileTheBoxShows) {
  OpenPaused("talk.wav", 60, 7.4);
  form->Framerate->setText("25.000 ND");
  ASSERT_EQ(client.CallAction("SetBookmark", {1}).type(), QDBusMessage::ReplyMessage);
  const QByteArray kept = test_media::ReadAll(Path("talk.BKM"));
  ASSERT_FALSE(kept.isEmpty());

  player.position = 12;
  QDBusMessage busy;
  SeenBox box;
  QProcess command;
  command.start(QUILLMARK_PROGRAM, {"--remote", "bookmark", "2"});
  ASSERT_TRUE(command.waitForStarted(10000));
  {
    // Only the window's process is short of room: the command was forked before.
    DiskRoomLeft full(0);
    box = AnswerTheBox([&] { return command.state() == QProcess::NotRunning; }, QMessageBox::Ok,
                       [&] { busy = CallWhileOpen("GoToBookmark", {1}); });
  }
  EXPECT_EQ(box.title, "ERROR SAVING BOOKMARKS");
  EXPECT_EQ(box.text, "Bookmarks Not Saved\n" + Path("talk.BKM") +
                          "\nThe file could not be written. The bookmarks stay set until another "
                          "file is opened.");
  ASSERT_TRUE(box.answeredWhileOpen) << "quillmark --remote waited for the box to close";
  EXPECT_EQ(command.exitCode(), 1);
  EXPECT_TRUE(QString::fromUtf8(command.readAllStandardError())
                  .contains("quillmark: " + box.text + "\n"));
  // A second call while the box is open is refused at once and does nothing.
  EXPECT_EQ(busy.errorName(), "org.quillmark.Error.Busy");
  EXPECT_DOUBLE_EQ(player.position, 12);

  // The old file is whole and no half-written one is left beside it; the bookmark stays set.
  EXPECT_EQ(test_media::ReadAll(Path("talk.BKM")), kept);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({"talk.BKM", "talk.wav"}));
  EXPECT_EQ(form->Bookmark->itemText(1), "F2 = 00:00:12:00");
}

// Another program holds the clipboard: the copy is answered as failed; Retry in the box, once
// the program has let go, copies after all.
TEST_F(AnswerBeforeBox, AClipboardHeldElsewhereAnswersTheCallerAndRetriesInTheWindow) {
  OpenPaused("talk.wav", 60, 61.2);
  form->Framerate->setText("25.000 ND");
  form->TCFormat->setCurrentIndex(7);
  form->Timer1_Timer();
  const std::string copied = "clipboard [00:01:01]\r\n";
  struct Case {
    const char* interface;
    const char* method;
    int pasteMode;  // TCPaste: 1 copies on pause, 2 on play
    std::vector<std::string> playerCalls;
  };
  for (const Case& action :
       {Case{remote_names::kActionsInterface, "CopyTimeCode", 0, {copied}},
        Case{remote_names::kPlayerInterface, "Play", 2, {"play", copied}},
        Case{remote_names::kPlayerInterface, "Pause", 1, {"pause", copied}},
        Case{remote_names::kPlayerInterface, "PlayPause", 1, {"pause", copied}}}) {
    SCOPED_TRACE(action.method);
    form->TCPaste->setCurrentIndex(action.pasteMode);
    player.state = action.pasteMode == 1 ? MediaPlayer::kPlaying : MediaPlayer::kPaused;
    player.calls.clear();
    logged.answers = {Clipboard::Result::HeldByAnotherProgram};
    QDBusPendingCall pending = Send(action.interface, action.method);
    const SeenBox box = AnswerTheBox([&] { return pending.isFinished(); }, QMessageBox::Retry);

    EXPECT_EQ(box.title, "Clipboard error");
    EXPECT_EQ(box.text, "Can't Access Clipboard");
    EXPECT_TRUE(box.answeredWhileOpen) << "the call waited for the box to close";
    EXPECT_EQ(pending.reply().errorName(), "org.quillmark.Error.NotCopied");
    EXPECT_EQ(pending.reply().errorMessage(), box.text);
    EXPECT_EQ(player.calls, action.playerCalls) << "Retry copies";
  }
}

// File Finished asks in the window: the caller hears it went through while the question waits.
TEST_F(AnswerBeforeBox, FileFinishedAnswersBeforeItsQuestion) {
  OpenPaused("talk.wav", 60, 10);
  QDBusPendingCall pending = Send(remote_names::kActionsInterface, "FileFinished");
  const SeenBox box = AnswerTheBox([&] { return pending.isFinished(); }, QMessageBox::Cancel);
  EXPECT_EQ(box.title, "Transcription Done");
  ASSERT_TRUE(box.answeredWhileOpen);
  EXPECT_EQ(pending.reply().type(), QDBusMessage::ReplyMessage);
  EXPECT_EQ(form->windowTitle(), "Quillmark - talk.wav") << "Cancel keeps the recording";
}

// A recording that cannot be opened: the caller hears of it at once, and the window shows why.
TEST_F(AnswerBeforeBox, AnOpenThatFailsAnswersBeforeTheWindowSaysWhy) {
  OpenPaused("talk.wav", 60, 10);
  const QString gone = Path("gone.wav");
  // Handed over by a second quillmark, as a file manager does, and through MPRIS.
  QProcess command;
  command.start(QUILLMARK_PROGRAM, {gone});
  ASSERT_TRUE(command.waitForStarted(10000));
  SeenBox box =
      AnswerTheBox([&] { return command.state() == QProcess::NotRunning; }, QMessageBox::Ok);
  EXPECT_EQ(box.title, "CANNOT PLAY FILE");
  EXPECT_TRUE(box.answeredWhileOpen) << "the handing-over command waited for the box to close";
  EXPECT_EQ(command.exitCode(), 1);

  QDBusPendingCall pending = Send(remote_names::kPlayerInterface, "OpenUri",
                                  {QUrl::fromLocalFile(gone).toString()});
  box = AnswerTheBox([&] { return pending.isFinished(); }, QMessageBox::Ok);
  EXPECT_EQ(box.title, "CANNOT PLAY FILE");
  EXPECT_TRUE(box.answeredWhileOpen) << "OpenUri waited for the box to close";
  EXPECT_EQ(pending.reply().errorName(), remote_names::kErrorFileNotFound);
  EXPECT_EQ(form->windowTitle(), "Quillmark - talk.wav") << "the open recording stays";
}

}  // namespace
