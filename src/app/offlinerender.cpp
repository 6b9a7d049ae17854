#include "app/offlinerender.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "audio/offlineclock.h"
#include "audio/offlineoutput.h"
#include "audio/soundfilewriter.h"
#include "common/colorscheme.h"
#include "common/dialogs.h"
#include "common/simulatedclock.h"
#include "console/autopilot.h"
#include "console/consolestate.h"
#include "console/imagebuttonrule.h"
#include "console/mainform.h"
#include "console/maintimer.h"
#include "console/mixrecording.h"
#include "playlist/nextsongchooser.h"
#include "playlist/pathhelpers.h"
#include "playlist/playlist.h"
#include "playlist/playlistfile.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

namespace marvane {

namespace {

const QString kRenderSwitch = QStringLiteral("--render");
const QString kFadeSwitch = QStringLiteral("--fade");
constexpr int kRate = 44100;
// Simulated time moves in steps this long: the end of the last song is found within one step.
constexpr std::int64_t kStepMs = 10;
// Rendered frames gather this long before they are written.
constexpr int kWriteFrames = kRate;

// Messages of the console's rules go to the terminal; no question is ever asked during a render.
class TerminalDialogs : public Dialogs {
 public:
  explicit TerminalDialogs(std::FILE* err) : err_(err) {}
  MessageResult Message(const QString& text, MessageButtons buttons, MessageIcon, const QString&) override {
    std::fprintf(err_, "%s\n", qPrintable(text));
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageResult::Yes
                                                                                          : MessageResult::Ok;
  }
  std::optional<QString> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> SaveFile(const FileDialogRequest&) override { return std::nullopt; }

 private:
  std::FILE* err_;
};

QString SongName(const QString& path) { return StripExtension(SplitFileName(path)); }

}  // namespace

bool IsRenderRequest(const QStringList& arguments) { return !arguments.isEmpty() && arguments[0] == kRenderSwitch; }

std::optional<RenderRequest> ParseRenderRequest(const QStringList& arguments, QString* error) {
  RenderRequest request;
  QStringList paths;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == kFadeSwitch) {
      bool ok = false;
      const int fade = i + 1 < arguments.size() ? arguments[i + 1].toInt(&ok) : 0;
      if (!ok || fade < 0 || fade > 60) {
        *error = QStringLiteral("--fade takes a whole number of seconds from 0 to 60");
        return std::nullopt;
      }
      request.fadeSeconds = fade;
      ++i;
    } else {
      paths << arguments[i];
    }
  }
  if (paths.size() != 2) {
    *error = QStringLiteral("usage: marvane --render PLAYLIST OUTPUT [--fade SECONDS]");
    return std::nullopt;
  }
  request.playlist = paths[0];
  request.output = paths[1];
  if (!SoundFileWriter::KnownKind(request.output)) {
    *error = QStringLiteral("the output must be a .wav or .flac file: ") + request.output;
    return std::nullopt;
  }
  return request;
}

int RunRender(const RenderRequest& request, std::FILE* out, std::FILE* err, RenderResult* result) {
  QElapsedTimer wall;
  wall.start();
  // The settings are only read: FadeSeconds (unless --fade gives it) and SpinUp.
  const SettingsStore settings;
  ConsoleState state;
  state.FadeSeconds = request.fadeSeconds ? static_cast<qint16>(*request.fadeSeconds)
                                          : settings.ReadInt16(keys::kFadeSeconds, keys::defaults::kFadeSeconds)
                                                .value_or(keys::defaults::kFadeSeconds.toShort());
  state.SpinUp = settings.ReadInt16(keys::kSpinUp, keys::defaults::kSpinUp).value_or(keys::defaults::kSpinUp.toShort());
  // Looping keeps the list-order choice from ending AutoPilot before the last entry plays; the render ends it
  // itself once the last song has started.
  state.AutoPilotLoop = true;

  Playlist playlist;
  const QFileInfo listFile(request.playlist);
  if (!LoadPlaylist(playlist, listFile.absolutePath() + QLatin1Char('/'), listFile.fileName(), true)) {
    std::fprintf(err, "Couldn't load the playlist %s.\n", qPrintable(request.playlist));
    return 1;
  }

  SimulatedClock clock(QDateTime::currentDateTime());
  AudioEngine engine(std::make_unique<OfflineOutput>(kRate), &clock);

  // Every entry is opened once first (on a manual line's player): what does not open is named and left out, and
  // the lengths give the progress its end.
  QStringList good;
  double listSeconds = 0.0;
  MediaPlayer& probe = engine.Player(1);
  probe.SetAutoStart(false);
  for (const QString& entry : playlist.ListItems) {
    if (!QFileInfo(entry).isFile()) {
      std::fprintf(out, "Skipped (missing): %s\n", qPrintable(entry));
      continue;
    }
    probe.Open(entry);
    probe.FinishOpen(10000);
    if (probe.OpenState() != kOpen) {
      std::fprintf(out, "Skipped (cannot be played: %s): %s\n", qPrintable(probe.LastError()), qPrintable(entry));
      continue;
    }
    good << entry;
    listSeconds += probe.Duration();
  }
  if (good.isEmpty()) {
    std::fprintf(err, "Nothing in %s can be played.\n", qPrintable(request.playlist));
    return 1;
  }
  playlist.ListItems = good;
  playlist.ListItemCount = static_cast<qint32>(good.size());

  SoundFileWriter file;
  QString error;
  if (!file.Open(request.output, kRate, false, &error)) {
    std::fprintf(err, "Cannot write %s: %s\n", qPrintable(request.output), qPrintable(error));
    return 1;
  }

  // The console's AutoPilot, main timer and window (never shown) on the simulated clock. Its settings store is a
  // scratch file nobody reads: the render writes no setting.
  QTemporaryDir scratch;
  SettingsStore scratchSettings(scratch.filePath(QStringLiteral("render.ini")));
  MainForm form(clock);
  ColorScheme colors;
  TerminalDialogs dialogs(err);
  ImageButtonRule rule;
  QRandomGenerator random;
  AutoPilot autoPilot(form, engine, scratchSettings, state, colors, playlist, dialogs, rule, random);
  MainTimer mainTimer(form, engine, state, [&autoPilot] { return autoPilot.CurrentAP(); });
  mainTimer.autoPilotTick = [&autoPilot] { autoPilot.Tick(); };

  const int count = static_cast<int>(good.size());
  int started = 0;
  int failed = 0;
  for (int i = 0; i < 2; ++i) {
    MediaPlayer& player = engine.AP(i);
    QObject::connect(&player, &MediaPlayer::PlayStateChange, &form, [&, i](int, int newState) {
      if (newState != kPlaying) return;
      ++started;
      const double at = static_cast<double>(clock.ElapsedMs()) / 1000.0;
      std::fprintf(out, "%s  %3.0f%%  %d/%d  %s\n", qPrintable(MixRecording::RunningTime(at)),
                   listSeconds > 0 ? std::min(100.0, 100.0 * at / listSeconds) : 0.0, started, count,
                   qPrintable(SongName(engine.AP(i).FileName())));
      std::fflush(out);
      // The last song has started: like a first press of AStop, it plays to its end and nothing follows.
      if (started + failed >= count && state.AutoPilotOn) autoPilot.AStop();
    });
    QObject::connect(&player, &MediaPlayer::OpenStateChange, &form, [&, i](int oldState, int newState) {
      if (oldState != kOpening || newState != kClosed) return;
      ++failed;
      std::fprintf(out, "Skipped (cannot be played: %s): %s\n", qPrintable(engine.AP(i).LastError()),
                   qPrintable(engine.AP(i).FileName()));
      if (started + failed >= count && state.AutoPilotOn) autoPilot.AStop();
    });
  }

  std::vector<float> pending;
  pending.reserve(static_cast<std::size_t>(kWriteFrames + 8192) * 2);
  bool writeFailed = false;
  auto flush = [&] {
    if (!writeFailed && !pending.empty() &&
        !file.Write(pending.data(), static_cast<int>(pending.size() / 2), &error)) {
      std::fprintf(err, "Cannot write %s: %s\n", qPrintable(request.output), qPrintable(error));
      writeFailed = true;
    }
    pending.clear();
  };
  OfflineClock offline(clock, engine);
  offline.rendered = [&](const float* frames, int frameCount) {
    pending.insert(pending.end(), frames, frames + static_cast<std::ptrdiff_t>(frameCount) * 2);
    if (pending.size() >= static_cast<std::size_t>(kWriteFrames) * 2) flush();
  };

  form.Timer1()->setInterval(state.TimerInterval);
  form.Timer1()->start();
  autoPilot.Chooser().ChooseNextSong();
  autoPilot.APlay();
  // However the songs go, the render ends: at most the list's length and a stall's worth per entry more.
  const auto limitMs = static_cast<std::int64_t>((listSeconds + 10.0 * count + 60.0) * 1000.0);
  auto playing = [&engine] {
    for (int i = 0; i < 2; ++i)
      if (engine.AP(i).PlayState() == kPlaying || engine.AP(i).OpenState() == kOpening) return true;
    return false;
  };
  while (!writeFailed && clock.ElapsedMs() < limitMs && (state.AutoPilotOn || playing())) {
    clock.Advance(kStepMs);
    if (clock.ElapsedMs() % 1000 == 0) QCoreApplication::processEvents();
  }
  flush();
  const std::int64_t frames = file.FramesWritten();
  file.Close();
  if (writeFailed) return 1;
  const double seconds = static_cast<double>(frames) / kRate;
  if (result != nullptr) *result = {seconds, started};
  const double wallSeconds = std::max(1e-3, static_cast<double>(wall.elapsed()) / 1000.0);
  std::fprintf(out, "Rendered %s (%d songs, %d s overlaps) into %s in %.1f s, %.0f times real time.\n",
               qPrintable(MixRecording::RunningTime(seconds)), started, static_cast<int>(state.FadeSeconds),
               qPrintable(request.output), wallSeconds, seconds / wallSeconds);
  return started > 0 ? 0 : 1;
}

}  // namespace marvane
