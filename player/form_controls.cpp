// The controls of the window, by panel, with their design-time captions, items and placement.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "form1.h"
#include "platform/media_player.h"
#include "twips.h"
#include "version.h"

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

// A panel over the dark strip, in light colours, hidden until its handler shows it.
PictureBox* MakeLightPanel(QWidget* parent, const char* name, int left, int top, int width,
                           int height) {
  auto* panel = Named(new PictureBox(parent), name);
  PlaceTwips(panel, left, top, width, height);
  QPalette light = QApplication::palette();
  light.setColor(QPalette::Window, QColor(0xEC, 0xEC, 0xEC));
  light.setColor(QPalette::WindowText, Qt::black);
  panel->setAutoFillBackground(true);
  panel->setPalette(light);
  panel->hide();
  return panel;
}

}  // namespace

void Form1::CreateControls() {
  setObjectName("Form1");
  setWindowTitle("Quillmark");
  setAutoFillBackground(true);
  QPalette dark = palette();
  dark.setColor(QPalette::Window, QColor(0x16, 0x20, 0x2a));
  setPalette(dark);
  QFont small = font();
  small.setPixelSize(10);
  setFont(small);

  CreateMainStrip();
  CreateTimeCodeWindow();
  CreateOptionsPanel();
  CreateAboutPanel();
  CreateWaitPanel();

  Timer1 = Named(new QTimer(this), "Timer1");
  Timer1->setInterval(60);
  Timer2 = Named(new QTimer(this), "Timer2");
  Timer2->setInterval(500);
}

void Form1::CreateMainStrip() {
  // Logo lies under the whole strip and keeps the keyboard focus for the hot keys.
  Logo = Named(new PictureBox(this), "Logo");
  PlaceTwips(Logo, 0, 0, 5280, 1710);
  Logo->setFocusPolicy(Qt::StrongFocus);
  Logo->setStyleSheet("#Logo { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                      " stop:0 #2b3a4a, stop:1 #16202a); }");

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
  int left = 60;
  for (QToolButton* button : {Fileopen, Settings, Videosize, SetTC, finished, Aboutbtn}) {
    PlaceTwips(button, left, 45, 360, 360);
    left += 375;
  }

  Bookmark = MakeCombo(this, "Bookmark", "Bookmarks");
  PlaceTwips(Bookmark, 2370, 60, 1500, 330);
  Bookmark->setFocusPolicy(Qt::NoFocus);
  for (int i = 0; i < 12; ++i) Bookmark->addItem(QString());
  Bookmark->setCurrentIndex(-1);

  SpeedSlide = Named(new QSlider(Qt::Horizontal, this), "SpeedSlide");
  PlaceTwips(SpeedSlide, 3960, 45, 1050, 255);
  SpeedSlide->setRange(10, 200);
  SpeedSlide->setValue(100);
  SpeedSlide->setFocusPolicy(Qt::NoFocus);
  SPlbl = MakeClickLabel(this, "SPlbl", "Speed =  100%");
  PlaceTwips(SPlbl, 3960, 285, 1320, 195);
  Image2 = MakeClickLabel(this, "Image2", QString());
  PlaceTwips(Image2, 5040, 60, 240, 240);
  Image2->setPixmap(style()->standardIcon(QStyle::SP_MediaSeekForward).pixmap(14, 14));

  static const char* const kLabel1Captions[6] = {"Frame Rate:", "Start TC:", "Duration:",
                                                 "User Bits:", "File Date/Time:", "SampleRate:"};
  for (int i = 0; i < 6; ++i) {
    Label1[i] = MakeClickLabel(this, "Label1", QString::fromLatin1(kLabel1Captions[i]));
    Label1[i]->setProperty("Index", i);
    Label1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceTwips(Label1[i], i < 3 ? 30 : 2325, 510 + (i % 3) * 195, i < 3 ? 900 : 1140, 195);
  }
  Framerate = MakeLabel(this, "Framerate", "30.000 ND");
  STC = MakeLabel(this, "STC", "");
  Duration = MakeLabel(this, "Duration", "");
  UB = MakeLabel(this, "UB", "");
  FDT = MakeLabel(this, "FDT", "00-00-00");
  Samplerate = MakeLabel(this, "Samplerate", "");
  const std::array<QLabel*, 6> values{Framerate, STC, Duration, UB, FDT, Samplerate};
  for (int i = 0; i < 6; ++i) {
    PlaceTwips(values[i], i < 3 ? 990 : 3525, 510 + (i % 3) * 195, i < 3 ? 1290 : 1755, 195);
  }
  for (QLabel* label : Label1) SetForeColor(label, 0xC0C0C0);
  for (QLabel* label : values) SetForeColor(label, 0xFFFFFF);

  TCLabel = MakeClickLabel(this, "TCLabel", "ELAPSED TIME");
  PlaceTwips(TCLabel, 60, 1095, 1725, 195);
  TCLabel->setAlignment(Qt::AlignCenter);
  SetForeColor(TCLabel, 0x80FFFF);

  TChilight = Named(new QFrame(this), "TChilight");
  PlaceTwips(TChilight, 30, 1275, 1785, 390);
  TChilight->setStyleSheet("#TChilight { border: 2px solid #ffd040; }");
  TChilight->hide();

  CopyTC = Named(new PictureBox(this), "CopyTC");
  PlaceTwips(CopyTC, 1860, 1355, 240, 240);
  CopyTC->setToolTip("Copy TC to Clipboard");
  CopyTC->setStyleSheet("#CopyTC { border-image: none; }");
  auto* copyPicture = new QLabel(CopyTC);
  copyPicture->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16));
  copyPicture->setAttribute(Qt::WA_TransparentForMouseEvents);

  // The player's area: below the strip, sized for the tall window; the compact window shows
  // only the strip.
  QWidget* playerView = MP1->view();
  playerView->setParent(this);
  playerView->setObjectName("MP1");
  PlaceTwips(playerView, 50, 1810, 7230, 5330);
  playerView->show();
}

void Form1::CreateTimeCodeWindow() {
  TCWin = Named(new PictureBox(this), "TCWin");
  PlaceTwips(TCWin, 60, 1305, 1725, 330);
  TCWin->setStyleSheet("#TCWin { background: black; border: 1px solid #506070; }");
  QFont digits("Monospace");
  digits.setStyleHint(QFont::Monospace);
  digits.setPixelSize(17);
  digits.setBold(true);
  auto field = [&](const char* name, const QString& text, int left, int width) {
    QLabel* label = MakeLabel(TCWin, name, text);
    label->setFont(digits);
    label->setAlignment(Qt::AlignCenter);
    SetForeColor(label, 0x00FF00);
    PlaceTwips(label, left, 0, width, 330);
    return label;
  };
  TCHour = field("TCHour", "00", 45, 330);
  Colon[0] = field("Colon", ":", 375, 90);
  TCMin = field("TCMin", "00", 465, 330);
  Colon[1] = field("Colon", ":", 795, 90);
  TCSecond = field("TCSecond", "00", 885, 330);
  Colon[2] = field("Colon", ":", 1215, 90);
  TCFrame = field("TCFrame", "00", 1305, 330);

  TCEntry = Named(new QLineEdit("00:00:00:00", TCWin), "TCEntry");
  PlaceTwips(TCEntry, 15, 0, 1680, 330);
  TCEntry->setFont(digits);
  TCEntry->hide();
}

void Form1::CreateOptionsPanel() {
  Options = MakeLightPanel(this, "Options", 10, 1710, 5310, 1845);
  Options->setFrameShape(QFrame::Panel);

  Shape1 = Named(new QFrame(Options), "Shape1");
  PlaceTwips(Shape1, 15, 15, 5280, 1815);
  Shape1->setFrameShape(QFrame::Box);

  // First column: default rate, wind step, pedal status.
  LGND[0] = MakeLabel(Options, "LGND", "Defalut TC Rate:");
  PlaceTwips(LGND[0], 75, 60, 1650, 210);
  DEFAULTTC = MakeCombo(Options, "DEFAULTTC", "30.000 ");
  PlaceTwips(DEFAULTTC, 75, 270, 945, 315);
  DEFAULTDF = MakeCombo(Options, "DEFAULTDF", "ND");
  PlaceTwips(DEFAULTDF, 1065, 270, 660, 315);
  LGND[1] = MakeLabel(Options, "LGND", "FFWD && RWD Speed ");
  PlaceTwips(LGND[1], 75, 630, 1650, 210);
  RWScroll = Named(new QScrollBar(Qt::Horizontal, Options), "RWScroll");
  PlaceTwips(RWScroll, 75, 855, 1275, 240);
  RWScroll->setRange(0, 100);
  RWScroll->setValue(5);
  LGND[1]->setBuddy(RWScroll);  // a label with a buddy shows "&&" as "&"
  BACKSEC = MakeLabel(Options, "BACKSEC", "5");
  PlaceTwips(BACKSEC, 1395, 855, 330, 240);
  SWAPFFRW = MakeCheck(Options, "SWAPFFRW", "      Swap Rew<Play>Fwd");
  PlaceTwips(SWAPFFRW, 75, 1140, 1650, 240);
  LGND[2] = MakeLabel(Options, "LGND", "Status:");
  PlaceTwips(LGND[2], 75, 1440, 600, 210);
  Pedalstat = MakeLabel(Options, "Pedalstat", "Disabled");
  PlaceTwips(Pedalstat, 690, 1440, 1035, 210);

  // Second column: pedal port, clipboard time code, auto-backup.
  PedalPort = MakeCombo(Options, "PedalPort", "Set Port #");
  PlaceTwips(PedalPort, 1830, 60, 1125, 315);
  for (int i = 1; i <= 8; ++i) PedalPort->addItem(QString("COM %1").arg(i));
  PedalPort->setCurrentIndex(-1);
  PEDALON = MakeCheck(Options, "PEDALON", "Enable Pedal");
  PlaceTwips(PEDALON, 1830, 405, 1500, 240);
  Label3 = MakeLabel(Options, "Label3", "Time Code Auto Copy Controls");
  PlaceTwips(Label3, 1830, 690, 1725, 210);
  TCFormat = MakeCombo(Options, "TCFormat", "Time Code FMT");
  PlaceTwips(TCFormat, 1830, 915, 1725, 315);
  TCFormat->addItems({"HH:MM:SS:FF", "HH:MM:SS:FF+tab", "HH:MM:SS:FF+CRLF", "HH:MM:SS",
                      "HH:MM:SS+tab", "HH:MM:SS+CRLF", "[HH:MM:SS]+tab", "[HH:MM:SS]+CRLF"});
  TCFormat->setCurrentIndex(-1);
  TCPaste = MakeCombo(Options, "TCPaste", "TC to Clipboard");
  PlaceTwips(TCPaste, 1830, 1245, 1725, 315);
  TCPaste->addItems({"No TC to Clipboard", "TC to CB on Pause", "TC to CB  on Play"});
  TCPaste->setCurrentIndex(-1);
  AutoBack = MakeClickLabel(Options, "AutoBack", "Autobackup = OFF");
  PlaceTwips(AutoBack, 1830, 1575, 1725, 210);

  // Third column: window, time of day, balance, close.
  Ontop = MakeCheck(Options, "Ontop", "Always On Top");
  PlaceTwips(Ontop, 3630, 60, 1650, 240);
  TODTC = MakeCheck(Options, "TODTC", "Use File T.O.D. for TC");
  PlaceTwips(TODTC, 3630, 330, 1650, 240);
  Label2 = MakeLabel(Options, "Label2", "Audio Balance");
  PlaceTwips(Label2, 3630, 630, 1650, 210);
  Bal = Named(new QSlider(Qt::Horizontal, Options), "Bal");
  PlaceTwips(Bal, 3630, 840, 1575, 270);
  Bal->setRange(0, 200);
  Bal->setValue(100);
  Bal->setTickPosition(QSlider::TicksBelow);
  Bal->setTickInterval(100);
  Bal->setToolTip("L/R Balance");
  Closemenu = Named(new QPushButton("&Close", Options), "Closemenu");
  PlaceTwips(Closemenu, 3630, 1320, 1020, 375);
  Closemenu->setFocusPolicy(Qt::NoFocus);
  Dbgshow = MakeClickLabel(Options, "Dbgshow", QString());
  PlaceTwips(Dbgshow, 4830, 1380, 300, 300);
  Dbgshow->setPixmap(style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(18, 18));

  Label4 = MakeLabel(Options, "Label4", QString());
  Label5 = MakeLabel(Options, "Label5", QString());
  TmpLbl = MakeLabel(Options, "TmpLbl", QString());
  TOD = MakeLabel(Options, "TOD", QString());
  for (QLabel* hidden : {Label4, Label5, TmpLbl, TOD}) hidden->hide();

  Dbugtxt = Named(new QPlainTextEdit(Options), "Dbugtxt");
  PlaceTwips(Dbugtxt, LeftTwips(Shape1), TopTwips(Shape1), 5280, HeightTwips(Shape1));
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
  PlaceTwips(Closebtn, 3960, 1170, 1020, 375);
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
