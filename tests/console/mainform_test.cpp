// The main window: its controls by name and place, their pictures, the right-click menu, dropped files, and the
// tool tips and status help on it.

#include "console/mainform.h"

#include "appearance/butt.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "appearance/twips.h"
#include "console/imagebutton.h"
#include "console/imageswitch.h"
#include "console/statushelp.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

namespace marvane::test {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  MainForm form_;
};

// The window keeps its size; its controls stand where the layout puts them in twips, where the Face pictures line
// up under them (pictures_test).
TEST_F(MainFormTest, NoTwoVisibleControlsOverlapAndAllFitTheWindow) {
  EXPECT_EQ(form_.minimumSize(), form_.maximumSize());
  form_.show();
  QList<QWidget*> controls;
  for (QWidget* child : form_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!child->isHidden() && !qobject_cast<QMenu*>(child) &&
        !(qobject_cast<QFrame*>(child) && child->objectName().startsWith(u"Line"_s)))
      controls << child;
  }
  for (QWidget* c : controls) EXPECT_TRUE(form_.rect().contains(c->geometry())) << c->objectName().toStdString();
  for (qsizetype i = 0; i < controls.size(); ++i) {
    for (qsizetype j = i + 1; j < controls.size(); ++j) {
      // A loop switch's two pictures share one place by design: the one in front shows the state.
      const QString a = controls[i]->objectName(), b = controls[j]->objectName();
      if (a.startsWith(u"Loop"_s) && b.startsWith(u"Loop"_s) &&
          a.section(QLatin1Char('_'), 1) == b.section(QLatin1Char('_'), 1))
        continue;
      EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
          << a.toStdString() << " overlaps " << b.toStdString();
    }
  }
}

TEST_F(MainFormTest, FadeModeAndLoopPicturesShowTheState) {
  for (FadeModeCode mode : {kFadeLeft, kAlwaysOn, kFadeRight}) {
    form_.ShowFadeMode(4, mode);
    // Of each switch's two stacked pictures exactly one shows: the lit one for the line's mode.
    for (FadeModeCode other : {kFadeLeft, kAlwaysOn, kFadeRight}) {
      EXPECT_EQ(form_.Line(4).Mode(other)->Lit()->isHidden(), other != mode) << mode << other;
      EXPECT_EQ(form_.Line(4).Mode(other)->Unlit()->isHidden(), other == mode) << mode << other;
    }
  }
  form_.ShowLoop(2, true);
  EXPECT_EQ(form_.childAt(form_.Line(2).Loop->Lit()->geometry().center()), form_.Line(2).Loop->Lit());
  form_.ShowLoop(2, false);
  EXPECT_EQ(form_.childAt(form_.Line(2).Loop->Unlit()->geometry().center()), form_.Line(2).Loop->Unlit());
}

TEST_F(MainFormTest, RightClickMenuHoldsItsItemsInOrderAndEachRunsItsButton) {
  QStringList items;
  for (QAction* a : form_.RCMenu()->actions()) items << (a->isSeparator() ? u"-"_s : a->text());
  EXPECT_EQ(items, (QStringList{u"Mic Level"_s, u"-"_s, u"Help"_s, u"About"_s, u"-"_s, u"Options"_s, u"Logging"_s,
                                u"-"_s, u"Playlist"_s, u"-"_s, u"Record Mix..."_s, u"Stop Recording"_s, u"-"_s,
                                u"Exit"_s}));
  const std::pair<QAction*, Butt*> pairs[] = {{form_.mnuMic(), form_.MicButt()},   {form_.mnuHelp(), form_.HelpButt()},
                                              {form_.mnuAbout(), form_.Butt1()},   {form_.mnuOps(), form_.Options1()},
                                              {form_.mnuLog(), form_.LogButt()},   {form_.mnuPLst(), form_.PList()},
                                              {form_.muExit(), form_.ExitButton()}};
  for (const auto& [action, button] : pairs) {
    QSignalSpy clicked(button, &Butt::Click);
    action->trigger();
    EXPECT_EQ(clicked.count(), 1) << action->objectName().toStdString();
  }
}

// Right clicks that a control leaves to the window are not the bare window's: only the bare background and the
// titles open the menu.
TEST_F(MainFormTest, RightButtonReleaseOnTheWindowOrATitleOpensTheMenu) {
  form_.show();
  auto menuAfterClick = [this](QWidget* widget, Qt::MouseButton button, QPoint at) {
    QTest::mouseClick(widget, button, {}, at);
    const bool shown = form_.RCMenu()->isVisible();
    form_.RCMenu()->hide();
    return shown;
  };
  EXPECT_TRUE(menuAfterClick(&form_, Qt::RightButton, QPoint(5, 200)));
  EXPECT_TRUE(menuAfterClick(form_.Line(3).TitleLabel, Qt::RightButton, QPoint(5, 5)));
  EXPECT_FALSE(menuAfterClick(form_.Line(3).TitleLabel, Qt::LeftButton, QPoint(5, 5)));
  EXPECT_FALSE(menuAfterClick(form_.Line(3).Mute, Qt::RightButton, QPoint(5, 5)));
}

// Files dragged onto a title label: the window asks whether they fit while the drag is over the label (refusing
// the drop effect otherwise) and hands accepted drops on.
TEST_F(MainFormTest, TitleLabelsRefuseDragsThatDoNotFitAndPassOnDrops) {
  form_.show();
  form_.acceptsTitleDrop = [](int index, const QStringList& files) {
    return index == 0 ? files.first().endsWith(u".m3u"_s) : files.first().endsWith(u".mp3"_s);
  };
  QSignalSpy dropped(&form_, &MainForm::TitleDropped);
  auto drag = [this](int index, const QString& file, QEvent::Type type) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QLabel* label = form_.Line(index).TitleLabel;
    QDragEnterEvent enter(label->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &enter);
    if (type == QEvent::DragEnter) return enter.isAccepted();
    QDropEvent event(QPointF(label->rect().center()), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &event);
    return event.isAccepted();
  };
  EXPECT_TRUE(drag(0, u"/lists/party.m3u"_s, QEvent::DragEnter));
  EXPECT_FALSE(drag(0, u"/songs/one.mp3"_s, QEvent::DragEnter));
  EXPECT_TRUE(drag(2, u"/songs/one.mp3"_s, QEvent::DragEnter));
  EXPECT_FALSE(drag(2, u"/lists/party.m3u"_s, QEvent::DragEnter));
  EXPECT_FALSE(drag(2, u"/lists/party.m3u"_s, QEvent::Drop));
  EXPECT_EQ(dropped.count(), 0);
  EXPECT_TRUE(drag(2, u"/songs/one.mp3"_s, QEvent::Drop));
  ASSERT_EQ(dropped.count(), 1);
  EXPECT_EQ(std::pair(dropped[0][0].toInt(), dropped[0][1].toStringList()),
            std::pair(2, QStringList{u"/songs/one.mp3"_s}));
}

// --- Tool tips and status help: representative controls of each kind and line.

class StatusHelpTest : public MainFormTest {
 protected:
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  QWidget* Control(const QString& name) const { return form_.findChild<QWidget*>(name); }
  QString StatusText() const { return form_.Status()->text(); }
  // Moves the pointer over the bare window, then to at inside widget (its middle when not given); the status text.
  QString StatusOver(QWidget* widget, std::optional<QPoint> at = std::nullopt) {
    QTest::mouseMove(&form_, QPoint(2, form_.Line(0).LineLabel->y() - 3));  // nothing stands there
    if (!StatusText().isEmpty()) return u"<bare window did not clear the status line>"_s;
    QTest::mouseMove(widget, at.value_or(widget->rect().center()));
    return StatusText();
  }
  int TipCount() const {
    int count = 0;
    for (const QWidget* widget : form_.findChildren<QWidget*>()) count += !widget->toolTip().isEmpty();
    return count;
  }

  StatusHelp help_{form_};
};

TEST_F(StatusHelpTest, ToolsOnSetsEveryControlsTipAndToolsOffClearsThem) {
  help_.ToolsOff();
  EXPECT_EQ(TipCount(), 0);
  help_.ToolsOn();
  // 15 single controls and 14 per line (Play and Stop on lines 1 to 6 only); the master's controls have none.
  EXPECT_EQ(TipCount(), 15 + 7 * 12 + 6 * 2);
  const std::pair<const char*, const char*> rows[] = {
      {"FadeRightW_6", "When Red, sets line to Right side of Crossfader."}, {"Slider_7", ""}, {"StopButt_6", "Stop"},
      {"Pan_0", "Pans the line from Right to Left."}, {"ExitButton", "Exits MVN"}};
  for (const auto& [name, tip] : rows) EXPECT_EQ(Control(QLatin1String(name))->toolTip(), QLatin1String(tip)) << name;
  EXPECT_EQ(form_.PList()->TipText(), u"Playlist Editor"_s);
  help_.ToolsOff();
  EXPECT_EQ(std::pair(TipCount(), form_.ExitButton()->TipText()), std::pair(0, QString()));
}

TEST_F(StatusHelpTest, PointerOverEachKindOfControlShowsItsStatusTextWhichStaysUntilReplaced) {
  for (int n = 0; n <= 6; ++n) {  // each fade mode and loop state in front somewhere
    form_.ShowFadeMode(n, n % 3);
    form_.ShowLoop(n, n % 2 == 1);
  }
  form_.Line(4).TitleLabel->setText(u"Title 4"_s);
  const std::pair<const char*, const char*> rows[] = {
      {"FadeLeftR_0", "Sets line to Left side of Crossfader"}, {"OnG_1", "Sets line to Always On"},
      {"LoopR_3", "Sets line to Loop mode"}, {"LoopW_6", "Sets line to Loop mode"}, {"PlayButt_6", "Plays file"},
      {"Slider_7", "Adjusts Volume"}, {"TitleLabel_4", "Title 4"},
      {"MiniCrossfader1", "Crossfades lines set to Left and Right"}};
  for (const auto& [name, text] : rows) EXPECT_EQ(StatusOver(Control(QLatin1String(name))), QLatin1String(text));
  // The pan raises its event over its knob only, which starts in the middle.
  const QPoint panKnob = TwipsToPixels(QPoint(Pan::kCentreLeft + Pan::kKnobWidth / 2, Pan::kHeightTwips / 2));
  EXPECT_EQ(StatusOver(form_.Line(6).Pan, panKnob), u"Pans line Left to Right"_s);
  // The song labels show their captions as they are when the pointer moves.
  form_.CurrentSong()->setText(u"Blue Monday"_s);
  EXPECT_EQ(StatusOver(form_.CSLabel()), u"Current Song: Blue Monday"_s);
  form_.NextSong()->setText(u"Song Two"_s);
  EXPECT_EQ(StatusOver(form_.NSLabel()), u"Next Song: Song Two"_s);
  form_.NSLabel()->setText(u"Next Song (Stopped):"_s);  // with AutoPilot stopped the label says so
  EXPECT_EQ(StatusOver(form_.NextSong()), u"Next Song (Stopped): Song Two"_s);

  EXPECT_EQ(StatusOver(form_.PList()), u"Opens the Playlist Editor"_s);
  // The AutoPilot buttons write nothing; the status line itself keeps its text.
  QTest::mouseMove(form_.APlay());
  QTest::mouseMove(form_.Status(), QPoint(40, 5));
  EXPECT_EQ(StatusText(), u"Opens the Playlist Editor"_s);
  // Anything short of all three keys with the right button leaves the text alone.
  const QPoint at(40, 5);
  const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  QTest::mouseClick(form_.Status(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, at);
  QTest::mouseClick(form_.Status(), Qt::LeftButton, all, at);
  EXPECT_EQ(StatusText(), u"Opens the Playlist Editor"_s);
  QTest::mouseClick(form_.Status(), Qt::RightButton, all, at);
  EXPECT_EQ(StatusText(), StatusHelp::kCredits);
  EXPECT_FALSE(form_.RCMenu()->isVisible());  // the status line does not open the right-click menu

  form_.Status()->hide();
  QTest::mouseMove(form_.Line(2).Mute);
  EXPECT_EQ(StatusText(), u"Mutes Line"_s);
  form_.Status()->show();
  EXPECT_EQ(StatusText(), u"Mutes Line"_s);
}

}  // namespace
}  // namespace marvane::test
