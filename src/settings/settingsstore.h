#pragma once
// The per-user settings store: named text values in one profile file, $XDG_CONFIG_HOME/Marvane/Marvane.ini,
// section "[1.40]" for this version (the previous version's "[1.30]" is read once by the upgrade import).
//
// The file is parsed once and kept; it is read again only when it changed on disk (another program edited it).
// A write that changes a value replaces the file atomically; writing the value a key already holds touches
// nothing, so starting and quitting without changing anything leaves the file as it was. Keys are matched
// without regard to letter case; values may be of any length. An empty stored value counts as absent: the
// default is used. Store errors are ignored: a failed read gives the default, a failed write leaves the old
// file whole (and the store forgets the edit, so it reads the truth again).
//
// UI thread only.

#include "common/filestamp.h"
#include "settings/profilefile.h"

#include <QString>

#include <functional>
#include <optional>

namespace marvane {

class SettingsStore {
 public:
  // The store in the user's settings file, or in file when given (tests).
  explicit SettingsStore(QString file = QString());

  const QString& FilePath() const { return file_; }

  // The value of key in section "1.40", or def when it is absent or empty.
  QString ReadSetting(const QString& key, const QString& def) const;
  // Stores the text form of value under key in section "1.40".
  void WriteSetting(const QString& key, const QString& value);
  void WriteSetting(const QString& key, bool value);  // "True" or "False"
  void WriteSetting(const QString& key, int value);
  void WriteSetting(const QString& key, qint64 value);
  void WriteSetting(const QString& key, quint32 value);
  void WriteSetting(const QString& key, float value);  // window positions in twips
  // A string literal must not silently become a Boolean.
  void WriteSetting(const QString& key, const char* value) = delete;

  // Typed readers with the program's conversions; nothing when the stored text (or the default) cannot be
  // converted, so the caller skips just that setting.
  std::optional<bool> ReadBool(const QString& key, const QString& def) const;
  std::optional<qint16> ReadInt16(const QString& key, const QString& def) const;
  std::optional<qint32> ReadInt32(const QString& key, const QString& def) const;
  std::optional<double> ReadDouble(const QString& key, const QString& def) const;
  // The leading-number parse: "75abc" gives 75, "abc" gives 0.
  double ReadLeadingNumber(const QString& key, const QString& def) const;

  // Any section, for the upgrade import.
  QString ReadSectionValue(const QString& section, const QString& key) const;
  void WriteSectionValue(const QString& section, const QString& key, const QString& value);
  bool HasSection(const QString& section) const;
  void DeleteSection(const QString& section);

  // Runs change on the parsed file and saves it once when it changed anything: many keys, one write.
  void Edit(const std::function<void(ProfileFile&)>& change);

 private:
  // The parsed file, read again when its stamp on disk differs from the one it was read with.
  ProfileFile& Current() const;
  void Save();

  QString file_;
  mutable ProfileFile profile_;
  mutable FileStamp stamp_;
  mutable bool loaded_ = false;
};

}  // namespace marvane
