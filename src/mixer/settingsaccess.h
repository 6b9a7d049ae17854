#pragma once
// The two operations of the settings store that the microphone window needs. The application's settings
// store is adapted to this, so the mixer folder does not depend on the application folder.

#include <QString>

namespace marvane {

class SettingsAccess {
 public:
  virtual ~SettingsAccess();
  // The stored text of a key of the program's section, or def when the key is not stored.
  virtual QString ReadSetting(const QString& key, const QString& def) const = 0;
  // Stores the text of a key at once.
  virtual void WriteSetting(const QString& key, const QString& value) = 0;
};

}  // namespace marvane
