#include "audio/ffmpegdecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/replaygain.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "audio/filesource.h"

namespace marvane {
namespace {

// A stream that fails this many packets in a row is taken as ended: a damaged file plays what decodes and then
// stops instead of spinning.
constexpr int kMaxConsecutiveErrors = 64;
constexpr int kIoBufferBytes = 32 * 1024;
// The demuxers of the formats the program plays: WAV, MPEG audio layers 1 to 3, RealMedia and RealAudio.
constexpr char kFormatWhitelist[] = "wav,mp3,rm";
// The index of a file without timestamps holds a place to start from every this many seconds.
constexpr double kIndexSpacing = 0.25;
// A seek lands this much early and decodes up to the target: codecs with overlapping frames (MP3's bit reservoir
// and filter bank, RealAudio's filters) need a frame or two of history before their output is clean.
constexpr double kPreroll = 0.1;
// SoX's resampler (see ConfigureResampler): bits of precision, and the passband's edge against the Nyquist
// frequency of the lower rate.
constexpr double kResamplerBits = 28.0;
constexpr double kResamplerCutoff = 0.97;

void QuietFfmpegOnce() {
  static std::once_flag once;
  // A broken file is reported through the open state; FFmpeg's own console messages would only be noise.
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

QString FfmpegError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return QString::fromUtf8(text);
}

// Demuxers of playlists and references (HLS, ffconcat and the like) open the files they name through this; the
// program's files never need another file, so nothing is opened.
int RefuseNestedOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) { return AVERROR(EPERM); }

}  // namespace

std::unique_ptr<FfmpegDecoder> FfmpegDecoder::Open(std::unique_ptr<ByteSource> source, const QString& name,
                                                   int outputRate, std::stop_token stop, QString* error) {
  QuietFfmpegOnce();
  std::unique_ptr<FfmpegDecoder> decoder(new FfmpegDecoder(std::move(source), name, outputRate, std::move(stop)));
  if (!decoder->OpenFile(error)) return nullptr;
  return decoder;
}

std::unique_ptr<FfmpegDecoder> FfmpegDecoder::Open(const QString& path, int outputRate, QString* error) {
  std::unique_ptr<FileSource> source = FileSource::Open(path, {}, error);
  if (source == nullptr) return nullptr;
  return Open(std::move(source), path, outputRate, {}, error);
}

FfmpegDecoder::FfmpegDecoder(std::unique_ptr<ByteSource> source, const QString& name, int outputRate,
                             std::stop_token stop)
    : outputRate_(outputRate), source_(std::move(source)), name_(name.toUtf8()), stop_(std::move(stop)) {}

FfmpegDecoder::~FfmpegDecoder() {
  CloseFile();
  if (io_ != nullptr) {
    av_freep(&io_->buffer);
    avio_context_free(&io_);
  }
}

int FfmpegDecoder::ReadSource(void* opaque, std::uint8_t* buffer, int size) {
  auto* self = static_cast<FfmpegDecoder*>(opaque);
  if (self->stop_.stop_requested()) return AVERROR_EXIT;
  const int got = self->source_->Read(buffer, size);
  if (got < 0) return self->stop_.stop_requested() ? AVERROR_EXIT : AVERROR(EIO);
  return got == 0 ? AVERROR_EOF : got;
}

std::int64_t FfmpegDecoder::SeekSource(void* opaque, std::int64_t offset, int whence) {
  ByteSource& source = *static_cast<FfmpegDecoder*>(opaque)->source_;
  std::int64_t base = 0;
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
      return source.Size() >= 0 ? source.Size() : AVERROR(ENOSYS);
    case SEEK_SET:
      break;
    case SEEK_CUR:
      base = source.Position();
      break;
    case SEEK_END:
      if (source.Size() < 0) return AVERROR(ENOSYS);
      base = source.Size();
      break;
    default:
      return AVERROR(EINVAL);
  }
  std::int64_t target = 0;
  if (__builtin_add_overflow(base, offset, &target) || !source.Seek(target)) return AVERROR(EIO);
  return target;
}

int FfmpegDecoder::Interrupted(void* opaque) {
  return static_cast<FfmpegDecoder*>(opaque)->stop_.stop_requested() ? 1 : 0;
}

int FfmpegDecoder::OpenDemuxer() {
  if (io_ == nullptr) {
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferBytes));
    if (buffer == nullptr) return AVERROR(ENOMEM);
    io_ = avio_alloc_context(buffer, kIoBufferBytes, 0, this, &ReadSource, nullptr, &SeekSource);
    if (io_ == nullptr) {
      av_free(buffer);
      return AVERROR(ENOMEM);
    }
  } else if (avio_seek(io_, 0, SEEK_SET) < 0) {
    return AVERROR(EIO);
  }
  format_ = avformat_alloc_context();
  if (format_ == nullptr) return AVERROR(ENOMEM);
  format_->pb = io_;
  format_->flags |= AVFMT_FLAG_CUSTOM_IO;
  format_->interrupt_callback.callback = &Interrupted;
  format_->interrupt_callback.opaque = this;
  format_->io_open = &RefuseNestedOpen;
  AVDictionary* options = nullptr;
  // Local files only, and only the formats the program plays: a file that names a network address or another
  // file opens nothing, and a format outside the list is refused even when the probe picks it.
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  av_dict_set(&options, "format_whitelist", kFormatWhitelist, 0);
  const int rc = avformat_open_input(&format_, name_.constData(), nullptr, &options);
  av_dict_free(&options);
  if (rc < 0) format_ = nullptr;  // freed by avformat_open_input; the source and io_ stay ours
  return rc;
}

bool FfmpegDecoder::OpenFile(QString* error) {
  int rc = OpenDemuxer();
  if (rc < 0) {
    *error = QStringLiteral("not a sound file FFmpeg can read: %1").arg(FfmpegError(rc));
    return false;
  }
  // A failure here still leaves usable streams in many damaged files; the decode check below decides.
  avformat_find_stream_info(format_, nullptr);
  const AVCodec* codec = nullptr;
  streamIndex_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  if (streamIndex_ < 0 || codec == nullptr) {
    *error = QStringLiteral("no audio stream that can be decoded");
    CloseFile();
    return false;
  }
  AVStream* stream = format_->streams[streamIndex_];
  codec_ = avcodec_alloc_context3(codec);
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (codec_ == nullptr || frame_ == nullptr || packet_ == nullptr ||
      avcodec_parameters_to_context(codec_, stream->codecpar) < 0) {
    *error = QStringLiteral("out of memory");
    CloseFile();
    return false;
  }
  codec_->pkt_timebase = stream->time_base;
  codec_->thread_count = 1;  // Eight players decode at once; one thread each is the fair share.
  rc = avcodec_open2(codec_, codec, nullptr);
  if (rc < 0) {
    *error = QStringLiteral("cannot start the decoder: %1").arg(FfmpegError(rc));
    CloseFile();
    return false;
  }
  if (format_->duration > 0 && format_->duration != AV_NOPTS_VALUE) {
    duration_ = static_cast<double>(format_->duration) / AV_TIME_BASE;
  } else if (stream->duration > 0 && stream->duration != AV_NOPTS_VALUE) {
    duration_ = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
  } else if (format_->bit_rate > 0 && source_->Size() > 0) {
    duration_ = static_cast<double>(source_->Size()) * 8.0 / static_cast<double>(format_->bit_rate);
  }
  MeasureDuration();
  // A file only counts as open when some sound actually comes out of it: headers without audio, empty data
  // chunks and garbage that happens to probe as a format all fail here. (Measuring may already have found the
  // file unreadable and closed it.)
  if (codec_ == nullptr || !DecodeMore()) {
    *error = stop_.stop_requested() ? QStringLiteral("the open was cancelled")
                                    : QStringLiteral("the file holds no audio that can be decoded");
    CloseFile();
    return false;
  }
  return true;
}

void FfmpegDecoder::CloseFile() {
  swr_free(&swr_);
  av_packet_free(&packet_);
  av_frame_free(&frame_);
  avcodec_free_context(&codec_);
  if (format_ != nullptr) avformat_close_input(&format_);
  streamIndex_ = -1;
  inputEnded_ = finished_ = false;
  consecutiveErrors_ = 0;
  swrInRate_ = 0;
  swrInFormat_ = -1;
  swrInChannels_ = 0;
  seekTarget_ = -1.0;
  dropOutput_ = 0;
  pending_.clear();
  pendingOffset_ = 0;
}

void FfmpegDecoder::ResetDecoding() {
  avcodec_flush_buffers(codec_);
  swr_free(&swr_);
  dropOutput_ = 0;
  swrInRate_ = 0;
  inputEnded_ = finished_ = false;
  consecutiveErrors_ = 0;
  pending_.clear();
  pendingOffset_ = 0;
}

bool FfmpegDecoder::Restart() {
  if (codec_ == nullptr) return false;
  avformat_close_input(&format_);
  if (OpenDemuxer() < 0 || streamIndex_ >= static_cast<int>(format_->nb_streams)) {
    CloseFile();
    return false;
  }
  ResetDecoding();
  clock_ = 0.0;
  seekTarget_ = -1.0;
  return true;
}

bool FfmpegDecoder::ConfigureResampler() {
  const int channels = frame_->ch_layout.nb_channels;
  if (channels <= 0 || frame_->sample_rate <= 0) return false;
  if (swr_ != nullptr && swrInRate_ == frame_->sample_rate && swrInFormat_ == frame_->format &&
      swrInChannels_ == channels)
    return true;
  swr_free(&swr_);
  AVChannelLayout inLayout{};
  if (frame_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_default(&inLayout, channels);
  } else {
    av_channel_layout_copy(&inLayout, &frame_->ch_layout);
  }
  // Mono stays mono through the resampler and is doubled afterwards, so it plays at full level on both sides
  // (the resampler's own mono-to-stereo matrix would lower it by 3 dB).
  outChannels_ = channels == 1 ? 1 : 2;
  AVChannelLayout outLayout{};
  av_channel_layout_default(&outLayout, outChannels_);
  const int rc = swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_FLT, outputRate_, &inLayout,
                                     static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0,
                                     nullptr);
  av_channel_layout_uninit(&inLayout);
  av_channel_layout_uninit(&outLayout);
  // A file at another rate than the output goes through SoX's resampler: 28 bits of precision keep its noise and
  // aliasing far below what 24-bit sound holds, and the passband reaches 97% of the file's Nyquist frequency, so
  // a 44.1 kHz file is flat to 21 kHz.
  if (rc >= 0 && frame_->sample_rate != outputRate_) {
    av_opt_set(swr_, "resampler", "soxr", 0);
    av_opt_set_double(swr_, "precision", kResamplerBits, 0);
    av_opt_set_double(swr_, "cutoff", kResamplerCutoff, 0);
  }
  if (rc < 0 || swr_init(swr_) < 0) {
    swr_free(&swr_);
    return false;
  }
  swrInRate_ = frame_->sample_rate;
  swrInFormat_ = frame_->format;
  swrInChannels_ = channels;
  return true;
}

bool FfmpegDecoder::ConvertFrame() {
  if (!ConfigureResampler()) return false;
  // Where the frame lies: by its timestamp, or right after the frame before (files seeking by the index, and the
  // last packet that some demuxers leave without a timestamp).
  const std::int64_t pts = frame_->best_effort_timestamp;
  const bool timed = seekByTimestamp_ && pts != AV_NOPTS_VALUE;
  double start = clock_;
  if (timed) {
    const AVStream* stream = format_->streams[streamIndex_];
    const std::int64_t origin = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    start = static_cast<double>(pts - origin) * av_q2d(stream->time_base);
  }
  const double end = start + static_cast<double>(frame_->nb_samples) / frame_->sample_rate;
  clock_ = end;
  lastFrameEnd_ = std::max(lastFrameEnd_, end);
  // After a timestamp seek, only a timed frame says where it is.
  if (seekTarget_ >= 0.0 && (timed || !seekByTimestamp_)) {
    if (end <= seekTarget_) return true;  // wholly before the target: drop it, keep looking
    dropOutput_ = std::max<std::int64_t>(0, std::llround((seekTarget_ - start) * outputRate_));
  }
  seekTarget_ = -1.0;
  const int capacity = swr_get_out_samples(swr_, frame_->nb_samples);
  if (capacity <= 0) return true;
  scratch_.resize(static_cast<std::size_t>(capacity) * outChannels_);
  auto* out = reinterpret_cast<uint8_t*>(scratch_.data());
  const int converted = swr_convert(swr_, &out, capacity, const_cast<const uint8_t**>(frame_->extended_data),
                                    frame_->nb_samples);
  if (converted <= 0) return converted == 0;
  // The resampler holds back its filter's length at first, so the sound before the target may span several of
  // its outputs.
  const std::int64_t drop = std::min<std::int64_t>(dropOutput_, converted);
  dropOutput_ -= drop;
  const std::int64_t keep = converted - drop;
  if (keep == 0) return true;
  const float* source = scratch_.data() + drop * outChannels_;
  const std::size_t old = pending_.size();
  pending_.resize(old + static_cast<std::size_t>(keep) * 2);
  float* target = pending_.data() + old;
  if (outChannels_ == 1) {
    for (std::int64_t i = 0; i < keep; ++i) target[2 * i] = target[2 * i + 1] = source[i];
  } else {
    std::memcpy(target, source, static_cast<std::size_t>(keep) * 2 * sizeof(float));
  }
  return true;
}

bool FfmpegDecoder::DecodeMore() {
  if (codec_ == nullptr) return false;
  while (!finished_) {
    if (pendingOffset_ < pending_.size()) return true;
    int rc = avcodec_receive_frame(codec_, frame_);
    if (rc == 0) {
      consecutiveErrors_ = 0;
      const bool ok = ConvertFrame();
      av_frame_unref(frame_);
      if (!ok && ++consecutiveErrors_ > kMaxConsecutiveErrors) finished_ = true;
      continue;
    }
    if (rc == AVERROR_EOF || (rc != AVERROR(EAGAIN) && inputEnded_)) {
      // Drain the resampler's delay line so the last milliseconds of the file are heard.
      if (swr_ != nullptr) {
        const int capacity = swr_get_out_samples(swr_, 0);
        if (capacity > 0) {
          scratch_.resize(static_cast<std::size_t>(capacity) * outChannels_);
          auto* out = reinterpret_cast<uint8_t*>(scratch_.data());
          const int tail = swr_convert(swr_, &out, capacity, nullptr, 0);
          for (int i = 0; i < tail; ++i) {
            const float left = scratch_[static_cast<std::size_t>(i) * outChannels_];
            pending_.push_back(left);
            pending_.push_back(outChannels_ == 1 ? left : scratch_[static_cast<std::size_t>(i) * 2 + 1]);
          }
        }
      }
      finished_ = true;
      continue;
    }
    if (rc != AVERROR(EAGAIN) && ++consecutiveErrors_ > kMaxConsecutiveErrors) {
      finished_ = true;
      continue;
    }
    if (inputEnded_) continue;
    const std::int64_t readFrom = recordingIndex_ ? avio_tell(format_->pb) : -1;
    rc = av_read_frame(format_, packet_);
    if (rc < 0) {
      inputEnded_ = true;
      avcodec_send_packet(codec_, nullptr);
      continue;
    }
    if (packet_->stream_index == streamIndex_) {
      // A place to start again: a key packet the demuxer read afresh from readFrom (not one it had buffered), every
      // kIndexSpacing seconds. Everything decoded so far ends at clock_.
      if (recordingIndex_ && (packet_->flags & AV_PKT_FLAG_KEY) && readFrom >= 0 && packet_->pos >= readFrom &&
          readFrom > (index_.empty() ? 0 : index_.back().position) &&
          clock_ - (index_.empty() ? 0.0 : index_.back().seconds) >= kIndexSpacing)
        index_.push_back({readFrom, clock_});
      rc = avcodec_send_packet(codec_, packet_);
      if (rc < 0 && rc != AVERROR(EAGAIN) && ++consecutiveErrors_ > kMaxConsecutiveErrors) finished_ = true;
    }
    av_packet_unref(packet_);
  }
  return pendingOffset_ < pending_.size();
}

void FfmpegDecoder::MeasureDuration() {
  // Decoding the last two seconds costs a few milliseconds even for long files.
  constexpr double kTailSeconds = 2.0;
  const double header = duration_;
  if (header <= 0.0) {
    // Without a length in the header (bare RealAudio, some damaged files) the whole file is decoded once; that
    // pass also builds the index for seeking.
    duration_ = static_cast<double>(BuildIndex()) / outputRate_;
  } else {
    if (!Seek(std::max(0.0, header - kTailSeconds))) return;
    lastFrameEnd_ = 0.0;
    std::vector<float> sink(4096 * 2);
    while (Read(sink.data(), 4096) > 0) {
    }
    if (lastFrameEnd_ > 0.0) duration_ = lastFrameEnd_;
  }
  Seek(0.0);
}

std::int64_t FfmpegDecoder::BuildIndex() {
  seekByTimestamp_ = false;
  index_.clear();
  if (!Restart()) return 0;
  recordingIndex_ = true;
  std::vector<float> sink(4096 * 2);
  std::int64_t frames = 0;
  for (int got = Read(sink.data(), 4096); got > 0; got = Read(sink.data(), 4096)) frames += got;
  recordingIndex_ = false;
  return frames;
}

bool FfmpegDecoder::SeekByIndex(double seconds) {
  if (!Restart()) return false;
  const double landing = std::max(0.0, seconds - kPreroll);
  auto after = std::upper_bound(index_.begin(), index_.end(), landing,
                                [](double time, const IndexEntry& entry) { return time < entry.seconds; });
  if (after != index_.begin()) {
    const IndexEntry& entry = *std::prev(after);
    if (av_seek_frame(format_, -1, entry.position, AVSEEK_FLAG_BYTE) < 0 &&
        avio_seek(format_->pb, entry.position, SEEK_SET) < 0)
      return false;
    clock_ = entry.seconds;
  }
  seekTarget_ = seconds;
  return true;
}

int FfmpegDecoder::Read(float* out, int frames) {
  if (codec_ == nullptr) return 0;
  int written = 0;
  while (written < frames) {
    if (pendingOffset_ >= pending_.size()) {
      pending_.clear();
      pendingOffset_ = 0;
      if (!DecodeMore()) break;
    }
    const int available = static_cast<int>((pending_.size() - pendingOffset_) / 2);
    const int count = std::min(available, frames - written);
    std::memcpy(out + static_cast<std::ptrdiff_t>(written) * 2, pending_.data() + pendingOffset_,
                static_cast<std::size_t>(count) * 2 * sizeof(float));
    pendingOffset_ += static_cast<std::size_t>(count) * 2;
    written += count;
  }
  return written;
}

std::optional<double> FfmpegDecoder::ReplayGainDb() const {
  if (format_ == nullptr || streamIndex_ < 0) return std::nullopt;
  // FFmpeg reads the tags (ID3v2 TXXX, APE, Vorbis comments) into the stream's side data, in microbels.
  const auto* gain = reinterpret_cast<const AVReplayGain*>(
      av_stream_get_side_data(format_->streams[streamIndex_], AV_PKT_DATA_REPLAYGAIN, nullptr));
  if (gain == nullptr || gain->track_gain == INT32_MIN) return std::nullopt;
  return gain->track_gain / 100000.0;
}

bool FfmpegDecoder::Seek(double seconds) {
  if (format_ == nullptr) return false;
  seconds = std::max(0.0, seconds);
  if (!seekByTimestamp_) return SeekByIndex(seconds);
  const AVStream* stream = format_->streams[streamIndex_];
  const std::int64_t origin = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  const double landing = std::max(0.0, seconds - kPreroll);
  const std::int64_t timestamp = origin + static_cast<std::int64_t>(landing / av_q2d(stream->time_base));
  int rc = av_seek_frame(format_, streamIndex_, timestamp, AVSEEK_FLAG_BACKWARD);
  if (rc < 0) {
    const auto target = static_cast<std::int64_t>(landing * AV_TIME_BASE);
    rc = avformat_seek_file(format_, -1, INT64_MIN, target, target, 0);
  }
  // Some damaged files cannot seek by time at all: they are decoded once to build the index, and seek by it.
  if (rc < 0) {
    BuildIndex();
    return SeekByIndex(seconds);
  }
  ResetDecoding();
  seekTarget_ = seconds;
  return true;
}

}  // namespace marvane
