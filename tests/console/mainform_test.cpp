#include "console/mainform.h"

#include "appearance/butt.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "appearance/twips.h"
#include "common/appinfo.h"
#include "console/imagebutton.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QSignalSpy>
#include <QTest>

namespace marvane {
namespace {

QRect TwipRect(const QWidget* w) {
  return {PixelsToTwips(w->x()), PixelsToTwips(w->y()), PixelsToTwips(w->width()), PixelsToTwips(w->height())};
}

class MainFormTest : public ::testing::Test {
 protected:
  MainForm form_;
};

TEST_F(MainFormTest, EveryControlOfTheConsoleCarriesItsName) {
  QStringList names;
  for (int n = 0; n <= 6; ++n) {
    for (const char* base : {"LineLabel", "TitleLabel", "OpenW", "Colon", "Slider", "Pan", "Mute", "LoopW", "LoopR",
                             "FadeLeftW", "FadeLeftR", "FadeRightW", "FadeRightR", "OnW", "OnG"})
      names << QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(n);
    if (n > 0) names << QStringLiteral("PlayButt_%1").arg(n) << QStringLiteral("StopButt_%1").arg(n);
  }
  names << QStringLiteral("Slider_7") << QStringLiteral("Mute_7") << QStringLiteral("Colon_7");
  for (const char* name : {"APlay", "ANext", "AStop", "CSLabel", "CurrentSong", "NSLabel", "NextSong", "Fading",
                           "PList", "StopAll", "MicButt", "LogButt", "ShuffButt", "HelpButt", "Options1", "ExitButton",
                           "Butt1", "MiniCrossfader1", "LeftFade", "FadeRight", "Status", "Line1", "Line10"})
    names << QLatin1String(name);
  for (const QString& name : names) EXPECT_NE(form_.findChild<QWidget*>(name), nullptr) << name.toStdString();
  EXPECT_EQ(form_.findChild<QWidget*>(QStringLiteral("PlayButt_0")), nullptr);
  EXPECT_TRUE(form_.windowTitle().startsWith(QStringLiteral("MVN v.1.40 - ")));
}

TEST_F(MainFormTest, SlidersAndCrossfaderStandAtTheirPlaces) {
  const int lefts[] = {300, 1500, 2580, 3660, 4740, 5820, 6900, 8100};
  for (int n = 0; n <= 7; ++n) EXPECT_EQ(TwipRect(form_.Slider(n)), QRect(lefts[n], 3300, 615, 1500)) << n;
  EXPECT_EQ(TwipRect(form_.MiniCrossfader1()), QRect(3060, 5460, 2895, 510));
  EXPECT_EQ(form_.size(), TwipsToPixels(QSize(MainForm::kWidthTwips, MainForm::kHeightTwips)));
  EXPECT_EQ(form_.minimumSize(), form_.maximumSize());  // fixed size
}

TEST_F(MainFormTest, NoTwoVisibleControlsOverlapAndAllFitTheWindow) {
  form_.show();
  QList<QWidget*> controls;
  for (QWidget* child : form_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isHidden() || (qobject_cast<QFrame*>(child) && child->objectName().startsWith(QStringLiteral("Line"))))
      continue;
    if (qobject_cast<QMenu*>(child)) continue;
    controls << child;
  }
  for (QWidget* c : controls) EXPECT_TRUE(form_.rect().contains(c->geometry())) << c->objectName().toStdString();
  for (qsizetype i = 0; i < controls.size(); ++i) {
    for (qsizetype j = i + 1; j < controls.size(); ++j) {
      // A loop switch's two pictures share one place by design: the one in front shows the state.
      const QString a = controls[i]->objectName(), b = controls[j]->objectName();
      if (a.startsWith(QStringLiteral("Loop")) && b.startsWith(QStringLiteral("Loop")) &&
          a.section(QLatin1Char('_'), 1) == b.section(QLatin1Char('_'), 1))
        continue;
      EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
          << a.toStdString() << " overlaps " << b.toStdString();
    }
  }
}

TEST_F(MainFormTest, FadeModeAndLoopPicturesShowTheState) {
  for (int mode : {0, 1, 2}) {
    form_.ShowFadeMode(4, mode);
    EXPECT_EQ(form_.FadeModeShown(4), mode);
    const int visible = !form_.FadeLeftR(4)->isHidden() + !form_.FadeLeftW(4)->isHidden() +
                        !form_.OnG(4)->isHidden() + !form_.OnW(4)->isHidden() + !form_.FadeRightR(4)->isHidden() +
                        !form_.FadeRightW(4)->isHidden();
    EXPECT_EQ(visible, 3);
  }
  EXPECT_EQ(form_.FadeModeShown(3), 1);  // as designed: Always On
  form_.ShowLoop(2, true);
  EXPECT_TRUE(form_.LoopShown(2));
  EXPECT_EQ(form_.childAt(form_.LoopR(2)->geometry().center()), form_.LoopR(2));
  form_.ShowLoop(2, false);
  EXPECT_EQ(form_.childAt(form_.LoopW(2)->geometry().center()), form_.LoopW(2));
}

TEST_F(MainFormTest, RightClickMenuHoldsItsItemsInOrderAndEachRunsItsButton) {
  QStringList items;
  for (QAction* a : form_.RCMenu()->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(items, (QStringList{QStringLiteral("Mic Level"), QStringLiteral("-"), QStringLiteral("Help"),
                                QStringLiteral("About"), QStringLiteral("-"), QStringLiteral("Options"),
                                QStringLiteral("Logging"), QStringLiteral("-"), QStringLiteral("Playlist"),
                                QStringLiteral("-"), QStringLiteral("Exit")}));
  const std::pair<QAction*, Butt*> pairs[] = {
      {form_.mnuMic(), form_.MicButt()},   {form_.mnuHelp(), form_.HelpButt()}, {form_.mnuAbout(), form_.Butt1()},
      {form_.mnuOps(), form_.Options1()},  {form_.mnuLog(), form_.LogButt()},  {form_.mnuPLst(), form_.PList()},
      {form_.muExit(), form_.ExitButton()}};
  for (const auto& [action, button] : pairs) {
    QSignalSpy clicked(button, &Butt::Click);
    action->trigger();
    EXPECT_EQ(clicked.count(), 1) << action->objectName().toStdString();
  }
}

// Right clicks and moves that a control leaves to the window are not the bare window's: only the bare background
// and the titles open the menu, and only the bare background clears the status line.
TEST_F(MainFormTest, RightButtonReleaseOnTheWindowOrATitleOpensTheMenuAndMovesOverTheWindowClearTheStatus) {
  form_.show();
  auto menuAfterClick = [this](QWidget* widget, Qt::MouseButton button, QPoint at) {
    QTest::mouseClick(widget, button, {}, at);
    const bool shown = form_.RCMenu()->isVisible();
    form_.RCMenu()->hide();
    return shown;
  };
  EXPECT_TRUE(menuAfterClick(&form_, Qt::RightButton, QPoint(5, 200)));
  EXPECT_TRUE(menuAfterClick(form_.TitleLabel(3), Qt::RightButton, QPoint(5, 5)));
  EXPECT_FALSE(menuAfterClick(form_.TitleLabel(3), Qt::LeftButton, QPoint(5, 5)));
  EXPECT_FALSE(menuAfterClick(form_.Mute(3), Qt::RightButton, QPoint(5, 5)));

  form_.Status()->setText(QStringLiteral("Mutes Line"));
  auto moveOver = [](QWidget* widget, QPointF at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
  };
  moveOver(form_.Mute(3), QPointF(5, 5));
  EXPECT_EQ(form_.Status()->text(), QStringLiteral("Mutes Line"));
  moveOver(&form_, QPointF(5, 200));
  EXPECT_TRUE(form_.Status()->text().isEmpty());
}

// Files dragged onto a title label: the window asks whether they fit while the drag is over the label (refusing
// the drop effect otherwise) and hands accepted drops on.
TEST_F(MainFormTest, TitleLabelsRefuseDragsThatDoNotFitAndPassOnDrops) {
  form_.show();
  form_.acceptsTitleDrop = [](int index, const QStringList& files) {
    return index == 0 ? files.first().endsWith(QStringLiteral(".m3u")) : files.first().endsWith(QStringLiteral(".mp3"));
  };
  QSignalSpy dropped(&form_, &MainForm::TitleDropped);
  auto drag = [this](int index, const QString& file, QEvent::Type type) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QLabel* label = form_.TitleLabel(index);
    QDragEnterEvent enter(label->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &enter);
    if (type == QEvent::DragEnter) return enter.isAccepted();
    QDropEvent event(QPointF(label->rect().center()), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &event);
    return event.isAccepted();
  };
  EXPECT_TRUE(drag(0, QStringLiteral("/lists/party.m3u"), QEvent::DragEnter));
  EXPECT_FALSE(drag(0, QStringLiteral("/songs/one.mp3"), QEvent::DragEnter));
  EXPECT_TRUE(drag(2, QStringLiteral("/songs/one.mp3"), QEvent::DragEnter));
  EXPECT_FALSE(drag(2, QStringLiteral("/lists/party.m3u"), QEvent::DragEnter));
  EXPECT_FALSE(drag(2, QStringLiteral("/lists/party.m3u"), QEvent::Drop));
  EXPECT_EQ(dropped.count(), 0);
  EXPECT_TRUE(drag(2, QStringLiteral("/songs/one.mp3"), QEvent::Drop));
  ASSERT_EQ(dropped.count(), 1);
  EXPECT_EQ(dropped[0][0].toInt(), 2);
  EXPECT_EQ(dropped[0][1].toStringList(), QStringList{QStringLiteral("/songs/one.mp3")});
}

}  // namespace
}  // namespace marvane
