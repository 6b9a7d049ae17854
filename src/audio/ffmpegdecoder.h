#pragma once
// Decodes a file through FFmpeg (libavformat, libavcodec, libswresample) into stereo float at the output rate.
// Mono plays at full level on both channels; more than two channels are mixed down by libswresample.
//
// What FFmpeg may do with a file is kept narrow: it reads the bytes of one ByteSource and nothing else. Only the
// demuxers of the formats the program plays are allowed (WAV, MPEG audio layers 1 to 3, RealMedia and
// RealAudio), the protocols are limited to "file", and a demuxer that asks to open another file is refused, so a
// playlist-like file (HLS ".m3u8", "ffconcat") cannot make it read other files. Every read stops once the
// stop token given at open is requested.
//
// Seeking: by the container's timestamps where they can be trusted. A file that has none (bare RealAudio stamps
// every packet 0) or that cannot seek by them is decoded once from the start, building an index of where each
// quarter of a second begins; later seeks start at the nearest indexed place before the target.
//
// Threads: one decoder thread at a time (see decoder.h).

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <stop_token>
#include <vector>

#include "audio/bytesource.h"
#include "audio/decoder.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;
struct SwrContext;

namespace marvane {

class FfmpegDecoder : public Decoder {
 public:
  // Opens the file that `source` reads. `name` (its path or file name) lets FFmpeg weigh formats by extension.
  // Returns nullptr with a one-line reason in *error when the file cannot be played.
  static std::unique_ptr<FfmpegDecoder> Open(std::unique_ptr<ByteSource> source, const QString& name, int outputRate,
                                             std::stop_token stop, QString* error);
  // A local file, through FileSource.
  static std::unique_ptr<FfmpegDecoder> Open(const QString& path, int outputRate, QString* error);
  ~FfmpegDecoder() override;

  double Duration() const override { return duration_; }
  int Read(float* out, int frames) override;
  bool Seek(double seconds) override;
  std::optional<double> ReplayGainDb() const override;

 private:
  // Where decoding can start again: the byte at which the demuxer reads the packet that begins at `seconds`.
  struct IndexEntry {
    std::int64_t position;
    double seconds;
  };

  FfmpegDecoder(std::unique_ptr<ByteSource> source, const QString& name, int outputRate, std::stop_token stop);
  bool OpenFile(QString* error);
  // Opens the demuxer on the source from its first byte, with the whitelists and the interrupt in place.
  int OpenDemuxer();
  void CloseFile();
  // Decodes until some output is pending or the stream ends. False at the end.
  bool DecodeMore();
  // Converts one decoded frame into pending output, dropping samples before a seek target.
  bool ConvertFrame();
  bool ConfigureResampler();
  // Forgets decoded sound still waiting in the codec, the resampler and the pending output.
  void ResetDecoding();
  // The file's true length: the end of its last decoded sample, found by decoding its last seconds (or the whole
  // file when the header gives no length). Container headers often count padding that gapless decoding removes.
  // Leaves the decoder at the start.
  void MeasureDuration();
  // Decodes the whole file once from the start, recording the index, and from then on seeks by it. Returns the
  // frames decoded. Leaves the decoder at the end.
  std::int64_t BuildIndex();
  bool SeekByIndex(double seconds);
  // A fresh demuxer on the same source, at the start of the file, with the decoder's state flushed.
  bool Restart();

  static int ReadSource(void* opaque, std::uint8_t* buffer, int size);
  static std::int64_t SeekSource(void* opaque, std::int64_t offset, int whence);
  static int Interrupted(void* opaque);

  const int outputRate_;
  const std::unique_ptr<ByteSource> source_;
  const QByteArray name_;
  const std::stop_token stop_;
  AVIOContext* io_ = nullptr;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwrContext* swr_ = nullptr;
  int streamIndex_ = -1;
  double duration_ = 0.0;
  bool inputEnded_ = false;   // the demuxer has no more packets; the codec is being drained
  bool finished_ = false;     // nothing more will come
  int consecutiveErrors_ = 0;
  // The input layout the resampler was set up for, to notice a stream that changes format part way.
  int swrInRate_ = 0;
  int swrInFormat_ = -1;
  int swrInChannels_ = 0;
  int outChannels_ = 2;
  // Whether the container's timestamps can be trusted for seeking; without them the index is used, and frames are
  // placed one after the other by their sample counts (clock_).
  bool seekByTimestamp_ = true;
  bool recordingIndex_ = false;
  std::vector<IndexEntry> index_;
  double clock_ = 0.0;         // seconds from the start to the end of the latest decoded frame, by sample counts
  double lastFrameEnd_ = 0.0;  // the latest decoded frame's end, by its timestamp where it has one
  // Where playback must start after a seek, in seconds: samples before it are dropped, so playback starts at the
  // asked time, not at the packet before it.
  double seekTarget_ = -1.0;
  std::int64_t dropOutput_ = 0;  // resampled frames still to drop before the seek's target
  // Converted interleaved stereo waiting to be read.
  std::vector<float> pending_;
  std::size_t pendingOffset_ = 0;  // in floats
  std::vector<float> scratch_;     // resampler output before mono is doubled
};

}  // namespace marvane
