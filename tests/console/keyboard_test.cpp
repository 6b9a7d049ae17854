// The keyboard table on the real main window: each key acts as its button does, on release where the button acts on
// release, and only with the shift state the table gives.

#include "console/keyboard.h"
#include "consolefixture.h"

#include <QApplication>
#include <QKeyEvent>

namespace marvane::test {
namespace {

class KeyboardTest : public ConsoleTest {
 protected:
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyPress(&form_, key, modifiers); }
  void Release(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyRelease(&form_, key, modifiers); }
  void Click(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { Press(key, modifiers), Release(key, modifiers); }
};

TEST_F(KeyboardTest, FunctionKeysPlayOrStopOnReleaseShiftOpensAndOtherShiftStatesDoNothing) {
  ASSERT_EQ(OpenAndWait(engine_.Player(1), Tone(QStringLiteral("f1.wav"))), 6);
  Press(Qt::Key_F1);
  EXPECT_EQ(engine_.Player(1).PlayState(), 0);  // acts on release, as a button does
  Release(Qt::Key_F1);
  EXPECT_EQ(engine_.Player(1).PlayState(), 2);
  Click(Qt::Key_F1);
  EXPECT_EQ(engine_.Player(1).PlayState(), 0);

  for (Qt::KeyboardModifiers modifiers :
       {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::AltModifier),
        Qt::ShiftModifier | Qt::ControlModifier}) {
    Click(Qt::Key_F1, modifiers), Click(Qt::Key_F3, modifiers);
    EXPECT_EQ(engine_.Player(1).PlayState(), 0);
  }
  EXPECT_TRUE(dialogs_.openRequests.isEmpty());
  Press(Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_TRUE(dialogs_.openRequests.isEmpty());
  Release(Qt::Key_F3, Qt::ShiftModifier);
  ASSERT_EQ(dialogs_.openRequests.size(), 1);
  EXPECT_EQ(dialogs_.openRequests[0].title, QStringLiteral("Open a file on line 3"));

  // F12 stops every line.
  engine_.Player(1).Play();
  Press(Qt::Key_F12);
  EXPECT_EQ(engine_.Player(1).PlayState(), 0);
}

TEST_F(KeyboardTest, KeypadStepsTheMasterAndDrivesTheCrossfaderAndSpaceHoldsTheMasterMute) {
  form_.Line(7).Slider->SetValue(99);
  Press(Qt::Key_8, Qt::KeypadModifier);
  Press(Qt::Key_8, Qt::KeypadModifier);  // held: 100 is the top, the second step changes nothing
  EXPECT_EQ(form_.Line(7).Slider->Value(), 100);
  EXPECT_TRUE(settings_.ReadSetting(keys::Slider(7), QString()).isEmpty());
  Release(Qt::Key_8, Qt::KeypadModifier);
  EXPECT_EQ(std::pair(settings_.ReadSetting(keys::Slider(7), QString()), card_.writes.back().level),
            std::pair(QStringLiteral("100"), 65535));
  Click(Qt::Key_2, Qt::KeypadModifier);
  EXPECT_EQ(settings_.ReadSetting(keys::Slider(7), QString()), QStringLiteral("99"));
  Press(Qt::Key_8);  // the main keyboard's 8 is not the keypad's
  EXPECT_EQ(form_.Line(7).Slider->Value(), 99);

  MiniCrossfader* fader = form_.MiniCrossfader1();
  Press(Qt::Key_4, Qt::KeypadModifier);
  EXPECT_TRUE(fader->IsFadingLeft());
  fader->TickLeft();
  Release(Qt::Key_4, Qt::KeypadModifier);  // fades only while held
  EXPECT_TRUE(!fader->IsFadingLeft() && fader->Position() < 1140);
  Press(Qt::Key_6, Qt::KeypadModifier);
  EXPECT_TRUE(fader->IsFadingRight());
  Release(Qt::Key_6, Qt::KeypadModifier), Press(Qt::Key_5, Qt::KeypadModifier);
  EXPECT_EQ(fader->Position(), 1140);

  form_.Line(7).Slider->SetValue(80);
  Press(Qt::Key_Space);
  EXPECT_EQ(std::pair(console_.Lines().Muted(7), card_.writes.back().level), std::pair(true, 0));
  Release(Qt::Key_Space);
  EXPECT_EQ(std::pair(console_.Lines().Muted(7), card_.writes.back().level), std::pair(false, 52428));
}

TEST_F(KeyboardTest, DigitsPressAndReleaseTheAutoPilotButtons) {
  QString pressed;
  console_.Keyboard().aPlay = [&] { pressed += QLatin1Char('P'); };
  console_.Keyboard().aNext = [&] { pressed += QLatin1Char('N'); };
  console_.Keyboard().aStop = [&] { pressed += QLatin1Char('S'); };
  Press(Qt::Key_1);
  EXPECT_EQ(pressed, QString());
  Release(Qt::Key_1), Click(Qt::Key_2), Click(Qt::Key_3);
  Click(Qt::Key_1, Qt::KeypadModifier);  // the keypad's 1 is not the digit
  EXPECT_EQ(pressed, QStringLiteral("PNS"));

  // A key with a scan code counts by its place on the keyboard, whatever it types: Shift+1 types "!", a French
  // layout's digit row types "&", "é" and '"' (X key codes 10, 11, 12; the keypad's 1 is 87).
  auto clickKey = [this](int key, Qt::KeyboardModifiers modifiers, quint32 scanCode, const QString& text) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent event(type, key, modifiers, scanCode, 0, 0, text);
      QApplication::sendEvent(&form_, &event);
    }
  };
  pressed.clear();
  clickKey(Qt::Key_Exclam, Qt::ShiftModifier, 10, QStringLiteral("!"));
  clickKey(Qt::Key_Ampersand, Qt::NoModifier, 10, QStringLiteral("&"));
  clickKey(Qt::Key_Eacute, Qt::NoModifier, 11, QStringLiteral("\u00e9"));
  clickKey(Qt::Key_QuoteDbl, Qt::NoModifier, 12, QStringLiteral("\""));
  clickKey(Qt::Key_1, Qt::KeypadModifier, 87, QStringLiteral("1"));
  EXPECT_EQ(pressed, QStringLiteral("PPNS"));
}

}  // namespace
}  // namespace marvane::test
