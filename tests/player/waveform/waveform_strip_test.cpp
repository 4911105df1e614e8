// The position bar on its own: what it draws from a decoded burst (the played tint, the line,
// the numbered marks), and where clicks, drags, the wheel and the view's following lead.

#include <gmock/gmock.h>

#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <set>

#include "envelope_decoder.h"
#include "made_signals.h"
#include "waveform_strip.h"

namespace {

namespace colours = waveform_colours;

class Strip : public ::testing::Test {
 protected:
  static constexpr int kWidth = 500;
  static constexpr int kHeight = 40;

  void SetUp() override {
    strip.resize(kWidth, kHeight);
    marks.fill(0);
  }

  // The burst recording of the envelope tests, decoded: loud from 2.0 to 2.5 s of 5 s.
  void ShowBurst() {
    const QString file = dir.filePath("burst.wav");
    ASSERT_TRUE(made_signals::WriteBurst(file, 44100, 1, 5.0, 2.0, 2.5));
    ASSERT_EQ(waveform::ComputeEnvelope(file.toStdString(), *work), waveform::Outcome::Complete);
    strip.SetEnvelope(std::shared_ptr<const waveform::Envelope>(work, &work->envelope));
  }

  QImage Drawn() {
    QImage image(strip.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    strip.Draw(painter);
    return image;
  }

  // The colours a column is painted in, top to bottom, with how many pixels each.
  static std::map<unsigned, int> Column(const QImage& image, int x) {
    std::map<unsigned, int> counts;
    for (int y = 0; y < image.height(); ++y) ++counts[image.pixel(x, y) & 0xffffff];
    return counts;
  }

  QTemporaryDir dir;
  std::shared_ptr<waveform::EnvelopeWork> work = std::make_shared<waveform::EnvelopeWork>();
  WaveformStrip strip;
  WaveformStrip::Bookmarks marks;
};

TEST_F(Strip, DrawsTheBurstAtItsPlaceAndHeightTintedWherePlayed) {
  ShowBurst();
  strip.Tick(5.0, 2.2, marks);  // 100 pixels a second: the line at x 220
  const QImage image = Drawn();

  // Silence: the background and the centre line only.
  for (int x : {50, 150, 195, 260, 400}) {
    EXPECT_EQ(Column(image, x), (std::map<unsigned, int>{{colours::kBackground, kHeight - 1},
                                                          {colours::kCentreLine, 1}}))
        << "x " << x;
  }
  // The burst reaches from the top margin to the bottom one, played before the line.
  const auto full = kHeight - 2 * 2 - 1;
  EXPECT_GE(Column(image, 205)[colours::kPlayed], full);
  EXPECT_GE(Column(image, 217)[colours::kPlayed], full);
  EXPECT_GE(Column(image, 222)[colours::kUnplayed], full);
  EXPECT_GE(Column(image, 245)[colours::kUnplayed], full);
  EXPECT_EQ(Column(image, 220)[colours::kPlayLine], kHeight);
  EXPECT_EQ(Column(image, 219)[colours::kPlayLine], kHeight);

  // Played on to 2.4 s: the tint follows the line.
  strip.Tick(5.0, 2.4, marks);
  EXPECT_GE(Column(Drawn(), 235)[colours::kPlayed], full);
}

TEST_F(Strip, BookmarksAreNumberedMarksAtTheirPlaces) {
  ShowBurst();
  marks[2] = 1.0;   // F3
  marks[4] = 1.06;  // F5, close after it
  marks[11] = 4.5;  // F12
  strip.Tick(5.0, 0, marks);
  QImage image = Drawn();
  std::set<int> marked;
  for (int x = 0; x < kWidth; ++x) {
    if ((image.pixel(x, kHeight - 1) & 0xffffff) == colours::kMark) marked.insert(x);
  }
  EXPECT_EQ(marked, (std::set<int>{100, 106, 450}));
  // F5's number would cover F3's: it hangs one row lower, clear of the first row.
  int lowered = 0;
  for (int x = 103; x <= 110; ++x) {
    for (int y = 12; y < 20; ++y) lowered += (image.pixel(x, y) & 0xffffff) == colours::kMark;
  }
  EXPECT_GT(lowered, 10);
  // Each carries its number on a flag at the top: dark figures on the mark's colour.
  for (int x : {100, 450}) {
    int figures = 0;
    for (int dx = -8; dx <= 8; ++dx) {
      for (int y = 0; y < 12; ++y) figures += qGray(image.pixel(x + dx, y)) < 60;
    }
    EXPECT_GT(figures, 3) << "x " << x;
  }

  // Zoomed to ten seconds about 50 s of 100: only a mark inside the view shows, at its place.
  marks.fill(0);
  marks[0] = 3;
  marks[1] = 48;
  strip.Tick(100, 50, marks);
  strip.Zoom(20);
  ASSERT_DOUBLE_EQ(strip.view().span(), 10);
  image = Drawn();
  marked.clear();
  for (int x = 0; x < kWidth; ++x) {
    if ((image.pixel(x, kHeight - 1) & 0xffffff) == colours::kMark) marked.insert(x);
  }
  EXPECT_EQ(marked, (std::set<int>{150}));
}

TEST_F(Strip, ClickDragAndWheelChoosePositions) {
  QSignalSpy chosen(&strip, &WaveformStrip::PositionChosen);
  strip.Tick(5.0, 0, marks);
  QTest::mousePress(&strip, Qt::LeftButton, {}, QPoint(125, 20));
  QTest::mouseMove(&strip, QPoint(300, 20));
  EXPECT_DOUBLE_EQ(strip.shownPosition(), 3.0);  // the line follows the drag at once
  strip.Tick(5.0, 1.25, marks);                    // the drag's step is taken on the tick
  QTest::mouseMove(&strip, QPoint(340, 20));
  QTest::mouseRelease(&strip, Qt::LeftButton, {}, QPoint(350, 20));
  std::vector<double> got;
  for (const auto& args : chosen) got.push_back(args.at(0).toDouble());
  using ::testing::DoubleNear;
  EXPECT_THAT(got, ::testing::ElementsAre(DoubleNear(1.25, 1e-9), DoubleNear(3.0, 1e-9),
                                          DoubleNear(3.5, 1e-9)));

  // Zoomed in about the play position with the wheel, and following playback.
  chosen.clear();
  strip.Tick(100, 50, marks);
  for (int notch = 0; notch < 8; ++notch) {
    QWheelEvent wheel(QPointF(10, 10), strip.mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&strip, &wheel);
  }
  ASSERT_DOUBLE_EQ(strip.view().span(), 10);
  ASSERT_DOUBLE_EQ(strip.view().start(), 45);
  QTest::mouseClick(&strip, Qt::LeftButton, {}, QPoint(125, 20));
  ASSERT_EQ(chosen.size(), 1);
  EXPECT_DOUBLE_EQ(chosen[0].at(0).toDouble(), 47.5);
  strip.Tick(100, 55.5, marks);  // played past the view: centred again
  EXPECT_DOUBLE_EQ(strip.view().start(), 50.5);
  strip.Tick(100, 99, marks);  // near the end the view stops at the end
  EXPECT_DOUBLE_EQ(strip.view().start(), 90);
  strip.Zoom(-20);
  EXPECT_FALSE(strip.view().zoomedIn());
}

}  // namespace
