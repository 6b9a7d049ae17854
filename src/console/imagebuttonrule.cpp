#include "console/imagebuttonrule.h"

#include "common/states.h"
#include "console/imagebutton.h"

namespace marvane {

void ImageButtonRule::Attach(ImageButton* button, std::function<void()> action) {
  connect(button, &ImageButton::MouseDown, this, [this, button](int mouseButton) { MouseDown(button, mouseButton); });
  connect(button, &ImageButton::MouseMove, this,
          [this, button](int buttons, int, double x, double y) { MouseMove(button, buttons, x, y); });
  connect(button, &ImageButton::MouseUp, this,
          [this, button, action](int mouseButton) { MouseUp(button, mouseButton, action); });
  connect(button, &ImageButton::DblClick, this, [this, button] { MouseDown(button, kLeftButton); });
}

void ImageButtonRule::MouseDown(ImageButton* button, int mouseButton) {
  if (mouseButton != kLeftButton) return;
  button->SetBorder(true);
  buttonDown_ = 1;
}

void ImageButtonRule::MouseMove(ImageButton* button, int buttons, double x, double y) {
  if (!IsDragMask(buttons)) return;
  const bool inside = x >= 0 && x <= kSquareTwips && y >= 0 && y <= kSquareTwips;
  buttonDown_ = inside ? 1 : 0;
  button->SetBorder(inside);
}

bool ImageButtonRule::MouseUp(ImageButton* button, int mouseButton, const std::function<void()>& action) {
  button->SetBorder(false);
  const bool acts = mouseButton == kLeftButton && buttonDown_ == 1;
  if (acts && action) action();
  buttonDown_ = 0;
  return acts;
}

}  // namespace marvane
