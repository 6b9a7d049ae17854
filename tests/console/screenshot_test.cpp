// A picture of the console in use, written to the build folder for a person to look at: files open on three
// lines (one playing), the crossfader off centre, a line muted, lines assigned to both sides.

#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "console/linecontrols.h"
#include "console/linetransport.h"
#include "console/maintimer.h"
#include "consolefixture.h"
#include "support/testenv.h"

#include <QLabel>
#include <QTest>

namespace marvane::test {
namespace {

class ConsoleScreenshotTest : public ConsoleTest {};

TEST_F(ConsoleScreenshotTest, ConsoleInUse) {
  const QString names[] = {QStringLiteral("Warm Up Groove"), QStringLiteral("Second Wind (Extended Mix)"),
                           QStringLiteral("Closer")};
  for (int n = 1; n <= 3; ++n) {
    const QString file = Tone(names[n - 1] + QStringLiteral(".wav"), 3.0);
    ASSERT_EQ(OpenAndWait(engine_.Player(n), file), 6);
    form_.Line(n).Slider->SetValue(60 + 10 * n);
  }
  form_.Line(0).Slider->SetValue(80);
  form_.Line(7).Slider->SetValue(85);
  console_.Lines().FadeLeftW_MouseDown(1, 1);
  console_.Lines().FadeRightW_MouseDown(2, 1);
  console_.Transport().PlayButt(1);
  QTest::mouseClick(form_.Line(2).Mute, Qt::RightButton);  // kept muted
  MiniCrossfader* fader = form_.MiniCrossfader1();
  fader->AutoFadeRight();
  for (int i = 0; i < 12; ++i) fader->TickRight();
  fader->StopIt();
  // One second into line 1, and one tick of the main timer to show it.
  audio_.Render(1.0);
  state_.RemainTime = true;
  MainTimer timer(form_, engine_, state_);
  timer.Tick();
  EXPECT_EQ(form_.Line(1).Colon->text(), QStringLiteral("- 0:02"));
  const QImage shot = form_.grab().toImage();
  ASSERT_TRUE(shot.save(ArtefactDir() + QStringLiteral("/console.png")));
  EXPECT_LT(fader->LeftLevel(), 100);
  EXPECT_TRUE(console_.Lines().Muted(2));
}

}  // namespace
}  // namespace marvane::test
