// Marvane: a DJ mixing console. The program starts in Main, which refuses a second running copy, loads and
// prepares the console and shows it; the event loop then runs until ExitProgram ends it.

#include "app/application.h"
#include "settings/settingsstore.h"
#include "app/singleinstance.h"
#include "common/appinfo.h"
#include "common/qtdialogs.h"
#include "console/mainform.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv) {
  QApplication qtApp(argc, argv);
  QApplication::setApplicationName(marvane::kAppTitle);
  QApplication::setQuitOnLastWindowClosed(false);

  // The command line is taken whole: one path (spaces and all) or the debug switch.
  const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));

  marvane::SettingsStore settings;
  marvane::QtDialogs dialogs;
  marvane::SingleInstance instance;
  marvane::Application app(settings, dialogs);
  if (!app.Main(commandLine, instance)) return 0;
  dialogs.SetParent(app.Form());
  return QApplication::exec();
}
