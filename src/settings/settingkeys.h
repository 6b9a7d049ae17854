#pragma once
// The keys of the settings store and their defaults. Keys are matched without regard to letter case.
// Keys with an index are the key text, one space and the index in decimal ("Slider 3", "Fade Mode 0").

#include <QString>

namespace marvane::keys {

inline const QString kLogFile = QStringLiteral("LogFile");
inline const QString kLogAll = QStringLiteral("LogAll");
inline const QString kLogPath = QStringLiteral("LogPath");
inline const QString kLogging = QStringLiteral("Logging");
inline const QString kStatHelp = QStringLiteral("StatHelp");
inline const QString kPriority = QStringLiteral("Priority");
inline const QString kToolTips = QStringLiteral("ToolTips");
inline const QString kTextColor = QStringLiteral("Text Color");
inline const QString kLEDColor = QStringLiteral("LED Color");
inline const QString kLineColor = QStringLiteral("Line Color");
inline const QString kBackColor = QStringLiteral("Back Color");
inline const QString kHiliteColor = QStringLiteral("Hilite Color");
inline const QString kFadeSpeed = QStringLiteral("FadeSpeed");
inline const QString kPath = QStringLiteral("Path");
inline const QString kListPath = QStringLiteral("ListPath");
inline const QString kNoRep = QStringLiteral("NoRep");
inline const QString kFadeSeconds = QStringLiteral("FadeSeconds");
inline const QString kSpinUp = QStringLiteral("SpinUp");
inline const QString kRemain = QStringLiteral("Remain");
inline const QString kASOF = QStringLiteral("ASOF");
inline const QString kAutoReset = QStringLiteral("AutoReset");
inline const QString kRandom = QStringLiteral("Random");
inline const QString kPlayList = QStringLiteral("PlayList");
inline const QString kShowLines = QStringLiteral("Show Lines");
inline const QString kFace = QStringLiteral("Face");
inline const QString kBackPic = QStringLiteral("BackPic");
inline const QString kMainTop = QStringLiteral("Main Top");
inline const QString kMainLeft = QStringLiteral("Main Left");
inline const QString kShowMic = QStringLiteral("ShowMic");
inline const QString kFirstRun = QStringLiteral("First Run");
inline const QString kSongPath = QStringLiteral("SongPath");
inline const QString kListLeft = QStringLiteral("ListLeft");
inline const QString kListTop = QStringLiteral("ListTop");
inline const QString kMicTop = QStringLiteral("Mic Top");
inline const QString kMicLeft = QStringLiteral("Mic Left");
inline const QString kMicOnTop = QStringLiteral("MicOnTop");
inline const QString kViewWidth = QStringLiteral("ViewWidth");
inline const QString kViewHeight = QStringLiteral("ViewHeight");
inline const QString kViewLeft = QStringLiteral("ViewLeft");
inline const QString kViewTop = QStringLiteral("ViewTop");
inline const QString kViewState = QStringLiteral("ViewState");
inline const QString kLastTextLog = QStringLiteral("LastTextLog");
inline const QString kSaveDates = QStringLiteral("SaveDates");
inline const QString kSaveTimes = QStringLiteral("SaveTimes");
inline const QString kOutputDevice = QStringLiteral("Output Device");
inline const QString kBufferFrames = QStringLiteral("Buffer Frames");
inline const QString kSampleRate = QStringLiteral("Sample Rate");
inline const QString kLevelSongs = QStringLiteral("Level Songs");

inline QString Slider(int n) { return QStringLiteral("Slider %1").arg(n); }
inline QString Loop(int n) { return QStringLiteral("Loop %1").arg(n); }
inline QString File(int n) { return QStringLiteral("File %1").arg(n); }
inline QString FadeMode(int n) { return QStringLiteral("Fade Mode %1").arg(n); }

// Defaults, as text, the way the store hands them to the readers.
namespace defaults {
inline const QString kTrue = QStringLiteral("True");
inline const QString kFalse = QStringLiteral("False");
inline const QString kStatHelp = QStringLiteral("1");
inline const QString kPriority = QStringLiteral("300");
inline const QString kSlider = QStringLiteral("80");
inline const QString kFadeMode = QStringLiteral("1");
inline const QString kTextColor = QStringLiteral("14737632");
inline const QString kLEDColor = QStringLiteral("65535");
inline const QString kLineColor = QStringLiteral("4210752");
inline const QString kBackColor = QStringLiteral("0");
inline const QString kHiliteColor = QStringLiteral("255");
inline const QString kFadeSpeed = QStringLiteral("50");
inline const QString kNoRep = QStringLiteral("10");
inline const QString kFadeSeconds = QStringLiteral("3");
inline const QString kSpinUp = QStringLiteral("5");
inline const QString kFace = QStringLiteral("Sample");
inline const QString kViewWidth = QStringLiteral("7275");
inline const QString kViewHeight = QStringLiteral("5295");
inline const QString kViewState = QStringLiteral("0");
inline const QString kSaveDates = QStringLiteral("1");
inline const QString kSaveTimes = QStringLiteral("1");
inline const QString kOutputDevice = QStringLiteral("Default");
inline const QString kBufferFrames = QStringLiteral("1024");
inline const QString kSampleRate = QStringLiteral("44100");
inline const QString kLevelSongs = QStringLiteral("False");
}  // namespace defaults

}  // namespace marvane::keys
