#include "mixer/micwindow.h"

#include "common/colorscheme.h"
#include "common/dialogs.h"
#include "common/vbconvert.h"
#include "mixer/miclevel.h"
#include "mixer/mixer.h"
#include "settings/settingsstore.h"

namespace marvane {

MicWindow::MicWindow(Mixer& mixer, SettingsStore& settings, const ColorScheme& colors, Dialogs& dialogs,
                     QObject* parent)
    : QObject(parent), mixer_(mixer), settings_(settings), colors_(colors), dialogs_(dialogs) {}

MicWindow::~MicWindow() {
  // A window still open when the program's objects go away is deleted without storing anything: shutdown
  // closes it first through CloseMicWindow.
  if (window_ != nullptr) {
    window_->disconnect(this);
    delete window_;
  }
}

void MicWindow::ShowMicWindow() {
  Q_EMIT MicButtColor(colors_.HiliteColor);
  if (window_ != nullptr) {
    window_->show();
    window_->raise();
    window_->activateWindow();
    return;
  }
  if (!mixer_.MicOK()) {
    // The window unloads during its own load; its unload stores the position it was designed with.
    MicLevel::SavePosition(settings_, MicLevel::CentredPosition());
    Q_EMIT MicButtColor(colors_.TextColor);
    // Showing a window that unloaded itself fails; the click passes over that, reporting it in debug mode.
    if (debugMode_) {
      dialogs_.Message(QStringLiteral("Object was unloaded"), MessageButtons::Ok, MessageIcon::Critical,
                       QStringLiteral("MVN Error"));
    }
    return;
  }
  window_ = new MicLevel(settings_, colors_, [this](int value) { SliderChanged(value); });
  connect(window_, &MicLevel::Unloading, this, &MicWindow::Unloaded);
  Q_EMIT MicWindowOpenChanged(true);
  window_->Load(micLevelValue_);
  window_->show();
}

void MicWindow::SliderChanged(int value) {
  mixer_.ApplyMicVolume(value);
  micLevelValue_ = value;
}

void MicWindow::Unloaded() {
  Q_EMIT MicButtColor(colors_.TextColor);
  window_ = nullptr;
  Q_EMIT MicWindowOpenChanged(false);
}

void MicWindow::CloseMicWindow() {
  if (window_ != nullptr) window_->close();
}

void MicWindow::ShowAtStartup() {
  const bool showMic = ParseBoolean(settings_.ReadSetting(QStringLiteral("ShowMic"), BooleanText(false)))
                           .value_or(false);
  if (showMic && mixer_.MicOK()) ShowMicWindow();
}

void MicWindow::HideForConfirmation() {
  if (window_ != nullptr) window_->hide();
}

void MicWindow::ShowAfterConfirmation() {
  if (window_ != nullptr) window_->show();
}

void MicWindow::Colors() {
  if (window_ != nullptr) window_->Colors();
}

}  // namespace marvane
