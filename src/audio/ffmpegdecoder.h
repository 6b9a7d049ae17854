#pragma once
// Decodes a file through FFmpeg (libavformat, libavcodec, libswresample) into stereo float at the output rate.
// Only local files are read: the input's protocols are limited to "file". Mono plays at full level on both
// channels; more than two channels are mixed down by libswresample.
//
// Threads: one decoder thread at a time (see decoder.h).

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/decoder.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace marvane {

class FfmpegDecoder : public Decoder {
 public:
  static std::unique_ptr<FfmpegDecoder> Open(const QString& path, int outputRate, QString* error);
  ~FfmpegDecoder() override;

  double Duration() const override { return duration_; }
  int Read(float* out, int frames) override;
  bool Seek(double seconds) override;

 private:
  explicit FfmpegDecoder(int outputRate);
  bool OpenFile(const QString& path, QString* error);
  void CloseFile();
  // Decodes until some output is pending or the stream ends. False at the end.
  bool DecodeMore();
  // Converts one decoded frame into pending output, dropping samples before a seek target.
  bool ConvertFrame();
  bool ConfigureResampler();
  // The file's true length: the end of its last decoded sample, found by decoding its last seconds (or by
  // reading every packet when the header gives no length). Container headers often count padding that
  // gapless decoding removes. Leaves the decoder at the start.
  void MeasureDuration();

  const int outputRate_;
  QString path_;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwrContext* swr_ = nullptr;
  int streamIndex_ = -1;
  double duration_ = 0.0;
  bool inputEnded_ = false;   // the demuxer has no more packets; the codec is being drained
  bool codecEnded_ = false;   // the codec is drained; the resampler's tail is next
  bool finished_ = false;     // nothing more will come
  int consecutiveErrors_ = 0;
  // The input layout the resampler was set up for, to notice a stream that changes format part way.
  int swrInRate_ = 0;
  int swrInFormat_ = -1;
  int swrInChannels_ = 0;
  int outChannels_ = 2;
  // Samples at the source rate still to drop after a seek, so playback starts at the asked time, not at the
  // packet before it.
  // Whether the container's timestamps can be trusted for seeking. Bare RealAudio stamps every packet 0, so
  // such files seek by opening again and decoding forward.
  bool seekByTimestamp_ = true;
  bool ReopenAndSkip(double seconds);
  bool reopening_ = false;  // opening again to rewind: the length is already known
  double lastFrameEnd_ = 0.0;  // seconds from the start to the end of the latest decoded frame
  double seekTarget_ = -1.0;
  // Converted interleaved stereo waiting to be read.
  std::vector<float> pending_;
  std::size_t pendingOffset_ = 0;  // in floats
  std::vector<float> scratch_;     // resampler output before mono is doubled
};

}  // namespace marvane
