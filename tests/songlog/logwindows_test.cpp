// The log viewer and the export window on real log files, with scripted dialogs.

#include "settings/settingkeys.h"
#include "songlog/output.h"
#include "songlog/songlog.h"
#include "songlog/songlogmodel.h"
#include "songlog/view.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace marvane::test {
namespace {


class LogWindowsTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  test::TempSettings settings_;
  test::ScriptedDialogs dialogs_;
  SongLogOptions options_{true, true, false, dir_.filePath(u"songs.log"_s)};
  SongLog log_{[this] { return options_; }, [] { return QDateTime(QDate(2026, 5, 12), QTime(23, 4, 5)); },
               QLocale::c()};

  void WriteLog(const QByteArray& bytes) { test::WriteBytes(options_.LogFile, bytes); }
  // Opens the viewer as the program does and waits for its listing.
  View* OpenView() {
    auto* view = new View(settings_, dialogs_, log_);
    QObject::connect(&log_, &SongLog::EntryLogged, view, &View::AddOne);
    view->Load();
    EXPECT_TRUE(QTest::qWaitFor([view] { return !view->Loading(); }, 5000));
    return view;
  }
  void Log(const QString& song) { log_.LogSong(song, true), log_.LogTimer_Timer(); }
  static QStringList Row(View* view, int row) {
    const SongLogEntry& e = view->Model()->Entries().at(row);
    return {e.Date, e.Time, e.Song};
  }
  // The export window that the viewer's "Save to File" opens, modal to the viewer.
  static Output* OpenOutput(View* view) {
    QTest::mouseClick(view->Command3(), Qt::LeftButton);
    for (Output* output : view->findChildren<Output*>())
      if (output->isVisible() && output->windowModality() == Qt::WindowModal) return output;
    return nullptr;
  }
  // Fills the window and presses Create: whether it wrote, or nothing when it did not start.
  static std::optional<bool> Create(Output* output, const QString& path, bool dates, bool times) {
    output->Text1()->setText(path);
    output->Check1()->setChecked(dates);
    output->Check2()->setChecked(times);
    QSignalSpy created(output, &Output::Created);
    QTest::mouseClick(output->Command2(), Qt::LeftButton);
    if (created.isEmpty() && (!output->Busy() || !created.wait(5000))) return std::nullopt;
    return created.at(0).at(0).toBool();
  }
};

TEST_F(LogWindowsTest, ViewerListsTheLogReadablyAndAddsNewSongs) {
  // Of two keys differing in case the first counts; "02 File" is not entry 2's key; 3 has no date.
  WriteLog("[Total]\r\nEntries=3\r\n[Songs]\r\n1 File=Intro\r\n1 Date=5/12/26\r\n1 Time=21:00:01\r\n"
           "2 File=Second\r\n2 file=Later\r\n02 File=Zero\r\n2 Date=5/12/26\r\n2 Time=21:03:30\r\n"
           "3 File=Caf\xc3\xa9 del Mar\r\n3 Time=21:07:12\r\n"_ba);
  View* view = OpenView();
  EXPECT_EQ(view->windowTitle(), u"MVN Song Log - 3 Titles Logged"_s);
  EXPECT_TRUE(view->FileLabel()->toolTip() == options_.LogFile && view->FileLabel()->text().endsWith(u"songs.log"_s));
  EXPECT_EQ(Row(view, 0), QStringList({u"5/12/26"_s, u"21:00:01"_s, u"Intro"_s}));
  EXPECT_EQ(Row(view, 1), QStringList({u"5/12/26"_s, u"21:03:30"_s, u"Second"_s}));
  EXPECT_EQ(Row(view, 2), QStringList({QString(), u"21:07:12"_s, u"Café del Mar"_s}));

  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view->List());
  ASSERT_TRUE(list && list->tableInterface());
  EXPECT_EQ(list->text(QAccessible::Name), u"Song Log"_s);
  EXPECT_TRUE(list->tableInterface()->rowCount() == 3 && list->tableInterface()->columnCount() == 3);
  EXPECT_EQ(list->tableInterface()->cellAt(2, 2)->text(QAccessible::Name), u"Café del Mar"_s);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(view->Command3())->text(QAccessible::Name), u"Save to File"_s);

  Log(u"/music/Fourth Song.mp3"_s);
  EXPECT_EQ(Row(view, 3), QStringList({SongLog::DateText(QDate(2026, 5, 12), QLocale::c()),
                                       SongLog::TimeText(QTime(23, 4, 5), QLocale::c()), u"Fourth Song"_s}));
  EXPECT_EQ(view->windowTitle(), u"MVN Song Log - 4 Titles Listed"_s);
  view->Command1_Click();  // no Options dialog connected: nothing happens
  delete view;
}

TEST_F(LogWindowsTest, ClearAsksThenNumberingStartsAgainWithNewSongsListedOnce) {
  WriteLog("[Total]\nEntries=40\n[Songs]\n1 File=One\n2 File=Two\n3 File=Three\n"_ba);
  View* view = OpenView();
  ASSERT_EQ(view->Model()->rowCount(), 40) << "a count beyond the file lists empty rows";
  EXPECT_EQ(Row(view, 39), QStringList({QString(), QString(), QString()}));
  Log(u"/music/Late.mp3"_s);
  ASSERT_EQ(view->Model()->rowCount(), 41);
  const QRect last = view->List()->visualRect(view->Model()->index(40, 0));
  EXPECT_TRUE(view->List()->viewport()->rect().contains(last)) << "the new row is scrolled into view";

  dialogs_.messageAnswers = {MessageResult::No};
  QTest::mouseClick(view->Command4(), Qt::LeftButton);
  EXPECT_EQ(std::tuple(dialogs_.messages.at(0).text, dialogs_.messages.at(0).title, dialogs_.messages.at(0).icon),
            std::tuple(u"Are you sure you want to clear the log?"_s, u"Confirm Delete"_s, MessageIcon::Exclamation));
  EXPECT_EQ(view->Model()->rowCount(), 41);
  EXPECT_EQ(ProfileFile::Load(options_.LogFile).Value(u"Total"_s, u"Entries"_s), u"41"_s);

  QTest::mouseClick(view->Command4(), Qt::LeftButton);  // Yes
  EXPECT_EQ(ProfileFile::Load(options_.LogFile).Value(u"Total"_s, u"Entries"_s), u"0"_s);
  Log(u"/music/First Again.mp3"_s);  // while the cleared log is being listed
  ASSERT_TRUE(QTest::qWaitFor([view] { return !view->Loading(); }, 5000));
  EXPECT_EQ(ProfileFile::Load(options_.LogFile).Value(u"Songs"_s, u"1 File"_s), u"First Again"_s);
  ASSERT_EQ(view->Model()->rowCount(), 1);
  EXPECT_EQ(Row(view, 0).at(2), u"First Again"_s);
  delete view;
}

TEST_F(LogWindowsTest, ViewerKeepsItsPlaceAndAMaximisedCloseStoresOnlyTheState) {
  View* view = OpenView();
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  EXPECT_EQ(view->size(), QSize(477, 325)) << "7275 x 5295 twips outside, less the frame";
  EXPECT_EQ(view->pos(), QPoint(std::nearbyint((screen.width() * 15 - 7275) / 2.0 / 15),
                                std::nearbyint((screen.height() * 15 - 5295) / 2.0 / 15)));
  view->setGeometry(30, 40, 500, 300);
  EXPECT_EQ(view->List()->geometry(), QRect(0, 0, 500, 261));  // the list fills the window above the buttons
  EXPECT_EQ(view->Command2()->geometry(), QRect(500 + 8 - 85, 269, 76, 25));
  const QPoint outer = view->pos();  // the frame's corner
  view->close();
  const QStringList place = {QString::number(outer.x() * 15), QString::number(outer.y() * 15), u"7620"_s, u"4920"_s};
  auto stored = [this] {
    return QStringList{settings_.Get(keys::kViewLeft), settings_.Get(keys::kViewTop), settings_.Get(keys::kViewWidth),
                       settings_.Get(keys::kViewHeight)};
  };
  EXPECT_EQ(stored(), place);
  EXPECT_EQ(settings_.Get(keys::kViewState), u"0"_s);

  view = OpenView();
  EXPECT_EQ(view->geometry(), QRect(30, 40, 500, 300));
  view->showMaximized();
  ASSERT_TRUE(QTest::qWaitFor([view] { return view->isMaximized(); }));
  view->close();
  EXPECT_EQ(settings_.Get(keys::kViewState), u"2"_s);
  EXPECT_EQ(stored(), place);

  view = OpenView();
  EXPECT_TRUE(view->isMaximized());
  EXPECT_EQ(view->normalGeometry(), QRect(30, 40, 500, 300));
  delete view;
}

TEST_F(LogWindowsTest, ExportWritesTheChosenPartsAndRemembersThem) {
  WriteLog("[Total]\nEntries=2\n[Songs]\n1 File=Caf\xc3\xa9\n1 Date=5/12/26\n1 Time=21:00:01\n2 File=B\n"
           "2 Date=5/12/26\n"_ba);
  View* view = OpenView();
  const QString path = dir_.filePath(u"out/night.txt"_s);
  const struct {
    bool dates, times;
    QByteArray text;
  } cases[] = {{true, true, "5/12/26 | 21:00:01 | Caf\xc3\xa9\r\n5/12/26 |  | B\r\n"},
               {false, true, "21:00:01 | Caf\xc3\xa9\r\n | B\r\n"},
               {false, false, "Caf\xc3\xa9\r\nB\r\n"}};
  for (const auto& c : cases) {
    dialogs_.messages.clear();
    QFile::remove(path);
    ASSERT_EQ(Create(OpenOutput(view), path, c.dates, c.times), true);
    EXPECT_EQ(ReadBytes(path), c.text);
    ASSERT_EQ(dialogs_.MessageTexts(), QStringList(options_.LogFile + u" Written to "_s + path + u"."_s));
    EXPECT_EQ(dialogs_.messages.at(0).icon, MessageIcon::Information);
  }
  Output* output = OpenOutput(view);
  ASSERT_TRUE(output);
  EXPECT_EQ(output->Text1()->text(), path);  // the last choices come back
  EXPECT_FALSE(output->Check1()->isChecked() || output->Check2()->isChecked());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(output->Text1())->text(QAccessible::Name), u"Output Path"_s);
  output->close();

  WriteLog("[Total]\nEntries=0\n[Songs]\n1 File=Old\n"_ba);
  dialogs_.messages.clear();
  ASSERT_EQ(Create(OpenOutput(view), path, true, true), true);
  EXPECT_EQ(ReadBytes(path), QByteArray()) << "0 entries give an empty file";
  EXPECT_EQ(dialogs_.messages.size(), 2) << "the overwrite question and the completion message";
  delete view;
}

TEST_F(LogWindowsTest, ExportRefusalsKeepTheWindowAndStoreNothing) {
  WriteLog("[Total]\nEntries=1\n[Songs]\n1 File=A\n"_ba);
  View* view = OpenView();
  const QString existing = dir_.filePath(u"keep.txt"_s);
  test::WriteBytes(existing, "old");
  dialogs_.messageAnswers = {MessageResult::No};
  Output* output = OpenOutput(view);
  ASSERT_TRUE(output);
  EXPECT_EQ(Create(output, existing, true, false), std::nullopt);
  EXPECT_EQ(std::pair(dialogs_.messages.at(0).text, dialogs_.messages.at(0).title),
            std::pair(existing + u" exists. Do you want to overwrite it?"_s, u"Confirm Overwrite"_s));
  EXPECT_TRUE(ReadBytes(existing) == "old" && output->isVisible());

  const QString blocked = existing + u"/night.txt"_s;  // a folder that is a file
  EXPECT_EQ(Create(output, blocked, true, false), false);
  EXPECT_TRUE(dialogs_.messages.last().text.startsWith(u"Could not write "_s + blocked + u": "_s));
  EXPECT_TRUE(dialogs_.messages.last().icon == MessageIcon::Critical && output->isVisible());
  EXPECT_TRUE(settings_.Get(keys::kLastTextLog).isEmpty() && settings_.Get(keys::kSaveTimes).isEmpty());

  dialogs_.saveAnswers = {std::nullopt, u"/music/reports/may.txt"_s};
  QTest::mouseClick(output->Command1(), Qt::LeftButton);
  EXPECT_EQ(output->Text1()->text(), blocked) << "cancel changes nothing";
  QTest::mouseClick(output->Command1(), Qt::LeftButton);
  EXPECT_EQ(output->Text1()->text(), u"/music/reports/may.txt"_s);
  const FileDialogRequest& asked = dialogs_.saveRequests.at(0);
  EXPECT_EQ(std::tuple(asked.title, asked.fileName, asked.filter, asked.defaultSuffix),
            std::tuple(u"Choose Output File"_s, blocked, u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*"_s, u"txt"_s));
  delete view;
}

}  // namespace
}  // namespace marvane::test
