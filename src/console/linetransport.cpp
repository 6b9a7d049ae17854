#include "console/linetransport.h"

#include "appearance/butt.h"
#include "appearance/colorvalue.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/appinfo.h"
#include "common/colorscheme.h"
#include "common/dialogs.h"
#include "common/states.h"
#include "console/consolestate.h"
#include "console/imagebutton.h"
#include "console/imagebuttonrule.h"
#include "console/mainform.h"
#include "playlist/filekinds.h"
#include "playlist/pathhelpers.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>

namespace marvane {

const QString LineTransport::kSoundFilter =
    QStringLiteral("Sound Files|*.wav;*.mp3;*.mp2;*.mp1;*.ra;*.rm;*.ram;*.mid|All Files|*.*");
const QString LineTransport::kErrorLoadingFile = QStringLiteral("Error loading file.");

void SetCaptionColor(QWidget* label, quint32 color) {
  if (!label || !IsColorValue(color)) return;
  QPalette p = label->palette();
  const QColor wanted = ColorFromValue(color);
  if (p.color(QPalette::WindowText) == wanted) return;
  p.setColor(QPalette::WindowText, wanted);
  label->setPalette(p);
}

LineTransport::LineTransport(MainForm& form, AudioEngine& engine, SettingsStore& settings, ConsoleState& state,
                             const ColorScheme& colors, Dialogs& dialogs, ImageButtonRule& rule, QObject* parent)
    : QObject(parent), form_(form), engine_(engine), settings_(settings), state_(state), colors_(colors),
      dialogs_(dialogs) {
  for (int n = 0; n < MainForm::kLineCount; ++n) rule.Attach(form_.Line(n).OpenW, [this, n] { FileOpen(n); });
  for (int n = 1; n < MainForm::kLineCount; ++n) {
    rule.Attach(form_.Line(n).PlayButt, [this, n] { PlayButt(n); });
    rule.Attach(form_.Line(n).StopButt, [this, n] { StopButt(n); });
    MediaPlayer& player = engine_.Player(n);
    connect(&player, &MediaPlayer::OpenStateChange, this, [this, n] { PlayerOpenStateChange(n); });
    connect(&player, &MediaPlayer::PlayStateChange, this,
            [this, n](int, int newState) { PlayerPlayStateChange(n, newState); });
  }
  connect(form_.StopAll(), &Butt::Click, this, &LineTransport::StopAllClick);
}

bool LineTransport::HasSoundExtension(const QString& path) { return IsSoundFileName(path); }

void LineTransport::FileOpen(int n) {
  if (n == 0) {
    if (openPlaylist) openPlaylist();
    return;
  }
  FileDialogRequest request;
  request.title = QStringLiteral("Open a file on line %1").arg(n);
  request.folder = state_.SoundPath;
  request.filter = kSoundFilter;
  const std::optional<QString> chosen = dialogs_.OpenFile(request);
  if (!chosen) {
    QGuiApplication::restoreOverrideCursor();
    return;
  }
  const QString path = *chosen;
  QString folder;
  SplitFileName(path, &folder);
  state_.SoundPath = folder;
  settings_.WriteSetting(keys::kPath, folder);

  if (QFileInfo(path).isFile() && HasSoundExtension(path)) {
    MediaPlayer& player = engine_.Player(n);
    player.SetAutoStart(false);
    player.Open(path);
    return;
  }
  QGuiApplication::restoreOverrideCursor();
  dialogs_.Message(kErrorLoadingFile);
}

void LineTransport::RestorePath() { state_.SoundPath = settings_.ReadSetting(keys::kPath, DefaultDocumentsFolder()); }

void LineTransport::RestoreFile(int n) {
  const QString file = settings_.ReadSetting(keys::File(n), QString());
  if (!file.isEmpty()) engine_.Player(n).Open(file);
}

void LineTransport::PlayButt(int n) {
  // Play always starts the file from its beginning.
  MediaPlayer& player = engine_.Player(n);
  player.SetCurrentPosition(0);
  player.Play();
}

void LineTransport::StopButt(int n) {
  MediaPlayer& player = engine_.Player(n);
  player.Stop();
  player.SetCurrentPosition(0);
}

void LineTransport::StopAllClick() {
  for (int n = 1; n < MainForm::kLineCount; ++n) {
    MediaPlayer& player = engine_.Player(n);
    if (player.PlayState() == kPlaying) {
      player.Stop();
      player.SetCurrentPosition(0);
    }
  }
  state_.AutoPilotOn = false;
  engine_.AP(0).Stop();
  engine_.AP(1).Stop();
}

void LineTransport::PlayerOpenStateChange(int n) {
  const QString file = engine_.Player(n).FileName();
  form_.Line(n).TitleLabel->setText(StripExtension(SplitFileName(file)));
  settings_.WriteSetting(keys::File(n), file);
}

void LineTransport::PaintLineLabels(int n, bool playing) {
  const quint32 color = playing ? colors_.HiliteColor : colors_.TextColor;
  SetCaptionColor(form_.Line(n).LineLabel, color);
  SetCaptionColor(form_.Line(n).TitleLabel, color);
}

void LineTransport::PlayerPlayStateChange(int n, int newState) {
  if (newState == kPlaying) {
    PaintLineLabels(n, true);
    if (state_.LogAll && logSong) logSong(engine_.Player(n).FileName());
  } else if (newState == kStopped) {
    PaintLineLabels(n, false);
  }
}

}  // namespace marvane
