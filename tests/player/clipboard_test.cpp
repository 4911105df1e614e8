// The time code onto the clipboard from the real window, and the clipboard on QClipboard.

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

#include "platform/qt_clipboard.h"
#include "support/form_fixture.h"

namespace {

using Result = Clipboard::Result;
using Answer = MessageBoxes::Answer;
constexpr auto kAbortRetryIgnore = MessageBoxes::Buttons::AbortRetryIgnore;

class CopyToClipboard : public FormTest {
 protected:
  void Show(const char* hh, const char* mm, const char* ss, const char* ff) {
    form->TCHour->setText(hh);
    form->TCMin->setText(mm);
    form->TCSecond->setText(ss);
    form->TCFrame->setText(ff);
  }
  QString CopiedWith(int format) {
    form->TCFormat->setCurrentIndex(format);
    form->CopyTCToClipboard();
    return clipboard.text;
  }
};

TEST_F(CopyToClipboard, EveryFormatByteForByte) {
  Show("01", "02", "03", "04");
  EXPECT_EQ(CopiedWith(0), "01:02:03:04 ");
  EXPECT_EQ(CopiedWith(1), "01:02:03:04\t");
  EXPECT_EQ(CopiedWith(2), "01:02:03:04\r\n\r\n");
  EXPECT_EQ(CopiedWith(3), "01:02:03 ");
  EXPECT_EQ(CopiedWith(4), "01:02:03\t");
  EXPECT_EQ(CopiedWith(5), "01:02:03\r\n\r\n");
  EXPECT_EQ(CopiedWith(6), "[01:02:03]\t");
  EXPECT_EQ(CopiedWith(7), "[01:02:03]\r\n");
  EXPECT_EQ(CopiedWith(-1), "01:02:03:04 ");
}

TEST_F(CopyToClipboard, ClearsThenSets) {
  Show("10", "20", "30", "15");
  form->CopyTCToClipboard();
  EXPECT_EQ(clipboard.steps, (std::vector<std::string>{"clear", "set"}));
  EXPECT_EQ(clipboard.text, "10:20:30:15\t");  // start-up chooses format 1
}

TEST_F(CopyToClipboard, ButtonCopiesAndHighlightsWhilePressed) {
  form->show();
  Show("00", "00", "07", "12");
  QTest::mousePress(form->CopyTC, Qt::LeftButton);
  EXPECT_TRUE(form->TChilight->isVisible());
  EXPECT_TRUE(clipboard.steps.empty());
  QTest::mouseRelease(form->CopyTC, Qt::LeftButton);
  EXPECT_FALSE(form->TChilight->isVisible());
  EXPECT_EQ(clipboard.text, "00:00:07:12\t");
  EXPECT_EQ(form->focusWidget(), form->Logo);
}

TEST_F(CopyToClipboard, HeldClipboardOffersRetry) {
  Show("01", "02", "03", "04");
  form->TCFormat->setCurrentIndex(0);
  clipboard.answers = {Result::HeldByAnotherProgram, Result::Ok, Result::Ok};
  messages.Expect("Can't Access Clipboard", "Clipboard error", kAbortRetryIgnore, Answer::Retry);
  form->CopyTCToClipboard();
  EXPECT_EQ(clipboard.steps, (std::vector<std::string>{"clear", "clear", "set"}));
  EXPECT_EQ(clipboard.text, "01:02:03:04 ");
}

TEST_F(CopyToClipboard, AbortOnClearStillTriesTheSet) {
  Show("01", "02", "03", "04");
  clipboard.answers = {Result::HeldByAnotherProgram, Result::Ok};
  messages.Expect("Can't Access Clipboard", "Clipboard error", kAbortRetryIgnore, Answer::Abort);
  form->CopyTCToClipboard();
  EXPECT_EQ(clipboard.steps, (std::vector<std::string>{"clear", "set"}));
  EXPECT_EQ(clipboard.text, "01:02:03:04\t");
}

TEST_F(CopyToClipboard, IgnoredSetLeavesTheClipboardAsItWas) {
  clipboard.text = "typed earlier";
  clipboard.answers = {Result::Failed, Result::HeldByAnotherProgram};
  messages.Expect("Can't Access Clipboard", "Clipboard error", kAbortRetryIgnore, Answer::Ignore);
  form->CopyTCToClipboard();
  EXPECT_EQ(clipboard.text, "typed earlier");
  EXPECT_EQ(messages.shown, 1) << "a failure other than a held clipboard passes without a box";
}

TEST(QtClipboardTest, SetsAndClearsTheSystemClipboard) {
  QtClipboard clipboard;
  ASSERT_EQ(clipboard.SetText("01:02:03]\r\n"), Clipboard::Result::Ok);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "01:02:03]\r\n");
  ASSERT_EQ(clipboard.Clear(), Clipboard::Result::Ok);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
}

}  // namespace
