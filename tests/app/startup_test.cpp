#include "app/progresswindow.h"
#include "console/imagebutton.h"
#include "app/settingkeys.h"
#include "appearance/twips.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "common/appinfo.h"
#include "console/mainform.h"
#include "app/apptestfixture.h"

#include <QLabel>
#include <QTimer>

namespace marvane::test {
namespace {

class StartupTest : public AppTest {};

TEST_F(StartupTest, AFreshStartRunsTheProgressStagesAndShowsTheEnabledConsoleWithDefaults) {
  ASSERT_TRUE(Start());
  MainForm* form = app_->Form();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->isEnabled());
  EXPECT_TRUE(form->windowTitle().startsWith(kCaptionPrefix));
  EXPECT_TRUE(form->Timer1()->isActive());
  EXPECT_EQ(form->Timer1()->interval(), 300);
  EXPECT_EQ(app_->SP2(), nullptr);  // the progress window is gone
  EXPECT_TRUE(form->Status()->isVisibleTo(form));
  EXPECT_EQ(form->MiniCrossfader1()->Speed(), 50);
  EXPECT_EQ(app_->State().FadeSeconds, 3);
  EXPECT_EQ(app_->State().SpinUp, 5);
  EXPECT_EQ(app_->State().NoRep, 10);
  EXPECT_TRUE(app_->State().RemainTime);
  EXPECT_TRUE(app_->State().AutoReset);
  EXPECT_EQ(app_->Colors().HiliteColor, 255u);
  EXPECT_TRUE(dialogs_.messages.isEmpty());  // no old settings: nothing is asked
  EXPECT_EQ(store_.ReadSetting(keys::kFirstRun, QString()), QStringLiteral("False"));
  // The progress window ran through its stages in order.
  EXPECT_EQ(stages_, (QStringList{QStringLiteral("Initializing..."), QStringLiteral("Opening Files..."),
                                  QStringLiteral("Getting Settings..."), QStringLiteral("Opening Playlist..."),
                                  QStringLiteral("Showing Main Window..."), QStringLiteral("Changing Colors..."),
                                  QStringLiteral("Preparing to show...")}));
}

TEST_F(StartupTest, OnlyTheExactDebugSwitchTurnsDebugModeOn) {
  for (const QString& line : {QStringLiteral("/d"), QStringLiteral("/D")}) {
    ASSERT_TRUE(Start(line));
    EXPECT_TRUE(app_->DebugMode()) << line.toStdString();
  }
  for (const QString& line : {QStringLiteral("/dd"), QStringLiteral("-d"), QStringLiteral("/d x"),
                              QStringLiteral(" /d"), QStringLiteral("/debug"), QString()}) {
    ASSERT_TRUE(Start(line));
    EXPECT_FALSE(app_->DebugMode()) << line.toStdString();
  }
}

TEST_F(StartupTest, TimerIntervalIsOneMillisecondOnlyForPriorityOne) {
  for (const auto& [stored, interval] : {std::pair{QStringLiteral("300"), 300}, {QStringLiteral("0"), 300},
                                         {QStringLiteral("2"), 300}, {QStringLiteral("1"), 1},
                                         {QStringLiteral("1.0"), 1}}) {
    store_.WriteSetting(keys::kPriority, stored);
    ASSERT_TRUE(Start());
    EXPECT_EQ(app_->Form()->Timer1()->interval(), interval) << stored.toStdString();
    EXPECT_EQ(app_->State().HighPriority, interval == 1);
  }
}

TEST_F(StartupTest, ToolTipsAndTheStatusLineFollowTheirSettings) {
  store_.WriteSetting(keys::kToolTips, false);
  store_.WriteSetting(keys::kStatHelp, QStringLiteral("0"));
  ASSERT_TRUE(Start());
  EXPECT_FALSE(app_->State().ToolTipsOn);
  for (QWidget* w : app_->Form()->findChildren<QWidget*>())
    EXPECT_TRUE(w->toolTip().isEmpty()) << w->objectName().toStdString() << ": " << w->toolTip().toStdString();
  EXPECT_FALSE(app_->Form()->Status()->isVisibleTo(app_->Form()));
  store_.WriteSetting(keys::kToolTips, true);
  store_.WriteSetting(keys::kStatHelp, QStringLiteral("1"));
  ASSERT_TRUE(Start());
  EXPECT_EQ(app_->Form()->APlay()->toolTip(), QStringLiteral("Plays Playlist / Skips to Next Song"));
  EXPECT_TRUE(app_->Form()->Status()->isVisibleTo(app_->Form()));
}

TEST_F(StartupTest, LineControlsComeBackFromTheirSettings) {
  // Leading-number parse; an unreadable or out-of-range value leaves the slider at its start value 0.
  const std::pair<int, const char*> sliders[] = {{2, "75abc"}, {4, "abc"}, {7, "33"}, {5, "250"}};
  for (const auto& [n, text] : sliders) store_.WriteSetting(keys::Slider(n), QLatin1String(text));
  // A fade mode other than 0, 1 or 2 leaves the line as the window was designed: Always On.
  for (const auto& [n, mode] : {std::pair{1, 0}, {2, 2}, {3, 5}}) store_.WriteSetting(keys::FadeMode(n), mode);
  store_.WriteSetting(keys::Loop(6), true);
  store_.WriteSetting(keys::Loop(0), true);
  ASSERT_TRUE(Start());
  MainForm* form = app_->Form();
  const int expectedSliders[] = {80, 80, 75, 80, 0, 0, 80, 33};
  for (int n = 0; n <= 7; ++n) EXPECT_EQ(form->Slider(n)->Value(), expectedSliders[n]) << n;
  const int expectedModes[] = {1, 0, 2, 1, 1, 1, 1};
  for (int n = 0; n <= 6; ++n) EXPECT_EQ(form->FadeModeShown(n), expectedModes[n]) << n;
  for (int n = 0; n <= 6; ++n) EXPECT_EQ(form->LoopShown(n), n == 0 || n == 6) << n;
  EXPECT_TRUE(app_->State().AutoPilotLoop);
}

TEST_F(StartupTest, ABadValueSkipsOnlyItsOwnStepAndIsShownInDebugModeOverAHiddenProgressWindow) {
  store_.WriteSetting(keys::kNoRep, QStringLiteral("abc"));
  store_.WriteSetting(keys::kSpinUp, QStringLiteral("7"));
  ASSERT_TRUE(Start());
  EXPECT_EQ(app_->State().NoRep, 0);  // initial value kept
  EXPECT_EQ(app_->State().SpinUp, 7);  // the next step still ran
  EXPECT_TRUE(dialogs_.messages.isEmpty());

  store_.WriteSetting(keys::kFadeSpeed, QStringLiteral("fast"));
  int progressVisibleDuringBox = 0;
  dialogs_.onMessage = [&](const AskedMessage&) { progressVisibleDuringBox += app_->SP2()->isVisible(); };
  ASSERT_TRUE(Start(QStringLiteral("/d")));
  ASSERT_EQ(dialogs_.messages.size(), 2);  // one for each bad value
  for (const AskedMessage& message : dialogs_.messages) {
    EXPECT_EQ(message.title, QStringLiteral("Debug Error Message - Get Defaults"));
    EXPECT_EQ(message.icon, MessageIcon::Critical);
    EXPECT_EQ(message.text, QStringLiteral("Type mismatch"));
  }
  EXPECT_EQ(progressVisibleDuringBox, 0);
  EXPECT_EQ(app_->State().SpinUp, 7);
  EXPECT_EQ(app_->Form()->MiniCrossfader1()->Speed(), MiniCrossfader(nullptr).Speed());
}

}  // namespace
}  // namespace marvane::test
