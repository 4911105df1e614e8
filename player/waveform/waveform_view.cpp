#include "waveform_view.h"

#include <algorithm>
#include <cmath>

namespace waveform {

void WaveformView::SetLength(double seconds) {
  if (!(seconds > 0) || !std::isfinite(seconds)) seconds = 0;
  const bool wasWhole = !zoomedIn();
  length_ = seconds;
  span_ = wasWhole ? length_ : std::clamp(span_, std::min(kNarrowestSeconds, length_), length_);
  start_ = std::clamp(start_, 0.0, length_ - span_);
}

double WaveformView::SecondsAt(double x, double width) const {
  if (width <= 0) return start_;
  return std::clamp(start_ + x / width * span_, 0.0, length_);
}

double WaveformView::XOf(double seconds, double width) const {
  return span_ > 0 ? (seconds - start_) / span_ * width : 0;
}

bool WaveformView::Zoom(int steps, double position) {
  const double narrowest = std::min(kNarrowestSeconds, length_);
  const double span = std::clamp(span_ * std::pow(kZoomStep, -steps), narrowest, length_);
  if (span == span_) return false;
  span_ = span;
  Centre(position);
  return true;
}

bool WaveformView::Follow(double position) {
  if (!zoomedIn() || (position >= start_ && position <= start_ + span_)) return false;
  const double before = start_;
  Centre(position);
  return start_ != before;
}

void WaveformView::Centre(double position) {
  start_ = std::clamp(position - span_ / 2, 0.0, length_ - span_);
}

}  // namespace waveform
