#include "common/errortrap.h"

#include "common/dialogs.h"

namespace marvane {

void ErrorTrap::Raise(const QString& description) {
  ++count_;
  if (!debugMode_) return;
  if (progressVisible_) progressVisible_(false);
  dialogs_.Message(description, MessageButtons::Ok, MessageIcon::Critical,
                   QStringLiteral("Debug Error Message - ") + routine_);
  if (progressVisible_) progressVisible_(true);
}

}  // namespace marvane
