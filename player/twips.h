#pragma once
// Geometry in twips: 15 twips to a pixel at 96 logical dpi. The layout code keeps twips so that its
// rules read in the units they were designed in.

class QWidget;

inline constexpr int kTwipsPerPixel = 15;

// The window's Width and Height count its frame, as the layout rules expect: a 4-pixel border
// each side and a 23-pixel title bar.
inline constexpr int kFrameWidthTwips = 8 * kTwipsPerPixel;
inline constexpr int kFrameHeightTwips = 31 * kTwipsPerPixel;

constexpr int Px(int twips) { return twips / kTwipsPerPixel; }
constexpr int Twips(int pixels) { return pixels * kTwipsPerPixel; }
// What a placement of `twips` reads back as, once it is held in whole pixels.
constexpr int SnapToPixel(int twips) { return Twips(Px(twips)); }

// A control's placement inside its container, in twips.
void PlaceTwips(QWidget* widget, int left, int top, int width, int height);
void MoveTwips(QWidget* widget, int left, int top);
int LeftTwips(const QWidget* widget);
int TopTwips(const QWidget* widget);
int WidthTwips(const QWidget* widget);
int HeightTwips(const QWidget* widget);
void SetTopTwips(QWidget* widget, int top);
void SetHeightTwips(QWidget* widget, int height);
