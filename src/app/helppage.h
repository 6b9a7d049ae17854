#pragma once
// The help page: mvnhelp.html in the program's folder of shipped resources, opened in the desktop's browser by
// HelpButt, the "Help" menu item and the About window's picture. A page that is missing, or a desktop that
// cannot open it, gives a message box naming the trouble, followed by kHint; nothing else changes.
//
// UI thread only.

#include <QString>
#include <QUrl>

#include <functional>

namespace marvane {

class Dialogs;

class HelpPage {
 public:
  static const QString kHint;

  explicit HelpPage(Dialogs& dialogs);

  // ProgramFolder() + "mvnhelp.html".
  static QString DefaultPath();

  void Open();

  // The page's path; DefaultPath() unless changed.
  QString path;
  // Hands a URL to the desktop; QDesktopServices::openUrl unless replaced (tests watch it here).
  std::function<bool(const QUrl&)> openUrl;

 private:
  Dialogs& dialogs_;
};

}  // namespace marvane
