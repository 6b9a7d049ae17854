#include "settings/settingsstore.h"

#include "common/appinfo.h"
#include "common/vbconvert.h"
#include "settings/profilefile.h"

namespace marvane {

SettingsStore::SettingsStore(QString file) : file_(file.isEmpty() ? SettingsFilePath() : std::move(file)) {}

ProfileFile& SettingsStore::Current() const {
  const FileStamp now = FileStamp::Of(file_);
  if (!loaded_ || !(now == stamp_)) {
    profile_ = ProfileFile::Load(file_);
    stamp_ = now;
    loaded_ = true;
  }
  return profile_;
}

void SettingsStore::Save() {
  if (profile_.Save(file_))
    stamp_ = FileStamp::Of(file_);
  else
    loaded_ = false;  // the file on disk is unchanged: read it again next time
}

QString SettingsStore::ReadSectionValue(const QString& section, const QString& key) const {
  return Current().Value(section, key).value_or(QString());
}

void SettingsStore::WriteSectionValue(const QString& section, const QString& key, const QString& value) {
  ProfileFile& profile = Current();
  if (profile.Value(section, key) == value) return;
  profile.SetValue(section, key, value);
  Save();
}

bool SettingsStore::HasSection(const QString& section) const { return Current().HasSection(section); }

void SettingsStore::DeleteSection(const QString& section) {
  if (Current().RemoveSection(section)) Save();
}

void SettingsStore::Edit(const std::function<void(ProfileFile&)>& change) {
  ProfileFile& profile = Current();
  const QByteArray before = profile.Serialize();
  change(profile);
  if (profile.Serialize() != before) Save();
}

QString SettingsStore::ReadSetting(const QString& key, const QString& def) const {
  const QString value = ReadSectionValue(kSettingsSection, key);
  return value.isEmpty() ? def : value;
}

void SettingsStore::WriteSetting(const QString& key, const QString& value) {
  WriteSectionValue(kSettingsSection, key, value);
}

void SettingsStore::WriteSetting(const QString& key, bool value) { WriteSetting(key, BooleanText(value)); }
void SettingsStore::WriteSetting(const QString& key, int value) { WriteSetting(key, QString::number(value)); }
void SettingsStore::WriteSetting(const QString& key, qint64 value) { WriteSetting(key, QString::number(value)); }
void SettingsStore::WriteSetting(const QString& key, quint32 value) { WriteSetting(key, QString::number(value)); }
void SettingsStore::WriteSetting(const QString& key, float value) {
  // The shortest text that reads back as the same single-precision value.
  WriteSetting(key, QString::number(static_cast<double>(value), 'g', 7));
}

std::optional<bool> SettingsStore::ReadBool(const QString& key, const QString& def) const {
  return ParseBoolean(ReadSetting(key, def));
}

std::optional<qint16> SettingsStore::ReadInt16(const QString& key, const QString& def) const {
  return ParseInt16(ReadSetting(key, def));
}

std::optional<qint32> SettingsStore::ReadInt32(const QString& key, const QString& def) const {
  return ParseInt32(ReadSetting(key, def));
}

std::optional<double> SettingsStore::ReadDouble(const QString& key, const QString& def) const {
  return ParseNumber(ReadSetting(key, def));
}

double SettingsStore::ReadLeadingNumber(const QString& key, const QString& def) const {
  return LeadingNumber(ReadSetting(key, def));
}

}  // namespace marvane
