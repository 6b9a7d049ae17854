#include "app/application.h"

#include "app/errortrap.h"
#include "app/progresswindow.h"
#include "app/settingkeys.h"
#include "app/settingsstore.h"
#include "app/singleinstance.h"
#include "app/upgradeimport.h"
#include "appearance/butt.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/twips.h"
#include "common/appinfo.h"
#include "common/dialogs.h"
#include "console/mainform.h"

#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace marvane {

const QString Application::kExitQuestion = QStringLiteral("Are you sure you want to exit Marvane?");

Application::Application(SettingsStore& settings, Dialogs& dialogs, QObject* parent)
    : QObject(parent), settings_(settings), dialogs_(dialogs) {
  endProgram = [] { QCoreApplication::exit(0); };
}

Application::~Application() = default;

void Application::SetProgressVisible(bool visible) {
  if (sp2_) sp2_->setVisible(visible);
}

void Application::Progress(const QString& action, int statWidth) {
  if (sp2_) sp2_->Progress(action, statWidth);
  if (onProgress) onProgress(action, statWidth);
}

void Application::ProgressBar(int statWidth) {
  if (sp2_) sp2_->SetStatWidth(statWidth);
  if (onProgress) onProgress(sp2_ ? sp2_->ActionText() : QString(), statWidth);
}

bool Application::Main(const QString& commandLine, SingleInstance& instance) {
  debugMode_ = false;
  if (!instance.Claim()) return false;
  connect(&instance, &SingleInstance::ActivationRequested, this, [this] {
    if (!form_) return;
    form_->showNormal();
    form_->raise();
    form_->activateWindow();
  });

  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  sp2_ = std::make_unique<ProgressWindow>();
  Progress(QStringLiteral("Initializing..."), 100);
  sp2_->show();

  // Only the exact switch counts: "/d" or "/D", nothing longer, no minus sign.
  debugMode_ = commandLine == QLatin1String("/d") || commandLine == QLatin1String("/D");
  closingDown_ = false;
  EditorOpen = OptionsOpen = AboutOpen = ViewerOpen = MicWindowOpen = false;

  // Loading the main window: it starts disabled, with AutoPilot off.
  form_ = std::make_unique<MainForm>();
  form_->setEnabled(false);
  form_->closeRequest = [this] { return closingDown_ || ExitProgram(true); };
  state_.AutoPilotOn = false;
  connect(form_->ExitButton(), &Butt::Click, this, [this] { ExitProgram(true); });

  random_.seed(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));

  if (settings_.ReadBool(keys::kFirstRun, keys::defaults::kTrue).value_or(false))
    ImportOldSettings(settings_, dialogs_, [this] { SetProgressVisible(true); });

  ProgressBar(320);
  GetDefaults();

  Progress(QStringLiteral("Changing Colors..."), 2200);
  form_->ColorChange(colors_);

  ProgressBar(2300);
  QGuiApplication::changeOverrideCursor(Qt::BusyCursor);
  form_->AlignSliderBacks();

  Progress(QStringLiteral("Preparing to show..."), 2595);
  ShowMainWindow();
  return true;
}

void Application::ShowMainWindow() {
  sp2_->close();
  sp2_.reset();
  form_->show();
  form_->setEnabled(true);
  QGuiApplication::restoreOverrideCursor();
  form_->Timer1()->start();
}

bool Application::ExitProgram(bool confirm) {
  if (confirm) {
    // (The microphone window is hidden while the question is up, and comes back on No.)
    if (dialogs_.Message(kExitQuestion, MessageButtons::YesNo, MessageIcon::Question) != MessageResult::Yes)
      return false;
  }
  state_.Logging = false;
  state_.AutoPilotOn = false;

  closingDown_ = true;
  settings_.WriteSetting(keys::kShowMic, MicWindowOpen);
  if (form_) {
    const QPoint at = form_->pos();
    settings_.WriteSetting(keys::kMainTop, static_cast<float>(PixelsToTwips(at.y())));
    settings_.WriteSetting(keys::kMainLeft, static_cast<float>(PixelsToTwips(at.x())));
  }

  // Close every window, the last opened first.
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
    if ((*it)->isVisible()) (*it)->close();
  }
  if (endProgram) endProgram();
  return true;
}

}  // namespace marvane
