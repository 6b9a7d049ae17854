#include "songlog/songlogfile.h"

#include "common/atomicfile.h"
#include "common/textcodec.h"

#include <QFile>

#include <sys/stat.h>

namespace marvane {

namespace {

const QString kTotal = QStringLiteral("total");
const QString kEntries = QStringLiteral("entries");
const QString kSongs = QStringLiteral("songs");

// Section and key names compare as the engine compares them: decoded, trimmed and case-folded.
QString Folded(const QByteArray& bytes) { return DecodeText(bytes).trimmed().toCaseFolded(); }

// The name of a "[name]" line, as the engine reads it; nothing for other lines.
std::optional<QString> SectionOf(const QByteArray& text) {
  const QByteArray trimmed = text.trimmed();
  if (!trimmed.startsWith('[')) return std::nullopt;
  qsizetype end = trimmed.indexOf(']');
  if (end < 0) end = trimmed.size();
  return Folded(trimmed.mid(1, end - 1));
}

bool IsAscii(const QByteArray& bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The value as the engine writes it: line breaks become blanks.
QByteArray ValueBytes(QString value) {
  value.replace(QLatin1Char('\r'), QLatin1Char(' '));
  value.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return value.toUtf8();
}

}  // namespace

SongLogFile::~SongLogFile() {
  if (preload_.valid()) preload_.wait();
}

SongLogFile::Cache SongLogFile::Read(const QString& path) {
  Cache cache;
  cache.path = path;
  // The stamp is taken before the bytes: a change in between leaves an old stamp, which the next use finds
  // out of date, so the file is read again rather than trusted.
  cache.stamp = FileStamp::Of(path);
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) cache.bytes = file.readAll();
  cache.profile = ProfileFile::Parse(cache.bytes);
  cache.layout = Scan(cache.bytes);
  return cache;
}

SongLogFile::Layout SongLogFile::Scan(const QByteArray& bytes) {
  Layout layout;
  bool newlineChosen = false;
  bool inFirstTotal = false;
  bool totalSeen = false;
  bool songsSeen = false;
  bool lastSectionIsFirstSongs = false;
  QByteArray lastText;
  const qsizetype size = bytes.size();
  qsizetype pos = 0;
  while (pos < size) {
    qsizetype end = pos;
    while (end < size && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    const qsizetype eolLength =
        end >= size ? 0 : (bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ? 2 : 1;
    if (!newlineChosen && eolLength > 0) {
      layout.newline = bytes.mid(end, eolLength);
      newlineChosen = true;
    }
    // Only lines that can be section headers, and the lines of the first Total section, are decoded; the
    // thousands of song lines are skipped with a byte test.
    const char* data = bytes.constData() + pos;
    qsizetype lead = 0;
    // The blanks QByteArray::trimmed() takes away, as the engine trims a line before looking for "[".
    while (pos + lead < end && (data[lead] == ' ' || data[lead] == '\t' || data[lead] == '\v' || data[lead] == '\f'))
      ++lead;
    const bool maybeSection = pos + lead < end && data[lead] == '[';
    if (maybeSection || inFirstTotal) {
      const QByteArray text = bytes.mid(pos, end - pos);
      if (const auto name = SectionOf(text)) {
        const bool isTotal = *name == kTotal;
        const bool isSongs = *name == kSongs;
        inFirstTotal = isTotal && !totalSeen;
        totalSeen = totalSeen || isTotal;
        lastSectionIsFirstSongs = isSongs && !songsSeen;
        songsSeen = songsSeen || isSongs;
      } else if (inFirstTotal && layout.entriesStart < 0) {
        const qsizetype eq = text.indexOf('=');
        const QByteArray key = eq > 0 ? text.left(eq).trimmed() : QByteArray();
        if (!key.isEmpty() && !key.startsWith(';') && Folded(key) == kEntries) {
          // A key in another code page would be spelled differently when written again: leave it to the engine.
          if (IsAscii(key)) {
            layout.entriesStart = pos;
            layout.entriesEnd = end;
            layout.entriesKey = key;
          } else {
            inFirstTotal = false;
          }
        }
      }
    }
    if (end + eolLength >= size) lastText = bytes.mid(pos, end - pos);
    pos = end + eolLength;
  }
  // New keys go to the end of their section, before blank lines that close it; they land at the very end of the
  // file when that section is the file's last, and the last line is not blank and is ended.
  const bool endsWithNewline = size > 0 && (bytes[size - 1] == '\n' || bytes[size - 1] == '\r');
  layout.songsClosesFile = lastSectionIsFirstSongs && endsWithNewline && !lastText.trimmed().isEmpty();
  return layout;
}

void SongLogFile::Preload(const QString& path) {
  if (preload_.valid() && preloadPath_ == path) return;
  if (cache_.path == path && cache_.stamp == FileStamp::Of(path)) return;
  if (preload_.valid()) preload_.wait();
  preloadPath_ = path;
  preload_ = std::async(std::launch::async, [path] { return Read(path); });
}

void SongLogFile::MakeCurrent(const QString& path) {
  if (preload_.valid()) {
    Cache loaded = preload_.get();
    if (loaded.path == path) cache_ = std::move(loaded);
  }
  if (cache_.path != path || !(cache_.stamp == FileStamp::Of(path))) cache_ = Read(path);
}

const ProfileFile& SongLogFile::Profile(const QString& path) {
  MakeCurrent(path);
  return cache_.profile;
}

bool SongLogFile::Splice(const std::vector<Edit>& edits, QByteArray* bytes) const {
  const Layout& layout = cache_.layout;
  if (edits.empty() || layout.entriesStart < 0 || !layout.songsClosesFile) return false;
  const Edit& entries = edits.front();
  if (entries.section.trimmed().toCaseFolded() != kTotal || entries.key.trimmed().toCaseFolded() != kEntries)
    return false;
  QByteArray appended;
  for (std::size_t i = 1; i < edits.size(); ++i) {
    const Edit& edit = edits[i];
    if (edit.section.trimmed().toCaseFolded() != kSongs || edit.key.trimmed().isEmpty()) return false;
    if (cache_.profile.Value(edit.section, edit.key).has_value()) return false;
    for (std::size_t j = 1; j < i; ++j)
      if (edits[j].key.trimmed().toCaseFolded() == edit.key.trimmed().toCaseFolded()) return false;
    appended += edit.key.trimmed().toUtf8() + '=' + ValueBytes(edit.value) + layout.newline;
  }
  const QByteArray& old = cache_.bytes;
  const QByteArray entriesLine = layout.entriesKey + '=' + ValueBytes(entries.value);
  bytes->clear();
  bytes->reserve(old.size() + entriesLine.size() + appended.size());
  bytes->append(old.constData(), layout.entriesStart)
      .append(entriesLine)
      .append(old.constData() + layout.entriesEnd, old.size() - layout.entriesEnd)
      .append(appended);
  return true;
}

bool SongLogFile::Write(const QString& path, const std::vector<Edit>& edits, QString* error) {
  MakeCurrent(path);
  QByteArray bytes;
  const bool spliced = Splice(edits, &bytes);
  for (const Edit& edit : edits) cache_.profile.SetValue(edit.section, edit.key, edit.value);
  if (!spliced) bytes = cache_.profile.Serialize();
  if (!WriteFileAtomically(path, bytes, error)) {
    cache_ = Cache();
    return false;
  }
  if (spliced) {
    cache_.layout.entriesEnd = cache_.layout.entriesStart + cache_.layout.entriesKey.size() + 1 +
                               ValueBytes(edits.front().value).size();
  } else {
    cache_.layout = Scan(bytes);
  }
  cache_.bytes = std::move(bytes);
  // Files are replaced by a rename, so even a rewrite within one clock tick gets a new inode and is noticed.
  cache_.stamp = FileStamp::Of(path);
  return true;
}

}  // namespace marvane
