// What a screen reader says of the window: every control named by what it is (its caption or
// tooltip where it has one), the running time code as one text, pictures that are clicked as
// buttons. Controls with a caption of their own (check boxes, push buttons, labels) are named by
// it already.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QToolButton>

#include "accessibility/accessible_kinds.h"
#include "accessibility/readout.h"
#include "form1.h"
#include "platform/media_player.h"

void Form1::NameControlsForScreenReaders() {
  accessibility::InstallAccessibleKinds();

  // The keys' control: where the typist's keys go while the window has the focus.
  Logo->setAccessibleName("Transport keys");
  Logo->setAccessibleDescription(
      "Space plays and pauses, Enter or P plays, S or Esc stops; while paused the arrows step a "
      "frame, with Shift a second; F1 to F12 go to a bookmark, with Shift they set it.");
  MP1->view()->setAccessibleName("Video");
  // The panels, so a screen reader says where a control lies.
  Options->setAccessibleName(Settings->toolTip());
  Aboutscreen->setAccessibleName(Aboutbtn->toolTip());
  Waitbox->setAccessibleName(Label6->text());

  // The picture buttons say what their tooltips say.
  for (QToolButton* button : {Fileopen, Settings, Videosize, SetTC, finished, Aboutbtn}) {
    button->setAccessibleName(button->toolTip());
  }
  accessibility::ReadAsButton(CopyTC);  // "Copy TC to Clipboard"
  accessibility::ReadAsButton(Image2);
  Image2->setAccessibleName("Show Speed");
  Dbgshow->setAccessibleName("Diagnostics");
  Dbugtxt->setAccessibleName("Diagnostic Text");
  Image1->setAccessibleName("Quillmark");

  // The running time code: one text, "HH:MM:SS:FF". Named, the fields announce no changes of
  // their own; the display tick announces each change of the whole once.
  TCHour->setAccessibleName("Hours");
  TCMin->setAccessibleName("Minutes");
  TCSecond->setAccessibleName("Seconds");
  TCFrame->setAccessibleName("Frames");
  TCWin->setAccessibleDescription("Running time code");
  timeCodeReadout_ = std::make_unique<accessibility::Readout>(TCWin);
  TCEntry->setAccessibleName(SetTC->toolTip());
  // The wait indicator's arrows run while a file moves: named, they are not read at each step.
  Indicator->setAccessibleName("Moving File");

  SpeedSlide->setAccessibleName("Speed");
  Label2->setBuddy(Bal);  // "Audio Balance"; the tooltip describes it
  // RWScroll is named by its caption LGND[1], its buddy.

  // The lists: the initial texts that name them, and names for the two whose initial texts are
  // values.
  for (QComboBox* list : {Bookmark, PedalPort, TCFormat, TCPaste}) {
    accessibility::NameList(list, list->placeholderText());
  }
  accessibility::NameList(DEFAULTTC, "Default TC Rate");
  accessibility::NameList(DEFAULTDF, "Default Drop Frame");
}
