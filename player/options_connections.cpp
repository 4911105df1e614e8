// The signals of the options panel, the layout buttons, the clipboard button and the speed,
// wind and auto-backup controls. Option controls are connected to their change signals, so a
// value set by the program (the settings file) runs the same handler as the user's choice.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>

#include "form1.h"

void Form1::ConnectOptionsHandlers() {
  connect(Settings, &QToolButton::clicked, this, &Form1::Settings_Click);
  connect(Videosize, &QToolButton::clicked, this, &Form1::Videosize_Click);
  connect(Aboutbtn, &QToolButton::clicked, this, &Form1::Aboutbtn_Click);
  connect(Closebtn, &QPushButton::clicked, this, &Form1::Closebtn_Click);
  connect(Ontop, &QCheckBox::toggled, this, &Form1::Ontop_Click);
  connect(Bal, &QSlider::valueChanged, this, &Form1::Bal_Change);
  // A row chosen again still resets the caption a reader may have replaced.
  for (QComboBox* list : {DEFAULTTC, DEFAULTDF}) {
    connect(list, &QComboBox::currentIndexChanged, this, &Form1::DEFAULTTC_Click);
    connect(list, &QComboBox::activated, this, &Form1::DEFAULTTC_Click);
  }
  connect(Dbgshow, &ClickLabel::MouseDown, this, &Form1::Dbgshow_MouseDown);

  connect(CopyTC, &PictureBox::Click, this, &Form1::CopyTC_Click);
  connect(CopyTC, &PictureBox::MouseDown, this, &Form1::CopyTC_MouseDown);
  connect(CopyTC, &PictureBox::MouseUp, this, &Form1::CopyTC_MouseUp);
  connect(TCFormat, &QComboBox::activated, this, &Form1::TCFormat_Click);
  connect(TCPaste, &QComboBox::activated, this, &Form1::TCFormat_Click);

  connect(SpeedSlide, &QSlider::valueChanged, this, &Form1::SpeedSlide_Change);
  connect(SPlbl, &ClickLabel::DblClick, this, &Form1::SPlbl_DblClick);
  connect(Image2, &ClickLabel::Click, this, &Form1::Image2_Click);
  connect(RWScroll, &QScrollBar::valueChanged, this, &Form1::RWScroll_Change);
  connect(SWAPFFRW, &QCheckBox::toggled, this, &Form1::SWAPFFRW_Click);
  connect(AutoBack, &ClickLabel::Click, this, &Form1::AutoBack_Click);
  connect(AutoBack, &ClickLabel::DblClick, this, &Form1::AutoBack_DblClick);
}
