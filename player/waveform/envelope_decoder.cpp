#include "envelope_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

namespace waveform {
namespace {

// Sample rates outside these are no sound anyone recorded; a stream claiming one is unreadable.
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 1536000;
// A demuxer that keeps failing without reaching the end has nothing more to give.
constexpr int kMostFailedReadsInARow = 100;
// Time stamps that jump ahead by more than this are a gap the player plays as silence.
constexpr int kGapBins = 10;

struct FormatCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};

// The lowest and highest of `n` values, sixteen bytes of them at a time in vector registers
// (GCC's and Clang's vector types), two vectors a step so that neither comparison waits for the
// other. Comparing element by element keeps the plain loop's result exactly, a float's NaN
// included (it compares as neither).
template <typename T>
void LowHigh(const T* values, std::size_t n, T& low, T& high) {
  using Vector [[gnu::vector_size(16)]] = T;
  constexpr std::size_t kLanes = sizeof(Vector) / sizeof(T);
  T lo = low;
  T hi = high;
  std::size_t i = 0;
  if (n >= 2 * kLanes) {
    Vector lo0 = lo - Vector{};
    Vector hi0 = hi - Vector{};
    Vector lo1 = lo0;
    Vector hi1 = hi0;
    for (; i + 2 * kLanes <= n; i += 2 * kLanes) {
      Vector a;
      Vector b;
      std::memcpy(&a, values + i, sizeof a);
      std::memcpy(&b, values + i + kLanes, sizeof b);
      lo0 = a < lo0 ? a : lo0;
      hi0 = a > hi0 ? a : hi0;
      lo1 = b < lo1 ? b : lo1;
      hi1 = b > hi1 ? b : hi1;
    }
    lo0 = lo1 < lo0 ? lo1 : lo0;
    hi0 = hi1 > hi0 ? hi1 : hi0;
    for (std::size_t k = 0; k < kLanes; ++k) {
      lo = lo0[k] < lo ? lo0[k] : lo;
      hi = hi0[k] > hi ? hi0[k] : hi;
    }
  }
  for (; i < n; ++i) {
    const T v = values[i];
    lo = v < lo ? v : lo;
    hi = v > hi ? v : hi;
  }
  low = lo;
  high = hi;
}

// A sample value on the 16-bit scale.
int Scaled(int16_t v) { return v; }
int Scaled(uint8_t v) { return (int{v} - 128) * 256; }
int Scaled(int32_t v) { return v >> 16; }
int Scaled(int64_t v) { return static_cast<int>(v >> 48); }
template <typename F>
int ScaledFloat(F v) {
  const F s = v * F(32768);
  if (!(s > F(-32768))) return v > 0 ? 32767 : -32768;  // NaN counts as silence below
  if (s >= F(32767)) return 32767;
  return static_cast<int>(s);
}
int Scaled(float v) { return v == v ? ScaledFloat(v) : 0; }
int Scaled(double v) { return v == v ? ScaledFloat(v) : 0; }

// Samples [first, first + count) of every channel of `frame` whose samples are of type T, into
// `low` and `high` on the 16-bit scale.
template <typename T>
void ReduceFrame(const AVFrame* frame, bool planar, int channels, int first, int count, int& low,
                 int& high) {
  T lo = std::numeric_limits<T>::max();
  T hi = std::numeric_limits<T>::lowest();
  if (planar) {
    for (int c = 0; c < channels; ++c) {
      LowHigh(reinterpret_cast<const T*>(frame->extended_data[c]) + first,
              static_cast<std::size_t>(count), lo, hi);
    }
  } else {
    LowHigh(reinterpret_cast<const T*>(frame->extended_data[0]) + std::size_t(first) * channels,
            std::size_t(count) * channels, lo, hi);
  }
  low = std::min(low, Scaled(lo));
  high = std::max(high, Scaled(hi));
}

// Cuts the stream of samples into bins of a hundredth of a second and appends each bin's pair.
class Binner {
 public:
  explicit Binner(Envelope& out) : out_(out) {}

  // The samples from now on come at `rate` per second. A new rate starts its bins afresh from the
  // next bin.
  void SetRate(int rate) {
    if (rate == rate_) return;
    if (inBin_ > 0) CloseBin();
    rate_ = rate;
    segmentBin_ = bin_;
    segmentSamples_ = 0;
  }
  int rate() const { return rate_; }
  int64_t samplesInSegment() const { return segmentSamples_; }
  bool full() const { return full_; }
  bool firstSegment() const { return segmentBin_ == 0; }

  // Feeds `count` samples; `reduce(first, n, low, high)` gives the extremes of samples
  // [first, first + n) of them.
  template <typename Reduce>
  void Feed(int count, Reduce reduce) {
    int done = 0;
    while (done < count && !full_) {
      const int64_t end = (bin_ - segmentBin_ + 1) * rate_ / kPairsPerSecond;
      const int n = static_cast<int>(std::min<int64_t>(count - done, end - segmentSamples_));
      if (n > 0) {
        reduce(done, n, low_, high_);
        done += n;
        segmentSamples_ += n;
        inBin_ += n;
      }
      if (segmentSamples_ >= end) CloseBin();
    }
  }

  // Silence up to sample `target` of the present rate.
  void PadTo(int64_t target) {
    while (segmentSamples_ < target && !full_) {
      const int64_t step = std::min<int64_t>(target - segmentSamples_, INT_MAX);
      Feed(static_cast<int>(step), [](int, int, int& low, int& high) {
        low = std::min(low, 0);
        high = std::max(high, 0);
      });
    }
  }

  // The last, partly filled bin.
  void Finish() {
    if (inBin_ > 0) CloseBin();
    out_.Publish();
  }

 private:
  void CloseBin() {
    Pair pair;
    if (inBin_ > 0) {
      pair.low = static_cast<int16_t>(std::clamp(low_, -32768, 32767));
      pair.high = static_cast<int16_t>(std::clamp(high_, -32768, 32767));
    }
    if (!out_.Append(pair)) full_ = true;
    ++bin_;
    inBin_ = 0;
    low_ = INT_MAX;
    high_ = INT_MIN;
  }

  Envelope& out_;
  int rate_ = 0;
  int64_t bin_ = 0;             // the bin being filled
  int64_t segmentBin_ = 0;      // the first bin at the present rate
  int64_t segmentSamples_ = 0;  // samples fed at the present rate
  int64_t inBin_ = 0;
  int low_ = INT_MAX;
  int high_ = INT_MIN;
  bool full_ = false;
};

// Feeds one decoded frame; false for a sample format this reader does not know.
bool FeedFrame(Binner& binner, const AVFrame* frame) {
  const auto format = static_cast<AVSampleFormat>(frame->format);
  const bool planar = av_sample_fmt_is_planar(format) != 0;
  const int channels = frame->ch_layout.nb_channels;
  if (channels <= 0 || frame->nb_samples <= 0) return true;
  const auto feed = [&](auto sample) {
    using T = decltype(sample);
    binner.Feed(frame->nb_samples, [&](int first, int n, int& low, int& high) {
      ReduceFrame<T>(frame, planar, channels, first, n, low, high);
    });
  };
  switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8: feed(uint8_t{}); break;
    case AV_SAMPLE_FMT_S16: feed(int16_t{}); break;
    case AV_SAMPLE_FMT_S32: feed(int32_t{}); break;
    case AV_SAMPLE_FMT_S64: feed(int64_t{}); break;
    case AV_SAMPLE_FMT_FLT: feed(float{}); break;
    case AV_SAMPLE_FMT_DBL: feed(double{}); break;
    default: return false;
  }
  return true;
}

int Interrupted(void* opaque) {
  return static_cast<const EnvelopeWork*>(opaque)->cancelled.load(std::memory_order_relaxed) ? 1
                                                                                            : 0;
}

double StreamSeconds(const AVFormatContext* format, const AVStream* stream) {
  if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
    return static_cast<double>(stream->duration) * av_q2d(stream->time_base);
  }
  if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
    return static_cast<double>(format->duration) / AV_TIME_BASE;
  }
  return 0;
}

class Decoding {
 public:
  explicit Decoding(EnvelopeWork& work)
      : work_(work), binner_(work.envelope), pace_(work.pace) {}

  Outcome Run(const std::filesystem::path& file) {
    AVFormatContext* opened = avformat_alloc_context();
    if (opened == nullptr) return Outcome::Unreadable;
    opened->interrupt_callback = {&Interrupted, &work_};
    // On failure the context is freed by the call.
    // The WAV reader hands out 4 KB packets unless told otherwise: 64 KB ones carry the same
    // samples in a sixteenth of the reads, packets and frames. Other readers ignore the option.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "max_size", "65536", 0);
    const int opening = avformat_open_input(&opened, file.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opening < 0) return Ended(Outcome::Unreadable);
    format_.reset(opened);
    if (avformat_find_stream_info(format_.get(), nullptr) < 0) return Ended(Outcome::Unreadable);

    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (index == AVERROR_STREAM_NOT_FOUND) return Ended(Outcome::NoSound);
    if (index < 0 || codec == nullptr) return Ended(Outcome::SoundUnreadable);
    stream_ = format_->streams[index];
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
      if (static_cast<int>(i) != index) format_->streams[i]->discard = AVDISCARD_ALL;
    }
    work_.seconds.store(StreamSeconds(format_.get(), stream_));

    codec_.reset(avcodec_alloc_context3(codec));
    if (!codec_ || avcodec_parameters_to_context(codec_.get(), stream_->codecpar) < 0 ||
        avcodec_open2(codec_.get(), codec, nullptr) < 0) {
      return Ended(Outcome::SoundUnreadable);
    }
    packet_.reset(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    if (!packet_ || !frame_) return Ended(Outcome::SoundUnreadable);

    int failedReads = 0;
    while (!binner_.full() && usable_) {
      if (work_.cancelled.load(std::memory_order_relaxed)) return Ended(Outcome::Cancelled);
      const int read = av_read_frame(format_.get(), packet_.get());
      if (read == AVERROR_EOF) break;
      if (read < 0) {
        if (read == AVERROR_EXIT || ++failedReads > kMostFailedReadsInARow) break;
        continue;
      }
      failedReads = 0;
      if (packet_->stream_index == stream_->index) {
        ++packets_;
        // A packet the decoder refuses is a damaged stretch: it is skipped.
        avcodec_send_packet(codec_.get(), packet_.get());
        ReceiveFrames();
      }
      av_packet_unref(packet_.get());
      if (work_.pace.share > 0) pace_.Keep(work_.cancelled);
    }
    if (work_.cancelled.load()) return Ended(Outcome::Cancelled);
    avcodec_send_packet(codec_.get(), nullptr);
    ReceiveFrames();
    binner_.Finish();
    // A sound stream without a single packet (a WAV header alone) holds no sound at all.
    if (packets_ == 0) return Ended(Outcome::NoSound);
    return Ended(decodedFrames_ > 0 ? Outcome::Complete : Outcome::SoundUnreadable);
  }

 private:
  Outcome Ended(Outcome outcome) {
    if (work_.cancelled.load()) outcome = Outcome::Cancelled;
    work_.envelope.Publish();
    return outcome;
  }

  void ReceiveFrames() {
    while (avcodec_receive_frame(codec_.get(), frame_.get()) >= 0) {
      Take(frame_.get());
      av_frame_unref(frame_.get());
    }
  }

  void Take(const AVFrame* frame) {
    const int rate = frame->sample_rate;
    if (rate < kLowestRate || rate > kHighestRate) return;
    binner_.SetRate(rate);
    FillGapBefore(frame);
    if (!FeedFrame(binner_, frame)) {
      usable_ = decodedFrames_ > 0;
      return;
    }
    ++decodedFrames_;
    work_.envelope.Publish();
  }

  // Samples the time stamps say are missing before `frame` (a stretch the demuxer could not
  // read) are silence, as long as they stay within the recording's known length.
  void FillGapBefore(const AVFrame* frame) {
    const int64_t stamp = frame->best_effort_timestamp;
    if (stamp == AV_NOPTS_VALUE) return;
    if (firstStamp_ == AV_NOPTS_VALUE) firstStamp_ = stamp;
    // Only while the rate has stayed as it began do samples and stamps count alike.
    if (!binner_.firstSegment() || decodedFrames_ == 0) return;
    const double seconds = work_.seconds.load();
    if (seconds <= 0) return;
    const int rate = binner_.rate();
    // In doubles: exact for any recording under a hundred hours, and cheap once a frame.
    const auto expected = static_cast<int64_t>(static_cast<double>(stamp - firstStamp_) *
                                               av_q2d(stream_->time_base) * rate);
    const int64_t fed = binner_.samplesInSegment();
    if (expected - fed > int64_t{rate} * kGapBins / kPairsPerSecond &&
        expected <= static_cast<int64_t>((seconds + 1) * rate)) {
      binner_.PadTo(expected);
    }
  }

  EnvelopeWork& work_;
  Binner binner_;
  const ProcessorPace pace_;
  std::unique_ptr<AVFormatContext, FormatCloser> format_;
  std::unique_ptr<AVCodecContext, CodecFreer> codec_;
  std::unique_ptr<AVPacket, PacketFreer> packet_;
  std::unique_ptr<AVFrame, FrameFreer> frame_;
  AVStream* stream_ = nullptr;
  int64_t firstStamp_ = AV_NOPTS_VALUE;
  long packets_ = 0;
  long decodedFrames_ = 0;
  bool usable_ = true;
};

}  // namespace

Outcome ComputeEnvelope(const std::filesystem::path& file, EnvelopeWork& work) {
  Decoding decoding(work);
  const Outcome outcome = decoding.Run(file);
  work.outcome.store(outcome);
  return outcome;
}

}  // namespace waveform
