#pragma once
// A real settings store on a file in a temporary folder of its own, for tests that read and write settings.

#include "common/filestamp.h"
#include "settings/settingsstore.h"

#include <QTemporaryDir>

namespace marvane::test {

struct TempSettings {
  QTemporaryDir dir;
  SettingsStore store{dir.filePath(QStringLiteral("Marvane.ini"))};

  operator SettingsStore&() { return store; }
  void Set(const QString& key, const QString& value) { store.WriteSetting(key, value); }
  QString Get(const QString& key) const { return store.ReadSetting(key, QString()); }
  // The file as it is on disk now: a rewrite, even of the same bytes, gives another stamp.
  FileStamp Stamp() const { return FileStamp::Of(store.FilePath()); }
};

}  // namespace marvane::test
