#include "audiotestutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cmath>
#include <csignal>
#include <cstring>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace marvane::test {

// posix_spawn rather than QProcess: QProcess forks, and ThreadSanitizer stops tracking the parent's locks after
// a fork in a process with threads, which would bury real reports under false ones.
pid_t StartProgram(const QStringList& arguments) {
  std::vector<QByteArray> bytes;
  for (const QString& argument : arguments) bytes.push_back(argument.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& argument : bytes) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

int FinishProgram(pid_t pid, int timeoutMs) {
  if (pid <= 0) return -1;
  int status = 0;
  QElapsedTimer timer;
  timer.start();
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (timer.elapsed() > timeoutMs) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    QThread::msleep(5);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool RunFfmpeg(const QStringList& arguments, const QString& output) {
  const pid_t pid = StartProgram(QStringList{QStringLiteral("ffmpeg"), QStringLiteral("-hide_banner"),
                                             QStringLiteral("-loglevel"), QStringLiteral("error"),
                                             QStringLiteral("-nostdin"), QStringLiteral("-y")} +
                                 arguments + QStringList{output});
  return FinishProgram(pid, 120000) == 0 && QFileInfo(output).size() > 0;
}

QStringList ExpressionInput(const QString& expression, double seconds, int rate, int channels) {
  const QString exprs = channels == 1 ? expression : expression + QLatin1Char('|') + expression;
  return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
          QStringLiteral("aevalsrc=%1:s=%2:d=%3").arg(exprs).arg(rate).arg(seconds, 0, 'f', 6)};
}

QString MakeFile(const QString& dir, const QString& name, const QString& expression, double seconds,
                 const QStringList& encoder, int rate, int channels) {
  const QString path = QDir(dir).filePath(name);
  if (!RunFfmpeg(ExpressionInput(expression, seconds, rate, channels) + encoder, path)) return {};
  return path;
}

QString MakeFile(const QString& dir, const QString& name, const QString& expression, double seconds,
                 const char* encoder, int rate, int channels) {
  return MakeFile(dir, name, expression, seconds, QString::fromUtf8(encoder).split(QLatin1Char(' ')), rate,
                  channels);
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() ? path
                                                                                                    : QString();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

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
  for (int i = 0; i < count; ++i) out[static_cast<std::size_t>(i)] = stereo[static_cast<std::size_t>(from + i) * 2 + channel];
  return out;
}

double Rms(const std::vector<float>& samples) {
  if (samples.empty()) return 0.0;
  double sum = 0.0;
  for (float s : samples) sum += static_cast<double>(s) * s;
  return std::sqrt(sum / static_cast<double>(samples.size()));
}

double Peak(const std::vector<float>& samples) {
  double peak = 0.0;
  for (float s : samples) peak = std::max(peak, static_cast<double>(std::fabs(s)));
  return peak;
}

double Db(double ratio) { return 20.0 * std::log10(ratio); }

double ToneAmplitude(const std::vector<float>& samples, double frequency, int rate, int startFrame) {
  constexpr double kPi = 3.14159265358979323846;
  double re = 0.0, im = 0.0;
  for (std::size_t n = 0; n < samples.size(); ++n) {
    const double phase = 2.0 * kPi * frequency * (static_cast<double>(n) + startFrame) / rate;
    re += samples[n] * std::cos(phase);
    im += samples[n] * std::sin(phase);
  }
  return samples.empty() ? 0.0 : 2.0 * std::hypot(re, im) / static_cast<double>(samples.size());
}

double SineError(const std::vector<float>& stereo, int from) {
  constexpr double kPi = 3.14159265358979323846;
  double worst = 0.0;
  for (int i = from; i < static_cast<int>(stereo.size() / 2); ++i) {
    const double ideal = 0.5 * std::sin(2.0 * kPi * 441.0 * i / 44100.0);
    worst = std::max(worst, std::fabs(stereo[static_cast<std::size_t>(i) * 2] - ideal));
  }
  return worst;
}

std::vector<float> CapturedTone(const QString& rawPath, int rate) {
  const QByteArray bytes = ReadFile(rawPath);
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

EventLog::EventLog(MediaPlayer& player) {
  QObject::connect(&player, &MediaPlayer::OpenStateChange,
                   [this](int oldState, int newState) { events.push_back({'o', oldState, newState}); });
  QObject::connect(&player, &MediaPlayer::PlayStateChange,
                   [this](int oldState, int newState) { events.push_back({'p', oldState, newState}); });
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
