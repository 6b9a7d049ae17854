// The profile-file engine on any bytes: it parses them, writes them back unchanged, lists and reads every key of
// the sections it finds, and a key written reads back, also after the file is written out and parsed again.

#include "settings/profilefile.h"

#include <QList>

#include <cstdint>
#include <cstdlib>

namespace {

const QString kWritten = QStringLiteral("written value");

void Check(bool condition) {
  if (!condition) std::abort();
}

// The names of "[name]" lines, as a person reading the file would take them (the engine decides what they match).
QStringList SectionNames(const QByteArray& bytes) {
  QStringList names;
  for (const QByteArray& line : bytes.split('\n')) {
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('[')) continue;
    const qsizetype end = trimmed.indexOf(']');
    names << QString::fromUtf8(trimmed.mid(1, end < 0 ? -1 : end - 1)).trimmed();
    if (names.size() == 8) break;
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  marvane::ProfileFile profile = marvane::ProfileFile::Parse(bytes);
  Check(profile.Serialize() == bytes);
  for (const QString& section : SectionNames(bytes)) {
    if (!profile.HasSection(section)) continue;
    const QStringList keys = profile.Keys(section);
    for (const QString& key : keys) Check(profile.Value(section, key).has_value());
    if (keys.isEmpty()) continue;
    const QString& key = keys.first();
    profile.SetValue(section, key, kWritten);
    Check(profile.Value(section, key) == kWritten);
    Check(marvane::ProfileFile::Parse(profile.Serialize()).Value(section, key) == kWritten);
    Check(profile.RemoveKey(section, key) && !profile.Value(section, key).has_value());
  }
  profile.SetValue(QStringLiteral("Added Section"), QStringLiteral("Added Key"), kWritten);
  Check(marvane::ProfileFile::Parse(profile.Serialize()).Value(QStringLiteral("added section"),
                                                               QStringLiteral("ADDED KEY")) == kWritten);
  return 0;
}
