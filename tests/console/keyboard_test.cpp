#include "app/settingkeys.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "console/keyboard.h"
#include "console/linecontrols.h"
#include "consolefixture.h"

#include <QTest>

namespace marvane::test {
namespace {

class KeyboardTest : public ConsoleTest {
 protected:
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyPress(&form_, key, modifiers);
  }
  void Release(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyRelease(&form_, key, modifiers);
  }
};

TEST_F(KeyboardTest, FunctionKeysPlayOrStopTheirLineOnRelease) {
  const QString tone = Tone(QStringLiteral("f1.wav"));
  ASSERT_EQ(OpenAndWait(engine_.Player(1), tone), 6);
  Press(Qt::Key_F1);
  EXPECT_EQ(engine_.Player(1).PlayState(), 0);  // acts on release, as a button does
  Release(Qt::Key_F1);
  EXPECT_EQ(engine_.Player(1).PlayState(), 2);
  Press(Qt::Key_F1);
  Release(Qt::Key_F1);
  EXPECT_EQ(engine_.Player(1).PlayState(), 0);
  // With Ctrl, Alt or both Shift and Ctrl the keys do nothing.
  for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::AltModifier),
                                          Qt::ShiftModifier | Qt::ControlModifier}) {
    Press(Qt::Key_F1, modifiers);
    Release(Qt::Key_F1, modifiers);
    EXPECT_EQ(engine_.Player(1).PlayState(), 0);
  }
}

TEST_F(KeyboardTest, ShiftF3OpensAFileForLine3AndCtrlF3DoesNothing) {
  Press(Qt::Key_F3, Qt::ControlModifier);
  Release(Qt::Key_F3, Qt::ControlModifier);
  Press(Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier);
  Release(Qt::Key_F3, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_TRUE(dialogs_.openRequests.isEmpty());
  Press(Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_TRUE(dialogs_.openRequests.isEmpty());
  Release(Qt::Key_F3, Qt::ShiftModifier);
  ASSERT_EQ(dialogs_.openRequests.size(), 1);
  EXPECT_EQ(dialogs_.openRequests[0].title, QStringLiteral("Open a file on line 3"));
}

TEST_F(KeyboardTest, KeypadEightAndTwoStepTheMasterAndTheReleaseSavesIt) {
  form_.Slider(7)->SetValue(99);
  Press(Qt::Key_8, Qt::KeypadModifier);
  Press(Qt::Key_8, Qt::KeypadModifier);  // held: 100 is the top, the second step changes nothing
  EXPECT_EQ(form_.Slider(7)->Value(), 100);
  EXPECT_TRUE(settings_.ReadSetting(keys::Slider(7), QString()).isEmpty());
  Release(Qt::Key_8, Qt::KeypadModifier);
  EXPECT_EQ(settings_.ReadSetting(keys::Slider(7), QString()), QStringLiteral("100"));
  EXPECT_EQ(card_.writes.back().level, 65535);
  Press(Qt::Key_2, Qt::KeypadModifier);
  Release(Qt::Key_2, Qt::KeypadModifier);
  EXPECT_EQ(settings_.ReadSetting(keys::Slider(7), QString()), QStringLiteral("99"));
  // The main keyboard's 8 is not the keypad's.
  Press(Qt::Key_8);
  EXPECT_EQ(form_.Slider(7)->Value(), 99);
}

TEST_F(KeyboardTest, KeypadFourFadesOnlyWhileHeldAndFiveCentres) {
  MiniCrossfader* fader = form_.MiniCrossfader1();
  Press(Qt::Key_4, Qt::KeypadModifier);
  EXPECT_TRUE(fader->IsFadingLeft());
  fader->TickLeft();
  Release(Qt::Key_4, Qt::KeypadModifier);
  EXPECT_FALSE(fader->IsFadingLeft());
  EXPECT_LT(fader->Position(), 1140);
  Press(Qt::Key_6, Qt::KeypadModifier);
  EXPECT_TRUE(fader->IsFadingRight());
  Release(Qt::Key_6, Qt::KeypadModifier);
  Press(Qt::Key_5, Qt::KeypadModifier);
  EXPECT_EQ(fader->Position(), 1140);
}

TEST_F(KeyboardTest, SpaceHoldsTheMasterMute) {
  form_.Slider(7)->SetValue(80);
  Press(Qt::Key_Space);
  EXPECT_TRUE(console_.Lines().Muted(7));
  EXPECT_EQ(card_.writes.back().level, 0);
  Release(Qt::Key_Space);
  EXPECT_FALSE(console_.Lines().Muted(7));
  EXPECT_EQ(card_.writes.back().level, 52428);
}

TEST_F(KeyboardTest, F12StopsEveryLine) {
  ASSERT_EQ(OpenAndWait(engine_.Player(4), Tone(QStringLiteral("four.wav"))), 6);
  engine_.Player(4).Play();
  Press(Qt::Key_F12);
  EXPECT_EQ(engine_.Player(4).PlayState(), 0);
}

TEST_F(KeyboardTest, DigitsPressAndReleaseTheAutoPilotButtons) {
  int plays = 0, nexts = 0, stops = 0;
  console_.Keyboard().aPlay = [&] { ++plays; };
  console_.Keyboard().aNext = [&] { ++nexts; };
  console_.Keyboard().aStop = [&] { ++stops; };
  Press(Qt::Key_1);
  EXPECT_EQ(plays, 0);
  Release(Qt::Key_1);
  Press(Qt::Key_2);
  Release(Qt::Key_2);
  Press(Qt::Key_3);
  Release(Qt::Key_3);
  EXPECT_EQ(plays, 1);
  EXPECT_EQ(nexts, 1);
  EXPECT_EQ(stops, 1);
  Press(Qt::Key_1, Qt::KeypadModifier);  // the keypad's 1 is not the digit
  Release(Qt::Key_1, Qt::KeypadModifier);
  EXPECT_EQ(plays, 1);
}

}  // namespace
}  // namespace marvane::test
