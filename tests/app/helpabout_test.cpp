// The help page, the About window and the log viewer as the main window opens them; a picture of About is saved.

#include "app/aboutwindow.h"
#include "app/apptestfixture.h"
#include "common/errortrap.h"
#include "app/helppage.h"
#include "app/playlistflow.h"
#include "console/linetransport.h"
#include "mixer/mixer.h"
#include "playlist/listeditor.h"
#include "playlist/nextsongchooser.h"
#include "songlog/songlog.h"
#include "songlog/songlogmodel.h"
#include "songlog/view.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTimer>

namespace marvane::test {
namespace {

QString Flat(QString text) { return text.replace(QRegularExpression(u"\\s+"_s), u" "_s).trimmed(); }

TEST(HelpPageText, NamesEveryKeyAndEveryMessageOfTheProgram) {
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

  // Every message box of the program, by the file that shows it: its fixed texts and titles.
  const QMap<QString, QStringList> messages = {
      {u"app/application.cpp"_s,
       {Application::kExitQuestion, u"No sound device could be opened"_s,
        u"Marvane keeps running but plays silently."_s}},
      {u"common/errortrap.cpp"_s, {u"Debug Error Message - Get Defaults"_s, kTypeMismatch, kOverflow}},
      {u"app/helppage.cpp"_s, {HelpPage::kHint, u"The help page"_s, u"No program could be started"_s}},
      {u"app/playlistflow.cpp"_s, {PlaylistFlow::kErrorLoadingFile, PlaylistFlow::kCouldNotLoad}},
      {u"app/upgradeimport.cpp"_s,
       {u"MVN has detected that you are upgrading from version 1.30. Do you want to import your settings?"_s,
        u"Your old settings have successfully been imported. I am sure you will be pleased with this upgrade. "
        "See help file for more details about new features in version 1.40"_s}},
      {u"console/linetransport.cpp"_s, {LineTransport::kErrorLoadingFile}},
      {u"mixer/micwindow.cpp"_s, {u"Object was unloaded"_s, u"MVN Error"_s}},
      {u"mixer/mixer.cpp"_s, {Mixer::kMixerErrorText, Mixer::kMixerErrorTitle, Mixer::kDebugErrorTitle}},
      {u"playlist/nextsongchooser.cpp"_s, {NextSongChooser::kTooManyBadFilenames}},
      {u"playlist/listeditor.cpp"_s, {ListEditor::kCouldNotLoad, ListEditor::kCouldNotSave, u"Save Changes to"_s}},
      {u"songlog/output.cpp"_s,
       {u"exists. Do you want to overwrite it?"_s, u"Confirm Overwrite"_s, u"Written to"_s, u"Could not write"_s}},
      {u"songlog/view.cpp"_s, {u"Are you sure you want to clear the log?"_s, u"Confirm Delete"_s}}};
  QString page = html;
  page.remove(QRegularExpression(u"<[^>]*>"_s)).replace(u"&#39;"_s, u"'"_s).replace(u"&amp;"_s, u"&"_s);
  page = Flat(page);
  for (const QStringList& texts : messages)
    for (const QString& text : texts) EXPECT_TRUE(page.contains(Flat(text))) << text.toStdString();

  const QString src = QStringLiteral(MARVANE_SOURCE_DIR "/src/");
  for (QDirIterator it(src, {u"*.cpp"_s}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    QFile source(it.next());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    if (source.readAll().contains(".Message(")) {
      EXPECT_TRUE(messages.contains(it.filePath().mid(src.size())))
          << it.filePath().toStdString() << " shows messages: describe them in the help page and list them here";
    }
  }
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
  EXPECT_TRUE(about->grab().save(ArtefactDir() + u"/about.png"_s));

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
  other.show();
  other.activateWindow();
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

}  // namespace
}  // namespace marvane::test
