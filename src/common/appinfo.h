#pragma once
// Names and folders of the application that every subsystem shares.

#include <QString>

namespace marvane {

// The application title: message boxes without a title of their own carry it.
inline const QString kAppTitle = QStringLiteral("Marvane");
// The program's version, as the About window shows it.
inline const QString kVersion = QStringLiteral("1.40");
// Settings section of this version, and of the previous version read once by the upgrade import.
inline const QString kSettingsSection = QStringLiteral("1.40");
inline const QString kOldSettingsSection = QStringLiteral("1.30");
// Every main window caption begins with this text.
inline const QString kCaptionPrefix = QStringLiteral("MVN v.1.40 - ");

// The application's id on the desktop (reverse-DNS): the name of its .desktop file, metainfo file and icon.
QString AppId();

// The settings file: $XDG_CONFIG_HOME/Marvane/Marvane.ini (default ~/.config/Marvane/Marvane.ini).
QString SettingsFilePath();

// The per-user data folder for everything the program writes or the user edits (song log, Faces):
// $XDG_DATA_HOME/Marvane/ (default ~/.local/share/Marvane/). Ends with "/".
QString DataFolder();

// The read-only folder of shipped resources (help page, bundled Faces): share/marvane beside the program's bin/
// folder, installed or in the build folder. Ends with "/".
QString ProgramFolder();

// Where file dialogs start when the program would start them in its own folder: the user's Music folder,
// or home when there is none. Ends with "/".
QString DefaultDocumentsFolder();

}  // namespace marvane
