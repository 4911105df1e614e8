#include "encoded_media.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <memory>
#include <string>

namespace test_media {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kFrameRate = 25;
constexpr int kSampleRate = 44100;

struct Stream {
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;
  int64_t next = 0;  // in the codec's time base
  ~Stream() {
    av_frame_free(&frame);
    avcodec_free_context(&codec);
  }
};

// Sends one frame (null flushes) and writes every packet the encoder has ready.
bool Encode(AVFormatContext* file, Stream& s, const AVFrame* frame) {
  if (avcodec_send_frame(s.codec, frame) < 0) return false;
  AVPacket* packet = av_packet_alloc();
  int result;
  while ((result = avcodec_receive_packet(s.codec, packet)) == 0) {
    av_packet_rescale_ts(packet, s.codec->time_base, s.stream->time_base);
    packet->stream_index = s.stream->index;
    if (av_interleaved_write_frame(file, packet) < 0) {
      av_packet_free(&packet);
      return false;
    }
  }
  av_packet_free(&packet);
  return result == AVERROR(EAGAIN) || result == AVERROR_EOF;
}

bool OpenEncoder(AVFormatContext* file, Stream& s, AVCodecID id, bool video) {
  const AVCodec* encoder = avcodec_find_encoder(id);
  if (!encoder) return false;
  s.codec = avcodec_alloc_context3(encoder);
  s.stream = avformat_new_stream(file, nullptr);
  if (!s.codec || !s.stream) return false;
  if (video) {
    s.codec->width = kWidth;
    s.codec->height = kHeight;
    s.codec->pix_fmt = AV_PIX_FMT_YUV420P;
    s.codec->time_base = {1, kFrameRate};
    s.codec->framerate = {kFrameRate, 1};
    s.codec->gop_size = kFrameRate;
    s.codec->bit_rate = 400000;
  } else {
    s.codec->sample_rate = kSampleRate;
    s.codec->sample_fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    av_channel_layout_default(&s.codec->ch_layout, 2);
    s.codec->time_base = {1, kSampleRate};
    s.codec->bit_rate = 128000;
  }
  if (file->oformat->flags & AVFMT_GLOBALHEADER) s.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(s.codec, encoder, nullptr) < 0) return false;
  if (avcodec_parameters_from_context(s.stream->codecpar, s.codec) < 0) return false;
  s.stream->time_base = s.codec->time_base;
  s.frame = av_frame_alloc();
  if (!s.frame) return false;
  if (video) {
    s.frame->format = s.codec->pix_fmt;
    s.frame->width = kWidth;
    s.frame->height = kHeight;
  } else {
    s.frame->format = s.codec->sample_fmt;
    s.frame->sample_rate = kSampleRate;
    s.frame->nb_samples = s.codec->frame_size > 0 ? s.codec->frame_size : 1024;
    av_channel_layout_copy(&s.frame->ch_layout, &s.codec->ch_layout);
  }
  return av_frame_get_buffer(s.frame, 0) == 0;
}

// A bright band across the top quarter, and a bright bar that moves across the grey field below
// it, one step a frame.
void FillPicture(AVFrame* frame, int64_t index) {
  av_frame_make_writable(frame);
  const int bar = static_cast<int>(index * 4 % kWidth);
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = frame->data[0] + y * frame->linesize[0];
    for (int x = 0; x < kWidth; ++x) {
      row[x] = (y < kHeight / 4 || (x >= bar && x < bar + 16)) ? 235 : 80;
    }
  }
  for (int plane = 1; plane <= 2; ++plane) {
    for (int y = 0; y < kHeight / 2; ++y) {
      std::fill_n(frame->data[plane] + y * frame->linesize[plane], kWidth / 2, 128);
    }
  }
}

void FillTone(AVFrame* frame, int64_t firstSample) {
  av_frame_make_writable(frame);
  const int channels = frame->ch_layout.nb_channels;
  const auto format = static_cast<AVSampleFormat>(frame->format);
  const bool planar = av_sample_fmt_is_planar(format);
  for (int i = 0; i < frame->nb_samples; ++i) {
    const double value =
        0.3 * std::sin(2 * M_PI * 440.0 * static_cast<double>(firstSample + i) / kSampleRate);
    for (int c = 0; c < channels; ++c) {
      const int at = planar ? i : i * channels + c;
      uint8_t* data = frame->data[planar ? c : 0];
      switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_FLT:
          reinterpret_cast<float*>(data)[at] = static_cast<float>(value);
          break;
        case AV_SAMPLE_FMT_S16:
          reinterpret_cast<int16_t*>(data)[at] = static_cast<int16_t>(value * 32767);
          break;
        default:
          break;
      }
    }
  }
}

bool WriteMedia(const QString& path, const char* container, AVCodecID video, AVCodecID audio,
                double seconds) {
  const std::string name = path.toStdString();
  AVFormatContext* file = nullptr;
  if (avformat_alloc_output_context2(&file, nullptr, container, name.c_str()) < 0) {
    ADD_FAILURE() << "no " << container << " writer";
    return false;
  }
  std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> owner(
      file, [](AVFormatContext* f) {
        if (f->pb) avio_closep(&f->pb);
        avformat_free_context(f);
      });
  Stream picture, sound;
  const bool withPicture = video != AV_CODEC_ID_NONE;
  const bool withSound = audio != AV_CODEC_ID_NONE;
  if ((withPicture && !OpenEncoder(file, picture, video, true)) ||
      (withSound && !OpenEncoder(file, sound, audio, false))) {
    ADD_FAILURE() << "cannot set up the encoders for " << name;
    return false;
  }
  if (avio_open(&file->pb, name.c_str(), AVIO_FLAG_WRITE) < 0 ||
      avformat_write_header(file, nullptr) < 0) {
    ADD_FAILURE() << "cannot start " << name;
    return false;
  }
  const int64_t frames = std::lround(seconds * kFrameRate);
  const int64_t samples = withSound ? std::lround(seconds * kSampleRate) : 0;
  bool ok = true;
  // Interleaved by time: whichever stream is behind gets its next frame.
  while (ok && ((withPicture && picture.next < frames) || sound.next < samples)) {
    const bool pictureNext =
        withPicture && picture.next < frames &&
        (sound.next >= samples || av_compare_ts(picture.next, picture.codec->time_base,
                                                sound.next, sound.codec->time_base) <= 0);
    if (pictureNext) {
      FillPicture(picture.frame, picture.next);
      picture.frame->pts = picture.next++;
      ok = Encode(file, picture, picture.frame);
    } else {
      FillTone(sound.frame, sound.next);
      sound.frame->pts = sound.next;
      sound.next += sound.frame->nb_samples;
      ok = Encode(file, sound, sound.frame);
    }
  }
  if (ok && withPicture) ok = Encode(file, picture, nullptr);
  if (ok && withSound) ok = Encode(file, sound, nullptr);
  if (!ok || av_write_trailer(file) < 0) {
    ADD_FAILURE() << "cannot encode " << name;
    return false;
  }
  return true;
}

}  // namespace

bool WriteVideo(const QString& path, double seconds) {
  if (path.endsWith(".wmv", Qt::CaseInsensitive)) {
    return WriteMedia(path, "asf", AV_CODEC_ID_WMV2, AV_CODEC_ID_WMAV2, seconds);
  }
  return WriteMedia(path, "avi", AV_CODEC_ID_MPEG4, AV_CODEC_ID_PCM_S16LE, seconds);
}

bool WriteSilentVideo(const QString& path, double seconds) {
  return WriteMedia(path, "avi", AV_CODEC_ID_MPEG4, AV_CODEC_ID_NONE, seconds);
}

bool WriteWma(const QString& path, double seconds) {
  return WriteMedia(path, "asf", AV_CODEC_ID_NONE, AV_CODEC_ID_WMAV2, seconds);
}

}  // namespace test_media
