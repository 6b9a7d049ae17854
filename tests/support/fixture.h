#pragma once
// A test with a temporary folder of its own, a settings file in it, and tone files made there.

#include "settings/settingsstore.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace marvane::test {

class FolderTest : public ::testing::Test {
 protected:
  // A 16-bit wave file in the folder: 441 Hz at half of full scale (-6.02 dBFS).
  QString Tone(const QString& name, double seconds = 3.0) {
    return MakeFile(dir_.path(), name, kTone441, seconds, "-c:a pcm_s16le");
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  SettingsStore settings_{Path(QStringLiteral("Marvane.ini"))};
};

}  // namespace marvane::test
