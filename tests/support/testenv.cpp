#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace marvane::test {

QString TestDataDir() {
  const QString dir = QString::fromUtf8(MARVANE_TESTDATA_DIR_VALUE);
  return QFileInfo(dir).isDir() ? QDir(dir).canonicalPath() : QString();
}

QString ArtefactDir() { return QString::fromUtf8(MARVANE_BINARY_DIR_VALUE); }

QString WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()) return path;
  ADD_FAILURE() << "could not write " << path.toStdString();
  return {};
}

QByteArray ReadBytes(const QString& path) {
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

// posix_spawn rather than QProcess: QProcess forks, and ThreadSanitizer stops tracking the parent's locks after
// a fork in a process with threads, which would bury real reports under false ones.
pid_t StartProgram(const QStringList& arguments, const QString& output) {
  std::vector<QByteArray> bytes;
  for (const QString& argument : arguments) bytes.push_back(argument.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& argument : bytes) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const QByteArray outputPath = output.toLocal8Bit();
  if (!output.isEmpty())
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
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

QString MakeFile(const QString& dir, const QString& name, const QString& expression, double seconds,
                 const char* encoder, int rate, int channels) {
  const QString path = QDir(dir).filePath(name);
  const QString source = QStringLiteral("aevalsrc=%1:s=%2:d=%3")
                             .arg(channels == 1 ? expression : expression + QLatin1Char('|') + expression)
                             .arg(rate)
                             .arg(seconds, 0, 'f', 6);
  const QStringList arguments = QStringLiteral("ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i")
                                    .split(QLatin1Char(' ')) +
                                QStringList{source} + QString::fromUtf8(encoder).split(QLatin1Char(' ')) +
                                QStringList{path};
  return FinishProgram(StartProgram(arguments), 120000) == 0 && QFileInfo(path).size() > 0 ? path : QString();
}

QString PrivatePulse::Missing() {
  for (const char* program : {"pulseaudio", "pactl", "parecord"})
    if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
      return QStringLiteral("%1 is not installed (packages pulseaudio, pulseaudio-utils)").arg(QLatin1String(program));
  QStringList dirs{QStringLiteral("/usr/lib"), QStringLiteral("/usr/lib64")};
  for (const QString& sub : QDir(dirs[0]).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) dirs << dirs[0] + u'/' + sub;
  for (const QString& dir : dirs)
    if (QFile::exists(dir + QStringLiteral("/alsa-lib/libasound_module_ctl_pulse.so"))) return {};
  return QStringLiteral("ALSA's pulse plugin is not installed (package libasound2-plugins)");
}

PrivatePulse::PrivatePulse() {
  const QString root = folder_.path(), server = QStringLiteral("unix:") + root + QStringLiteral("/native");
  QDir().mkpath(root + QStringLiteral("/runtime"));
  QDir().mkpath(root + QStringLiteral("/state"));
  qputenv("PULSE_RUNTIME_PATH", (root + QStringLiteral("/runtime")).toUtf8());
  qputenv("PULSE_STATE_PATH", (root + QStringLiteral("/state")).toUtf8());
  qputenv("PULSE_SERVER", server.toUtf8());
  qputenv("ALSA_CONFIG_PATH", WriteBytes(Path(QStringLiteral("asound.conf")),
                                         QStringLiteral("pcm.!default { type pulse server \"%1\" }\n"
                                                        "ctl.!default { type pulse server \"%1\" }\n")
                                             .arg(server)
                                             .toUtf8())
                                  .toUtf8());
  Start();
}

bool PrivatePulse::Start() {
  const QString root = folder_.path();
  ready_ = false;
  // norewinds=1: without it streams stall for seconds.
  pid_ = StartProgram(
      {QStringLiteral("pulseaudio"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
       QStringLiteral("--disallow-exit"), QStringLiteral("-n"),
       QStringLiteral("--load=module-native-protocol-unix socket=%1/native auth-anonymous=1").arg(root),
       QStringLiteral("--load=module-null-sink sink_name=test_sink rate=44100 channels=2 norewinds=1"),
       QStringLiteral("--load=module-null-source source_name=test_source")});
  for (int i = 0; i < 100 && pid_ > 0 && !ready_; ++i) {
    const pid_t info = StartProgram({QStringLiteral("pactl"), QStringLiteral("info")}, Path(QStringLiteral("info")));
    ready_ = FinishProgram(info, 5000) == 0;
    if (!ready_) QThread::msleep(100);
  }
  return ready_;
}

void PrivatePulse::Kill() {
  if (pid_ > 0) kill(pid_, SIGKILL);
  FinishProgram(pid_, 10000);
  pid_ = -1;
  ready_ = false;
}

PrivatePulse::~PrivatePulse() {
  if (pid_ > 0) kill(pid_, SIGTERM);
  FinishProgram(pid_, 10000);
}

QString PrivatePulse::Pactl(const QStringList& arguments) const {
  const QString output = Path(QStringLiteral("pactl.txt"));
  FinishProgram(StartProgram(QStringList{QStringLiteral("pactl")} + arguments, output), 10000);
  return QString::fromLocal8Bit(ReadBytes(output));
}

}  // namespace marvane::test
