// The microphone window, with the real slider and check box driven by mouse events, against a scripted card.

#include "appearance/minislider.h"
#include "appearance/twips.h"
#include "common/colorscheme.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"
#include "mixer/mixer.h"
#include "mixer/memorysettings.h"
#include "mixer/scriptedmixerbackend.h"
#include "support/scripteddialogs.h"
#include "support/testenv.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

namespace marvane {
namespace {

using test::MemorySettings;
using test::ScriptedDialogs;
using test::ScriptedMixerBackend;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr quint32 kMic = 2;

class MicWindowTest : public ::testing::Test {
 protected:
  ScriptedMixerBackend card;
  ScriptedDialogs dialogs;
  Mixer mixer{card, dialogs};
  MemorySettings settings;
  ColorScheme colors;
  MicWindow mic{mixer, settings, colors, dialogs};
  QSignalSpy buttonColors{&mic, &MicWindow::MicButtColor};

  void Start(bool withMic = true) {
    card.speakers = ScriptedMixerBackend::Control(1, 0, 65535);
    if (withMic) card.microphone = ScriptedMixerBackend::Control(kMic, 0, 100);
    mixer.InitMixer();
  }

  std::vector<quint32> ButtonColors() const {
    std::vector<quint32> seen;
    for (const QList<QVariant>& args : buttonColors) seen.push_back(args.at(0).value<quint32>());
    return seen;
  }

  // A left click on the slider's track where it gives the wanted value (the knob's Top goes 230 twips above
  // the pointer).
  static void ClickTrackAt(MiniSlider* slider, int value) {
    const double top = (100 - value) * 10.65;
    const QPoint at = TwipsToPixels(QPointF(30, top + MiniSlider::kTrackClickOffset));
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, at);
  }
};

// Start-up's ShowMic and the exit confirmation's hiding are tested through the whole program in tests/app.
TEST_F(MicWindowTest, NoMicrophoneControlMeansNoWindowAndTheButtonColourReturns) {
  Start(false);
  QSignalSpy opened(&mic, &MicWindow::MicWindowOpenChanged);
  // At start-up nothing is shown and nothing stored, even when the window was open when the program ended.
  settings.Set(QStringLiteral("ShowMic"), QStringLiteral("True"));
  mic.ShowAtStartup();
  EXPECT_THAT(settings.writes, IsEmpty());
  EXPECT_EQ(buttonColors.count(), 0);

  mic.ShowMicWindow();

  EXPECT_FALSE(mic.MicWindowOpen());
  EXPECT_EQ(mic.Window(), nullptr);
  EXPECT_THAT(ButtonColors(), ElementsAre(colors.HiliteColor, colors.TextColor));
  EXPECT_EQ(opened.count(), 0);
  EXPECT_THAT(card.writes, IsEmpty());
  // The unload during the load stores the window's design position, the centred one.
  const QPointF centred = MicLevel::CentredPosition();
  EXPECT_EQ(settings.Get(QStringLiteral("Mic Top")).toDouble(), centred.y());
  EXPECT_EQ(settings.Get(QStringLiteral("Mic Left")).toDouble(), centred.x());
  // Outside debug mode the refusal is silent; start-up's "Mixer Error" is about the master alone.
  EXPECT_THAT(dialogs.messages, IsEmpty());
  mic.SetDebugMode(true);
  mic.ShowMicWindow();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("MVN Error"));
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
  EXPECT_FALSE(mic.MicWindowOpen());
}

TEST_F(MicWindowTest, FirstOpeningSendsLevelZeroAndReopeningSendsTheLastValue) {
  Start();
  QSignalSpy opened(&mic, &MicWindow::MicWindowOpenChanged);
  mic.ShowMicWindow();
  ASSERT_TRUE(mic.MicWindowOpen());
  MicLevel* window = mic.Window();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Mic"));
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->MicSlider()->Value(), 0);
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(0));
  EXPECT_THAT(ButtonColors(), ElementsAre(colors.HiliteColor));
  // Showing an open window only raises it.
  mic.ShowMicWindow();
  EXPECT_EQ(mic.Window(), window);
  EXPECT_EQ(opened.count(), 1);
  buttonColors.clear();

  ClickTrackAt(window->MicSlider(), 50);
  EXPECT_EQ(mic.MicLevelValue(), 50);
  // The microphone uses the master's span: 65535 / 100 x 50 = 32767.5, a half, to the even 32768.
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(0, 32768));
  window->close();
  EXPECT_FALSE(mic.MicWindowOpen());
  EXPECT_FALSE(opened.at(1).at(0).toBool());
  EXPECT_THAT(ButtonColors(), ElementsAre(colors.TextColor));

  mic.ShowMicWindow();
  ASSERT_TRUE(mic.MicWindowOpen());
  EXPECT_EQ(mic.Window()->MicSlider()->Value(), 50);
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(0, 32768, 32768));
  mic.CloseMicWindow();
}

TEST_F(MicWindowTest, PositionIsRestoredAndStoredInTwipsEvenOffTheScreenAndCentredWithoutOne) {
  Start();
  mic.ShowMicWindow();
  EXPECT_EQ(mic.Window()->pos(), TwipsToPixels(MicLevel::CentredPosition()));
  mic.CloseMicWindow();
  const struct {
    const char *top, *left;
    QPoint pos;
  } rows[] = {{"1500", "3000", {200, 100}}, {"-30000", "90000", {6000, -2000}}};
  for (const auto& row : rows) {
    settings.Set(QStringLiteral("Mic Top"), QString::fromLatin1(row.top));
    settings.Set(QStringLiteral("Mic Left"), QString::fromLatin1(row.left));
    mic.ShowMicWindow();
    EXPECT_EQ(mic.Window()->pos(), row.pos) << row.top;
    mic.CloseMicWindow();
  }
  mic.ShowMicWindow();
  mic.Window()->move(300, 45);
  mic.CloseMicWindow();
  EXPECT_EQ(settings.Get(QStringLiteral("Mic Top")), QStringLiteral("675"));
  EXPECT_EQ(settings.Get(QStringLiteral("Mic Left")), QStringLiteral("4500"));
}

TEST_F(MicWindowTest, OnTopByDefaultAndTheBoxSwitchesItAndIsStored) {
  Start();
  mic.ShowMicWindow();
  MicLevel* window = mic.Window();
  QCheckBox* check1 = window->Check1();
  EXPECT_EQ(check1->text(), QStringLiteral("On Top"));
  const QPoint before = window->pos();
  for (const bool onTop : {true, false, true}) {
    EXPECT_EQ(check1->isChecked(), onTop);
    EXPECT_EQ(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), before);
    EXPECT_EQ(settings.Get(QStringLiteral("MicOnTop")), onTop ? QStringLiteral("True") : QStringLiteral("False"));
    QTest::mouseClick(check1, Qt::LeftButton);
  }
  mic.CloseMicWindow();
  // A stored False opens without the topmost band.
  settings.Set(QStringLiteral("MicOnTop"), QStringLiteral("False"));
  mic.ShowMicWindow();
  EXPECT_FALSE(mic.Window()->Check1()->isChecked());
  EXPECT_FALSE(mic.Window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  mic.CloseMicWindow();
}

}  // namespace
}  // namespace marvane
