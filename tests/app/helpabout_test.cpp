// The help page, the About window, the log viewer and the Playlist Editor as the main window opens them.

#include "app/aboutwindow.h"
#include "app/apptestfixture.h"
#include "app/helppage.h"
#include "playlist/listeditor.h"
#include "playlist/playlistmodel.h"
#include "songlog/songlog.h"
#include "songlog/songlogmodel.h"
#include "songlog/view.h"

#include <QRegularExpression>
#include <QTimer>

namespace marvane::test {
namespace {

QString Flat(QString text) { return text.replace(QRegularExpression(u"\\s+"_s), u" "_s).trimmed(); }

TEST(HelpPageText, NamesEveryKey) {
  QFile file(HelpPage::DefaultPath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the help page is found where the program looks";
  const QString html = QString::fromUtf8(file.readAll());

  const QString keyTable = html.section(u"id=\"keys\""_s, 1).section(u"</table>"_s, 0, 0);
  QStringList keys;
  for (const auto& match : QRegularExpression(u"<kbd>(.*?)</kbd>"_s).globalMatch(keyTable)) keys << match.captured(1);
  keys.sort();
  QStringList expected = {u"Keypad 4"_s, u"Keypad 6"_s, u"Keypad 5"_s, u"Keypad 8"_s, u"Keypad 2"_s, u"Space"_s,
                          u"F12"_s,      u"1"_s,        u"2"_s,        u"3"_s};
  for (int k = 1; k <= 6; ++k) expected << u"F%1"_s.arg(k) << u"Shift+F%1"_s.arg(k);
  expected.sort();
  EXPECT_EQ(keys, expected);
}

class HelpAboutTest : public AppTest {
 protected:
  QList<QUrl> opened_;
  void SetUp() override {
    ASSERT_TRUE(Start());
    app_->HelpFile()->openUrl = [this](const QUrl& url) { return opened_ << url, true; };
  }
  QColor Hilite() const { return ColorFromValue(app_->Colors().HiliteColor); }
  QColor Text() const { return ColorFromValue(app_->Colors().TextColor); }
};

TEST_F(HelpAboutTest, HelpOpensThePageInTheBrowserOrSaysWhy) {
  Q_EMIT app_->Form()->HelpButt()->Click();
  app_->Form()->mnuHelp()->trigger();
  EXPECT_EQ(opened_, QList<QUrl>(2, QUrl::fromLocalFile(HelpPage::DefaultPath())));
  EXPECT_TRUE(dialogs_.messages.isEmpty());

  app_->HelpFile()->openUrl = [](const QUrl&) { return false; };
  Q_EMIT app_->Form()->HelpButt()->Click();
  app_->HelpFile()->path = dir_.filePath(u"gone.html"_s);
  Q_EMIT app_->Form()->HelpButt()->Click();
  ASSERT_EQ(dialogs_.messages.size(), 2);
  EXPECT_EQ(dialogs_.messages[1].text, u"The help page "_s + app_->HelpFile()->path + u" was not found.\n"_s +
                                           HelpPage::kHint);
  EXPECT_TRUE(dialogs_.messages[0].text.endsWith(HelpPage::kHint) && dialogs_.messages[0].title.isEmpty());
}

TEST_F(HelpAboutTest, AboutScrollsWithinItsBoundsOpensHelpAndGivesTheButtonItsColourBack) {
  Q_EMIT app_->Form()->Butt1()->Click();
  AboutWindow* about = app_->About();
  ASSERT_TRUE(about && app_->AboutOpen());
  EXPECT_TRUE(app_->Form()->Butt1()->CaptionColor() == Hilite() && about->isModal());
  EXPECT_TRUE(about->Label2()->text().startsWith(u"Marvane version 1.40 - \n"_s));
  EXPECT_TRUE(Flat(about->Label2()->text()).contains(u"GNU General Public License, version 3 or later."_s));
  ASSERT_TRUE(QTest::qWaitForWindowActive(about));
  EXPECT_TRUE(about->Timer1()->isActive() && about->Timer1()->interval() == 55);

  const int top = about->Label2Top();
  about->Timer1_Timer();
  EXPECT_EQ(about->Label2Top(), top - 15);
  while (about->Label2Top() > -4800) about->Timer1_Timer();
  about->Timer1_Timer();
  EXPECT_EQ(about->Label2Top(), 1800) << "gone above the frame, it comes in again from below";

  // Dragging: 10 pixels down moves the text 150 twips; a drag past 1800 twips is refused.
  QLabel* text = about->Label2();
  QTest::mousePress(text, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_FALSE(about->Timer1()->isActive());
  for (const int y : {10, 40}) {
    QTest::mouseMove(text, QPoint(20, y));
    EXPECT_EQ(about->Label2Top(), 1650) << y;
  }
  QTest::mouseRelease(text, Qt::LeftButton, {}, QPoint(20, 40));
  EXPECT_TRUE(about->Timer1()->isActive());

  QWidget other;  // another window in front stops the text
  other.show(), other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_FALSE(about->Timer1()->isActive());

  QTest::mouseClick(about->Image1(), Qt::LeftButton);
  EXPECT_EQ(opened_.size(), 1) << "the picture opens the help page";
  QTest::mouseClick(about->Butt1(), Qt::LeftButton);
  EXPECT_TRUE(!app_->AboutOpen() && app_->Form()->Butt1()->CaptionColor() == Text());
  app_->Form()->mnuAbout()->trigger();
  EXPECT_TRUE(app_->AboutOpen());
}

TEST_F(HelpAboutTest, LogButtonOpensOneViewerThatListsNewSongs) {
  app_->State().Logging = true;
  app_->State().LogFile = dir_.filePath(u"songs.log"_s);
  Q_EMIT app_->Form()->LogButt()->Click();
  View* view = app_->Viewer();
  ASSERT_TRUE(view && app_->ViewerOpen());
  app_->Form()->mnuLog()->trigger();
  EXPECT_TRUE(app_->Form()->LogButt()->CaptionColor() == Hilite() && app_->Viewer() == view);
  ASSERT_TRUE(QTest::qWaitFor([view] { return !view->Loading(); }, 5000));
  app_->Log()->LogSong(u"/music/Opener.mp3"_s, true);
  app_->Log()->LogTimer_Timer();
  ASSERT_EQ(view->Model()->rowCount(), 1);
  EXPECT_EQ(view->Model()->Entries()[0].Song, u"Opener"_s);
  view->close();
  EXPECT_TRUE(!app_->ViewerOpen() && app_->Form()->LogButt()->CaptionColor() == Text());
}

TEST_F(HelpAboutTest, PlaylistButtonOpensOneEditorOnTheAutoPilotList) {
  Q_EMIT app_->Form()->PList()->Click();
  ListEditor* editor = app_->Editor();
  ASSERT_TRUE(editor && app_->EditorOpen && editor->isVisible());
  app_->Form()->mnuPLst()->trigger();
  EXPECT_TRUE(app_->Form()->PList()->CaptionColor() == Hilite() && app_->Editor() == editor);
  // The editor's list is the one AutoPilot chooses from.
  Playlist& playlist = app_->CurrentPlaylist();
  editor->Model()->Append(u"/music/a.mp3"_s, u"a.mp3"_s);
  EXPECT_EQ(playlist.ListItems, QStringList{u"/music/a.mp3"_s});
  dialogs_.messageAnswers = {MessageResult::No};
  editor->New_Click();
  EXPECT_TRUE(playlist.ListItems.isEmpty());
  EXPECT_EQ(app_->Form()->Line(0).TitleLabel->text(), u"Untitled"_s);
  // A playlist dropped on the AutoPilot title while the editor is open is listed in it.
  Q_EMIT app_->Form()->TitleDropped(0, {WriteBytes(dir_.filePath(u"night.m3u"_s), "a.mp3\r\nb.mp3\r\n")});
  ASSERT_EQ(editor->Model()->rowCount(), 2);
  EXPECT_EQ(editor->Model()->RowText(1), u"b.mp3"_s);
  editor->close();
  EXPECT_TRUE(!app_->EditorOpen && app_->Editor() == nullptr && app_->Form()->PList()->CaptionColor() == Text());
}

}  // namespace
}  // namespace marvane::test
