#include "app/programinfo.h"

#include "app/helppage.h"
#include "common/appinfo.h"

#include <QFileInfo>

namespace marvane {

namespace {
const QString kHelpSwitch = QStringLiteral("--help");
const QString kVersionSwitch = QStringLiteral("--version");
}  // namespace

bool IsInfoRequest(const QString& commandLine) { return commandLine == kHelpSwitch || commandLine == kVersionSwitch; }

std::optional<QString> InfoText(const QString& commandLine) {
  if (commandLine == kVersionSwitch) {
    return kAppTitle + QLatin1Char(' ') + kVersion +
           QStringLiteral("\nCopyright: the Marvane developers. License GPLv3+: GNU GPL version 3 or later.\n"
                          "This is free software: you are free to change and redistribute it. "
                          "There is NO WARRANTY.\n");
  }
  if (commandLine != kHelpSwitch) return std::nullopt;
  const QString manual = HelpPage::DefaultPath();
  return QStringLiteral(
             "Usage: marvane [PATH | /d | --help | --version]\n"
             "       marvane --render PLAYLIST OUTPUT [--fade SECONDS]\n"
             "A DJ mixing console: seven playback lines, a crossfader, and AutoPilot, which plays a playlist\n"
             "unattended.\n"
             "\n"
             "  PATH       a sound file to open and play on line 1, or a playlist (.mvn, .m3u, .pls) to play\n"
             "             with AutoPilot; the whole command line is one path, spaces and all\n"
             "  /d         debug mode: failures are shown in message boxes\n"
             "  --help     print this help and exit\n"
             "  --version  print the version and exit\n"
             "  --render   play PLAYLIST in list order through AutoPilot, faster than real time, into OUTPUT\n"
             "             (.wav or .flac), and exit; --fade sets the overlap (default: the FadeSeconds setting);\n"
             "             missing and broken entries are skipped and named; nothing is shown or saved\n"
             "\n"
             "Settings: ") +
         SettingsFilePath() + QStringLiteral("\nSong log and Faces: ") + DataFolder() +
         QStringLiteral("\nManual: ") + manual +
         (QFileInfo::exists(manual) ? QString() : QStringLiteral(" (missing)")) + QLatin1Char('\n');
}

}  // namespace marvane
