#pragma once
// Which stretch of the recording the position bar shows, and where a point of it lies across the
// bar. Zoomed out it shows the whole recording; zoomed in, a stretch of down to ten seconds that
// keeps the play position in sight, centring it again whenever it leaves the stretch.

namespace waveform {

class WaveformView {
 public:
  static constexpr double kNarrowestSeconds = 10;
  // One zoom step: a wheel notch or a key.
  static constexpr double kZoomStep = 1.6;

  // The whole recording's length; the view keeps its zoom and stays within it.
  void SetLength(double seconds);
  double length() const { return length_; }
  double start() const { return start_; }
  double span() const { return span_; }
  bool zoomedIn() const { return span_ < length_; }

  // Seconds at `x` across a bar `width` wide (clamped to the recording), and back.
  double SecondsAt(double x, double width) const;
  double XOf(double seconds, double width) const;

  // `steps` zoom steps in (positive) or out (negative), keeping `position` in the middle where
  // the recording's ends allow. False when the zoom stays as it was.
  bool Zoom(int steps, double position);
  // Keeps `position` in view: a position outside it is centred. False when the view stays.
  bool Follow(double position);

 private:
  void Centre(double position);

  double length_ = 0;
  double span_ = 0;
  double start_ = 0;
};

}  // namespace waveform
