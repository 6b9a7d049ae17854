#include "console/consoleaccessibility.h"

#include "appearance/accessiblecontrols.h"
#include "console/imagebutton.h"
#include "console/imageswitch.h"
#include "console/mainform.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QMenu>

#include <algorithm>

namespace marvane {

namespace {

// One switch: two stacked pictures, one object.
class AccessibleSwitch : public QAccessibleObject, public QAccessibleActionInterface {
 public:
  explicit AccessibleSwitch(ImageSwitch* control) : QAccessibleObject(control) {}

  ImageSwitch* Switch() const { return static_cast<ImageSwitch*>(object()); }

  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(Switch()->parent()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QWindow* window() const override { return parent() ? parent()->window() : nullptr; }

  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name: return Switch()->AccessibleName();
      case QAccessible::Description: return Switch()->Front()->toolTip();
      default: return {};
    }
  }
  QAccessible::Role role() const override {
    return Switch()->SwitchKind() == ImageSwitch::Kind::Toggle ? QAccessible::CheckBox : QAccessible::RadioButton;
  }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.checkable = true;
    state.checked = Switch()->IsLit();
    state.invisible = !Switch()->Front()->isVisible();
    return state;
  }
  QRect rect() const override {
    const ImageButton* front = Switch()->Front();
    return {front->mapToGlobal(QPoint(0, 0)), front->size()};
  }

  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override { return {pressAction(), toggleAction()}; }
  void doAction(const QString& action) override {
    if (action == pressAction() || action == toggleAction()) ClickWithLeftButton(Switch()->Front());
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

// The main window: its child widgets, each switch's two pictures replaced by the switch.
class AccessibleMainForm : public QAccessibleWidget {
 public:
  explicit AccessibleMainForm(QWidget* form) : QAccessibleWidget(form, QAccessible::Window) {}

  int childCount() const override { return static_cast<int>(Children().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QObject*> children = Children();
    return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child ? static_cast<int>(Children().indexOf(child->object())) : -1;
  }

 private:
  QList<QObject*> Children() const {
    const QList<ImageSwitch*> switches = widget()->findChildren<ImageSwitch*>(Qt::FindDirectChildrenOnly);
    QList<QObject*> children;
    for (QObject* object : widget()->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (!child || child->isWindow() || qobject_cast<QMenu*>(child)) continue;
      const auto owner = std::find_if(switches.begin(), switches.end(),
                                      [child](const ImageSwitch* s) { return s->Holds(child); });
      if (owner == switches.end()) {
        children << child;
      } else if (child == (*owner)->Unlit()) {
        children << *owner;  // the switch stands where its first picture does
      }
    }
    return children;
  }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* control = qobject_cast<ImageSwitch*>(object)) return new AccessibleSwitch(control);
  if (auto* form = qobject_cast<MainForm*>(object)) return new AccessibleMainForm(form);
  return nullptr;
}

}  // namespace

void InstallConsoleAccessibility() {
  InstallAccessibleControls();
  QAccessible::installFactory(Factory);
}

}  // namespace marvane
