#include "console/imageswitch.h"

#include "console/imagebutton.h"

#include <QAccessible>

namespace marvane {

ImageSwitch::ImageSwitch(Kind kind, ImageButton* unlit, ImageButton* lit, const QString& accessibleName,
                         QObject* parent)
    : QObject(parent), kind_(kind), unlitPicture_(unlit), litPicture_(lit), accessibleName_(accessibleName) {
  SetLit(false);
}

bool ImageSwitch::Holds(const QObject* picture) const {
  return picture == unlitPicture_ || picture == litPicture_;
}

void ImageSwitch::SetLit(bool lit) {
  const bool changed = lit != lit_;
  lit_ = lit;
  if (kind_ == Kind::Toggle) {
    Front()->raise();
  } else {
    litPicture_->setVisible(lit);
    unlitPicture_->setVisible(!lit);
  }
  if (changed && QAccessible::isActive()) {
    QAccessible::State state;
    state.checked = true;
    QAccessibleStateChangeEvent event(this, state);
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace marvane
