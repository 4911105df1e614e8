// The controls of the window, by panel, with their design-time captions, items and placement.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "form1.h"
#include "platform/media_player.h"
#include "twips.h"
#include "version.h"
#include "window_look.h"

namespace {

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption) {
  return Named(new QLabel(caption, parent), name);
}

ClickLabel* MakeClickLabel(QWidget* parent, const char* name, const QString& caption) {
  return Named(new ClickLabel(caption, parent), name);
}

QToolButton* MakePictureButton(QWidget* parent, const char* name, QStyle::StandardPixmap picture,
                               const char* tooltip) {
  auto* button = Named(new QToolButton(parent), name);
  button->setIcon(parent->style()->standardIcon(picture));
  button->setToolTip(QString::fromLatin1(tooltip));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const char* initialText) {
  auto* combo = Named(new QComboBox(parent), name);
  combo->setPlaceholderText(QString::fromLatin1(initialText));
  combo->setCurrentIndex(-1);
  return combo;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption) {
  return Named(new QCheckBox(QString::fromLatin1(caption), parent), name);
}

// A panel over the strip in its own colours, hidden until its handler shows it.
PictureBox* MakePanel(QWidget* parent, const char* name, const QPalette& colours, int left,
                      int top, int width, int height) {
  auto* panel = Named(new PictureBox(parent), name);
  PlaceTwips(panel, left, top, width, height);
  panel->setAutoFillBackground(true);
  panel->setPalette(colours);
  panel->hide();
  return panel;
}

PictureBox* MakeLightPanel(QWidget* parent, const char* name, int left, int top, int width,
                           int height) {
  return MakePanel(parent, name, window_look::LightPalette(QApplication::palette()), left, top,
                   width, height);
}

}  // namespace

void Form1::CreateControls() {
  setObjectName("Form1");
  setWindowTitle("Quillmark");
  setAutoFillBackground(true);
  setPalette(window_look::StripPalette(palette()));
  setFont(window_look::TextFont());

  CreateMainStrip();
  CreateTimeCodeWindow();
  CreateOptionsPanel();
  CreateAudioControls();
  CreateAboutPanel();
  CreateWaitPanel();
  CreateWaveform();

  // Only Logo and the time code entry take the keyboard focus: a click on any other control
  // leaves it on Logo, so the hot keys keep working after a box is ticked or a row chosen.
  for (QWidget* control : findChildren<QWidget*>()) {
    if (control != Logo && control != TCEntry && control->window() == this) {
      control->setFocusPolicy(Qt::NoFocus);
    }
  }
  // A drop-down list opens in a window of its own, painted like a menu unless told every colour
  // of its list.
  for (QComboBox* list : findChildren<QComboBox*>()) {
    QPalette colours = list->palette();
    colours.setResolveMask(~QPalette::ResolveMask(0));
    list->view()->setPalette(colours);
    list->view()->window()->setFont(list->font());
  }

  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(60);
  Timer2 = Named(new QTimer(this), "Timer2");
  Timer2->setInterval(500);
}

void Form1::CreateMainStrip() {
  // Logo lies under the whole strip and keeps the keyboard focus for the hot keys; the layout
  // rules stretch it with the window.
  Logo = Named(new PictureBox(this), "Logo");
  PlaceTwips(Logo, 0, 0, 5280, 1710);
  Logo->setFocusPolicy(Qt::StrongFocus);
  Logo->setStyleSheet(window_look::StripBackground("Logo"));

  HeadExt = MakeLabel(this, "HeadExt", "Quillmark");
  PlaceTwips(HeadExt, 2100, 1305, 3180, 330);
  HeadExt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  HeadExt->setStyleSheet("#HeadExt { color: #8fb3d9; font: bold italic 16px; padding-right: 6px;"
                         " background: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
                         " stop:0 transparent, stop:1 #22364b); }");

  Fileopen = MakePictureButton(this, "Fileopen", QStyle::SP_DialogOpenButton, "Open File");
  Settings = MakePictureButton(this, "Settings", QStyle::SP_FileDialogDetailedView, "Settings");
  Videosize = MakePictureButton(this, "Videosize", QStyle::SP_DesktopIcon, "Show Video");
  SetTC = MakePictureButton(this, "SetTC", QStyle::SP_BrowserReload, "Set Time Code");
  finished = MakePictureButton(this, "finished", QStyle::SP_DialogApplyButton, "File Finished");
  Aboutbtn = MakePictureButton(this, "Aboutbtn", QStyle::SP_MessageBoxInformation,
                               "About Quillmark");
  int left = 45;
  for (QToolButton* button : {Fileopen, Settings, Videosize, SetTC, finished, Aboutbtn}) {
    PlaceTwips(button, left, 45, 330, 330);
    left += 345;
  }

  // Wide enough for "F12 = " and a whole time code.
  Bookmark = MakeCombo(this, "Bookmark", "Bookmarks");
  PlaceTwips(Bookmark, 2145, 60, 1875, 330);
  for (int i = 0; i < 12; ++i) Bookmark->addItem(QString());
  Bookmark->setCurrentIndex(-1);

  SpeedSlide = Named(new QSlider(Qt::Horizontal, this), "SpeedSlide");
  PlaceTwips(SpeedSlide, 4080, 45, 930, 255);
  SpeedSlide->setRange(10, 200);
  SpeedSlide->setValue(100);
  SPlbl = MakeClickLabel(this, "SPlbl", "Speed =  100%");
  PlaceTwips(SPlbl, 4050, 300, 1230, 195);
  Image2 = MakeClickLabel(this, "Image2", QString());
  PlaceTwips(Image2, 5040, 60, 240, 240);
  Image2->setPixmap(
      window_look::LightPicture(style()->standardIcon(QStyle::SP_MediaSeekForward), 14));

  static const char* const kLabel1Captions[6] = {"Frame Rate:", "Start TC:", "Duration:",
                                                 "User Bits:", "File Date/Time:", "SampleRate:"};
  for (int i = 0; i < 6; ++i) {
    Label1[i] = MakeClickLabel(this, "Label1", QString::fromLatin1(kLabel1Captions[i]));
    Label1[i]->setProperty("Index", i);
    Label1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceTwips(Label1[i], i < 3 ? 30 : 2310, 495 + (i % 3) * 195, i < 3 ? 930 : 1170, 195);
  }
  Framerate = MakeLabel(this, "Framerate", "30.000 ND");
  STC = MakeLabel(this, "STC", "");
  Duration = MakeLabel(this, "Duration", "");
  UB = MakeLabel(this, "UB", "");
  FDT = MakeLabel(this, "FDT", "00-00-00");
  Samplerate = MakeLabel(this, "Samplerate", "");
  const std::array<QLabel*, 6> values{Framerate, STC, Duration, UB, FDT, Samplerate};
  for (int i = 0; i < 6; ++i) {
    PlaceTwips(values[i], i < 3 ? 990 : 3510, 495 + (i % 3) * 195, i < 3 ? 1290 : 1770, 195);
  }
  for (QLabel* label : Label1) SetForeColor(label, 0xC0C0C0);
  SetForeColor(SPlbl, 0xC0C0C0);
  for (QLabel* label : values) SetForeColor(label, 0xFFFFFF);

  // The notice that the recording plays silently, on the header image left of the name.
  NoSound = MakeLabel(HeadExt, "NoSound", "No sound device");
  PlaceTwips(NoSound, 90, 30, 1560, 270);
  NoSound->setAlignment(Qt::AlignCenter);
  NoSound->setToolTip("No sound device could be opened: the recording plays without sound.");
  NoSound->setStyleSheet("#NoSound { color: #ffe08a; background: #4a2a10;"
                         " border: 1px solid #c08040; }");
  NoSound->hide();

  // The player's area: below the strip, sized for the tall window; the compact window shows
  // only the strip. The time code, made after it, lies above it.
  QWidget* playerView = MP1->view();
  playerView->setParent(this);
  playerView->setObjectName("MP1");
  PlaceTwips(playerView, 50, 1810, 7230, 5330);
  playerView->show();
}

void Form1::CreateTimeCodeWindow() {
  TCLabel = MakeClickLabel(this, "TCLabel", "ELAPSED TIME");
  PlaceTwips(TCLabel, 60, 1095, 1725, 195);
  TCLabel->setAlignment(Qt::AlignCenter);
  SetForeColor(TCLabel, 0x80FFFF);

  TCWin = Named(new PictureBox(this), "TCWin");
  PlaceTwips(TCWin, 60, 1305, 1725, 330);
  // The entry box is typed in the colours of the display it stands in for.
  TCWin->setStyleSheet("#TCWin { background: black; border: 1px solid #506070; }"
                       " #TCEntry { background: black; color: #00ff00; border: none; }");
  // The four fields and their colons sit on the cells of the monospaced face, so the display
  // and the entry box show "HH:MM:SS:FF" at the same places.
  const QFont digits = window_look::DigitFont();
  const int cell = static_cast<int>(std::ceil(QFontMetricsF(digits).horizontalAdvance('0')));
  int left = (TCWin->width() - 11 * cell) / 2;
  auto field = [&](const char* name, const QString& text) {
    QLabel* label = MakeLabel(TCWin, name, text);
    label->setFont(digits);
    label->setAlignment(Qt::AlignCenter);
    SetForeColor(label, 0x00FF00);
    label->setGeometry(left, 0, text.size() * cell, TCWin->height());
    left += text.size() * cell;
    return label;
  };
  TCHour = field("TCHour", "00");
  Colon[0] = field("Colon", ":");
  TCMin = field("TCMin", "00");
  Colon[1] = field("Colon", ":");
  TCSecond = field("TCSecond", "00");
  Colon[2] = field("Colon", ":");
  TCFrame = field("TCFrame", "00");

  TCEntry = Named(new QLineEdit("00:00:00:00", TCWin), "TCEntry");
  PlaceTwips(TCEntry, 15, 0, WidthTwips(TCWin) - 30, HeightTwips(TCWin));
  TCEntry->setFont(digits);
  TCEntry->setFrame(false);
  TCEntry->setAlignment(Qt::AlignCenter);
  TCEntry->hide();

  CopyTC = Named(new PictureBox(this), "CopyTC");
  PlaceTwips(CopyTC, 1860, 1355, 240, 240);
  CopyTC->setToolTip("Copy TC to Clipboard");
  auto* copyPicture = new QLabel(CopyTC);
  copyPicture->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16));
  copyPicture->setAttribute(Qt::WA_TransparentForMouseEvents);

  // A ring around the time code; it only shows, so clicks go through it.
  TChilight = Named(new QFrame(this), "TChilight");
  PlaceTwips(TChilight, 30, 1275, 1785, 390);
  TChilight->setStyleSheet("#TChilight { border: 2px solid #ffd040; }");
  TChilight->setAttribute(Qt::WA_TransparentForMouseEvents);
  TChilight->hide();
}

void Form1::CreateOptionsPanel() {
  // Two columns in a box, the pedal and the wind on the left, the clipboard and the window on
  // the right, and a row below the box with the default rate, the balance and Close.
  Options = MakePanel(this, "Options", window_look::OptionsPalette(palette()), 0, 1710, 5280,
                      2910);
  Options->setFrameShape(QFrame::Panel);
  Options->setFrameShadow(QFrame::Raised);

  Shape1 = Named(new QFrame(Options), "Shape1");
  PlaceTwips(Shape1, 30, 30, 5220, 2205);
  Shape1->setFrameShape(QFrame::Box);
  QPalette divider = Shape1->palette();
  divider.setColor(QPalette::WindowText, window_look::kDividerColour);
  Shape1->setPalette(divider);

  // Left column. Beside Enable Pedal there is room for one more button.
  PedalPort = MakeCombo(Options, "PedalPort", "Set Port #");
  PlaceTwips(PedalPort, 120, 90, 2595, 330);
  for (int i = 1; i <= 8; ++i) PedalPort->addItem(QString("COM %1").arg(i));
  PedalPort->setCurrentIndex(-1);
  PEDALON = MakeCheck(Options, "PEDALON", "Enable Pedal");
  PlaceTwips(PEDALON, 120, 465, 1350, 285);
  LearnPedal = Named(new QPushButton("Learn pedal...", Options), "LearnPedal");
  PlaceTwips(LearnPedal, 1515, 442, 1200, 330);
  LGND[2] = MakeLabel(Options, "LGND", "Status:");
  PlaceTwips(LGND[2], 120, 810, 600, 195);
  Pedalstat = MakeLabel(Options, "Pedalstat", "Disabled");
  PlaceTwips(Pedalstat, 720, 810, 1995, 195);
  SWAPFFRW = MakeCheck(Options, "SWAPFFRW", "      Swap Rew<Play>Fwd");
  PlaceTwips(SWAPFFRW, 120, 1050, 2595, 285);
  LGND[1] = MakeLabel(Options, "LGND", "FFWD && RWD Speed ");
  PlaceTwips(LGND[1], 120, 1380, 2595, 195);
  RWScroll = Named(new QScrollBar(Qt::Horizontal, Options), "RWScroll");
  PlaceTwips(RWScroll, 120, 1605, 1920, 240);
  RWScroll->setRange(0, 100);
  RWScroll->setValue(5);
  LGND[1]->setBuddy(RWScroll);  // a label with a buddy shows "&&" as "&"
  BACKSEC = MakeLabel(Options, "BACKSEC", "5");
  PlaceTwips(BACKSEC, 2100, 1605, 480, 240);

  // Right column.
  Label3 = MakeLabel(Options, "Label3", "Time Code Auto Copy Controls");
  PlaceTwips(Label3, 2820, 90, 2340, 195);
  TCFormat = MakeCombo(Options, "TCFormat", "Time Code FMT");
  PlaceTwips(TCFormat, 2820, 315, 2340, 330);
  TCFormat->addItems({"HH:MM:SS:FF", "HH:MM:SS:FF+tab", "HH:MM:SS:FF+CRLF", "HH:MM:SS",
                      "HH:MM:SS+tab", "HH:MM:SS+CRLF", "[HH:MM:SS]+tab", "[HH:MM:SS]+CRLF"});
  TCFormat->setCurrentIndex(-1);
  TCPaste = MakeCombo(Options, "TCPaste", "TC to Clipboard");
  PlaceTwips(TCPaste, 2820, 690, 2340, 330);
  TCPaste->addItems({"No TC to Clipboard", "TC to CB on Pause", "TC to CB  on Play"});
  TCPaste->setCurrentIndex(-1);
  AutoBack = MakeClickLabel(Options, "AutoBack", "Autobackup = OFF");
  PlaceTwips(AutoBack, 2820, 1065, 2340, 195);
  Ontop = MakeCheck(Options, "Ontop", "Always On Top");
  PlaceTwips(Ontop, 2820, 1305, 2340, 285);
  TODTC = MakeCheck(Options, "TODTC", "Use File T.O.D. for TC");
  PlaceTwips(TODTC, 2820, 1590, 2340, 285);
  ResumeOn = MakeCheck(Options, "ResumeOn", "Resume where I left off");
  PlaceTwips(ResumeOn, 2820, 1875, 2340, 285);
  ResumeOn->setChecked(true);
  ResumeOn->setAccessibleName("Resume where I left off");
  ResumeOn->setToolTip("A recording opened again waits, paused, where it was left off");

  // The row below the box.
  LGND[0] = MakeLabel(Options, "LGND", "Defalut TC Rate:");
  PlaceTwips(LGND[0], 120, 2295, 1950, 195);
  DEFAULTTC = MakeCombo(Options, "DEFAULTTC", "30.000 ");
  PlaceTwips(DEFAULTTC, 120, 2505, 1050, 330);
  DEFAULTDF = MakeCombo(Options, "DEFAULTDF", "ND");
  PlaceTwips(DEFAULTDF, 1230, 2505, 780, 330);
  Label2 = MakeLabel(Options, "Label2", "Audio Balance");
  PlaceTwips(Label2, 2100, 2295, 1500, 195);
  Bal = Named(new QSlider(Qt::Horizontal, Options), "Bal");
  PlaceTwips(Bal, 2100, 2520, 1500, 300);
  Bal->setRange(0, 200);
  Bal->setValue(100);
  Bal->setTickPosition(QSlider::TicksBelow);
  Bal->setTickInterval(100);
  Bal->setToolTip("L/R Balance");
  Closemenu = Named(new QPushButton("&Close", Options), "Closemenu");
  PlaceTwips(Closemenu, 3720, 2505, 1200, 330);
  Dbgshow = MakeClickLabel(Options, "Dbgshow", QString());
  PlaceTwips(Dbgshow, 4980, 2520, 300, 300);
  Dbgshow->setPixmap(style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(18, 18));

  Label4 = MakeLabel(Options, "Label4", QString());
  Label5 = MakeLabel(Options, "Label5", QString());
  TmpLbl = MakeLabel(Options, "TmpLbl", QString());
  TOD = MakeLabel(Options, "TOD", QString());
  for (QLabel* hidden : {Label4, Label5, TmpLbl, TOD}) hidden->hide();

  // The diagnostic box covers the box of the two columns; the row below stays in reach.
  Dbugtxt = Named(new QPlainTextEdit(Options), "Dbugtxt");
  PlaceTwips(Dbugtxt, LeftTwips(Shape1), TopTwips(Shape1), WidthTwips(Shape1),
             HeightTwips(Shape1));
  Dbugtxt->setReadOnly(true);
  Dbugtxt->hide();
}

void Form1::CreateAboutPanel() {
  Aboutscreen = MakeLightPanel(this, "Aboutscreen", 0, 0, 5265, 1845);
  ABOUTFrame = Named(new QGroupBox("About Quillmark", Aboutscreen), "ABOUTFrame");
  PlaceTwips(ABOUTFrame, 60, 30, 5145, 1650);
  Image1 = MakeLabel(ABOUTFrame, "Image1", QString());
  PlaceTwips(Image1, 120, 300, 600, 600);
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(32, 32));
  VersionLabel = MakeLabel(ABOUTFrame, "VersionLabel",
                           QString("Version: ") + kQuillmarkVersion);
  PlaceTwips(VersionLabel, 840, 300, 2400, 225);
  AboutLbl = MakeLabel(ABOUTFrame, "AboutLbl",
                       "A player for transcription: keyboard and foot pedal transport, "
                       "running time code, bookmarks on F1 to F12.");
  AboutLbl->setWordWrap(true);
  PlaceTwips(AboutLbl, 840, 570, 4200, 600);
  Closebtn = Named(new QPushButton("&Close", ABOUTFrame), "Closebtn");
  PlaceTwips(Closebtn, 3840, 1170, 1200, 375);
  Closebtn->setFocusPolicy(Qt::NoFocus);
}

void Form1::CreateWaitPanel() {
  Waitbox = MakeLightPanel(this, "Waitbox", 600, 450, 4080, 780);
  Waitbox->setFrameShape(QFrame::Panel);
  Indicator = MakeLabel(Waitbox, "Indicator", ">>>>>>>>>");
  PlaceTwips(Indicator, 120, 90, 3840, 270);
  Label6 = MakeLabel(Waitbox, "Label6", "Moving File -- Please Wait");
  PlaceTwips(Label6, 120, 420, 3840, 270);
}
