#include "waveform_strip.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>

#include "waveform_accessible.h"

namespace {

const QColor kBackground(QRgb{waveform_colours::kBackground});
const QColor kCentreLine(QRgb{waveform_colours::kCentreLine});
const QColor kUnplayed(QRgb{waveform_colours::kUnplayed});
const QColor kPlayed(QRgb{waveform_colours::kPlayed});
const QColor kPlayLine(QRgb{waveform_colours::kPlayLine});
const QColor kMark(QRgb{waveform_colours::kMark});
const QColor kMarkText(QRgb{waveform_colours::kMarkText});

// Space above and below the waveform, in pixels.
constexpr int kMargin = 2;
constexpr int kWheelNotch = 120;

}  // namespace

WaveformStrip::WaveformStrip(QWidget* parent) : QWidget(parent) {
  static const bool accessible = [] {
    QAccessible::installFactory(&WaveformAccessibleFactory);
    return true;
  }();
  (void)accessible;
  setAccessibleName("Position");
  setAccessibleDescription("The recording's waveform: click or drag to move the play position");
  setObjectName("Waveform");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);

  note_ = new QLabel(this);
  note_->setObjectName("WaveformNote");
  note_->setAlignment(Qt::AlignCenter);
  note_->setAttribute(Qt::WA_TransparentForMouseEvents);
  note_->setStyleSheet("color: #c8d2dc;");
  note_->hide();

  pointerTime_ = new QLabel(this);
  pointerTime_->setObjectName("WaveformPointerTime");
  pointerTime_->setAttribute(Qt::WA_TransparentForMouseEvents);
  pointerTime_->setStyleSheet(
      "color: #ffffff; background: rgba(5, 8, 11, 220); padding: 0px 3px;");
  pointerTime_->hide();
}

WaveformStrip::~WaveformStrip() = default;

void WaveformStrip::SetEnvelope(std::shared_ptr<const waveform::Envelope> envelope) {
  envelope_ = std::move(envelope);
  peaksEnvelope_ = nullptr;
  update();
}

void WaveformStrip::SetNote(const QString& note) {
  if (note == note_->text()) return;
  note_->setText(note);
  note_->setGeometry(rect());
  note_->setVisible(!note.isEmpty());
}

QString WaveformStrip::note() const { return note_->text(); }

void WaveformStrip::SetTimeCodeText(std::function<QString(double)> text) {
  timeCodeText_ = std::move(text);
}

void WaveformStrip::RefreshPointerTime() {
  if (pointerX_ >= 0) ShowPointerTime(pointerX_);
}

double WaveformStrip::shownPosition() const { return dragging_ ? dragTarget_ : position_; }

QString WaveformStrip::pointerTimeCode() const {
  return pointerTime_->isVisible() ? pointerTime_->text() : QString();
}

int WaveformStrip::XOf(double seconds) const {
  const double x = view_.XOf(seconds, width());
  return static_cast<int>(std::floor(std::clamp(x, -2.0, width() + 2.0)));
}

double WaveformStrip::SecondsAt(double x) const { return view_.SecondsAt(x, width()); }

void WaveformStrip::Tick(double length, double position, const Bookmarks& bookmarks) {
  bool whole = false;
  if (length != view_.length()) {
    view_.SetLength(length);
    whole = true;
  }
  if (dragPending_) {
    dragPending_ = false;
    Choose(dragTarget_);
  }
  const int before = XOf(shownPosition());
  position_ = position;
  if (!dragging_ && view_.Follow(position)) whole = true;
  if (bookmarks != bookmarks_) {
    bookmarks_ = bookmarks;
    whole = true;
  }
  // An envelope that grew in the same view changes only the columns it grew over.
  QRect grown;
  if (envelope_ && envelope_->Size() != peaksPairs_) {
    if (peaksEnvelope_ == envelope_.get() && envelope_->Size() > peaksPairs_) {
      const int from = XOf(static_cast<double>(peaksPairs_) / waveform::kPairsPerSecond) - 1;
      const int to = XOf(static_cast<double>(envelope_->Size()) / waveform::kPairsPerSecond) + 1;
      grown = QRect(from, 0, to - from + 1, height());
    } else {
      whole = true;
    }
  }
  if (whole) {
    update();
    if (pointerX_ >= 0) ShowPointerTime(pointerX_);
    return AnnounceSecond(position);
  }
  if (const int after = XOf(shownPosition()); after != before) {
    update(QRect(std::min(before, after) - 2, 0, std::abs(after - before) + 5, height()));
  }
  if (!grown.isEmpty()) update(grown);
  AnnounceSecond(position);
}

void WaveformStrip::AnnounceSecond(double position) {
  const int second = static_cast<int>(std::floor(position));
  if (second != announcedSecond_) {
    announcedSecond_ = second;
    if (QAccessible::isActive()) {
      QAccessibleValueChangeEvent event(this, position);
      QAccessible::updateAccessibility(&event);
    }
  }
}

void WaveformStrip::Zoom(int steps) {
  if (!view_.Zoom(steps, shownPosition())) return;
  update();
  if (pointerX_ >= 0) ShowPointerTime(pointerX_);
}

void WaveformStrip::RefreshPeaks() {
  const int columns = std::max(0, width());
  if (static_cast<int>(peaks_.size()) != columns) {
    peaks_.assign(columns, 0);
    peaksEnvelope_ = nullptr;
  }
  const std::size_t pairs = envelope_ ? envelope_->Size() : 0;
  const bool sameView = peaksEnvelope_ == envelope_.get() && peaksStart_ == view_.start() &&
                        peaksSpan_ == view_.span();
  if (sameView && pairs == peaksPairs_) return;

  // The same view over a longer envelope: only the columns from where it ended change.
  int from = 0;
  if (sameView && pairs > peaksPairs_) {
    from = std::max(0, XOf(static_cast<double>(peaksPairs_) / waveform::kPairsPerSecond) - 1);
  }
  const double perColumn = columns > 0 ? view_.span() / columns : 0;
  for (int c = from; c < columns; ++c) {
    if (!envelope_ || perColumn <= 0) {
      peaks_[c] = 0;
      continue;
    }
    const double t0 = view_.start() + c * perColumn;
    const auto first = static_cast<std::size_t>(std::max(0.0, t0 * waveform::kPairsPerSecond));
    const auto last = std::max(first + 1, static_cast<std::size_t>(std::max(
                                              0.0, (t0 + perColumn) * waveform::kPairsPerSecond)));
    peaks_[c] = envelope_->PeakOver(first, last);
  }
  peaksEnvelope_ = envelope_.get();
  peaksPairs_ = pairs;
  peaksStart_ = view_.start();
  peaksSpan_ = view_.span();
}

void WaveformStrip::MakeMarks() {
  marksRatio_ = devicePixelRatioF();
  QFont small = font();
  small.setPixelSize(9);
  small.setBold(true);
  const QFontMetrics metrics(small);
  for (int n = 1; n <= kBookmarks; ++n) {
    const QString text = QString::number(n);
    const QSize size(metrics.horizontalAdvance(text) + 4, metrics.height());
    QImage mark(size * marksRatio_, QImage::Format_ARGB32_Premultiplied);
    mark.setDevicePixelRatio(marksRatio_);
    mark.fill(kMark);
    QPainter painter(&mark);
    painter.setFont(small);
    painter.setPen(kMarkText);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
    marks_[n - 1] = mark;
  }
}

void WaveformStrip::Draw(QPainter& painter) {
  if (marksRatio_ != painter.device()->devicePixelRatioF()) MakeMarks();
  RefreshPeaks();
  const int w = width();
  const int h = height();
  painter.fillRect(QRect(0, 0, w, h), kBackground);
  const int middle = h / 2;
  const int reach = std::max(1, middle - kMargin);
  painter.fillRect(QRect(0, middle, w, 1), kCentreLine);

  const int played = XOf(shownPosition());
  if (envelope_) {
    for (int c = 0; c < w; ++c) {
      const int peak = peaks_[c];
      if (peak == 0) continue;
      const int half = std::max(1, (peak * reach + 16384) / 32768);
      painter.fillRect(QRect(c, middle - half, 1, 2 * half + 1), c < played ? kPlayed : kUnplayed);
    }
  }

  if (view_.span() > 0) {
    DrawMarks(painter);
    if (played >= 0 && played < w) painter.fillRect(QRect(played - 1, 0, 2, h), kPlayLine);
  }
}

void WaveformStrip::DrawMarks(QPainter& painter) const {
  // The marks in view from left to right; a number that would cover the one before it goes a
  // row lower, so that close bookmarks stay readable.
  struct Shown {
    int x;
    int n;
  };
  std::array<Shown, kBookmarks> shown;
  int count = 0;
  for (int n = 1; n <= kBookmarks; ++n) {
    const double at = bookmarks_[n - 1];
    if (!(at > 0) || at < view_.start() || at > view_.start() + view_.span()) continue;
    shown[count++] = {XOf(at), n};
  }
  std::sort(shown.begin(), shown.begin() + count,
            [](const Shown& a, const Shown& b) { return a.x < b.x; });
  const int w = width();
  std::array<int, 2> rowEnds{INT_MIN, INT_MIN};
  for (int i = 0; i < count; ++i) {
    const auto [x, n] = shown[i];
    painter.fillRect(QRect(x, 0, 1, height()), kMark);
    const QImage& mark = marks_[n - 1];
    const int markWidth = static_cast<int>(mark.width() / marksRatio_);
    const int markHeight = static_cast<int>(mark.height() / marksRatio_);
    const int left = std::clamp(x - markWidth / 2, 0, std::max(0, w - markWidth));
    const int row = left <= rowEnds[0] && left > rowEnds[1] ? 1 : 0;
    rowEnds[row] = left + markWidth;
    painter.drawImage(QPoint(left, row * markHeight), mark);
  }
}

void WaveformStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Draw(painter);
}

void WaveformStrip::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  note_->setGeometry(rect());
  HidePointerTime();
}

void WaveformStrip::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) marksRatio_ = 0;
}

void WaveformStrip::ChoosePosition(double seconds) {
  if (view_.length() <= 0 || !std::isfinite(seconds)) return;
  position_ = std::clamp(seconds, 0.0, view_.length());
  emit PositionChosen(position_);
  update();
}

void WaveformStrip::Choose(double seconds) {
  dragTarget_ = seconds;
  // A drag that comes back to where the player already went moves it no more.
  if (dragging_ && seconds == dragChosen_) return;
  dragChosen_ = seconds;
  emit PositionChosen(seconds);
}

void WaveformStrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || view_.length() <= 0) return;
  dragging_ = true;
  dragPending_ = false;
  dragChosen_ = -1;
  Choose(SecondsAt(event->position().x()));
  update();
}

void WaveformStrip::mouseMoveEvent(QMouseEvent* event) {
  const double x = event->position().x();
  ShowPointerTime(x);
  if (!dragging_) return;
  const double target = SecondsAt(x);
  if (target == dragTarget_) return;
  dragTarget_ = target;
  dragPending_ = true;
  update();
}

void WaveformStrip::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return;
  const double target = SecondsAt(event->position().x());
  dragPending_ = false;
  Choose(target);
  // The line stays where the drag ended until the player reports its new position.
  position_ = target;
  dragging_ = false;
  update();
}

void WaveformStrip::wheelEvent(QWheelEvent* event) {
  wheelRest_ += event->angleDelta().y();
  const int steps = wheelRest_ / kWheelNotch;
  wheelRest_ -= steps * kWheelNotch;
  if (steps != 0) Zoom(steps);
  event->accept();
}

void WaveformStrip::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  HidePointerTime();
}

void WaveformStrip::ShowPointerTime(double x) {
  pointerX_ = x;
  if (!timeCodeText_ || view_.length() <= 0) return;
  pointerTime_->setText(timeCodeText_(SecondsAt(x)));
  pointerTime_->adjustSize();
  // Beside the pointer, on the side with room, and inside the bar.
  const int w = pointerTime_->width();
  int left = static_cast<int>(x) + 8;
  if (left + w > width()) left = static_cast<int>(x) - 8 - w;
  pointerTime_->move(std::clamp(left, 0, std::max(0, width() - w)),
                     std::max(0, height() - pointerTime_->height()));
  pointerTime_->show();
  pointerTime_->raise();
}

void WaveformStrip::HidePointerTime() {
  pointerX_ = -1;
  pointerTime_->hide();
}
