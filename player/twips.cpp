#include "twips.h"

#include <QWidget>

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

void MoveTwips(QWidget* widget, int left, int top) { widget->move(Px(left), Px(top)); }

int LeftTwips(const QWidget* widget) { return Twips(widget->x()); }
int TopTwips(const QWidget* widget) { return Twips(widget->y()); }
int WidthTwips(const QWidget* widget) { return Twips(widget->width()); }
int HeightTwips(const QWidget* widget) { return Twips(widget->height()); }

void SetTopTwips(QWidget* widget, int top) { widget->move(widget->x(), Px(top)); }
void SetHeightTwips(QWidget* widget, int height) {
  widget->resize(widget->width(), Px(height));
}
