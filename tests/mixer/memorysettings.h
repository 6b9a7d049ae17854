#pragma once
// Settings for the window tests: the keys the window reads and writes, in memory, with every write recorded
// in order. Keys are matched without regard to letter case, as the settings store matches them.

#include "mixer/settingsaccess.h"

#include <QList>
#include <QMap>
#include <QPair>

namespace marvane::test {

class MemorySettings final : public SettingsAccess {
 public:
  QMap<QString, QString> values;  // keys in lower case
  QList<QPair<QString, QString>> writes;

  QString ReadSetting(const QString& key, const QString& def) const override {
    const QString value = values.value(key.toLower());
    return value.isEmpty() ? def : value;
  }
  void WriteSetting(const QString& key, const QString& value) override {
    values.insert(key.toLower(), value);
    writes.append({key, value});
  }
  void Set(const QString& key, const QString& value) { values.insert(key.toLower(), value); }
  QString Get(const QString& key) const { return values.value(key.toLower()); }
};

}  // namespace marvane::test
