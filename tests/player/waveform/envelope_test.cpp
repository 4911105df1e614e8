// The envelope of recordings whose sound is known, through the real decoder: where a burst lands
// and how loud, in each format the player opens; silence; damaged files and files without sound;
// the pace a first computation keeps; and the cache that brings an envelope back at once.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <thread>

#include "envelope_cache.h"
#include "envelope_decoder.h"
#include "envelope_job.h"
#include "made_signals.h"
#include "support/encoded_media.h"
#include "support/test_media.h"
#include "support/wait.h"

namespace {

using waveform::Envelope;
using waveform::Outcome;

std::filesystem::path Local(const QString& path) { return path.toStdString(); }

// The largest peak over the pairs covering seconds [from, to).
int PeakBetween(const Envelope& e, double from, double to) {
  return e.PeakOver(static_cast<std::size_t>(from * 100), static_cast<std::size_t>(to * 100));
}

// The first and last pair louder than half the scale; -1 when there is none.
std::pair<long, long> LoudPairs(const Envelope& e) {
  long first = -1, last = -1;
  for (std::size_t i = 0; i < e.Size(); ++i) {
    if (e.At(i).Peak() > 16384) {
      if (first < 0) first = static_cast<long>(i);
      last = static_cast<long>(i);
    }
  }
  return {first, last};
}

class EnvelopeFiles : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir.filePath(name); }
  Outcome Compute(const QString& path) { return waveform::ComputeEnvelope(Local(path), work); }

  QTemporaryDir dir;
  waveform::EnvelopeWork work;
};

struct BurstCase {
  const char* name;
  const char* extension;  // made from the WAV by sox when it is not "wav"
  int rate;
  int channels;
  int slack;       // pairs the burst's edges may be off by
  int longer;      // pairs the decoder may add at the end (an encoder's delay and padding)
  int quietAbove;  // the most a pair away from the burst may reach
  int loudBelow;   // the least a pair inside the burst reaches
};

class EnvelopeOfABurst : public EnvelopeFiles, public ::testing::WithParamInterface<BurstCase> {};

// Five seconds of silence with a full-scale burst from 2.0 s to 2.5 s on the last channel only:
// the loudest channel counts, the burst's pairs are 200 to 249, and nothing else is loud.
TEST_P(EnvelopeOfABurst, LandsAtItsTimeAndHeight) {
  const BurstCase& c = GetParam();
  const QString wave = Path(QString("burst-%1.wav").arg(c.name));
  ASSERT_TRUE(made_signals::WriteBurst(wave, c.rate, c.channels, 5.0, 2.0, 2.5));
  QString file = wave;
  if (QString(c.extension) != "wav") {
    file = Path(QString("burst-%1.%2").arg(c.name, c.extension));
    ASSERT_TRUE(made_signals::Convert(wave, file));
  }
  ASSERT_EQ(Compute(file), Outcome::Complete);
  const Envelope& e = work.envelope;
  EXPECT_GE(e.Size(), 500u);
  EXPECT_LE(e.Size(), 500u + c.longer);
  EXPECT_NEAR(work.seconds.load(), 5.0, 0.06);
  const auto [first, last] = LoudPairs(e);
  EXPECT_NEAR(first, 200, c.slack);
  EXPECT_NEAR(last, 249, c.slack);
  EXPECT_LE(PeakBetween(e, 0, 1.95), c.quietAbove);
  EXPECT_LE(PeakBetween(e, 2.55, 5), c.quietAbove);
  for (double t = 2.05; t < 2.45; t += 0.01) {
    ASSERT_GE(PeakBetween(e, t, t + 0.01), c.loudBelow) << "at " << t << " s";
  }
  if (c.quietAbove == 0) {
    // Lossless: both ends of the scale are kept as they are.
    EXPECT_EQ(e.At(220), (waveform::Pair{-32768, 32767}));
    EXPECT_EQ(e.At(100), (waveform::Pair{0, 0}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EnvelopeOfABurst,
    ::testing::Values(BurstCase{"wav-stereo", "wav", 44100, 2, 0, 0, 0, 32767},
                      // 220.5 samples a pair: the bins still add up to the second.
                      BurstCase{"wav-mono-22k", "wav", 22050, 1, 0, 0, 0, 32767},
                      BurstCase{"flac-6ch", "flac", 48000, 6, 0, 0, 0, 32767},
                      BurstCase{"mp3", "mp3", 44100, 2, 3, 6, 2000, 26000}),
    [](const auto& param) {
      std::string name = param.param.name;
      for (char& ch : name) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return name;
    });

TEST_F(EnvelopeFiles, SilenceIsFlat) {
  ASSERT_TRUE(made_signals::WriteWave(Path("silence.wav"), 44100, 2, 3.0,
                                      [](int64_t, int) -> int16_t { return 0; }));
  ASSERT_EQ(Compute(Path("silence.wav")), Outcome::Complete);
  ASSERT_EQ(work.envelope.Size(), 300u);
  EXPECT_EQ(work.envelope.PeakOver(0, 300), 0);
}

TEST_F(EnvelopeFiles, AVideosSoundIsRead) {
  ASSERT_TRUE(test_media::WriteVideo(Path("talk.avi"), 2.0));
  ASSERT_EQ(Compute(Path("talk.avi")), Outcome::Complete);
  EXPECT_NEAR(static_cast<double>(work.envelope.Size()), 200, 3);
  // The tone is at 0.3 of full scale.
  EXPECT_NEAR(PeakBetween(work.envelope, 0.5, 1.5), 0.3 * 32768, 400);
}

// Files without sound, damaged files and files that are no recordings end with what could be
// read and how it ended, never with a crash or a hang.
TEST_F(EnvelopeFiles, DamagedAndSoundlessFiles) {
  ASSERT_TRUE(made_signals::WriteBurst(Path("whole.wav"), 44100, 2, 5.0, 2.0, 2.5));
  const QByteArray whole = test_media::ReadAll(Path("whole.wav"));
  ASSERT_TRUE(test_media::WriteAll(Path("cut.wav"), whole.left(44 + 2 * 44100 * 4)));
  ASSERT_TRUE(test_media::WriteAll(Path("header-only.wav"), whole.left(44)));
  ASSERT_TRUE(test_media::WriteAll(Path("empty.wav"), QByteArray()));
  ASSERT_TRUE(test_media::WriteAll(Path("text.mp3"), QByteArray("not a recording\n").repeated(500)));
  ASSERT_TRUE(test_media::WriteSilentVideo(Path("silent.avi"), 1.0));
  ASSERT_TRUE(made_signals::Convert(Path("whole.wav"), Path("whole.mp3")));
  QByteArray mp3 = test_media::ReadAll(Path("whole.mp3"));
  for (qsizetype i = mp3.size() * 3 / 10; i < mp3.size() * 4 / 10; ++i) mp3[i] = char(i * 7919);
  ASSERT_TRUE(test_media::WriteAll(Path("scrambled.mp3"), mp3));
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.wav"));

  struct Case {
    const char* file;
    Outcome outcome;
    std::size_t fewest, most;  // pairs
  };
  const Case cases[] = {
      {"cut.wav", Outcome::Complete, 200, 200},  // what is there: the first two seconds
      {"scrambled.mp3", Outcome::Complete, 400, 510},
      {"header-only.wav", Outcome::NoSound, 0, 0},
      {"silent.avi", Outcome::NoSound, 0, 0},
      {"empty.wav", Outcome::Unreadable, 0, 0},
      {"text.mp3", Outcome::Unreadable, 0, 0},
      {"folder.wav", Outcome::Unreadable, 0, 0},
      {"missing.wav", Outcome::Unreadable, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    waveform::EnvelopeWork fresh;
    EXPECT_EQ(waveform::ComputeEnvelope(Local(Path(c.file)), fresh), c.outcome);
    EXPECT_EQ(fresh.outcome.load(), c.outcome);
    EXPECT_GE(fresh.envelope.Size(), c.fewest);
    EXPECT_LE(fresh.envelope.Size(), c.most);
  }
}

TEST_F(EnvelopeFiles, ACancelledComputationStopsAtOnce) {
  ASSERT_TRUE(made_signals::WriteBurst(Path("long.wav"), 44100, 2, 20.0, 2.0, 2.5));
  work.cancelled = true;
  EXPECT_EQ(Compute(Path("long.wav")), Outcome::Cancelled);
  EXPECT_EQ(work.envelope.Size(), 0u);
}

TEST(ProcessorPace, RestsOnlyBeyondItsHeadStartAndShare) {
  const struct {
    double processor, wall, share, headStart, rest;
  } cases[] = {
      {0.10, 0.0, 0.02, 0.25, 0.0},  // within the head start
      {0.35, 0.0, 0.02, 0.25, 5.0},  // 0.1 s beyond it, at 2 %, is 5 s of wall time
      {0.35, 4.0, 0.02, 0.25, 1.0},  // of which 4 s have passed already
      {0.35, 9.0, 0.02, 0.25, 0.0},  // behind its share
      {5.00, 1.0, 0.00, 0.00, 0.0},  // unpaced
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(waveform::ProcessorPace::RestNeeded(c.processor, c.wall, c.share, c.headStart),
                c.rest, 1e-9)
        << c.processor << " s over " << c.wall << " s";
  }
}

TEST_F(EnvelopeFiles, APacedComputationRestsAndACancelEndsTheRest) {
  ASSERT_TRUE(made_signals::WriteBurst(Path("long.wav"), 44100, 2, 60.0, 2.0, 2.5));
  // Any processor time at all asks for a rest of many seconds.
  work.pace = {1e-6, 0};
  std::thread computing([&] { Compute(Path("long.wav")); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(work.outcome.load(), Outcome::Running);
  EXPECT_LT(work.envelope.Size(), 60u * waveform::kPairsPerSecond);
  work.cancelled = true;
  EXPECT_TRUE(WaitUntil([&] { return work.outcome.load() == Outcome::Cancelled; }, 5000));
  computing.join();
}

TEST(EnvelopeMemory, AnHourTakesAtMostTwoMegabytes) {
  Envelope e;
  for (int i = 0; i < 3600 * waveform::kPairsPerSecond; ++i) {
    ASSERT_TRUE(e.Append({static_cast<int16_t>(-i % 30000), static_cast<int16_t>(i % 30000)}));
  }
  e.Publish();
  EXPECT_LE(e.MemoryBytes(), 2u << 20);
  EXPECT_EQ(e.At(123456), (waveform::Pair{static_cast<int16_t>(-(123456 % 30000)),
                                          static_cast<int16_t>(123456 % 30000)}));

  QTemporaryDir dir;
  const waveform::EnvelopeCache cache(Local(dir.path()));
  const waveform::RecordingKey key{"/recordings/hour.wav", 635040044, 1};
  ASSERT_TRUE(cache.Store(key, e));
  EXPECT_LE(std::filesystem::file_size(cache.FileFor(key)), 2u << 20);
}

// ---- The cache, through the job the window runs ----

class EnvelopeCaching : public EnvelopeFiles {
 protected:
  std::filesystem::path Cache() const { return Local(dir.filePath("cache")); }

  // Runs a job to its end, as the window would start it.
  std::shared_ptr<waveform::EnvelopeJob> Run(const QString& file) {
    auto job = waveform::EnvelopeJob::Start(Local(file), Cache());
    EXPECT_TRUE(WaitUntil([] { return waveform::EnvelopeJob::Running() == 0; }, 30000));
    return job;
  }

  static std::vector<waveform::Pair> Pairs(const Envelope& e) {
    std::vector<waveform::Pair> pairs;
    for (std::size_t i = 0; i < e.Size(); ++i) pairs.push_back(e.At(i));
    return pairs;
  }

  std::filesystem::path CacheFileOf(const QString& file) const {
    return waveform::EnvelopeCache(Cache()).FileFor(*waveform::KeyOf(Local(file)));
  }
};

TEST_F(EnvelopeCaching, HitAndMissOnAChangedFile) {
  const QString file = Path("talk.wav");
  ASSERT_TRUE(made_signals::WriteBurst(file, 44100, 2, 3.0, 1.0, 1.5));
  const auto computed = Run(file);
  ASSERT_EQ(computed->outcome(), Outcome::Complete);
  EXPECT_FALSE(computed->fromCache());
  EXPECT_TRUE(std::filesystem::exists(CacheFileOf(file)));

  const auto again = Run(file);
  EXPECT_TRUE(again->fromCache());
  EXPECT_EQ(again->outcome(), Outcome::Complete);
  EXPECT_EQ(Pairs(again->envelope()), Pairs(computed->envelope()));
  EXPECT_DOUBLE_EQ(again->seconds(), 3.0);

  // The same name and size, another recording: the burst has moved.
  const auto before = waveform::KeyOf(Local(file));
  ASSERT_TRUE(made_signals::WriteBurst(file, 44100, 2, 3.0, 2.0, 2.5));
  ASSERT_NE(waveform::KeyOf(Local(file)), before);
  const auto changed = Run(file);
  EXPECT_FALSE(changed->fromCache());
  EXPECT_EQ(LoudPairs(changed->envelope()), std::make_pair(200L, 249L));
}

TEST_F(EnvelopeCaching, ACorruptCacheFileIsIgnoredAndReplaced) {
  const QString file = Path("talk.wav");
  ASSERT_TRUE(made_signals::WriteBurst(file, 44100, 2, 3.0, 1.0, 1.5));
  const auto good = Pairs(Run(file)->envelope());
  const QString cacheFile = QString::fromStdString(CacheFileOf(file).string());
  const QByteArray stored = test_media::ReadAll(cacheFile);

  QByteArray flipped = stored;
  flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x40);
  QByteArray claimsMore = stored;
  // The pair count, far beyond the file.
  claimsMore[stored.size() - 8 - 4 * static_cast<qsizetype>(good.size()) - 8 + 1] = 0x7f;
  const QByteArray damaged[] = {stored.left(stored.size() - 10), flipped, claimsMore,
                                QByteArray(), QByteArray("QMENVLP1").repeated(40),
                                stored.mid(8)};
  for (const QByteArray& bytes : damaged) {
    SCOPED_TRACE(bytes.size());
    ASSERT_TRUE(test_media::WriteAll(cacheFile, bytes));
    const auto job = Run(file);
    EXPECT_FALSE(job->fromCache());
    EXPECT_EQ(Pairs(job->envelope()), good);
    // Computed again, the envelope is stored whole once more.
    EXPECT_EQ(test_media::ReadAll(cacheFile), stored);
  }
}

TEST_F(EnvelopeCaching, TheOldestUnusedFilesGoPastTheLimit) {
  Envelope e;
  for (int i = 0; i < 1000; ++i) e.Append({-1, 1});
  e.Publish();
  const waveform::RecordingKey a{"/a.wav", 1, 1}, b{"/b.wav", 1, 1}, c{"/c.wav", 1, 1};
  const waveform::EnvelopeCache probe(Cache());
  ASSERT_TRUE(probe.Store(a, e));
  const auto one = std::filesystem::file_size(probe.FileFor(a));
  const waveform::EnvelopeCache cache(Cache(), one * 5 / 2);  // room for two files
  ASSERT_TRUE(cache.Store(b, e));
  const auto now = std::filesystem::file_time_type::clock::now();
  std::filesystem::last_write_time(cache.FileFor(a), now - std::chrono::minutes(20));
  std::filesystem::last_write_time(cache.FileFor(b), now - std::chrono::minutes(10));

  Envelope read;
  ASSERT_TRUE(cache.Load(a, read));  // a use: a is now the newest
  ASSERT_TRUE(cache.Store(c, e));
  EXPECT_TRUE(std::filesystem::exists(cache.FileFor(a)));
  EXPECT_FALSE(std::filesystem::exists(cache.FileFor(b)));
  EXPECT_TRUE(std::filesystem::exists(cache.FileFor(c)));
}

}  // namespace
