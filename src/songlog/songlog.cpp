#include "songlog/songlog.h"

#include "common/appinfo.h"
#include "common/vbconvert.h"
#include "playlist/pathhelpers.h"

#include <cmath>
#include <limits>

namespace marvane {

namespace {

const QString kTotalSection = QStringLiteral("Total");
const QString kEntriesKey = QStringLiteral("Entries");
const QString kSongsSection = QStringLiteral("Songs");
// A stored value is read back as at most 79 characters and written as at most 80, as every profile value of the
// program is.
constexpr qsizetype kReadLimit = 79;
constexpr qsizetype kWriteLimit = 80;

QString SongKey(qint32 number, const char* word) {
  return QString::number(number) + QLatin1Char(' ') + QLatin1String(word);
}

// The number after the one in "Entries". Text that is not a number, or a number beyond 32 bits, starts again
// at 1.
qint32 NextEntryNumber(const ProfileFile& profile) {
  const QString text = profile.Value(kTotalSection, kEntriesKey).value_or(QString()).left(kReadLimit);
  const double next = LeadingNumber(text) + 1;
  if (!std::isfinite(next) || next < std::numeric_limits<qint32>::min() ||
      next > std::numeric_limits<qint32>::max())
    return 1;
  return static_cast<qint32>(RoundHalfEven(next));
}

}  // namespace

QString DefaultLogFile() { return DataFolder() + QStringLiteral("songs.log"); }

SongLog::SongLog(OptionsSource options, TimeSource now, QLocale locale, QObject* parent, Clock& clock)
    : QObject(parent),
      options_(std::move(options)),
      now_(std::move(now)),
      locale_(std::move(locale)),
      logTimer_(clock.CreateTimer(this)) {
  if (!now_) now_ = [&clock] { return clock.Now(); };
  logTimer_->setObjectName(QStringLiteral("LogTimer"));
  logTimer_->setInterval(kLogTimerInterval);
  logTimer_->setSingleShot(true);
  connect(logTimer_, &ClockTimer::timeout, this, &SongLog::LogTimer_Timer);
}

void SongLog::LogSong(const QString& path, bool fromAutoPilot) {
  const SongLogOptions options = options_();
  if (!options.Logging) return;
  if (!fromAutoPilot && !options.LogAll) return;
  logSongFile_ = path;
  // A large log is read while the timer runs, not when it fires.
  if (!options.LogFile.isEmpty()) file_.Preload(options.LogFile);
  // A burst of requests is written once, 500 ms after its first request, with the song asked for last.
  if (!logTimer_->isActive()) logTimer_->start();
}

void SongLog::LogTimer_Timer() {
  logTimer_->stop();
  const SongLogOptions options = options_();
  if (!options.Logging || options.LogFile.isEmpty()) return;

  logCount_ = NextEntryNumber(file_.Profile(options.LogFile));
  const QString song = options.LogPath ? logSongFile_ : SplitFileName(StripExtension(logSongFile_));
  const QDateTime now = now_();
  // The count first, then the entry's keys: the order a new log shows them in.
  const std::vector<SongLogFile::Edit> edits = {
      {kTotalSection, kEntriesKey, QString::number(logCount_)},
      {kSongsSection, SongKey(logCount_, "File"), song.left(kWriteLimit)},
      {kSongsSection, SongKey(logCount_, "Date"), DateText(now.date(), locale_).left(kWriteLimit)},
      {kSongsSection, SongKey(logCount_, "Time"), TimeText(now.time(), locale_).left(kWriteLimit)}};
  if (file_.Write(options.LogFile, edits)) Q_EMIT EntryLogged(logCount_);
}

SongLogEntry SongLog::Entry(qint32 n) {
  const QString path = options_().LogFile;
  if (path.isEmpty()) return {};
  return SongLogEntryAt(file_.Profile(path), n);
}

bool SongLog::ClearLog() {
  const QString path = options_().LogFile;
  if (path.isEmpty()) return false;
  return file_.Write(path, {{kTotalSection, kEntriesKey, QStringLiteral("0")}});
}

void SongLog::PreloadLog() {
  const QString path = options_().LogFile;
  if (!path.isEmpty()) file_.Preload(path);
}

QString SongLog::DateText(const QDate& date, const QLocale& locale) {
  return locale.toString(date, QLocale::ShortFormat);
}

QString SongLog::TimeText(const QTime& time, const QLocale& locale) {
  // The locale's long time format is the one with seconds; it also names the time zone ("t"), which a log of
  // local times does not need.
  const QString format = locale.timeFormat(QLocale::LongFormat);
  QString withoutZone;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('t')) continue;
    withoutZone.append(c);
  }
  return locale.toString(time, withoutZone.simplified());
}

}  // namespace marvane
