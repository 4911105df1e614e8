#pragma once
// The position bar: the recording's waveform across the window, the part already played in
// another tint, the play position as a line and the twelve bookmarks as numbered marks. A click
// or a drag chooses a new position; the wheel zooms. The pointer over the bar shows the time
// code at that point, as the window's display counts it.
//
// It draws from the envelope as far as it is computed; everything it needs each display tick is
// prepared beforehand, so a tick and a paint with the envelope complete allocate nothing.

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "envelope.h"
#include "waveform_view.h"

class QLabel;

// The bar's colours, as &HRRGGBB values.
namespace waveform_colours {
inline constexpr unsigned kBackground = 0x121c26;
inline constexpr unsigned kCentreLine = 0x2c3c4c;
inline constexpr unsigned kUnplayed = 0x6f93b8;
inline constexpr unsigned kPlayed = 0xe0a84a;
inline constexpr unsigned kPlayLine = 0xffffff;
inline constexpr unsigned kMark = 0xffd84a;
inline constexpr unsigned kMarkText = 0x000000;
}  // namespace waveform_colours

class WaveformStrip : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kBookmarks = 12;
  using Bookmarks = std::array<double, kBookmarks>;

  explicit WaveformStrip(QWidget* parent = nullptr);
  ~WaveformStrip() override;

  // The envelope to draw, as it grows; null for none.
  void SetEnvelope(std::shared_ptr<const waveform::Envelope> envelope);
  // A line in place of the waveform, saying why there is none; "" for none.
  void SetNote(const QString& note);
  QString note() const;
  // How a position reads as a time code, for the pointer's time.
  void SetTimeCodeText(std::function<QString(double)> text);
  // Counts the pointer's time code again, after the way positions read has changed.
  void RefreshPointerTime();

  // Each display tick: the recording's length, the play position and the bookmarks' positions
  // (0 for one not set). Repaints what changed; while a drag is under way, the position the drag
  // has reached is chosen here, at most once a tick.
  void Tick(double length, double position, const Bookmarks& bookmarks);

  // Moves to `seconds` within the recording, as a click there would.
  void ChoosePosition(double seconds);
  // Zoom steps in (positive) or out (negative) about the play position.
  void Zoom(int steps);
  const waveform::WaveformView& view() const { return view_; }
  // The position the bar shows: the play position, or the one a drag has reached.
  double shownPosition() const;
  double length() const { return view_.length(); }
  // The time code the pointer shows; "" while it is not over the bar.
  QString pointerTimeCode() const;

  // Paints the whole bar onto `painter`, which covers the bar's rectangle.
  void Draw(QPainter& painter);

 signals:
  // A click, a drag's step or its end, or an assistive tool chose `seconds`.
  void PositionChosen(double seconds);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // The peak of each column for the present view, width and envelope, when any has changed.
  void RefreshPeaks();
  // Tells assistive tools the position once a second, as the display's seconds change.
  void AnnounceSecond(double position);
  // The numbered marks, made again for the present font and pixel ratio.
  void MakeMarks();
  void DrawMarks(QPainter& painter) const;
  void ShowPointerTime(double x);
  void HidePointerTime();
  int XOf(double seconds) const;
  double SecondsAt(double x) const;
  void Choose(double seconds);

  std::shared_ptr<const waveform::Envelope> envelope_;
  waveform::WaveformView view_;
  double position_ = 0;
  Bookmarks bookmarks_{};
  std::function<QString(double)> timeCodeText_;

  // Column peaks, and what they were made for.
  std::vector<int> peaks_;
  std::size_t peaksPairs_ = 0;
  double peaksStart_ = -1;
  double peaksSpan_ = -1;
  const waveform::Envelope* peaksEnvelope_ = nullptr;

  std::array<QImage, kBookmarks> marks_;
  qreal marksRatio_ = 0;

  bool dragging_ = false;
  bool dragPending_ = false;
  double dragTarget_ = 0;
  // Where the drag last moved the player; -1 before its first move.
  double dragChosen_ = -1;
  double pointerX_ = -1;
  int wheelRest_ = 0;
  int announcedSecond_ = -1;

  QLabel* note_;
  QLabel* pointerTime_;
};
