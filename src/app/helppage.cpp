#include "app/helppage.h"

#include "common/appinfo.h"
#include "common/dialogs.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace marvane {

const QString HelpPage::kHint =
    QStringLiteral("You may have to double-click the help file in MVN's folder in order to view help.");

HelpPage::HelpPage(Dialogs& dialogs)
    : path(DefaultPath()), openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      dialogs_(dialogs) {}

QString HelpPage::DefaultPath() { return ProgramFolder() + QStringLiteral("mvnhelp.html"); }

void HelpPage::Open() {
  QString trouble;
  if (!QFileInfo(path).isFile()) {
    trouble = QStringLiteral("The help page %1 was not found.").arg(path);
  } else if (!openUrl || !openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()))) {
    trouble = QStringLiteral("No program could be started to show the help page %1.").arg(path);
  }
  if (!trouble.isEmpty()) dialogs_.Message(trouble + QLatin1Char('\n') + kHint);
}

}  // namespace marvane
