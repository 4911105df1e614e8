#include "window_look.h"

#include <QPainter>

namespace window_look {

namespace {

struct Scheme {
  QColor window, text, base, button, placeholder, light, dark;
};

QPalette Dark(QPalette palette, const Scheme& s) {
  palette.setColor(QPalette::Window, s.window);
  palette.setColor(QPalette::WindowText, s.text);
  palette.setColor(QPalette::Base, s.base);
  palette.setColor(QPalette::AlternateBase, s.button);
  palette.setColor(QPalette::Text, s.text);
  palette.setColor(QPalette::BrightText, Qt::white);
  palette.setColor(QPalette::Button, s.button);
  palette.setColor(QPalette::ButtonText, s.text);
  palette.setColor(QPalette::PlaceholderText, s.placeholder);
  palette.setColor(QPalette::Light, s.light);
  palette.setColor(QPalette::Midlight, s.light.darker(120));
  palette.setColor(QPalette::Mid, s.button.darker(130));
  palette.setColor(QPalette::Dark, s.dark);
  palette.setColor(QPalette::Shadow, Qt::black);
  palette.setColor(QPalette::Highlight, QColor(0x1f, 0x4f, 0x7f));
  palette.setColor(QPalette::HighlightedText, Qt::white);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(QPalette::Disabled, role, s.placeholder);
  }
  return palette;
}

}  // namespace

QFont TextFont() {
  QFont font("DejaVu Sans Condensed");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

QFont DigitFont() {
  QFont font("DejaVu Sans Mono");
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(15);
  font.setBold(true);
  return font;
}

QPalette StripPalette(const QPalette& base) {
  return Dark(base, {QColor(0x0a, 0x0f, 0x14), QColor(0xe6, 0xed, 0xf3), QColor(0x26, 0x32, 0x3e),
                     QColor(0x1a, 0x25, 0x30), QColor(0xc8, 0xd2, 0xdc), QColor(0x3a, 0x4a, 0x5a),
                     QColor(0x05, 0x08, 0x0b)});
}

QPalette OptionsPalette(const QPalette& base) {
  return Dark(base, {QColor(0x1c, 0x26, 0x31), QColor(0xe6, 0xed, 0xf3), QColor(0x34, 0x42, 0x4f),
                     QColor(0x26, 0x32, 0x3f), QColor(0xc8, 0xd2, 0xdc), QColor(0x46, 0x58, 0x6a),
                     QColor(0x0a, 0x0f, 0x14)});
}

QPalette LightPalette(const QPalette& base) {
  QPalette palette = base;
  palette.setColor(QPalette::Window, QColor(0xEC, 0xEC, 0xEC));
  palette.setColor(QPalette::WindowText, Qt::black);
  // Every colour its own, none taken from the dark window around it.
  palette.setResolveMask(~QPalette::ResolveMask(0));
  return palette;
}

QString StripBackground(const char* name) {
  return QString("#%1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                 " stop:0 #0e151c, stop:1 #080c10); }")
      .arg(QLatin1String(name));
}

QPixmap LightPicture(const QIcon& icon, int size) {
  QPixmap picture = icon.pixmap(size, size);
  QPainter painter(&picture);
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(picture.rect(), QColor(0xc0, 0xc0, 0xc0));
  return picture;
}

}  // namespace window_look
