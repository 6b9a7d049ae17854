// Start-up's reading of the settings: every stored choice is read in a fixed order and applied to the console,
// while the progress window reports each stage. A value that cannot be converted skips just that step (shown
// first in debug mode), and the target keeps its initial value.

#include "app/application.h"
#include "app/playlistflow.h"
#include "app/progresswindow.h"
#include "appearance/face.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/twips.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/appinfo.h"
#include "common/errortrap.h"
#include "common/vbconvert.h"
#include "console/autopilot.h"
#include "console/console.h"
#include "console/linecontrols.h"
#include "console/linetransport.h"
#include "console/mainform.h"
#include "console/statushelp.h"
#include "playlist/pathhelpers.h"
#include "playlist/playlist.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace marvane {

namespace {

// Reads one typed value; a failed conversion raises the trap and leaves target unchanged.
template <typename T, typename Reader>
bool Read(ErrorTrap& trap, T& target, Reader reader) {
  const auto value = reader();
  if (!value) {
    trap.Raise(kTypeMismatch);
    return false;
  }
  target = static_cast<T>(*value);
  return true;
}

// A colour setting, a signed 32-bit number kept with its bits as they are (so -1 stays 0xFFFFFFFF and is
// refused later by the controls, as an invalid colour is).
void ReadColor(SettingsStore& store, ErrorTrap& trap, const QString& key, const QString& def, quint32& target) {
  const auto value = store.ReadInt32(key, def);
  if (!value) {
    trap.Raise(kTypeMismatch);
    return;
  }
  target = static_cast<quint32>(*value);
}

}  // namespace

void Application::ApplyLineSettings(int n, ErrorTrap& trap) {
  // The slider value is the numeric start of the stored text, passed on as a 16-bit whole number.
  const double slider = settings_.ReadLeadingNumber(keys::Slider(n), keys::defaults::kSlider);
  if (const auto whole = ToInt16(slider))
    form_->Line(n).Slider->SetValue(*whole);
  else
    trap.Raise(kOverflow);

  LineControls& lines = console_->Lines();
  if (n >= 1 && n <= 6) {
    if (const auto loop = settings_.ReadBool(keys::Loop(n), keys::defaults::kFalse))
      lines.RestoreLoop(n, *loop);
    else
      trap.Raise(kTypeMismatch);
    // The last file of the line, unless the command line already opened one on line 1. It is not checked
    // for existence: a missing file simply fails to open.
    if (!(n == 1 && OpenedKind() == PlaylistFlow::kOpenedSound)) console_->Transport().RestoreFile(n);
  }
  if (n <= 6) {
    if (const auto mode = settings_.ReadDouble(keys::FadeMode(n), keys::defaults::kFadeMode)) {
      // Only the exact values 0, 1 and 2 name a mode; anything else leaves the line as the window was designed.
      if (*mode == 0.0 || *mode == 1.0 || *mode == 2.0) lines.RestoreFadeMode(n, static_cast<FadeModeCode>(*mode));
    } else {
      trap.Raise(kTypeMismatch);
    }
  }
}

void Application::GetDefaults() {
  ErrorTrap trap(dialogs_, debugMode_, QStringLiteral("Get Defaults"),
                 [this](bool visible) { SetProgressVisible(visible); });

  // 1. The song log.
  state_.LogFile = settings_.ReadSetting(keys::kLogFile, DataFolder() + QStringLiteral("songs.log"));
  Read(trap, state_.LogAll, [&] { return settings_.ReadBool(keys::kLogAll, keys::defaults::kTrue); });
  Read(trap, state_.LogPath, [&] { return settings_.ReadBool(keys::kLogPath, keys::defaults::kFalse); });
  Read(trap, state_.Logging, [&] { return settings_.ReadBool(keys::kLogging, keys::defaults::kFalse); });

  // 2. Status help shows only when the value equals 1.
  if (const auto statHelp = settings_.ReadDouble(keys::kStatHelp, keys::defaults::kStatHelp))
    form_->Status()->setVisible(*statHelp == 1.0);
  else
    trap.Raise(kTypeMismatch);

  // 3. Timer mode: exactly 1 is high priority.
  if (const auto priority = settings_.ReadDouble(keys::kPriority, keys::defaults::kPriority)) {
    state_.HighPriority = *priority == 1.0;
    state_.TimerInterval = state_.HighPriority ? 1 : 300;
    form_->Timer1()->setInterval(state_.TimerInterval);
  } else {
    trap.Raise(kTypeMismatch);
  }

  // 4. Tool tips.
  if (Read(trap, state_.ToolTipsOn, [&] { return settings_.ReadBool(keys::kToolTips, keys::defaults::kTrue); })) {
    if (state_.ToolTipsOn)
      statusHelp_->ToolsOn();
    else
      statusHelp_->ToolsOff();
  }

  // 5 and 6. The lines: sliders, loop switches and fade modes.
  Progress(QStringLiteral("Opening Files..."), 500);
  for (int n = 0; n <= 7; ++n) {
    ApplyLineSettings(n, trap);
    ProgressBar(600 + n * 100);
  }

  // 7 and 8. Colours.
  Progress(QStringLiteral("Getting Settings..."), sp2_ ? sp2_->StatWidth() : 1300);
  ReadColor(settings_, trap, keys::kTextColor, keys::defaults::kTextColor, colors_.TextColor);
  ReadColor(settings_, trap, keys::kLEDColor, keys::defaults::kLEDColor, colors_.LEDColor);
  ReadColor(settings_, trap, keys::kLineColor, keys::defaults::kLineColor, colors_.LineColor);
  ReadColor(settings_, trap, keys::kBackColor, keys::defaults::kBackColor, colors_.BackColor);
  ReadColor(settings_, trap, keys::kHiliteColor, keys::defaults::kHiliteColor, colors_.HiliteColor);

  // 9. Auto-fade speed.
  if (const auto speed = settings_.ReadInt16(keys::kFadeSpeed, keys::defaults::kFadeSpeed))
    form_->MiniCrossfader1()->SetSpeed(*speed);
  else
    trap.Raise(kTypeMismatch);
  ProgressBar(1400);

  // 10. Folders and AutoPilot timing.
  console_->Transport().RestorePath();
  playlist_->ListPath = settings_.ReadSetting(keys::kListPath, DefaultDocumentsFolder());
  Read(trap, state_.NoRep, [&] { return settings_.ReadInt16(keys::kNoRep, keys::defaults::kNoRep); });
  Read(trap, state_.FadeSeconds, [&] { return settings_.ReadInt16(keys::kFadeSeconds, keys::defaults::kFadeSeconds); });
  Read(trap, state_.SpinUp, [&] { return settings_.ReadInt16(keys::kSpinUp, keys::defaults::kSpinUp); });
  ProgressBar(1600);

  // 11. Display and crossfader switches, SmartRandom.
  Read(trap, state_.RemainTime, [&] { return settings_.ReadBool(keys::kRemain, keys::defaults::kTrue); });
  Read(trap, state_.ASOF, [&] { return settings_.ReadBool(keys::kASOF, keys::defaults::kFalse); });
  Read(trap, state_.AutoReset, [&] { return settings_.ReadBool(keys::kAutoReset, keys::defaults::kTrue); });
  if (!autoPilot_->RestoreSmartRandom()) trap.Raise(kTypeMismatch);
  ProgressBar(1700);

  // 12. AutoPilot's loop switch (its players' play counts are left alone).
  if (Read(trap, state_.AutoPilotLoop, [&] { return settings_.ReadBool(keys::Loop(0), keys::defaults::kFalse); }))
    console_->Lines().RestoreLoop(0, state_.AutoPilotLoop);

  // 13 to 15. The last playlist (unless the command line opened one), its name on line 0.
  Progress(QStringLiteral("Opening Playlist..."), 1850);
  flow_->StartupLoad();

  // 16. Dividing lines.
  if (const auto showLines = settings_.ReadBool(keys::kShowLines, keys::defaults::kTrue))
    form_->ApplyShowLines(*showLines);
  else
    trap.Raise(kTypeMismatch);

  // 17 and 18. The Face.
  state_.FacePath = UserFacesFolder() + settings_.ReadSetting(keys::kFace, keys::defaults::kFace) + QLatin1Char('/');
  Read(trap, state_.BackPicOn, [&] { return settings_.ReadBool(keys::kBackPic, keys::defaults::kFalse); });
  if (state_.BackPicOn) {
    Progress(QStringLiteral("Loading Face..."), 1900);
    faces_->LoadFace(state_.FacePath, true);
  }

  // 19 and 20. Position of the main window.
  ProgressBar(2000);
  Progress(QStringLiteral("Showing Main Window..."), 2000);
  PlaceMainWindow(trap);
}

void Application::PlaceMainWindow(ErrorTrap& trap) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenTwips = screen ? PixelsToTwips(screen->availableGeometry().size()) : QSize();
  const QSize windowTwips(MainForm::kWidthTwips, MainForm::kHeightTwips);
  const QString centredTop = QString::number((screenTwips.height() - windowTwips.height()) / 2);
  const QString centredLeft = QString::number((screenTwips.width() - windowTwips.width()) / 2);
  const auto top = settings_.ReadDouble(keys::kMainTop, centredTop);
  const auto left = settings_.ReadDouble(keys::kMainLeft, centredLeft);
  if (!top || !left) {
    trap.Raise(kTypeMismatch);
    return;
  }
  form_->move(TwipsToPixels(*left), TwipsToPixels(*top));
}

}  // namespace marvane
