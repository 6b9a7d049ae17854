// The whole program started and ended: defaults, the settings read back, the sound card's mixer, the microphone
// window, the lines' files, and the exit question.

#include "app/apptestfixture.h"
#include "app/progresswindow.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/appinfo.h"
#include "console/autopilot.h"
#include "console/console.h"
#include "console/imagebutton.h"
#include "console/imageswitch.h"
#include "console/linecontrols.h"
#include "console/listtimeleft.h"
#include "console/mixrecording.h"
#include "console/songlevels.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"
#include "mixer/mixer.h"

#include <QFileInfo>
#include <QHelpEvent>
#include <QThread>
#include <QTimer>

namespace marvane::test {
namespace {

using StartupTest = AppTest;

TEST_F(StartupTest, AFreshStartRunsTheProgressStagesAndShowsTheConsoleWithDefaults) {
  ASSERT_TRUE(Start());
  MainForm* form = app_->Form();
  EXPECT_TRUE(form->isVisible() && form->isEnabled() && form->windowTitle().startsWith(kCaptionPrefix));
  EXPECT_TRUE(form->Timer1()->isActive() && form->Timer1()->interval() == 300);
  EXPECT_EQ(app_->SP2(), nullptr);  // the progress window is gone
  EXPECT_TRUE(form->Status()->isVisibleTo(form) && form->MiniCrossfader1()->Speed() == 50);
  const ConsoleState& state = app_->State();
  EXPECT_EQ(std::tuple(state.FadeSeconds, state.SpinUp, state.NoRep, state.RemainTime, state.AutoReset),
            std::tuple(3, 5, 10, true, true));
  EXPECT_TRUE(dialogs_.messages.isEmpty());  // no old settings: nothing is asked
  EXPECT_EQ(store_.ReadSetting(keys::kFirstRun, QString()), u"False"_s);
  EXPECT_EQ(stages_, (QStringList{u"Initializing..."_s, u"Opening Files..."_s, u"Getting Settings..."_s,
                                  u"Opening Playlist..."_s, u"Showing Main Window..."_s, u"Changing Colors..."_s,
                                  u"Preparing to show..."_s}));
}

TEST_F(StartupTest, TheCommandLineSwitchAndThePriorityAndHelpSettingsApply) {
  for (const auto& [line, debug] : {std::pair{u"/d"_s, true}, {u"/D"_s, true}, {u"/dd"_s, false},
                                    {u"-d"_s, false}, {u"/d x"_s, false}, {u" /d"_s, false}}) {
    ASSERT_TRUE(Start(line));
    EXPECT_EQ(app_->DebugMode(), debug) << line.toStdString();
  }
  // The timer runs every millisecond only for priority 1.
  for (const auto& [stored, interval] : {std::pair{u"0"_s, 300}, {u"2"_s, 300}, {u"1.0"_s, 1}}) {
    store_.WriteSetting(keys::kPriority, stored);
    ASSERT_TRUE(Start());
    EXPECT_EQ(app_->Form()->Timer1()->interval(), interval) << stored.toStdString();
    EXPECT_EQ(app_->State().HighPriority, interval == 1);
  }
  store_.WriteSetting(keys::kToolTips, false), store_.WriteSetting(keys::kStatHelp, u"0"_s);
  ASSERT_TRUE(Start());  // every tip cleared: mainform_test
  EXPECT_TRUE(!app_->State().ToolTipsOn && app_->Form()->APlay()->toolTip().isEmpty());
  EXPECT_FALSE(app_->Form()->Status()->isVisibleTo(app_->Form()));
  store_.WriteSetting(keys::kToolTips, true);
  ASSERT_TRUE(Start());
  EXPECT_EQ(app_->Form()->APlay()->toolTip(), u"Plays Playlist / Skips to Next Song"_s);
}

TEST_F(StartupTest, LineControlsAndFilesComeBackFromTheirSettingsAndExitStopsThePlayers) {
  // Leading-number parse; an unreadable or out-of-range value leaves the slider at its start value 0.
  const std::pair<int, const char*> sliders[] = {{2, "75abc"}, {4, "abc"}, {7, "33"}, {5, "250"}};
  for (const auto& [n, text] : sliders) store_.WriteSetting(keys::Slider(n), QLatin1String(text));
  // A fade mode other than 0, 1 or 2 leaves the line as the window was designed: Always On.
  for (const auto& [n, mode] : {std::pair{1, 0}, {2, 2}, {3, 5}}) store_.WriteSetting(keys::FadeMode(n), mode);
  for (int n : {0, 6}) store_.WriteSetting(keys::Loop(n), true);
  const QString tone = Tone(u"three.wav"_s), missing = Path(u"gone.wav"_s);
  store_.WriteSetting(keys::File(3), tone), store_.WriteSetting(keys::File(4), missing);
  ASSERT_TRUE(Start());
  MainForm* form = app_->Form();
  const int expectedSliders[] = {80, 80, 75, 80, 0, 0, 80, 33};
  for (int n = 0; n <= 7; ++n) EXPECT_EQ(form->Line(n).Slider->Value(), expectedSliders[n]) << n;
  const int expectedModes[] = {1, 0, 2, 1, 1, 1, 1};
  const LineControls& lines = app_->ConsoleParts()->Lines();
  for (int n = 0; n <= 6; ++n) {
    EXPECT_EQ(lines.FadeMode(n), expectedModes[n]) << n;
    EXPECT_FALSE(form->Line(n).Mode(static_cast<FadeModeCode>(expectedModes[n]))->Lit()->isHidden()) << n;
    EXPECT_EQ(std::pair(lines.Looping(n), form->Line(n).Loop->IsLit()), std::pair(n == 0 || n == 6, n == 0 || n == 6))
        << n;
  }
  EXPECT_TRUE(app_->State().AutoPilotLoop);

  MediaPlayer& line3 = app_->Engine()->Player(3);
  for (const auto& [n, file] : {std::pair{3, tone}, {4, missing}, {5, QString()}})
    EXPECT_EQ(app_->Engine()->Player(n).FileName(), file) << n;
  ASSERT_TRUE(WaitFor([&] { return line3.OpenState() == 6; }));
  line3.Play();
  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  ASSERT_TRUE(app_->ExitProgram(true));
  EXPECT_NE(line3.PlayState(), 2);
}

TEST_F(StartupTest, ABadValueSkipsOnlyItsOwnStepAndIsShownInDebugModeOverAHiddenProgressWindow) {
  store_.WriteSetting(keys::kNoRep, u"abc"_s), store_.WriteSetting(keys::kSpinUp, u"7"_s);
  ASSERT_TRUE(Start());
  // The initial NoRep is kept and the next step still ran.
  EXPECT_EQ(std::pair(+app_->State().NoRep, +app_->State().SpinUp), std::pair(0, 7));
  EXPECT_TRUE(dialogs_.messages.isEmpty());

  store_.WriteSetting(keys::kFadeSpeed, u"fast"_s);
  int progressVisibleDuringBox = 0;
  dialogs_.onMessage = [&](const AskedMessage&) { progressVisibleDuringBox += app_->SP2()->isVisible(); };
  ASSERT_TRUE(Start(u"/d"_s));
  ASSERT_EQ(dialogs_.messages.size(), 2);  // one for each bad value
  for (const AskedMessage& message : dialogs_.messages)
    EXPECT_EQ(std::tuple(message.title, message.icon, message.text),
              std::tuple(u"Debug Error Message - Get Defaults"_s, MessageIcon::Critical, u"Type mismatch"_s));
  EXPECT_EQ(progressVisibleDuringBox, 0);
  EXPECT_EQ(app_->Form()->MiniCrossfader1()->Speed(), MiniCrossfader(nullptr).Speed());
}

TEST_F(StartupTest, StartUpSetsTheMasterVolumeOrReportsTheMissingMixerOnce) {
  ASSERT_TRUE(Start());
  ASSERT_FALSE(card_->writes.empty());
  // Slider 7 defaults to 80: 65535 / 100 x 80 = 52428.
  EXPECT_EQ(card_->writes.back(), (ScriptedMixerBackend::Write{ScriptedMixerBackend::kHandle, 1, 52428}));
  EXPECT_TRUE(dialogs_.messages.isEmpty());

  // Without a mixer the error is shown once and the console works on; master controls do nothing and ask nothing.
  cardHasMixer_ = false;
  ASSERT_TRUE(Start());
  EXPECT_TRUE(dialogs_.MessageTexts() == QStringList{Mixer::kMixerErrorText} && app_->Form()->isEnabled());
  app_->Form()->Line(7).Slider->SetValue(40);
  QTest::keyClick(app_->Form(), Qt::Key_Space);
  EXPECT_TRUE(card_->writes.empty() && dialogs_.messages.size() == 1);
}

TEST_F(StartupTest, TheMicrophoneWindowComesBackWhenItWasOpenAtExit) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(app_->MicWindowOpen());
  QTest::mouseClick(app_->Form()->MicButt(), Qt::LeftButton);
  ASSERT_TRUE(app_->MicWindowOpen());
  EXPECT_EQ(app_->Form()->MicButt()->CaptionColor(), ColorFromValue(app_->Colors().HiliteColor));

  // Declining the exit keeps it, hidden only while the question is up.
  bool visibleDuringQuestion = true;
  dialogs_.onMessage = [&](const AskedMessage&) { visibleDuringQuestion = app_->Mic()->Window()->isVisible(); };
  dialogs_.messageAnswers.push_back(MessageResult::No);
  EXPECT_FALSE(app_->ExitProgram(true));
  EXPECT_TRUE(!visibleDuringQuestion && app_->Mic()->Window()->isVisible());
  dialogs_.onMessage = nullptr;

  Restart();
  EXPECT_EQ(std::pair(store_.ReadSetting(keys::kShowMic, QString()), app_->MicWindowOpen()),
            std::pair(u"True"_s, true));
  app_->Mic()->CloseMicWindow();
  Restart();
  EXPECT_EQ(std::pair(store_.ReadSetting(keys::kShowMic, QString()), app_->MicWindowOpen()),
            std::pair(u"False"_s, false));
}

TEST_F(StartupTest, TheExitQuestionComesFromEveryWayOutAndNoKeepsEverythingAsItWas) {
  ASSERT_TRUE(Start());
  const QByteArray before = ReadBytes(store_.FilePath());
  dialogs_.messageAnswers = {MessageResult::No, MessageResult::No, MessageResult::No, MessageResult::No};
  EXPECT_FALSE(app_->ExitProgram(true));
  EXPECT_FALSE(app_->Form()->close());
  QTest::mouseClick(app_->Form()->ExitButton(), Qt::LeftButton);
  app_->Form()->muExit()->trigger();
  EXPECT_EQ(dialogs_.MessageTexts(), QStringList(4, u"Are you sure you want to exit Marvane?"_s));
  EXPECT_EQ(std::pair(dialogs_.messages[0].buttons, dialogs_.messages[0].icon),
            std::pair(MessageButtons::YesNo, MessageIcon::Question));
  EXPECT_TRUE(app_->Form()->isVisible() && !app_->ClosingDown() && ended_ == 0);
  EXPECT_EQ(ReadBytes(store_.FilePath()), before);
}

TEST_F(StartupTest, YesSavesThePlaceClosesTheWindowAndEndsAndThePlaceComesBackAtTheNextStart) {
  ASSERT_TRUE(Start());
  app_->Form()->move(123, 77);
  app_->ConsoleParts()->Lines().FadeLeftW_MouseDown(3, kLeftButton);
  app_->ConsoleParts()->Lines().LoopW_MouseDown(2, kLeftButton);
  app_->State().AutoPilotOn = app_->State().Logging = true;
  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  app_->Form()->close();
  EXPECT_TRUE(app_->ClosingDown() && !app_->Form()->isVisible() && ended_ == 1);
  EXPECT_FALSE(app_->State().AutoPilotOn || app_->State().Logging);
  EXPECT_EQ(dialogs_.messages.size(), 1);  // closing the window did not ask again
  EXPECT_EQ(std::pair(store_.ReadSetting(keys::kMainLeft, QString()), store_.ReadSetting(keys::kMainTop, QString())),
            std::pair(u"1845"_s, u"1155"_s));  // in twips
  app_.reset(), instance_.reset();
  ASSERT_TRUE(Start());
  EXPECT_EQ(app_->Form()->pos(), QPoint(123, 77));
  EXPECT_EQ(app_->ConsoleParts()->Lines().FadeMode(3), kFadeLeft);

  // From then on, starting and quitting without touching a control leaves the file as it was: not even a
  // rewrite of the same bytes.
  const QByteArray bytes = ReadBytes(store_.FilePath());
  const FileStamp stamp = FileStamp::Of(store_.FilePath());
  Restart();
  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  ASSERT_TRUE(app_->ExitProgram(true));
  EXPECT_EQ(ReadBytes(store_.FilePath()), bytes);
  EXPECT_EQ(FileStamp::Of(store_.FilePath()), stamp);
}

TEST_F(StartupTest, RecordMixShowsItsRunningTimeInTheTitleAndQuittingFinishesTheFile) {
  ASSERT_TRUE(Start());
  MainForm& form = *app_->Form();
  const QString title = u"MVN v.1.40 - DJ Console"_s;
  dialogs_.saveAnswers = {Path(u"gone/mix.wav"_s), Path(u"mix.wav"_s)};
  form.mnuRecord()->trigger();  // into a folder that is not there
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_TRUE(dialogs_.messages[0].text.startsWith(u"The recording could not start"_s));
  EXPECT_EQ(form.windowTitle(), title);
  form.mnuRecord()->trigger();
  EXPECT_EQ(form.windowTitle(), title + u" - Recording 0:00"_s);
  EXPECT_TRUE(form.mnuStopRecord()->isEnabled() && !form.mnuRecord()->isEnabled());
  for (int second = 0; second < 65; ++second) {  // at about a hundred times real time, which the writer keeps up with
    static_cast<OfflineOutput&>(app_->Engine()->Output()).Pull(44100);
    QThread::msleep(10);
  }
  EXPECT_TRUE(WaitFor([&] { return form.windowTitle() == title + u" - Recording 1:05"_s; }, 2000));
  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  ASSERT_TRUE(app_->ExitProgram(true));
  EXPECT_FALSE(app_->Recording()->Recording());
  EXPECT_GT(QFileInfo(Path(u"mix.wav"_s)).size(), 44100 * 65 * 8);
  EXPECT_EQ(MixRecording::RunningTime(3723.9), u"1:02:03"_s);
}

TEST_F(StartupTest, LevelSongsTrimsAutoPilotsMeasuredSongsTheListsTimeLeftShowsAndTheCacheKeepsThem) {
  const QString tone = Tone(u"tone.wav"_s, 4.0);  // 441 Hz at half scale on both channels: -6.7 LUFS
  WriteBytes(Path(u"list.m3u"_s), tone.toUtf8());
  store_.WriteSetting(keys::kLevelSongs, true);
  ASSERT_TRUE(Start(Path(u"list.m3u"_s)));  // the command line's list starts AutoPilot
  SongLevels& levels = *app_->Levels();
  ASSERT_TRUE(WaitFor([&] { return levels.TrimDb(tone).has_value(); }, 10000));
  EXPECT_NEAR(*levels.TrimDb(tone), -18.0 - -6.7, 0.3);
  EXPECT_NEAR(levels.Seconds(tone).value_or(0), 4.0, 0.01);
  app_->AutoPilotParts()->APlay();  // a skip: the song starts again, now measured
  EXPECT_DOUBLE_EQ(app_->Engine()->AP(app_->AutoPilotParts()->CurrentAP()).Trim(), *levels.TrimDb(tone));
  EXPECT_EQ(app_->Engine()->Player(1).Trim(), 0.0);
  app_->State().ToolTipsOn = true;
  QHelpEvent hover(QEvent::ToolTip, QPoint(1, 1), app_->Form()->NextSong()->mapToGlobal(QPoint(1, 1)));
  ASSERT_TRUE(WaitFor([&] { return app_->Engine()->AP(app_->AutoPilotParts()->CurrentAP()).PlayState() == 2; }));
  QCoreApplication::sendEvent(app_->Form()->NextSong(), &hover);  // the list's only song plays
  EXPECT_TRUE(QStringList({u"Time left in the list: 0:04"_s, u"Time left in the list: 0:03"_s})
                  .contains(app_->Form()->NextSong()->toolTip()))
      << app_->Form()->NextSong()->toolTip().toStdString();
  SongLevels again;  // a later run knows it from the cache file, without measuring
  EXPECT_NEAR(again.TrimDb(tone).value_or(0), *levels.TrimDb(tone), 0.01);
}

}  // namespace
}  // namespace marvane::test
