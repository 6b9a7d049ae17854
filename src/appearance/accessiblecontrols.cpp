#include "appearance/accessiblecontrols.h"

#include "appearance/butt.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <functional>

namespace marvane {

namespace {

constexpr char kRoleProperty[] = "marvaneAccessibleRole";

// A widget that acts on a click: its press action is a left click.
class AccessibleButton : public QAccessibleWidget {
 public:
  AccessibleButton(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
      if (const auto* butt = qobject_cast<const Butt*>(widget())) return WithoutMnemonic(butt->Caption());
      if (const auto* label = qobject_cast<const QLabel*>(widget())) return WithoutMnemonic(label->text());
    }
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& action) override {
    if (action == pressAction()) ClickWithLeftButton(widget());
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

// A label: named by its accessible name (its text when it has none), its text as its value.
class AccessibleText : public QAccessibleWidget {
 public:
  explicit AccessibleText(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    const auto* label = qobject_cast<const QLabel*>(widget());
    const bool named = !widget()->accessibleName().isEmpty();
    if (label && t == QAccessible::Name && !named) return WithoutMnemonic(label->text());
    if (label && t == QAccessible::Value && named) return label->text();
    return QAccessibleWidget::text(t);
  }
};

// A drop-down list given a name of its own: named by it (Qt's own names it by its current entry), the current
// entry as its value.
class AccessibleChoice : public QAccessibleWidget {
 public:
  explicit AccessibleChoice(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return static_cast<const QComboBox*>(widget())->currentText();
    return QAccessibleWidget::text(t);
  }
};

// A control with a whole-number value that the user drags.
class AccessibleValue : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  AccessibleValue(QWidget* widget, int minimum, int maximum, int step, std::function<int()> get,
                  std::function<void(int)> drag)
      : QAccessibleWidget(widget, QAccessible::Slider), minimum_(minimum), maximum_(maximum), step_(step),
        get_(std::move(get)), drag_(std::move(drag)) {}

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Value ? QString::number(get_()) : QAccessibleWidget::text(t);
  }
  QVariant currentValue() const override { return get_(); }
  void setCurrentValue(const QVariant& value) override { drag_(std::clamp(value.toInt(), minimum_, maximum_)); }
  QVariant maximumValue() const override { return maximum_; }
  QVariant minimumValue() const override { return minimum_; }
  QVariant minimumStepSize() const override { return step_; }

 private:
  int minimum_;
  int maximum_;
  int step_;
  std::function<int()> get_;
  std::function<void(int)> drag_;
};

// Tells a listening assistive tool about every new value of the control.
template <typename Control>
QAccessibleInterface* WithValueEvents(Control* control, AccessibleValue* iface) {
  QObject::connect(control, &Control::Scroll, control, [control, iface] {
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent event(control, iface->currentValue());
    QAccessible::updateAccessibility(&event);
  });
  return iface;
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  if (auto* slider = qobject_cast<MiniSlider*>(widget)) {
    return WithValueEvents(slider, new AccessibleValue(slider, 0, 100, 1, [slider] { return slider->Value(); },
                                                       [slider](int value) { slider->Slide(value); }));
  }
  if (auto* pan = qobject_cast<Pan*>(widget)) {
    // A step of 7 is one twip of knob travel.
    return WithValueEvents(pan, new AccessibleValue(pan, -Pan::kMaxValue, Pan::kMaxValue, 7,
                                                    [pan] { return pan->Value(); },
                                                    [pan](int value) { pan->DragTo(value); }));
  }
  if (auto* fader = qobject_cast<MiniCrossfader*>(widget)) {
    return WithValueEvents(
        fader, new AccessibleValue(
                   fader, 0, int(MiniCrossfader::kMaxPosition), 1,
                   [fader] { return int(std::nearbyint(fader->Position())); },
                   [fader](int position) { fader->DragTo(position); }));
  }
  if (qobject_cast<Butt*>(widget)) return new AccessibleButton(widget, QAccessible::Button);
  if (auto* box = qobject_cast<QComboBox*>(widget); box != nullptr && !box->accessibleName().isEmpty())
    return new AccessibleChoice(box);
  const QVariant role = widget->property(kRoleProperty);
  if (!role.isValid()) return nullptr;
  switch (const auto r = static_cast<QAccessible::Role>(role.toInt())) {
    case QAccessible::Button: return new AccessibleButton(widget, r);
    case QAccessible::StaticText: return new AccessibleText(widget);
    default: return new QAccessibleWidget(widget, r);
  }
}

}  // namespace

void InstallAccessibleControls() { QAccessible::installFactory(Factory); }

void SetAccessibleRole(QWidget* widget, QAccessible::Role role) {
  InstallAccessibleControls();
  widget->setProperty(kRoleProperty, static_cast<int>(role));
}

void ClickWithLeftButton(QWidget* widget) {
  const QPointF at = QRectF(widget->rect()).center();
  const QPointF global = widget->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);
}

QString WithoutMnemonic(const QString& caption) {
  QString text;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&')) {
      if (++i == caption.size()) break;
    }
    text += caption[i];
  }
  return text;
}

}  // namespace marvane
