#pragma once
// A temporary folder with a settings file in it: TempSettings for any test, FolderTest for a test that also makes
// tone files there.

#include "common/filestamp.h"
#include "settings/settingsstore.h"
#include "support/testenv.h"

#include <gtest/gtest.h>


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

class FolderTest : public ::testing::Test {
 protected:
  // A 16-bit wave file in the folder: 441 Hz at half of full scale (-6.02 dBFS).
  QString Tone(const QString& name, double seconds = 3.0) {
    return MakeFile(dir_.path(), name, kTone441, seconds, "-c:a pcm_s16le");
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  TempSettings temp_;
  QTemporaryDir& dir_ = temp_.dir;
  SettingsStore& settings_ = temp_.store;
};

}  // namespace marvane::test
