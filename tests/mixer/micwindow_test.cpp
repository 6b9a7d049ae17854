// The microphone window, with the real slider and check box driven by mouse events, against a scripted card.
// Start-up's ShowMic and the exit confirmation's hiding are tested through the whole program in tests/app.

#include "appearance/minislider.h"
#include "appearance/twips.h"
#include "common/colorscheme.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"
#include "mixer/mixer.h"
#include "mixer/scriptedmixerbackend.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"

#include <gmock/gmock.h>

#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

namespace marvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr quint32 kMic = 2;

class MicWindowTest : public ::testing::Test {
 protected:
  void Start(bool withMic = true) {
    card.speakers = ScriptedMixerBackend::Control(1, 0, 65535);
    if (withMic) card.microphone = ScriptedMixerBackend::Control(kMic, 0, 100);
    mixer.InitMixer();
  }
  std::vector<quint32> ButtonColors() {
    std::vector<quint32> seen;
    for (const QList<QVariant>& args : buttonColors) seen.push_back(args.at(0).value<quint32>());
    buttonColors.clear();
    return seen;
  }

  ScriptedMixerBackend card;
  ScriptedDialogs dialogs;
  Mixer mixer{card, dialogs};
  TempSettings settings;
  ColorScheme colors;
  MicWindow mic{mixer, settings, colors, dialogs};
  QSignalSpy buttonColors{&mic, &MicWindow::MicButtColor};
};

TEST_F(MicWindowTest, NoMicrophoneControlMeansNoWindowAndTheButtonColourReturns) {
  Start(false);
  QSignalSpy opened(&mic, &MicWindow::MicWindowOpenChanged);
  // At start-up nothing is shown and nothing stored, even when the window was open when the program ended.
  settings.Set(u"ShowMic"_s, u"True"_s);
  const FileStamp before = settings.Stamp();
  mic.ShowAtStartup();
  EXPECT_EQ(settings.Stamp(), before);
  EXPECT_THAT(ButtonColors(), IsEmpty());
  mic.ShowMicWindow();
  EXPECT_TRUE(!mic.MicWindowOpen() && mic.Window() == nullptr);
  EXPECT_THAT(ButtonColors(), ElementsAre(colors.HiliteColor, colors.TextColor));
  EXPECT_TRUE(opened.count() == 0 && card.writes.empty());
  // The unload during the load stores the window's design position, the centred one.
  EXPECT_EQ(settings.Get(u"Mic Top"_s).toDouble(), MicLevel::CentredPosition().y());
  EXPECT_EQ(settings.Get(u"Mic Left"_s).toDouble(), MicLevel::CentredPosition().x());
  // Outside debug mode the refusal is silent; start-up's "Mixer Error" is about the master alone.
  EXPECT_THAT(dialogs.messages, IsEmpty());
  mic.SetDebugMode(true);
  mic.ShowMicWindow();
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_EQ(std::pair(dialogs.messages[0].title, dialogs.messages[0].icon),
            std::pair(u"MVN Error"_s, MessageIcon::Critical));
}

TEST_F(MicWindowTest, FirstOpeningSendsLevelZeroAndReopeningSendsTheLastValue) {
  Start();
  QSignalSpy opened(&mic, &MicWindow::MicWindowOpenChanged);
  mic.ShowMicWindow();
  ASSERT_TRUE(mic.MicWindowOpen());
  MicLevel* window = mic.Window();
  EXPECT_TRUE(window->windowTitle() == u"Mic"_s && window->isVisible() && window->MicSlider()->Value() == 0);
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(0));
  EXPECT_THAT(ButtonColors(), ElementsAre(colors.HiliteColor));
  mic.ShowMicWindow();  // showing an open window only raises it
  EXPECT_TRUE(mic.Window() == window && opened.count() == 1);
  buttonColors.clear();
  // A left click on the slider's track where it gives 50 (the knob's Top goes 230 twips above the pointer); the
  // microphone uses the master's span: 65535 / 100 x 50 = 32767.5, a half, to the even 32768.
  const QPoint at = TwipsToPixels(QPointF(30, 50 * 10.65 + MiniSlider::kTrackClickOffset));
  QTest::mouseClick(window->MicSlider(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(mic.MicLevelValue(), 50);
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(0, 32768));
  window->close();
  EXPECT_FALSE(mic.MicWindowOpen() || opened.at(1).at(0).toBool());
  EXPECT_THAT(ButtonColors(), ElementsAre(colors.TextColor));
  mic.ShowMicWindow();
  EXPECT_EQ(mic.Window()->MicSlider()->Value(), 50);
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(0, 32768, 32768));
  mic.CloseMicWindow();
}

TEST_F(MicWindowTest, PositionIsRestoredAndStoredInTwipsEvenOffTheScreenAndCentredWithoutOne) {
  Start();
  mic.ShowMicWindow();
  EXPECT_EQ(mic.Window()->pos(), TwipsToPixels(MicLevel::CentredPosition()));
  mic.CloseMicWindow();
  for (const auto& [top, left, pos] : {std::tuple{"1500", "3000", QPoint(200, 100)},
                                       {"-30000", "90000", QPoint(6000, -2000)}}) {
    settings.Set(u"Mic Top"_s, QLatin1String(top));
    settings.Set(u"Mic Left"_s, QLatin1String(left));
    mic.ShowMicWindow();
    EXPECT_EQ(mic.Window()->pos(), pos) << top;
    mic.CloseMicWindow();
  }
  mic.ShowMicWindow();
  mic.Window()->move(300, 45);
  mic.CloseMicWindow();
  EXPECT_EQ(std::pair(settings.Get(u"Mic Top"_s), settings.Get(u"Mic Left"_s)), std::pair(u"675"_s, u"4500"_s));
}

TEST_F(MicWindowTest, OnTopByDefaultAndTheBoxSwitchesItAndIsStored) {
  Start();
  mic.ShowMicWindow();
  MicLevel* window = mic.Window();
  EXPECT_EQ(window->Check1()->text(), u"On Top"_s);
  const QPoint before = window->pos();
  for (const bool onTop : {true, false, true}) {
    EXPECT_EQ(window->Check1()->isChecked(), onTop);
    EXPECT_EQ(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    EXPECT_TRUE(window->isVisible() && window->pos() == before);
    EXPECT_EQ(settings.Get(u"MicOnTop"_s), onTop ? u"True"_s : u"False"_s);
    QTest::mouseClick(window->Check1(), Qt::LeftButton);
  }
  mic.CloseMicWindow();
  settings.Set(u"MicOnTop"_s, u"False"_s);  // a stored False opens without the topmost band
  mic.ShowMicWindow();
  EXPECT_FALSE(mic.Window()->Check1()->isChecked() || mic.Window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  mic.CloseMicWindow();
}

}  // namespace
}  // namespace marvane::test
