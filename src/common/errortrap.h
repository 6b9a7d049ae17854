#pragma once
// The program's error rule: a step that fails is skipped and the next one runs. In debug mode (command line
// "/d") the failure is first shown in a critical message box titled "Debug Error Message - " and the routine's
// name, with start-up's progress window hidden while the box is up.

#include <QString>

#include <functional>

namespace marvane {

class Dialogs;

// The descriptions the program shows for the failures of its conversions.
inline const QString kTypeMismatch = QStringLiteral("Type mismatch");
inline const QString kOverflow = QStringLiteral("Overflow");

class ErrorTrap {
 public:
  ErrorTrap(Dialogs& dialogs, bool debugMode, QString routine, std::function<void(bool visible)> progressVisible)
      : dialogs_(dialogs), debugMode_(debugMode), routine_(std::move(routine)),
        progressVisible_(std::move(progressVisible)) {}

  // A step failed with this description: report it in debug mode, then carry on.
  void Raise(const QString& description);
  int Count() const { return count_; }

 private:
  Dialogs& dialogs_;
  bool debugMode_;
  QString routine_;
  std::function<void(bool)> progressVisible_;
  int count_ = 0;
};

}  // namespace marvane
