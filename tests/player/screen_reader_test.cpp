// What a screen reader meets in the real Form1, through Qt's accessible interfaces as the AT-SPI
// bridge walks them: every control in sight says what it is, in every state of the window; the
// running time code is one text, announced once per change of the display. The program runs on
// the X display with Qt's bridge to an accessibility bus of its own.

#include <QAccessible>
#include <QComboBox>
#include <QGuiApplication>
#include <QTest>
#include <functional>
#include <memory>

#include "support/form_fixture.h"
#include "support/private_session_bus.h"
#include "support/wait.h"

namespace {

class AccessibilityBusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    QString error;
    ASSERT_TRUE(bus_.Start(&error) && bus_.StartAccessibilityBus(&error)) << error.toStdString();
  }

 private:
  PrivateSessionBus bus_;
};

[[maybe_unused]] ::testing::Environment* const kBus =
    ::testing::AddGlobalTestEnvironment(new AccessibilityBusEnvironment);

// ---- The walk: every control in sight that does not say what it is ----

bool Area(QAccessible::Role role) {
  return role == QAccessible::Client || role == QAccessible::Pane || role == QAccessible::Window ||
         role == QAccessible::Dialog || role == QAccessible::Grouping ||
         role == QAccessible::LayeredPane || role == QAccessible::Border;
}

// An area that holds controls, an empty area inside a control (a text box's text area), a
// frame drawn for looks, a label (named by its text): none needs a name of its own.
bool NeedsNoName(QAccessibleInterface* object) {
  if (object->role() == QAccessible::StaticText) return true;
  if (!Area(object->role())) return false;
  if (object->childCount() > 0) return true;
  if (QAccessibleInterface* holder = object->parent(); holder && !Area(holder->role())) return true;
  return object->role() == QAccessible::Border && !object->state().focusable &&
         object->text(QAccessible::Description).isEmpty();
}

QString LabelNames(QAccessibleInterface* object) {
  QString names;
  for (const auto& [label, relation] : object->relations(QAccessible::Label)) {
    names += label->text(QAccessible::Name);
  }
  return names;
}

// Adds what does not say what it is to `unnamed`; returns how many controls it saw.
int Walk(QAccessibleInterface* object, QStringList& unnamed) {
  if (!object || object->state().invisible) return 0;
  int controls = 0;
  if (!NeedsNoName(object)) {
    ++controls;
    const QString name = object->text(QAccessible::Name).trimmed();
    const QString what = QString("%1 (role %2)").arg(object->object()->objectName()).arg(object->role());
    // A list's name on this platform is the row it shows: a label must say what it is.
    if (name.isEmpty()) {
      unnamed << what + ": no name";
    } else if (name == object->text(QAccessible::Value).trimmed() && LabelNames(object).isEmpty()) {
      unnamed << what + ": named only by the value it shows";
    }
  }
  for (int i = 0; i < object->childCount(); ++i) controls += Walk(object->child(i), unnamed);
  return controls;
}

class ScreenReaderTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  QAccessibleInterface* Interface(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
  }
};

TEST_F(ScreenReaderTest, EveryControlInSightSaysWhatItIsInEveryState) {
  const std::pair<const char*, std::function<void()>> states[] = {
      {"start-up, About panel as splash", [] {}},
      {"compact", [&] { form->Closebtn_Click(); }},
      {"options panel open", [&] { form->Settings_Click(); }},
      {"audio page open", [&] { form->AudioBtn_Click(); }},
      {"diagnostic text shown", [&] { form->Dbgshow_MouseDown(2, 1, 0, 0); }},
      {"a row chosen in every list",
       [&] {
         for (QComboBox* list : form->findChildren<QComboBox*>()) {
           list->show();
           list->setCurrentIndex(0);
         }
       }},
      {"time code entry open",
       [&] {
         form->Settings_Click();
         form->SetTC_Click();
       }},
      {"video size, no sound device",
       [&] {
         form->SetTC_Click();
         form->Videosize_Click();
         form->MP1_NoSoundDevice(true);
       }},
      {"About panel", [&] { form->Aboutbtn_Click(); }},
      {"moving a finished file", [&] { form->Waitbox->show(); }},
      // What a state unknown to this test may show: every control of the window at once (each
      // has its name on the form; Qt's inner parts of a control are left as they are).
      {"everything shown",
       [&] {
         for (QWidget* widget : form->findChildren<QWidget*>()) {
           const QString name = widget->objectName();
           if (!widget->isWindow() && !name.isEmpty() && !name.startsWith("qt_")) widget->show();
         }
       }},
  };
  for (const auto& [state, enter] : states) {
    SCOPED_TRACE(state);
    enter();
    QStringList unnamed;
    EXPECT_GE(Walk(Interface(form.get()), unnamed), 10) << "the walk must reach the controls";
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join("\n").toStdString();
  }
}

TEST_F(ScreenReaderTest, PicturesClickedAsButtonsArePressedAsButtons) {
  form->TCFormat->setCurrentIndex(0);
  const struct {
    QWidget* picture;
    const char* name;
    std::function<bool()> pressed;
  } buttons[] = {
      {form->CopyTC, "Copy TC to Clipboard", [&] { return clipboard.text.startsWith("00:00:00:00"); }},
      {form->Image2, "Show Speed", [&] { return form->SpeedSlide->isHidden(); }},
  };
  for (const auto& button : buttons) {
    SCOPED_TRACE(button.name);
    QAccessibleInterface* object = Interface(button.picture);
    EXPECT_EQ(object->role(), QAccessible::Button);
    EXPECT_EQ(object->text(QAccessible::Name), button.name);
    EXPECT_EQ(object->childCount(), 0) << "the picture on it is no part of its own";
    object->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(button.pressed());
  }
}

// What reaches the bridge, taken before it.
std::vector<std::pair<QObject*, QAccessible::Event>> heard;

TEST_F(ScreenReaderTest, TheRunningTimeCodeIsOneTextAnnouncedOncePerChangeOfTheDisplay) {
  if (QGuiApplication::platformName() != "xcb") {
    GTEST_SKIP() << "the bridge to the accessibility bus needs the X display scripts/test runs";
  }
  ASSERT_TRUE(WaitUntil([] { return QAccessible::isActive(); })) << "no accessibility bus";
  QAccessibleInterface* display = Interface(form->TCWin);
  EXPECT_EQ(display->role(), QAccessible::StaticText);
  // The fields and colons are its text, not parts of their own; the entry box is a part.
  ASSERT_EQ(display->childCount(), 1);
  EXPECT_EQ(display->child(0)->text(QAccessible::Name), "Set Time Code");

  heard.clear();
  QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
    heard.emplace_back(event->object(), event->type());
  });
  form->TCOffset = 36000;
  player.position = 59.5;
  int changes = 0;
  for (int tick = 0; tick < 40; ++tick) {
    const QString before = form->ShownTimeCode();
    if (tick % 10 < 6) player.position += 0.06;  // playing for six ticks, then paused for four
    form->Timer1_Timer();
    changes += form->ShownTimeCode() != before;
    EXPECT_EQ(display->text(QAccessible::Name), form->ShownTimeCode());
  }
  QAccessible::installUpdateHandler(nullptr);
  EXPECT_EQ(display->text(QAccessible::Name), "10:01:00:28");

  int announced = 0;
  for (const auto& [object, type] : heard) {
    if (type != QAccessible::NameChanged) continue;
    EXPECT_EQ(object, form->TCWin) << "only the time code as a whole announces its changes";
    ++announced;
  }
  EXPECT_EQ(changes, 24);
  EXPECT_EQ(announced, changes);
}

}  // namespace
