// The Options dialog on the running program, and the main window dressed by each bundled Face: pictures for a
// person to look at, opening that writes nothing, controls that act at once, the log viewer's way in, and the
// dialog as assistive technology sees it.

#include "app/apptestfixture.h"
#include "common/appinfo.h"
#include "appearance/butt.h"
#include "appearance/colorvalue.h"
#include "appearance/minicrossfader.h"
#include "appearance/options.h"
#include "common/filestamp.h"
#include "console/mainform.h"
#include "settings/inivalue.h"
#include "settings/settingkeys.h"
#include "songlog/view.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <set>

namespace marvane::test {
namespace {

class OptionsTest : public AppTest {
 protected:
  QByteArray SettingsBytes() {
    QFile file(store_.FilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
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

TEST_F(OptionsTest, EachBundledFaceDressesTheMainWindowAndSwitchesBack) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(app_->Form()->grab().save(ArtefactDir() + QStringLiteral("/faces_none.png")));
  for (const QString face : {QStringLiteral("Sample"), QStringLiteral("Amber")}) {
    store_.WriteSetting(keys::kFace, face);
    store_.WriteSetting(keys::kBackPic, true);
    stages_.clear();
    Restart();
    EXPECT_TRUE(stages_.contains(QStringLiteral("Loading Face..."))) << face.toStdString();
    EXPECT_EQ(QDir(app_->State().FacePath).dirName(), face);
    ASSERT_TRUE(app_->Form()->grab().save(ArtefactDir() + QStringLiteral("/faces_%1.png").arg(face)));
  }
  EXPECT_EQ(ValueFromColor(app_->Form()->palette().color(QPalette::Window)), 0x040C14u);
}

TEST_F(OptionsTest, OpeningWritesNothingAndEveryControlActsAtOnce) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(app_->OptionsOpen);  // start-up's hidden load is over
  EXPECT_EQ(app_->Form()->Options1()->CaptionColor(), ColorFromValue(app_->Colors().TextColor));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  const QByteArray before = SettingsBytes();
  OptionsDialog* options = OpenFromMainWindow();
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(options->isModal() || options->windowModality() == Qt::ApplicationModal);
  EXPECT_EQ(SettingsBytes(), before);
  EXPECT_TRUE(app_->OptionsOpen);
  EXPECT_EQ(app_->Form()->Options1()->CaptionColor(), ColorFromValue(app_->Colors().HiliteColor));
  for (int tab = 0; tab < 5; ++tab) EXPECT_TRUE(options->SSTab1()->isTabEnabled(tab));
  for (int tab = 0; tab < 5; ++tab) {
    options->SSTab1()->setCurrentIndex(tab);
    ASSERT_TRUE(options->grab().save(ArtefactDir() + QStringLiteral("/options_tab%1.png").arg(tab)));
  }
  // Auto Stop greys Auto Reset and leaves its value.
  Child<QCheckBox>("Check1")->click();
  EXPECT_TRUE(app_->State().ASOF);
  Child<QCheckBox>("Check1")->click();
  EXPECT_FALSE(Child<QCheckBox>("Check2")->isEnabled());
  EXPECT_TRUE(app_->State().AutoReset);
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
  EXPECT_EQ(Child<QLineEdit>("Text2")->text(), QStringLiteral("abc"));
  EXPECT_EQ(app_->State().NoRep, 10);
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
  ASSERT_NE(app_->Options(), nullptr);
  EXPECT_TRUE(app_->OptionsOpen);
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
  QFile scheme(DataFolder() + QStringLiteral("Faces/Bare/colors.txt"));
  ASSERT_TRUE(scheme.open(QIODevice::WriteOnly));
  scheme.write("[Colors]\nText=FF0000\n");
  scheme.close();
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
  EXPECT_EQ(store_.ReadSetting(keys::kShowLines, QString()), QString());
  EXPECT_EQ(store_.ReadSetting(keys::kFace, QString()), QStringLiteral("Bare"));
  EXPECT_EQ(app_->Colors().TextColor, 255u);
  // Save Colors asks first; No writes nothing, Yes writes the scheme and says where.
  dialogs_.messages.clear();
  dialogs_.messageAnswers = {MessageResult::No};
  Child<QPushButton>("Command2")->click();
  EXPECT_EQ(ReadIniValue(QStringLiteral("Lines"), QStringLiteral("Visible"), Scheme()),
            QString());
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
  for (int tab = 0; tab < 4; ++tab) EXPECT_FALSE(options->SSTab1()->isTabEnabled(tab)) << tab;
  EXPECT_TRUE(options->SSTab1()->isTabEnabled(4));
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
  for (const char* name : {"General", "AutoPilot", "Colors", "Faces", "Logging", "Auto Stop", "Use Face",
                           "Save Colors", "Ok", "Spin up Drive", "No Repeats Until", "Cross Fade Songs", "FF8000",
                           "Palette", "Face List", "Log File"})
    EXPECT_TRUE(names.count(QLatin1String(name))) << name;
}

}  // namespace
}  // namespace marvane::test
