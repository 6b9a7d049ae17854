// The Options dialog on the running program: opening that writes nothing, controls that act at once, Faces
// chosen in it, the log viewer's way in, and the dialog as assistive technology sees it.

#include "app/apptestfixture.h"
#include "appearance/minicrossfader.h"
#include "appearance/options.h"
#include "common/appinfo.h"
#include "settings/inivalue.h"
#include "songlog/view.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include <set>

namespace marvane::test {
namespace {

class OptionsTest : public AppTest {
 protected:
  OptionsDialog* OpenFromMainWindow() {
    app_->Form()->Options1()->Click();
    return app_->Options();
  }
  template <typename T>
  T* Child(const char* name) { return app_->Options()->findChild<T*>(QLatin1String(name)); }
  QString Scheme() { return app_->State().FacePath + QStringLiteral("colors.txt"); }
  void Leave(const char* box, const QString& text) {
    auto* edit = Child<QLineEdit>(box);
    edit->setText(text);
    Q_EMIT edit->editingFinished();
  }
};

TEST_F(OptionsTest, OpeningWritesNothingAndEveryControlActsAtOnce) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(app_->OptionsOpen);  // start-up's hidden load is over
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  const QByteArray before = ReadBytes(store_.FilePath());
  OptionsDialog* options = OpenFromMainWindow();
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(options->isModal() || options->windowModality() == Qt::ApplicationModal);
  EXPECT_TRUE(ReadBytes(store_.FilePath()) == before && app_->OptionsOpen);
  EXPECT_EQ(app_->Form()->Options1()->CaptionColor(), ColorFromValue(app_->Colors().HiliteColor));
  for (int tab = 0; tab < 6; ++tab) EXPECT_TRUE(options->SSTab1()->isTabEnabled(tab));
  // Auto Stop greys Auto Reset and leaves its value.
  Child<QCheckBox>("Check1")->click();
  EXPECT_TRUE(app_->State().ASOF);
  Child<QCheckBox>("Check1")->click();
  EXPECT_TRUE(!Child<QCheckBox>("Check2")->isEnabled() && app_->State().AutoReset);
  EXPECT_EQ(store_.ReadSetting(keys::kASOF, QString()), QStringLiteral("False"));
  // Number boxes keep to their bounds when left.
  Leave("Text1", QStringLiteral("15"));
  EXPECT_EQ(Child<QLineEdit>("Text1")->text(), QStringLiteral("12"));
  EXPECT_EQ(store_.ReadSetting(keys::kSpinUp, QString()), QStringLiteral("12"));
  Leave("Text1", QStringLiteral("1"));
  EXPECT_EQ(app_->State().SpinUp, 2);
  Leave("Text1", QStringLiteral("abc"));
  EXPECT_EQ(Child<QLineEdit>("Text1")->text(), QStringLiteral("2"));
  Leave("Text2", QStringLiteral("abc"));
  EXPECT_TRUE(Child<QLineEdit>("Text2")->text() == QStringLiteral("abc") && app_->State().NoRep == 10);
  // A Back Color swatch repaints the window and writes the setting.
  Child<QRadioButton>("Option3")->click();
  Child<QPushButton>("ColorBox_17")->click();  // FF0000
  EXPECT_EQ(app_->Form()->palette().color(QPalette::Window), QColor(Qt::red));
  EXPECT_EQ(store_.ReadSetting(keys::kBackColor, QString()), QStringLiteral("255"));
  EXPECT_EQ(options->MarkedSwatch(), 17);
  Child<QRadioButton>("Option1")->click();  // the LED colour 0x00FFFF is FFFF00, swatch 19
  EXPECT_EQ(options->MarkedSwatch(), 19);
  // Priority, tool tips and the crossfader speed reach the running console.
  Child<QRadioButton>("Option10")->click();
  EXPECT_EQ(app_->Form()->Timer1()->interval(), 1);
  Child<QRadioButton>("Option8")->click();
  EXPECT_EQ(app_->Form()->MiniCrossfader1()->Speed(), 100);
  Child<QCheckBox>("Check6")->click();
  EXPECT_FALSE(app_->Form()->Status()->isVisibleTo(app_->Form()));
  EXPECT_EQ(store_.ReadSetting(keys::kStatHelp, QString()), QStringLiteral("0"));
  Child<QPushButton>("Command1")->click();
  QCoreApplication::processEvents();
  EXPECT_FALSE(app_->OptionsOpen);
  EXPECT_EQ(app_->Form()->Options1()->CaptionColor(), ColorFromValue(app_->Colors().TextColor));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(app_->Options(), nullptr);
  app_->Form()->mnuOps()->trigger();  // the menu item opens it as the button does
  EXPECT_TRUE(app_->Options() != nullptr && app_->OptionsOpen);
}

TEST_F(OptionsTest, TheSoundTabWritesItsSettingsAndTheEngineFollowsAtOnceAndAtTheNextStart) {
  ASSERT_TRUE(Start());
  OptionsDialog* options = OpenFromMainWindow();
  options->SSTab1()->setCurrentIndex(OptionsDialog::kSoundTab);
  EXPECT_EQ(Child<QComboBox>("cboDevice")->count(), 2);  // listed once the tab shows
  EXPECT_EQ(Child<QLabel>("lblUnderruns")->text(), u"Output underruns since start: 0"_s);
  const std::tuple<const char*, int, QString, QString> rows[] = {{"cboBuffer", 2, keys::kBufferFrames, u"512"_s},
                                                                  {"cboRate", 1, keys::kSampleRate, u"48000"_s},
                                                                  {"cboDevice", 1, keys::kOutputDevice, u"Test Card"_s}};
  for (const auto& [box, index, key, value] : rows) {
    Child<QComboBox>(box)->setCurrentIndex(index);
    EXPECT_EQ(store_.ReadSetting(key, QString()), value);
  }
  auto output = [this] {
    AudioEngine& engine = *app_->Engine();
    return std::tuple(engine.Choice().device, engine.Output().BufferFrames(), engine.SampleRate());
  };
  EXPECT_EQ(output(), std::tuple(u"Test Card"_s, 512, 48000));
  Child<QCheckBox>("chLevel")->click();
  EXPECT_EQ(store_.ReadSetting(keys::kLevelSongs, QString()), u"True"_s);
  Restart();
  EXPECT_EQ(output(), std::tuple(u"Test Card"_s, 512, 48000));
}

TEST_F(OptionsTest, AStoredValueThatIsNoColourIsRefusedAndReportedOnlyInDebugMode) {
  store_.WriteSetting(keys::kLEDColor, QStringLiteral("-1"));
  ASSERT_TRUE(Start());
  EXPECT_TRUE(dialogs_.messages.isEmpty());
  EXPECT_EQ(app_->Form()->Line(1).Colon->palette().color(QPalette::WindowText), QColor(255, 255, 0));
  Restart(QStringLiteral("/d"));
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Debug Error Message - ColorChange"));
}

TEST_F(OptionsTest, AFaceWithoutLinesSectionUnticksTheLinesBoxWithoutWritingIt) {
  QDir().mkpath(DataFolder() + QStringLiteral("Faces/Bare"));
  WriteBytes(DataFolder() + QStringLiteral("Faces/Bare/colors.txt"), "[Colors]\nText=FF0000\n");
  store_.WriteSetting(keys::kBackPic, true);
  ASSERT_TRUE(Start());
  OptionsDialog* options = OpenFromMainWindow();
  EXPECT_TRUE(Child<QCheckBox>("Check7")->isChecked());
  auto* list = Child<QListWidget>("List1");
  const auto found = list->findItems(QStringLiteral("Bare"), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  list->setCurrentItem(found[0]);
  Q_EMIT list->itemClicked(found[0]);
  EXPECT_FALSE(Child<QCheckBox>("Check7")->isChecked());
  EXPECT_EQ(std::pair(store_.ReadSetting(keys::kShowLines, QString()), store_.ReadSetting(keys::kFace, QString())),
            std::pair(QString(), QStringLiteral("Bare")));
  EXPECT_EQ(app_->Colors().TextColor, 255u);
  // Save Colors asks first; No writes nothing, Yes writes the scheme and says where.
  dialogs_.messages.clear();
  dialogs_.messageAnswers = {MessageResult::No};
  Child<QPushButton>("Command2")->click();
  EXPECT_EQ(ReadIniValue(QStringLiteral("Lines"), QStringLiteral("Visible"), Scheme()), QString());
  Child<QPushButton>("Command2")->click();
  EXPECT_EQ(ReadIniValue(QStringLiteral("Lines"), QStringLiteral("Visible"), Scheme()),
            QStringLiteral("False"));
  ASSERT_EQ(dialogs_.messages.size(), 3);
  EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Save Colors"));
  EXPECT_EQ(dialogs_.messages[2].text, QStringLiteral("Colors saved to ") + Scheme() + QLatin1Char('.'));
  options->close();
}

TEST_F(OptionsTest, FromTheLogViewerOnlyTheLoggingTabCanBeUsed) {
  ASSERT_TRUE(Start());
  app_->Form()->LogButt()->Click();
  ASSERT_NE(app_->Viewer(), nullptr);
  app_->Viewer()->Command1_Click();
  OptionsDialog* options = app_->Options();
  ASSERT_NE(options, nullptr);
  for (int tab = 0; tab < 6; ++tab) EXPECT_EQ(options->SSTab1()->isTabEnabled(tab), tab == 4) << tab;
  EXPECT_EQ(options->SSTab1()->currentIndex(), 4);
  EXPECT_EQ(Child<QLineEdit>("txtFile")->text(), app_->State().LogFile);
}

TEST_F(OptionsTest, AssistiveTechnologyFindsEveryControlByItsOwnName) {
  ASSERT_TRUE(Start());
  OptionsDialog* options = OpenFromMainWindow();
  std::vector<QAccessibleInterface*> all{QAccessible::queryAccessibleInterface(options)};
  for (size_t i = 0; i < all.size(); ++i)
    for (int c = 0; c < all[i]->childCount(); ++c)
      if (QAccessibleInterface* child = all[i]->child(c)) all.push_back(child);
  std::multiset<QString> acting;
  std::set<QString> names;
  for (QAccessibleInterface* object : all) {
    const QString name = object->text(QAccessible::Name);
    names.insert(name);
    const QStringList actions = object->actionInterface() ? object->actionInterface()->actionNames() : QStringList();
    if (actions.contains(QAccessibleActionInterface::pressAction()) ||
        actions.contains(QAccessibleActionInterface::toggleAction()))
      acting.insert(name);
  }
  for (const QString& name : acting) EXPECT_EQ(acting.count(name), 1u) << name.toStdString();
  for (const char* name : {"Logging", "Auto Stop", "Save Colors", "No Repeats Until", "FF8000", "Face List",
                           "Output Device", "Buffer Size", "Sample Rate", "Level AutoPilot songs"})
    EXPECT_TRUE(names.count(QLatin1String(name))) << name;
}

}  // namespace
}  // namespace marvane::test
