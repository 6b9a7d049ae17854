#include "songlog/songlogentries.h"

#include "common/vbconvert.h"
#include "settings/inivalue.h"

#include <cmath>

namespace marvane {

namespace {

const QString kTotal = QStringLiteral("Total");
const QString kEntries = QStringLiteral("Entries");
const QString kSongs = QStringLiteral("Songs");

QString Read(const ProfileFile& log, const QString& section, const QString& key) {
  return log.Value(section, key).value_or(QString()).left(kIniReadLimit);
}

// The field of an entry that a folded key names ("12 date"), with the entry's number; the number is written in
// decimal without leading zeros, as the keys are looked up.
QString SongLogEntry::* FieldOf(const QString& foldedKey, qint64* number) {
  const qsizetype size = foldedKey.size();
  qsizetype i = 0;
  qint64 n = 0;
  while (i < size && i < 10 && foldedKey[i] >= QLatin1Char('0') && foldedKey[i] <= QLatin1Char('9')) {
    n = n * 10 + (foldedKey[i].unicode() - u'0');
    ++i;
  }
  if (i == 0 || foldedKey[0] == QLatin1Char('0') || i >= size || foldedKey[i] != QLatin1Char(' ')) return nullptr;
  const QStringView word = QStringView(foldedKey).mid(i + 1);
  *number = n;
  if (word == u"file") return &SongLogEntry::Song;
  if (word == u"date") return &SongLogEntry::Date;
  if (word == u"time") return &SongLogEntry::Time;
  return nullptr;
}

}  // namespace

qint32 SongLogEntryCount(const ProfileFile& log) {
  const double count = std::nearbyint(LeadingNumber(Read(log, kTotal, kEntries)));
  if (!std::isfinite(count) || count < 1) return 0;
  return count > kMaxSongLogEntries ? kMaxSongLogEntries : static_cast<qint32>(count);
}

SongLogEntry SongLogEntryAt(const ProfileFile& log, qint32 n) {
  const QString number = QString::number(n);
  return {Read(log, kSongs, number + QStringLiteral(" Date")), Read(log, kSongs, number + QStringLiteral(" Time")),
          Read(log, kSongs, number + QStringLiteral(" File"))};
}

std::vector<SongLogEntry> ListSongLog(const ProfileFile& log) {
  const qint32 count = SongLogEntryCount(log);
  std::vector<SongLogEntry> entries(static_cast<std::size_t>(count));
  // Of duplicate keys the first counts, as for a look-up: a field is filled once.
  std::vector<unsigned char> filled(entries.size(), 0);
  log.ForEachValue(kSongs, [&](const QString& foldedKey, const QString& value) {
    qint64 n = 0;
    QString SongLogEntry::* field = FieldOf(foldedKey, &n);
    if (field == nullptr || n < 1 || n > count) return;
    const unsigned char bit = field == &SongLogEntry::Date ? 1 : field == &SongLogEntry::Time ? 2 : 4;
    unsigned char& done = filled[static_cast<std::size_t>(n - 1)];
    if (done & bit) return;
    done |= bit;
    entries[static_cast<std::size_t>(n - 1)].*field = value.left(kIniReadLimit);
  });
  return entries;
}

QByteArray SongLogText(const std::vector<SongLogEntry>& entries, bool dates, bool times) {
  static const QString kSeparator = QStringLiteral(" | ");
  QString text;
  qsizetype size = 0;
  for (const SongLogEntry& entry : entries)
    size += (dates ? entry.Date.size() + 3 : 0) + (times ? entry.Time.size() + 3 : 0) + entry.Song.size() + 2;
  text.reserve(size);
  for (const SongLogEntry& entry : entries) {
    if (dates) text.append(entry.Date).append(kSeparator);
    if (times) text.append(entry.Time).append(kSeparator);
    text.append(entry.Song).append(QLatin1String("\r\n"));
  }
  return text.toUtf8();
}

}  // namespace marvane
