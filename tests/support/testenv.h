#pragma once
// Shared helpers for the test programs. Each program gets private settings and data folders (XDG_CONFIG_HOME and
// XDG_DATA_HOME point into a temporary folder made by the test main), so no test touches the user's real files.

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

#include <functional>
#include <ostream>

namespace marvane::test {

// Every test writes its texts as u"..."_s.
using namespace Qt::StringLiterals;

// Folder holding the real-world sample files beside the project, or an empty string when it is absent.
QString TestDataDir();
// Where a test may leave artefacts for a person to look at (pictures): the build folder.
QString ArtefactDir();

// Whole-file helpers. WriteBytes returns path, and fails the test when it cannot write.
QString WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

// Processes events until done() is true or timeoutMs passes. Returns done().
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);

// Starts a program (argument 0 is looked up in PATH) without forking the test process, its standard output into
// the file output when given; -1 on failure.
pid_t StartProgram(const QStringList& arguments, const QString& output = QString());
// Waits up to timeoutMs for it to end (killing it after that); its exit code, or -1.
int FinishProgram(pid_t pid, int timeoutMs);

// The reference tone: 441 Hz at half scale, exactly 100 samples a cycle at 44.1 kHz.
inline const QString kTone441 = QStringLiteral("0.5*sin(2*PI*441*t)");
// Makes name in dir with the ffmpeg tool from a lavfi expression (the same on each of channels) and the encoder
// arguments, for example "-c:a pcm_f32le". Its path, or an empty string on failure.
QString MakeFile(const QString& dir, const QString& name, const QString& expression, double seconds,
                 const char* encoder, int rate = 44100, int channels = 2);

// A private PulseAudio daemon with a null sink (test_sink) and a null source (test_source), in a temporary folder
// of its own, for the end-to-end tests; it ends with the object. While it lives, ALSA's default device and mixer
// (ALSA_CONFIG_PATH) and the PulseAudio tools (PULSE_SERVER) reach it.
class PrivatePulse {
 public:
  // Why no daemon can run here (a missing program or ALSA plugin), or an empty string.
  static QString Missing();
  PrivatePulse();
  ~PrivatePulse();
  bool Ready() const { return ready_; }
  QString Path(const QString& name) const { return folder_.filePath(name); }
  // What pactl prints for the arguments.
  QString Pactl(const QStringList& arguments) const;
  // Kills the daemon as a crash would (its clients see the server vanish), and starts it again on the same
  // socket; Start returns once it answers.
  void Kill();
  bool Start();

 private:
  QTemporaryDir folder_{QStringLiteral("/tmp/marvane-pulse-XXXXXX")};
  pid_t pid_ = -1;
  bool ready_ = false;
};

}  // namespace marvane::test

// Skips the current test with a clear message when the shared sample folder is missing.
#define MARVANE_REQUIRE_TESTDATA()                                                                    \
  do {                                                                                                \
    if (::marvane::test::TestDataDir().isEmpty())                                                     \
      GTEST_SKIP() << "shared test data folder not found beside the project (../shared/testdata)";    \
  } while (0)

// Readable Qt values in GoogleTest's failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << '{';
  for (qsizetype i = 0; i < list.size(); ++i) *out << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
  *out << '}';
}
QT_END_NAMESPACE
