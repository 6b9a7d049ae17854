#include "console/autopilot.h"

#include "appearance/butt.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/colorscheme.h"
#include "common/states.h"
#include "console/consolestate.h"
#include "console/imagebuttonrule.h"
#include "console/linetransport.h"
#include "console/mainform.h"
#include "playlist/nextsongchooser.h"
#include "playlist/pathhelpers.h"
#include "playlist/playlist.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include <QDateTime>
#include <QLabel>

namespace marvane {

const QString AutoPilot::kNextSong = QStringLiteral("Next Song:");
const QString AutoPilot::kNextSongStopped = QStringLiteral("Next Song (Stopped):");
const QString AutoPilot::kNone = QStringLiteral("None.");

namespace {
constexpr int kStallLimit = 5;
constexpr int kHighPriorityStallLimit = 40;

QString SongName(const QString& path) { return StripExtension(SplitFileName(path)); }
}  // namespace

AutoPilot::AutoPilot(MainForm& form, AudioEngine& engine, SettingsStore& settings, ConsoleState& state,
                     const ColorScheme& colors, Playlist& playlist, Dialogs& dialogs, ImageButtonRule& rule,
                     QRandomGenerator& random, QObject* parent)
    : QObject(parent), form_(form), engine_(engine), settings_(settings), state_(state), colors_(colors),
      playlist_(playlist), random_(random),
      chooser_(std::make_unique<NextSongChooser>(playlist, *this, dialogs, random)) {
  rule.Attach(form_.APlay(), [this] { APlay(); });
  rule.Attach(form_.AStop(), [this] { AStop(); });
  rule.Attach(form_.ANext(), [this] { ANext(); });
  connect(form_.ShuffButt(), &Butt::Click, this, &AutoPilot::ShuffButtClick);
  for (int i = 0; i < 2; ++i) {
    connect(&AP(i), &MediaPlayer::OpenStateChange, this,
            [this, i](int, int newState) { APOpenStateChange(i, newState); });
    connect(&AP(i), &MediaPlayer::PlayStateChange, this,
            [this, i](int, int newState) { APPlayStateChange(i, newState); });
  }
}

AutoPilot::~AutoPilot() = default;

MediaPlayer& AutoPilot::AP(int index) const { return engine_.AP(index); }
const QString& AutoPilot::NextFile() const { return chooser_->NextFile(); }

void AutoPilot::APlay() {
  if (playlist_.ListItems.isEmpty()) return;
  form_.NSLabel()->setText(kNextSong);
  if (state_.AutoPilotOn) {
    StartIt();  // skip: the current song is cut off and the next one starts
    return;
  }
  random_.seed(static_cast<quint32>(form_.ConsoleClock().Now().time().msecsSinceStartOfDay()));
  stallTicks_ = 0;
  chooser_->SetFirstPick(true);
  AP(0).Stop();
  AP(1).Stop();
  state_.AutoPilotOn = true;
  StartIt();
}

void AutoPilot::AStop() {
  SetCaptionColor(form_.CurrentSong(), colors_.TextColor);
  playWhenOpened_ = false;
  if (state_.AutoPilotOn) {
    // First press: the current song plays to its end and nothing follows.
    state_.AutoPilotOn = false;
  } else {
    // A song still opening would start by itself once open, through the player's AutoStart (AutoPilot starts its
    // songs through playWhenOpened_ and never needs it): stopped means stopped.
    for (int i = 0; i < 2; ++i) {
      AP(i).SetAutoStart(false);
      AP(i).Stop();
    }
    AP(currentAP_).SetCurrentPosition(0);
    form_.CurrentSong()->setText(kNone);
    SetCaptionColor(form_.Line(0).LineLabel, colors_.TextColor);
  }
  form_.NSLabel()->setText(kNextSongStopped);
}

void AutoPilot::StopNow() {
  state_.AutoPilotOn = false;
  AStop();
}

void AutoPilot::ANext() { chooser_->ChooseNextSong(); }

void AutoPilot::ShuffButtClick() {
  state_.SmartRandom = !state_.SmartRandom;
  form_.ShuffButt()->ColChange(state_.SmartRandom ? colors_.HiliteColor : colors_.TextColor);
  settings_.WriteSetting(keys::kRandom, state_.SmartRandom);
}

bool AutoPilot::RestoreSmartRandom() {
  const std::optional<bool> on = settings_.ReadBool(keys::kRandom, keys::defaults::kFalse);
  if (on) state_.SmartRandom = *on;
  return on.has_value();
}

void AutoPilot::StartIt() {
  if (!state_.AutoPilotOn || starting_) return;
  starting_ = true;
  AP(currentAP_).Stop();
  if (NextFile().isEmpty()) chooser_->ChooseNextSong();
  currentAP_ = 1 - currentAP_;
  MediaPlayer& player = AP(currentAP_);
  Level(player, NextFile());
  if (player.FileName() != NextFile()) {
    // The open event starts it.
    playWhenOpened_ = true;
    player.SetFileName(NextFile());
  } else if (player.OpenState() != kOpen) {
    // The early open has not finished (the song before was shorter than the open took): its open event starts it.
    playWhenOpened_ = true;
  } else {
    // Opened in advance by the early open.
    player.SetCurrentPosition(0);
    player.Play();
  }
  starting_ = false;
  stallTicks_ = 0;
}

void AutoPilot::Tick() {
  if (!state_.AutoPilotOn) return;
  MediaPlayer& current = AP(currentAP_);
  if (current.PlayState() != kPlaying) {
    ++stallTicks_;
    const int limit = state_.HighPriority ? kHighPriorityStallLimit : kStallLimit;
    if (stallTicks_ >= limit) {
      chooser_->ChooseNextSong();
      StartIt();
    }
  } else {
    stallTicks_ = 0;
  }
  // While the current player is still opening the song StartIt gave it, the song is not playing yet and its
  // length is unknown: only the stall watchdog runs.
  if (playWhenOpened_) return;

  MediaPlayer& now = AP(currentAP_);
  MediaPlayer& other = AP(1 - currentAP_);
  const double fade = state_.FadeSeconds;
  if (now.Duration() <= now.CurrentPosition() + fade + state_.SpinUp && other.FileName() != NextFile() &&
      !NextFile().isEmpty()) {
    playWhenOpened_ = false;
    form_.Fading()->show();
    other.SetAutoStart(false);
    Level(other, NextFile());
    other.Open(NextFile());
  }
  if (now.Duration() <= now.CurrentPosition() + fade && other.FileName() == NextFile() &&
      AP(0).Duration() > 2 * fade && AP(1).Duration() > 2 * fade) {
    other.Play();
    currentAP_ = 1 - currentAP_;
    SetCaptionColor(form_.CurrentSong(), colors_.HiliteColor);
  }
}

void AutoPilot::APOpenStateChange(int index, int newState) {
  if (newState != kOpen || !playWhenOpened_) return;
  SetCaptionColor(form_.CurrentSong(), colors_.TextColor);
  AP(index).Play();
  playWhenOpened_ = false;
}

void AutoPilot::Level(MediaPlayer& player, const QString& file) const {
  player.SetTrim(songTrim ? songTrim(file) : 0.0);
}

void AutoPilot::PaintLine(bool playing) {
  const quint32 color = playing ? colors_.HiliteColor : colors_.TextColor;
  SetCaptionColor(form_.Line(0).LineLabel, color);
  SetCaptionColor(form_.Line(0).TitleLabel, color);
}

void AutoPilot::APPlayStateChange(int index, int newState) {
  MediaPlayer& player = AP(index);
  player.SetAutoStart(false);
  if (newState == kPlaying) {
    form_.Fading()->hide();
    const QString file = player.FileName();
    if (logSong) logSong(file);
    form_.CurrentSong()->setText(SongName(file));
    playlist_.PlayedList.prepend(file);
    chooser_->ChooseNextSong();
  } else {
    SetCaptionColor(form_.CurrentSong(), colors_.TextColor);
  }
  if (AP(0).PlayState() != kPlaying && AP(1).PlayState() != kPlaying) {
    if (state_.AutoPilotOn) {
      StartIt();
    } else {
      PaintLine(false);
      form_.CurrentSong()->setText(kNone);
      SetCaptionColor(form_.CurrentSong(), colors_.TextColor);
    }
  } else {
    PaintLine(true);
  }
}

bool AutoPilot::AutoPilotOn() const { return state_.AutoPilotOn; }
void AutoPilot::SetAutoPilotOn(bool on) { state_.AutoPilotOn = on; }
bool AutoPilot::AutoPilotLoop() const { return state_.AutoPilotLoop; }
bool AutoPilot::SmartRandom() const { return state_.SmartRandom; }
qint16 AutoPilot::NoRep() const { return state_.NoRep; }
void AutoPilot::ShowNextSong(const QString& name) { form_.NextSong()->setText(name); }
void AutoPilot::ShowPlaylistTitle(const QString& text) { form_.Line(0).TitleLabel->setText(text); }

void AutoPilot::OpenSound(int line, const QString& path, bool autoStart) {
  MediaPlayer& player = engine_.Player(line);
  if (autoStart) player.SetAutoStart(true);
  player.SetFileName(path);
}

}  // namespace marvane
