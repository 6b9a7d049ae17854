#pragma once
// The song log: while logging is on, every song that starts playing is recorded with the date and time in a
// profile file (the "LogFile" setting, by default songs.log in the user's data folder):
//
//   [Total]
//   Entries=3                  number of the last entry written, entries numbered from 1
//   [Songs]
//   3 File=Intro               full path with the "LogPath" setting, else the file name without its extension;
//   3 Date=05.12.26            at most 80 characters; the date in the user's short date format;
//   3 Time=17:05:09            the time in the user's time format, with seconds
//
// LogSong asks for a song to be recorded: the request waits in one slot for LogTimer (500 ms, started by the
// first request of a burst and not restarted by later ones), and the song last requested is written when it
// fires. Songs started on the console's lines are recorded only with the "LogAll" setting; AutoPilot's always.
// Numbering continues from the file's "Entries", so it goes on across runs and starts at 1 in a new file.
// Each entry costs one atomic write of the file; nothing is reported to the user when it fails.
//
// UI thread only.

#include "common/clock.h"
#include "songlog/songlogentries.h"
#include "songlog/songlogfile.h"

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>

#include <functional>

namespace marvane {

// The logging settings as the console holds them at the moment of use.
struct SongLogOptions {
  bool Logging = false;
  bool LogAll = true;
  bool LogPath = false;
  QString LogFile;
};

// The default of the "LogFile" setting: songs.log in the user's data folder.
QString DefaultLogFile();

class SongLog : public QObject {
  Q_OBJECT

 public:
  using OptionsSource = std::function<SongLogOptions()>;
  using TimeSource = std::function<QDateTime()>;

  static constexpr int kLogTimerInterval = 500;

  // options is asked at each request and each write, so changes made in the Options dialog apply at once.
  // LogTimer runs on clock; an entry's date and time come from now, or from the clock when now is empty.
  // clock and locale default to the system's.
  explicit SongLog(OptionsSource options, TimeSource now = {}, QLocale locale = QLocale::system(),
                   QObject* parent = nullptr, Clock& clock = SystemClock());

  // Asks for path to be recorded: fromAutoPilot for AutoPilot's players, false for the lines' players
  // (recorded only with LogAll). Nothing happens while logging is off.
  void LogSong(const QString& path, bool fromAutoPilot);

  // The LogTimer tick: writes the waiting song as the next entry. Public so that a caller holding the last word
  // (the benchmark) can run it at once.
  void LogTimer_Timer();

  // The logging settings now.
  SongLogOptions Options() const { return options_(); }

  // For the log viewer, through the copy of the log kept for writing, so that listing the entry just written
  // costs no reading of the file: entry n of the log file.
  SongLogEntry Entry(qint32 n);
  // Clears the log: "Entries" becomes 0 and numbering starts again at 1 (the entries' keys stay, to be
  // overwritten). False when the file could not be written.
  bool ClearLog();
  // Starts reading the log file in the background, so that a write soon after does not wait for it.
  void PreloadLog();

  ClockTimer& LogTimer() { return *logTimer_; }
  // Number of the last entry written (or meant, when the write failed); 0 before the first.
  qint32 LogCount() const { return logCount_; }
  // The song waiting to be recorded.
  const QString& LogSongFile() const { return logSongFile_; }

  // The texts an entry is written with.
  static QString DateText(const QDate& date, const QLocale& locale);
  static QString TimeText(const QTime& time, const QLocale& locale);

 Q_SIGNALS:
  // An entry was written; the log viewer, when open, adds it to its list (AddOne).
  void EntryLogged(qint32 logCount);

 private:
  OptionsSource options_;
  TimeSource now_;
  QLocale locale_;
  ClockTimer* logTimer_;
  QString logSongFile_;
  qint32 logCount_ = 0;
  SongLogFile file_;
};

}  // namespace marvane
