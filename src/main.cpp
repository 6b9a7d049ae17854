// Marvane: a DJ mixing console. The program starts in Main, which refuses a second running copy, loads and
// prepares the console and shows it; the event loop then runs until ExitProgram ends it.

#include "app/application.h"
#include "app/mpris.h"
#include "app/offlinerender.h"
#include "app/programinfo.h"
#include "app/singleinstance.h"
#include "audio/audioengine.h"
#include "common/appinfo.h"
#include "common/qtdialogs.h"
#include "console/mainform.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QStringList>

#include <csignal>
#include <cstdio>

namespace {

// The command line after the program's name, taken whole: one path (spaces and all), the debug switch, or one
// of the switches --help and --version.
QString CommandLine(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments.join(QLatin1Char(' '));
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit makes a write fail (a recording then stops with a message) instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // An offline render (--render PLAYLIST OUTPUT [--fade SECONDS]) runs without a window system, a settings write
  // or a second-copy check, and ends.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (marvane::IsRenderRequest(arguments)) {
    QString error;
    const std::optional<marvane::RenderRequest> request = marvane::ParseRenderRequest(arguments, &error);
    if (!request) {
      std::fprintf(stderr, "marvane: %s\n", qPrintable(error));
      return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication renderApp(argc, argv);
    return marvane::RunRender(*request, stdout, stderr);
  }

  // --help and --version print and end here: no window system, no settings file, no second-copy check.
  if (const QString commandLine = CommandLine(argc, argv); marvane::IsInfoRequest(commandLine)) {
    QCoreApplication info(argc, argv);
    std::fputs(marvane::InfoText(commandLine).value_or(QString()).toLocal8Bit().constData(), stdout);
    return 0;
  }

  QApplication qtApp(argc, argv);
  QApplication::setApplicationName(marvane::kAppTitle);
  QApplication::setApplicationVersion(marvane::kVersion);
  QApplication::setQuitOnLastWindowClosed(false);
  // The desktop matches the windows with the launcher (and its icon) by this name.
  QGuiApplication::setDesktopFileName(marvane::AppId());
  QApplication::setWindowIcon(QIcon::fromTheme(marvane::AppId()));

  // Qt has taken its own options (-platform and the like) out of the arguments by now.
  const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));

  marvane::SettingsStore settings;
  marvane::QtDialogs dialogs;
  marvane::SingleInstance instance;
  marvane::Application app(settings, dialogs);
  if (!app.Main(commandLine, instance)) return 0;
  dialogs.SetParent(app.Form());
  // The media keys and the desktop's player controls; without a session bus the program goes on without them.
  marvane::Mpris mpris(app);
  mpris.Register(QDBusConnection::sessionBus());
  const int code = QApplication::exec();
  // For whoever watches the sound (scripts/dropout-check.sh): how often the device ran dry since the start.
  if (const marvane::AudioEngine* engine = app.Engine())
    std::fprintf(stderr, "audio: %lld output underruns\n", static_cast<long long>(engine->Underruns()));
  return code;
}
