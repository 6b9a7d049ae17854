#include "audiotestutil.h"

#include <cmath>
#include <csignal>
#include <cstring>

namespace marvane::test {

int OpenAndWait(MediaPlayer& player, const QString& path, int timeoutMs) {
  player.SetAutoStart(false);
  player.Open(path);
  WaitFor([&] { return player.OpenState() != kOpening; }, timeoutMs);
  return player.OpenState();
}

std::vector<float> Channel(const std::vector<float>& stereo, int channel, int from, int count) {
  const int total = static_cast<int>(stereo.size() / 2);
  if (count < 0 || from + count > total) count = std::max(0, total - from);
  std::vector<float> out(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    out[static_cast<std::size_t>(i)] = stereo[static_cast<std::size_t>(from + i) * 2 + channel];
  return out;
}

double Rms(const std::vector<float>& samples) {
  double sum = 0.0;
  for (float s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

double Peak(const std::vector<float>& samples) {
  double peak = 0.0;
  for (float s : samples) peak = std::max(peak, static_cast<double>(std::fabs(s)));
  return peak;
}

double Db(double ratio) { return 20.0 * std::log10(ratio); }

double ToneAmplitude(const std::vector<float>& samples, double frequency, int rate, int startFrame) {
  double re = 0.0, im = 0.0;
  for (std::size_t n = 0; n < samples.size(); ++n) {
    const double phase = 2.0 * M_PI * frequency * (static_cast<double>(n) + startFrame) / rate;
    re += samples[n] * std::cos(phase);
    im += samples[n] * std::sin(phase);
  }
  return samples.empty() ? 0.0 : 2.0 * std::hypot(re, im) / static_cast<double>(samples.size());
}

std::vector<float> DecodedSamples(const QString& path) {
  const QString raw = path + u".raw"_s;
  if (FinishProgram(StartProgram({u"ffmpeg"_s, u"-v"_s, u"error"_s, u"-y"_s, u"-i"_s, path, u"-f"_s, u"f32le"_s,
                                  u"-c:a"_s, u"pcm_f32le"_s, raw}),
                    60000) != 0)
    return {};
  const QByteArray bytes = ReadBytes(raw);
  std::vector<float> samples(static_cast<std::size_t>(bytes.size()) / sizeof(float));
  std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
  return samples;
}

std::vector<float> CapturedTone(const QString& rawPath, int rate) {
  const QByteArray bytes = ReadBytes(rawPath);
  std::vector<float> samples(static_cast<std::size_t>(bytes.size()) / sizeof(float) / 2 * 2);
  std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
  std::size_t first = 0;
  while (first < samples.size() && std::fabs(samples[first]) < 1e-4f) ++first;
  first &= ~std::size_t{1};
  const std::size_t length = static_cast<std::size_t>(rate) * 2;
  if (first + length > samples.size()) return {};
  return {samples.begin() + static_cast<std::ptrdiff_t>(first),
          samples.begin() + static_cast<std::ptrdiff_t>(first + length)};
}

pid_t StartRecorder(const QString& rawPath) {
  return StartProgram(u"parecord --raw --format=float32le --rate=44100 --channels=2 --latency-msec=20 "
                      u"-d test_sink.monitor"_s.split(u' ') << rawPath);
}

void StopRecorder(pid_t recorder) {
  kill(recorder, SIGINT);
  FinishProgram(recorder, 10000);
}

bool Heard(const QString& rawPath) {
  const QByteArray bytes = ReadBytes(rawPath);
  const auto* samples = reinterpret_cast<const float*>(bytes.constData());
  for (qsizetype i = 0; i < bytes.size() / qsizetype(sizeof(float)); ++i)
    if (std::fabs(samples[i]) > 1e-3f) return true;
  return false;
}

EventLog::EventLog(MediaPlayer& player) {
  QObject::connect(&player, &MediaPlayer::OpenStateChange, [this](int from, int to) {
    events.push_back({'o', from, to});
  });
  QObject::connect(&player, &MediaPlayer::PlayStateChange, [this](int from, int to) {
    events.push_back({'p', from, to});
  });
}

OfflineEngine::OfflineEngine(int rate, int bufferFrames) {
  auto out = std::make_unique<OfflineOutput>(rate, bufferFrames);
  output = out.get();
  engine = std::make_unique<AudioEngine>(std::move(out));
}

std::vector<float> OfflineEngine::Render(double seconds) {
  return output->Pull(static_cast<int>(std::lround(seconds * output->SampleRate())));
}

}  // namespace marvane::test
