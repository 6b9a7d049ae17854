// Soak benchmark: a night of AutoPilot, run faster than real time. The real program is started as main() starts it
// (Application, its main window on Qt's offscreen platform, AutoPilot, the song log), with an offline output and
// a simulated clock (SimulatedClock, driven through OfflineClock): the main timer, the log timer, the crossfader's
// timers, the players' poll timers and the rendered sound all keep the clock's time. AutoPilot plays a list of
// 1,000 entries with SmartRandom and logging on:
//   - 600 tones of 5 to 400 seconds, written into a temporary folder (32 files, each under several names);
//   - 240 real files of ../shared/testdata, read in place (three entries each; the broken ones among them are
//     broken entries);
//   - 80 broken files (empty, garbage, a header and nothing else, text), made in the temporary folder;
//   - 80 missing files.
// Prints, as `name: value unit` lines:
//   simulated_hours               the simulated time AutoPilot ran
//   songs_played                  AutoPilot players that started playing
//   log_entries                   entries the song log holds at the end
//   log_entries_missing           songs that played for at least a second and have no entry in the log with their
//                                 name and the time of their start (within the log timer's 500 ms, to the
//                                 second); a song followed by the next start within 500 ms may be merged into
//                                 that start's entry, as the log timer's rule says, and is not counted
//   warm_up_hours                 when rss_start_mb was taken: once each AutoPilot player has played a file of
//                                 each kind (tone, wave, MPEG layer 1, 2 and 3, RealAudio, MIDI), since each
//                                 player's decoder thread keeps its own allocator arena, which holds on to the
//                                 largest blocks its decoders ever needed (a MIDI file's SoundFont is several
//                                 megabytes); at least 10 simulated minutes, at most a quarter of the run
//   rss_start_mb, rss_end_mb, rss_growth_mb
//                                 resident memory after the warm-up, at the end, and the difference
//   max_silence_between_songs_ms  the longest run of silent output samples (below -60 dBFS) from the end of one
//                                 song's file to the start of the next song, with no bad entry tried since the
//                                 song before it started (silence inside a file is the song's own)
//   max_silence_after_bad_entries_ms
//                                 the same where bad entries were tried in between (each costs the stall
//                                 watchdog's 1.5 s)
//   longest_bad_run               the most entries in a row that AutoPilot tried and could not open (missing
//                                 files are passed over inside one choice, at no time, and are not counted)
//   wall_seconds                  real time of the whole run
//
// Usage: bench_soak [simulated hours, default 24]. With MARVANE_SOAK_TRACE set, every open and play state change
// of the AutoPilot players goes to standard error with its simulated time.

#include "support/benchutil.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "app/application.h"
#include "app/singleinstance.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "audio/offlineclock.h"
#include "audio/offlineoutput.h"
#include "common/dialogs.h"
#include "common/simulatedclock.h"
#include "console/autopilot.h"
#include "mixer/mixerbackend.h"
#include "playlist/pathhelpers.h"
#include "settings/profilefile.h"
#include "settings/settingsstore.h"
#include "songlog/songlog.h"

namespace {

using namespace marvane;

constexpr int kRate = 44100;
constexpr int kToneRate = 11025;
constexpr int kToneFiles = 32;
constexpr int kToneEntries = 600;
constexpr int kRealCopies = 3;
constexpr int kBrokenEntries = 80;
constexpr int kMissingEntries = 80;
constexpr std::int64_t kStepMs = 250;
constexpr std::int64_t kEventsEveryMs = 1000;
constexpr float kSilence = 0.001f;  // -60 dBFS

using marvane::bench::Print;

double RssMb() {
  long pages = 0;
  long resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// A 16-bit mono wave file of a sine tone at -10 dBFS.
bool WriteTone(const QString& path, double seconds, double hz) {
  const auto frames = static_cast<quint32>(std::lround(seconds * kToneRate));
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(44 + frames * 2));
  auto little = [&bytes](quint32 v, int size) {
    for (int i = 0; i < size; ++i) bytes.append(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto u32 = [&little](quint32 v) { little(v, 4); };
  auto u16 = [&little](quint32 v) { little(v, 2); };
  bytes.append("RIFF");
  u32(36 + frames * 2);
  bytes.append("WAVEfmt ");
  u32(16), u16(1), u16(1), u32(kToneRate), u32(kToneRate * 2), u16(2), u16(16);
  bytes.append("data");
  u32(frames * 2);
  for (quint32 i = 0; i < frames; ++i) {
    const double value = 0.316 * std::sin(2.0 * M_PI * hz * i / kToneRate);
    u16(static_cast<quint16>(static_cast<qint16>(std::lround(value * 32767.0))));
  }
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The entries of the list, shuffled; empty when a file could not be made.
QStringList MakeEntries(const QString& dir, const QString& testData) {
  QStringList entries;
  QDir().mkpath(dir + QStringLiteral("/tones"));
  for (int i = 0; i < kToneFiles; ++i) {
    const double seconds = 5.0 + 395.0 * i / (kToneFiles - 1);
    const QString tone = dir + QStringLiteral("/tones/tone%1.wav").arg(i, 2, 10, QLatin1Char('0'));
    if (!WriteTone(tone, seconds, 220.0 + 20.0 * i)) return {};
    for (int k = i; k < kToneEntries; k += kToneFiles) {
      const QString name = dir + QStringLiteral("/tone%1_%2.wav").arg(i, 2, 10, QLatin1Char('0')).arg(k);
      if (!QFile::link(tone, name)) return {};
      entries << name;
    }
  }
  QStringList real;
  for (const char* folder : {"wav", "mp3", "mp2", "mp1", "real", "midi"}) {
    const QDir audio(testData + QStringLiteral("/audio/") + QLatin1String(folder));
    for (const QString& name : audio.entryList(QDir::Files, QDir::Name)) real << audio.filePath(name);
  }
  for (int copy = 0; copy < kRealCopies; ++copy) entries << real;
  QRandomGenerator garbage(11);
  QByteArray noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(garbage.bounded(256));
  const std::vector<std::pair<QString, QByteArray>> broken = {
      {QStringLiteral("empty.mp3"), {}},
      {QStringLiteral("noise.mp3"), noise},
      {QStringLiteral("noise.wav"), QByteArray("RIFF\x10\0\0\0WAVE", 12) + noise},
      // A 16-bit stereo header whose data chunk is empty.
      {QStringLiteral("header.wav"),
       QByteArray("RIFF$\0\0\0WAVEfmt \x10\0\0\0\1\0\2\0D\xac\0\0\x10\xb1\2\0\4\0\x10\0data\0\0\0\0", 44)},
      {QStringLiteral("text.mp2"), QByteArray("This is not a sound file.\n")},
      {QStringLiteral("noise.mid"), QByteArray("MThd") + noise},
      {QStringLiteral("noise.ra"), QByteArray(".ra\xfd") + noise},
      {QStringLiteral("noise.mp1"), noise}};
  QDir().mkpath(dir + QStringLiteral("/broken"));
  for (int k = 0; k < kBrokenEntries; ++k) {
    const auto& [name, bytes] = broken[k % broken.size()];
    const QString file = dir + QStringLiteral("/broken/") + name;
    if (k < static_cast<int>(broken.size()) && !WriteBytes(file, bytes)) return {};
    const QString entry = dir + QStringLiteral("/bad%1_").arg(k) + name;
    if (!QFile::link(file, entry)) return {};
    entries << entry;
  }
  for (int k = 0; k < kMissingEntries; ++k) entries << dir + QStringLiteral("/missing/gone%1.mp3").arg(k);
  QRandomGenerator order(7);
  std::shuffle(entries.begin(), entries.end(), order);
  return entries;
}

// Message boxes answered as a DJ would (Yes, OK), and counted.
class BenchDialogs : public Dialogs {
 public:
  MessageResult Message(const QString& text, MessageButtons buttons, MessageIcon, const QString&) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    ++count;
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageResult::Yes
                                                                                          : MessageResult::Ok;
  }
  std::optional<QString> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
  int count = 0;
};

// A sound card whose mixer has a master and a microphone volume and takes every level.
class BenchMixer : public MixerBackend {
 public:
  int Open(quint32& handle) override {
    handle = 1;
    return 0;
  }
  int GetLineControl(quint32, MixerLineType line, MixerControlType, MixerControl& control) override {
    control = {line == MixerLineType::Speakers ? 1u : 2u, QStringLiteral("Master"), 0, 65535};
    return 0;
  }
  int SetControlDetails(quint32, quint32, qint32) override { return 0; }
};

struct Start {
  std::int64_t ms = 0;
  std::int64_t endMs = -1;  // when it stopped; -1 while it plays
  QString file;
};

// What the run saw: the songs' starts and ends, bad entries, and the silences of the output.
class Observer {
 public:
  void Watch(MediaPlayer& player, int index, const SimulatedClock& clock) {
    players_[index] = &player;
    QObject::connect(&player, &MediaPlayer::PlayStateChange, [this, &player, index, &clock](int oldState, int newState) {
      if (qEnvironmentVariableIsSet("MARVANE_SOAK_TRACE"))
        std::fprintf(stderr, "%.3f AP(%d) play %d->%d %s pos %.3f dur %.3f\n", clock.ElapsedMs() / 1000.0, index,
                     oldState, newState, qPrintable(player.FileName()), player.CurrentPosition(), player.Duration());
      if (newState == kPlaying) {
        kindsPlayed_[index].insert(Kind(player.FileName()));
        positions_[index] = player.CurrentPosition();
        CloseSilence();
        starts.push_back({clock.ElapsedMs(), -1, player.FileName()});
        playing_[&player] = starts.size() - 1;
        failuresAtLastStart_ = failures_;
        badRun_ = 0;
      } else if (auto it = playing_.find(&player); it != playing_.end()) {
        starts[it->second].endMs = clock.ElapsedMs();
        playing_.erase(it);
      }
    });
    QObject::connect(&player, &MediaPlayer::OpenStateChange, [this, &player, index, &clock](int oldState, int newState) {
      if (qEnvironmentVariableIsSet("MARVANE_SOAK_TRACE"))
        std::fprintf(stderr, "%.3f AP(%d) open %d->%d %s %s\n", clock.ElapsedMs() / 1000.0, index, oldState, newState,
                     qPrintable(player.FileName()), qPrintable(player.LastError()));
      if (oldState != kOpening || newState != kClosed || player.LastError().isEmpty()) return;
      ++failures_;
      longestBadRun = std::max(longestBadRun, ++badRun_);
    });
  }

  // The output of one stretch, just rendered. Its silent samples are silence between songs unless an AutoPilot
  // player played its file through the whole stretch (a file's own silence is part of the song). A stretch is
  // at most one poll of the players long (10 ms), so a file that ended inside it is seen in the same stretch.
  void Rendered(const float* frames, int count) {
    bool inSong = false;
    for (std::size_t i = 0; i < players_.size(); ++i) {
      const double position = players_[i]->CurrentPosition();
      if (players_[i]->PlayState() == kPlaying && position - positions_[i] >= (count - 0.5) / kRate) inSong = true;
      positions_[i] = position;
    }
    for (int i = 0; i < count; ++i) {
      const bool audible = std::max(std::fabs(frames[2 * i]), std::fabs(frames[2 * i + 1])) >= kSilence;
      if (audible) {
        CloseSilence();
      } else if (!inSong) {
        if (silentFrames_++ == 0) failuresAtSilence_ = failuresAtLastStart_;
      }
    }
  }

  // Each player has played a file of every kind.
  bool Warm() const {
    return std::all_of(kindsPlayed_.begin(), kindsPlayed_.end(), [](const auto& kinds) { return kinds.size() == 7; });
  }

  std::vector<Start> starts;
  int longestBadRun = 0;
  double maxSilenceMs = 0.0;
  double maxSilenceAfterBadMs = 0.0;

 private:
  void CloseSilence() {
    if (silentFrames_ > 0 && heardSound_) {
      const double ms = 1000.0 * static_cast<double>(silentFrames_) / kRate;
      const bool afterBad = failures_ > failuresAtSilence_;
      double& max = afterBad ? maxSilenceAfterBadMs : maxSilenceMs;
      if (ms > max && !afterBad)
        std::fprintf(stderr, "silence of %.0f ms before %s\n", ms,
                     qPrintable(starts.empty() ? QString() : starts.back().file));
      max = std::max(max, ms);
    }
    silentFrames_ = 0;
    heardSound_ = true;
  }

  // A tone, or the folder of a real file (wav, mp3, mp2, mp1, real, midi).
  static QString Kind(const QString& path) {
    const QStringList parts = path.split(QLatin1Char('/'));
    if (parts.size() < 2 || !path.contains(QLatin1String("/audio/"))) return QStringLiteral("tone");
    return parts[parts.size() - 2];
  }

  std::map<const MediaPlayer*, std::size_t> playing_;
  std::array<std::set<QString>, 2> kindsPlayed_;
  std::array<const MediaPlayer*, 2> players_{};
  std::array<double, 2> positions_{};  // each player's position after the last stretch
  int failures_ = 0;
  int failuresAtLastStart_ = 0;
  int failuresAtSilence_ = 0;
  int badRun_ = 0;
  std::int64_t silentFrames_ = 0;
  bool heardSound_ = false;
};

// Songs that played for at least a second, started more than 500 ms before the next start and a second before
// the end of the run, without an entry of their name and start time, in order, in the log.
int MissingLogEntries(const std::vector<Start>& starts, const ProfileFile& log, const QDateTime& origin,
                      std::int64_t endMs) {
  const QLocale locale = QLocale::system();
  const int entries = log.Value(QStringLiteral("Total"), QStringLiteral("Entries")).value_or(QString()).toInt();
  auto value = [&log](int n, const char* word) {
    return log.Value(QStringLiteral("Songs"), QStringLiteral("%1 %2").arg(n).arg(QLatin1String(word)))
        .value_or(QString());
  };
  int missing = 0;
  int checked = 0;
  int next = 1;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const Start& s = starts[i];
    const std::int64_t end = s.endMs < 0 ? endMs : s.endMs;
    if (end - s.ms < 1000 || s.ms > endMs - 1000) continue;
    if (i + 1 < starts.size() && starts[i + 1].ms - s.ms < SongLog::kLogTimerInterval) continue;
    ++checked;
    const QString name = SplitFileName(StripExtension(s.file)).left(80);
    QStringList stamps;
    for (std::int64_t ms = s.ms - 500; ms <= s.ms + 1000; ms += 250) {
      const QDateTime at = origin.addMSecs(ms);
      stamps << SongLog::DateText(at.date(), locale) + QLatin1Char(' ') + SongLog::TimeText(at.time(), locale);
    }
    bool found = false;
    for (int n = next; n <= entries && n < next + 20 && !found; ++n) {
      if (value(n, "File") == name && stamps.contains(value(n, "Date") + QLatin1Char(' ') + value(n, "Time"))) {
        found = true;
        next = n + 1;
      }
    }
    if (!found) {
      ++missing;
      std::fprintf(stderr, "not in the log: %s started at %.3f s\n", qPrintable(name), s.ms / 1000.0);
    }
  }
  std::fprintf(stderr, "%d songs looked for in the log\n", checked);
  return missing;
}

}  // namespace

int main(int argc, char** argv) {
  const auto wallStart = std::chrono::steady_clock::now();
  const double hours = argc > 1 ? std::max(0.01, std::atof(argv[1])) : 24.0;
  QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/marvane-soak-XXXXXX"));
  if (!dir.isValid()) return 1;
  // The program's own folders, private to the run; the platform without a screen unless one is asked for.
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
    qputenv(name, (dir.path() + QLatin1Char('/') + QLatin1String(name)).toUtf8());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qapp(argc, argv);

  const QString testData = QStringLiteral(MARVANE_TESTDATA_DIR);
  if (!QDir(testData + QStringLiteral("/audio")).exists()) {
    // The list is built around the shared sample files; without them there is nothing to soak.
    std::fprintf(stderr, "bench_soak: skipped, the sample files (%s/audio) are missing\n", qPrintable(testData));
    return 0;
  }
  const QStringList entries = MakeEntries(dir.path(), testData);
  if (entries.isEmpty()) {
    std::fprintf(stderr, "bench_soak: could not write the files of the list in %s\n", qPrintable(dir.path()));
    return 1;
  }
  const QString list = dir.filePath(QStringLiteral("soak.m3u"));
  if (!WriteBytes(list, entries.join(QLatin1Char('\n')).toUtf8() + '\n')) return 1;
  const QString logFile = dir.filePath(QStringLiteral("songs.log"));
  const QString ini = QStringLiteral("[1.40]\nFirst Run=False\nLogging=True\nRandom=True\nLoop 0=True\n"
                                     "PlayList=%1\nLogFile=%2\n")
                          .arg(list, logFile);
  if (!WriteBytes(dir.filePath(QStringLiteral("Marvane.ini")), ini.toUtf8())) return 1;

  const QDateTime origin(QDate(2026, 12, 5), QTime(20, 0, 0));
  SimulatedClock clock(origin);
  SettingsStore settings(dir.filePath(QStringLiteral("Marvane.ini")));
  BenchDialogs dialogs;
  Devices devices;
  devices.output = [](const OutputChoice&, QString*) { return std::make_unique<OfflineOutput>(kRate); };
  devices.mixer = [] { return std::make_unique<BenchMixer>(); };
  devices.clock = &clock;
  SingleInstance instance(QUuid::createUuid().toString(QUuid::WithoutBraces));
  Observer observer;
  std::int64_t endMs = 0;
  {
    Application app(settings, dialogs, std::move(devices));
    app.endProgram = [] {};
    if (!app.Main(QString(), instance)) return 1;
    OfflineClock offline(clock, *app.Engine());
    offline.rendered = [&observer](const float* frames, int count) { observer.Rendered(frames, count); };
    for (int i = 0; i < 2; ++i) observer.Watch(app.Engine()->AP(i), i, clock);
    app.AutoPilotParts()->APlay();

    const auto totalMs = static_cast<std::int64_t>(std::llround(hours * 3600.0 * 1000.0));
    const std::int64_t minWarmUpMs = std::min<std::int64_t>(totalMs / 4, 10 * 60 * 1000);
    std::int64_t warmUpMs = -1;
    double rssStart = RssMb();
    while (clock.ElapsedMs() < totalMs) {
      const std::int64_t before = clock.ElapsedMs();
      clock.Advance(std::min(kStepMs, totalMs - before));
      const std::int64_t now = clock.ElapsedMs();
      if (now / kEventsEveryMs != before / kEventsEveryMs) QCoreApplication::processEvents();
      if (warmUpMs < 0 && now >= minWarmUpMs && (observer.Warm() || now >= totalMs / 4)) {
        warmUpMs = now;
        rssStart = RssMb();
      }
      if (now / 3600000 != before / 3600000)
        std::fprintf(stderr, "%lld simulated hours, %zu songs, %.1f MB\n", static_cast<long long>(now / 3600000),
                     observer.starts.size(), RssMb());
    }
    endMs = clock.ElapsedMs();
    const double rssEnd = RssMb();
    if (!app.State().AutoPilotOn) std::fprintf(stderr, "AutoPilot was off at the end\n");
    QCoreApplication::processEvents();

    const ProfileFile log = ProfileFile::Load(logFile);
    Print("simulated_hours", static_cast<double>(endMs) / 3600000.0, "h");
    Print("songs_played", static_cast<double>(observer.starts.size()), "count");
    Print("log_entries",
          log.Value(QStringLiteral("Total"), QStringLiteral("Entries")).value_or(QStringLiteral("0")).toDouble(),
          "count");
    Print("log_entries_missing", MissingLogEntries(observer.starts, log, origin, endMs), "count");
    Print("warm_up_hours", static_cast<double>(std::max<std::int64_t>(warmUpMs, 0)) / 3600000.0, "h");
    Print("rss_start_mb", rssStart, "MB");
    Print("rss_end_mb", rssEnd, "MB");
    Print("rss_growth_mb", rssEnd - rssStart, "MB");
    Print("max_silence_between_songs_ms", observer.maxSilenceMs, "ms");
    Print("max_silence_after_bad_entries_ms", observer.maxSilenceAfterBadMs, "ms");
    Print("longest_bad_run", observer.longestBadRun, "count");
    app.ExitProgram(false);
  }
  Print("wall_seconds", std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count(), "s");
  return 0;
}
