#include "playlist/playlistfile.h"

#include "common/atomicfile.h"
#include "common/textcodec.h"
#include "common/vbconvert.h"
#include "playlist/pathhelpers.h"
#include "settings/profilefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cmath>

namespace marvane {

namespace {

const QString kPlsSection = QStringLiteral("playlist");
const QString kPlsCountKey = QStringLiteral("NumberOfEntries");
constexpr qint32 kLineProgressEvery = 25;
constexpr qint32 kPlsProgressEvery = 50;
// A ".pls" value keeps 80 characters when written and gives back 79 when read, as the program always did.
constexpr qsizetype kPlsWriteLimit = 80;
constexpr qsizetype kPlsReadLimit = 79;

enum class Kind { Lines, Pls, Unknown };

Kind KindForLoading(const QString& name) {
  const QString ending = name.right(3).toLower();
  if (ending == QLatin1String("pls")) return Kind::Pls;
  if (ending == QLatin1String("m3u") || ending == QLatin1String("mvn")) return Kind::Lines;
  return Kind::Unknown;
}

// The key as written, and as looked up: keys match without regard to letter case, and a name that is already
// in lower case is matched without being folded again.
QString PlsKey(qint32 number) { return QStringLiteral("File") + QString::number(number); }
QString PlsLookupKey(qint32 number) { return QStringLiteral("file") + QString::number(number); }

// A line or value as it stands in a file, turned into a full path.
QString EntryFromText(const QString& folder, const QString& text) {
  if (text.startsWith(QLatin1Char('/')) || (text.size() >= 2 && text[1] == QLatin1Char(':'))) return text;
  return folder + NormalizeEntryPath(text);
}

// The text an entry is written as: its file name alone when it lies directly in folder, else the whole entry.
QString WrittenText(const QString& entry, const QString& folder) {
  QString entryFolder;
  const QString name = SplitFileName(entry, &entryFolder);
  return entryFolder == folder ? name : entry;
}

// More than 100 characters; counted in characters, not UTF-16 units, so a line of accented or Asian text is
// measured as a person would count it.
bool LineTooLong(const QString& line) {
  if (line.size() <= kPlaylistLineLimit) return false;
  qsizetype characters = line.size();
  for (const QChar c : line)
    if (c.isLowSurrogate()) --characters;
  return characters > kPlaylistLineLimit;
}

// Calls visit for every line of text; lines end with CR LF, LF or CR, and a last line without an ending counts.
template <typename Text, typename Visit>
void ForEachLine(const Text& text, Visit&& visit) {
  const qsizetype size = text.size();
  qsizetype start = 0;
  while (start < size) {
    qsizetype end = start;
    while (end < size && text[end] != u'\n' && text[end] != u'\r') ++end;
    visit(text.mid(start, end - start));
    if (end < size && text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n') ++end;
    start = end + 1;
  }
}

// The lines of a plain-line file. A file that is valid UTF-8 throughout is decoded in one pass; otherwise each
// line is decoded on its own, so one line written in the Windows code page does not spoil the others.
QStringList ReadLines(QByteArray bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  QStringList lines;
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8.decode(bytes);
  if (!utf8.hasError()) {
    ForEachLine(text, [&lines](const QString& line) { lines.append(line); });
  } else {
    ForEachLine(bytes, [&lines](const QByteArray& line) { lines.append(DecodeText(line)); });
  }
  return lines;
}

bool ReadFile(const QString& path, QByteArray* bytes) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  *bytes = file.readAll();
  return file.error() == QFileDevice::NoError;
}

void BeginReplace(Playlist& playlist, const QString& folder, bool replace) {
  if (!replace) return;
  playlist.ListItems.clear();
  playlist.PlayedList.clear();
  playlist.ListPath = folder;
}

bool LoadLines(Playlist& playlist, const QString& folder, const QString& path, bool replace) {
  QByteArray bytes;
  if (!ReadFile(path, &bytes)) return false;
  const QStringList lines = ReadLines(std::move(bytes));
  BeginReplace(playlist, folder, replace);
  playlist.ListItems.reserve(playlist.ListItems.size() + lines.size());
  for (const QString& line : lines) {
    if (LineTooLong(line)) continue;
    playlist.ListItems.append(EntryFromText(folder, line));
  }
  return true;
}

// The leading number of a ".pls" count, rounded half to even; nothing when it is beyond what a playlist can
// hold.
std::optional<qint64> PlsCount(const ProfileFile& profile) {
  const QString text = profile.Value(kPlsSection, kPlsCountKey).value_or(QString()).left(kPlsReadLimit);
  const double number = LeadingNumber(text);
  if (!std::isfinite(number) || number > kPlsMaxEntries + 0.5) return std::nullopt;
  if (number < 1) return 0;
  return RoundHalfEven(number);
}

bool LoadPls(Playlist& playlist, const QString& folder, const QString& path, bool replace) {
  QByteArray bytes;
  if (!ReadFile(path, &bytes)) return false;
  const ProfileFile profile = ProfileFile::Parse(bytes);
  const std::optional<qint64> count = PlsCount(profile);
  if (!count) return false;
  BeginReplace(playlist, folder, replace);
  playlist.ListItems.reserve(playlist.ListItems.size() + *count);
  // Readers rely on NumberOfEntries alone: a missing key gives an empty value and so the folder itself, and
  // keys beyond the count are never looked at.
  for (qint32 i = 1; i <= *count; ++i) {
    const QString value = profile.Value(kPlsSection, PlsLookupKey(i)).value_or(QString()).left(kPlsReadLimit);
    playlist.ListItems.append(EntryFromText(folder, value));
  }
  return true;
}

bool SaveLines(const Playlist& playlist, const QString& folder, const QString& path,
               const PlaylistSaveHooks& hooks) {
  const QStringList& items = playlist.ListItems;
  if (items.size() > kLineFormatMaxEntries) return false;
  QByteArray bytes;
  bytes.reserve(items.size() * 64);
  for (qint32 i = 1; i <= items.size(); ++i) {
    QString text = WrittenText(items[i - 1], folder);
    // A line break inside an entry would split it into two entries on reading.
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    bytes.append(text.toUtf8()).append("\r\n");
    if (i % kLineProgressEvery == 0 && hooks.SetProgress) hooks.SetProgress(i);
  }
  if (!WriteFileAtomically(path, bytes)) return false;
  if (hooks.LineFormatSaved) hooks.LineFormatSaved(path);
  return true;
}

bool SavePls(const Playlist& playlist, const QString& folder, const QString& path,
             const PlaylistSaveHooks& hooks) {
  // An existing file is edited in place, keeping whatever else it holds; a new one starts with its section so
  // that it takes CR LF line ends like the plain-line files.
  ProfileFile profile = ProfileFile::Parse(QByteArrayLiteral("[playlist]\r\n"));
  if (QFileInfo::exists(path)) {
    QByteArray bytes;
    if (!ReadFile(path, &bytes)) return false;
    profile = ProfileFile::Parse(bytes);
  }
  const QStringList& items = playlist.ListItems;
  for (qint32 i = 1; i <= items.size(); ++i) {
    profile.SetValue(kPlsSection, PlsKey(i), WrittenText(items[i - 1], folder).left(kPlsWriteLimit));
    if (i % kPlsProgressEvery == 0 && hooks.SetProgress) hooks.SetProgress(i);
  }
  profile.SetValue(kPlsSection, kPlsCountKey, QString::number(items.size()));
  return profile.Save(path);
}

}  // namespace

bool LoadPlaylist(Playlist& playlist, const QString& folder, const QString& name, bool replace) {
  if (folder.isEmpty() || name.isEmpty()) return false;
  const QString path = folder + name;
  if (!QFileInfo(path).isFile()) return false;
  const Kind kind = KindForLoading(name);
  if (kind == Kind::Unknown) return false;
  const bool loaded = kind == Kind::Pls ? LoadPls(playlist, folder, path, replace)
                                        : LoadLines(playlist, folder, path, replace);
  if (!loaded) return false;
  playlist.ListItemCount = static_cast<qint32>(playlist.ListItems.size());
  return true;
}

bool SavePlaylist(const Playlist& playlist, const QString& folder, const QString& name,
                  const PlaylistSaveHooks& hooks) {
  if (folder.isEmpty() || name.isEmpty()) return false;
  if (!QFileInfo(folder).isDir()) return false;
  const QString path = folder + name;
  // Only a name ending in "pls" exactly is written as ".pls"; the loader is less strict.
  if (name.endsWith(QLatin1String("pls"))) return SavePls(playlist, folder, path, hooks);
  return SaveLines(playlist, folder, path, hooks);
}

}  // namespace marvane
