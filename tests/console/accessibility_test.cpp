// The main window and the microphone window as assistive technology and scripts see them through QAccessible:
// every control is one object with a role and a name, and working an object does what the user's hand does.

#include "console/volumelaw.h"
#include "consolefixture.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"

#include <QAccessible>

#include <map>

namespace marvane::test {
namespace {

// Every object below root, depth first.
void Walk(QAccessibleInterface* root, std::vector<QAccessibleInterface*>& found) {
  for (int i = 0; i < root->childCount(); ++i) {
    QAccessibleInterface* child = root->child(i);
    if (!child) continue;
    found.push_back(child);
    Walk(child, found);
  }
}

// An object that does something: it has a value to set, or a press or toggle action.
bool Acts(QAccessibleInterface* object) {
  if (object->valueInterface()) return true;
  const QStringList actions = object->actionInterface() ? object->actionInterface()->actionNames() : QStringList();
  return actions.contains(QAccessibleActionInterface::pressAction()) ||
         actions.contains(QAccessibleActionInterface::toggleAction());
}

class AccessibilityTest : public ConsoleTest {
 protected:
  // The objects of a window by name; acting objects' names must not repeat, so each appears once there.
  static std::map<QString, QAccessibleInterface*> Objects(QWidget* window) {
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
    EXPECT_EQ(root->text(QAccessible::Name), window->windowTitle());
    std::vector<QAccessibleInterface*> all;
    Walk(root, all);
    std::map<QString, QAccessibleInterface*> byName;
    for (QAccessibleInterface* object : all) {
      if (object->role() == QAccessible::Separator) continue;  // the dividing lines are no controls
      const QString name = object->text(QAccessible::Name);
      const QString id = object->object()->objectName();
      EXPECT_FALSE(name.isEmpty()) << id.toStdString();
      EXPECT_NE(object->role(), QAccessible::Client) << name.toStdString();
      EXPECT_NE(object->role(), QAccessible::NoRole) << name.toStdString();
      if (!Acts(object)) continue;
      EXPECT_EQ(byName.count(name), 0u) << "two objects named " << name.toStdString();
      byName[name] = object;
    }
    return byName;
  }

  // The named object; a missing name fails the test (std::out_of_range).
  QAccessibleInterface* Object(const QString& name) { return Objects(&form_).at(name); }
};

TEST_F(AccessibilityTest, EveryControlOfBothWindowsIsOneObjectWithARoleAndANameOfItsOwn) {
  const auto objects = Objects(&form_);
  // Spot checks of the naming scheme, one of each kind of control.
  const std::pair<const char*, QAccessible::Role> expected[] = {
      {"AutoPilot Next", QAccessible::Button}, {"Line 3 Open", QAccessible::Button},
      {"Line 3 Loop", QAccessible::CheckBox},  {"Line 3 Right", QAccessible::RadioButton},
      {"Line 3 Pan", QAccessible::Slider},     {"Master Volume", QAccessible::Slider},
      {"Crossfader", QAccessible::Slider},     {"Stop All", QAccessible::Button}};
  for (const auto& [name, role] : expected) {
    const auto found = objects.find(QLatin1String(name));
    ASSERT_NE(found, objects.end()) << name;
    EXPECT_EQ(found->second->role(), role) << name;
  }
  // A switch is checked while lit: a new line is Always On, its loop off.
  for (const auto& [name, checked] : {std::pair{"Line 3 On", true}, {"Line 3 Left", false}, {"Line 3 Loop", false}})
    EXPECT_EQ(objects.at(QLatin1String(name))->state().checked, checked) << name;
  // The texts: a title shows its song as its value.
  form_.Line(3).TitleLabel->setText(QStringLiteral("Opening Track"));
  QAccessibleInterface* title = QAccessible::queryAccessibleInterface(form_.Line(3).TitleLabel);
  EXPECT_EQ(std::tuple(title->role(), title->text(QAccessible::Name), title->text(QAccessible::Value)),
            std::tuple(QAccessible::StaticText, QStringLiteral("Line 3 Title"), QStringLiteral("Opening Track")));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form_.Line(7).Colon)->text(QAccessible::Name),
            QStringLiteral("Clock"));

  card_.microphone = ScriptedMixerBackend::Control(2, 0, 100);
  mixer_.InitMixer();
  MicWindow mic(mixer_, settings_, colors_, dialogs_);
  mic.ShowMicWindow();
  ASSERT_NE(mic.Window(), nullptr);
  const auto micObjects = Objects(mic.Window());
  ASSERT_EQ(micObjects.size(), 2u);
  EXPECT_EQ(
      std::pair(micObjects.at(QStringLiteral("Mic Volume"))->role(), micObjects.at(QStringLiteral("On Top"))->role()),
      std::pair(QAccessible::Slider, QAccessible::CheckBox));
  micObjects.at(QStringLiteral("Mic Volume"))->valueInterface()->setCurrentValue(50);
  EXPECT_EQ(mic.MicLevelValue(), 50);
}

TEST_F(AccessibilityTest, PressingSettingAndCheckingObjectsActAsTheUsersHand) {
  ASSERT_EQ(OpenAndWait(engine_.Player(1), Tone(QStringLiteral("line1.wav"))), kOpen);
  Object(QStringLiteral("Line 1 Play"))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(engine_.Player(1).PlayState(), kPlaying);

  QAccessibleInterface* volume = Object(QStringLiteral("Line 1 Volume"));
  volume->valueInterface()->setCurrentValue(80);
  EXPECT_EQ(volume->valueInterface()->currentValue().toInt(), 80);
  EXPECT_EQ(engine_.Player(1).Volume(), LineVolume(80, 100));
  EXPECT_EQ(settings_.ReadSetting(keys::Slider(1), QString()), QStringLiteral("80"));
  Object(QStringLiteral("Line 1 Pan"))->valueInterface()->setCurrentValue(840);
  EXPECT_EQ(engine_.Player(1).Balance(), 840);
  Object(QStringLiteral("Crossfader"))->valueInterface()->setCurrentValue(0);
  EXPECT_EQ(form_.MiniCrossfader1()->RightLevel(), 0);

  QAccessibleInterface* right = Object(QStringLiteral("Line 2 Right"));
  right->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_EQ(std::pair(console_.Lines().FadeMode(2), settings_.ReadSetting(keys::FadeMode(2), QString())),
            std::pair(kFadeRight, QStringLiteral("2")));
  EXPECT_TRUE(right->state().checked && !Object(QStringLiteral("Line 2 On"))->state().checked);

  QAccessibleInterface* loop = Object(QStringLiteral("Line 2 Loop"));
  loop->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(console_.Lines().Looping(2) && loop->state().checked);
  loop->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());  // the lit picture is in front now
  EXPECT_FALSE(console_.Lines().Looping(2));
}

}  // namespace
}  // namespace marvane::test
