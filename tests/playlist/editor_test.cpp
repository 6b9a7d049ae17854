// The Playlist Editor on real folders and playlist files, with scripted dialogs.

#include "playlist/fileutil.h"
#include "playlist/listeditor.h"
#include "playlist/playlistmodel.h"
#include "settings/settingkeys.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"

#include <QAccessible>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace marvane::test {
namespace {


class EditorTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  test::TempSettings settings_;
  test::ScriptedDialogs dialogs_;
  Playlist playlist_;
  ListEditor* editor_ = nullptr;
  QStringList titles_;

  void SetUp() override {
    settings_.Set(keys::kSongPath, dir_.path());
    editor_ = new ListEditor(playlist_, settings_, dialogs_);
    editor_->showPlaylistTitle = [this](const QString& text, const QString&) { titles_ << text; };
  }
  void TearDown() override { delete editor_; }

  QString Path(const QString& name) const { return dir_.filePath(name); }
  void Make(const QString& name, int bytes = 0) { test::WriteBytes(Path(name), QByteArray(bytes, 'x')); }
  void Load() {
    editor_->Load();
    ASSERT_EQ(editor_->Folder(), QDir(dir_.path()).absolutePath());
  }
  // The rows of List1 and ListItems name the same files in the same order.
  void ExpectInStep() const {
    ASSERT_EQ(editor_->Model()->rowCount(), playlist_.ListItems.size());
    for (int r = 0; r < playlist_.ListItems.size(); ++r)
      EXPECT_TRUE(playlist_.ListItems[r].endsWith(editor_->Model()->RowText(r))) << r;
  }
  void FillTen() {
    for (int i = 0; i < 10; ++i) playlist_.ListItems << u"/m/%1.mp3"_s.arg(i);
    editor_->Refresh1();
  }
};

TEST_F(EditorTest, SizeTextsFollowTheThresholdsAndTheDecimalSeparator) {
  for (const auto& [bytes, text] : {std::pair{1023, u"1023 Bytes"_s}, {1024, u"1 KB"_s}, {1536, u"1.5 KB"_s},
                                    {1048575, u"1023.99 KB"_s}, {1048576, u"1 MB"_s}, {3145728, u"3 MB"_s}})
    EXPECT_EQ(ListEditor::SizeText(bytes, QLocale::c()), text);
  EXPECT_EQ(ListEditor::SizeText(1536, QLocale(QLocale::German)), u"1,5 KB"_s);
}

TEST_F(EditorTest, AddAllAppendsSoundFilesAndPlaylistContentsThenRemoveSelectedRebuildsRows) {
  for (const QString& name : {u"a.wav"_s, u"B.MP3"_s, u"c.mid"_s, u"notes.txt"_s}) Make(name);
  test::WriteBytes(Path(u"d.m3u"_s), "1.mp3\r\n2.mp3\r\n3.mp3\r\n4.mp3\r\n5.mp3\r\n");
  Load();
  EXPECT_EQ(editor_->Files(), (QStringList{u"a.wav"_s, u"B.MP3"_s, u"c.mid"_s}));  // letter case ignored
  editor_->SetFilter(2);
  editor_->AddAll_Click();
  ASSERT_EQ(playlist_.ListItems.size(), 9);  // 4 files of the folder, 5 entries of d.m3u
  EXPECT_EQ(std::pair(editor_->Model()->RowText(3), editor_->Model()->RowText(8)), std::pair(u"1"_s, u"notes.txt"_s));
  EXPECT_EQ(playlist_.ListItems[3], Path(u"1.mp3"_s));
  EXPECT_TRUE(editor_->Dirty() && editor_->SaveButt()->isEnabled());
  editor_->SelectRows({8});
  editor_->RemSel_Click();
  EXPECT_EQ(editor_->Model()->RowText(3), u"1.mp3"_s);
  EXPECT_EQ(editor_->ListTitle()->text(), u"Untitled - 8 Titles."_s);
  ExpectInStep();
}

TEST_F(EditorTest, AddSelectedInsertsAboveTheSelectedRowAndRemoveSelectedTakesExactlyTheSelected) {
  Make(u"new.mp3"_s, 1536);
  Load();
  FillTen();
  editor_->SelectRows({3});
  editor_->File1()->selectionModel()->select(editor_->File1()->model()->index(0, 0), QItemSelectionModel::Select);
  editor_->AddSel_Click();
  ASSERT_EQ(playlist_.ListItems.size(), 11);
  EXPECT_EQ(playlist_.ListItems.mid(3, 2), (QStringList{Path(u"new.mp3"_s), u"/m/3.mp3"_s}));
  ExpectInStep();
  editor_->List1_Click(3);
  EXPECT_EQ(std::pair(editor_->Panel(1)->text(), editor_->Panel(2)->text()),
            std::pair(Path(u"new.mp3"_s), ListEditor::SizeText(1536)));

  editor_->SelectRows({2, 5});
  editor_->RemSel_Click();
  EXPECT_EQ(playlist_.ListItems.size(), 9);  // 2 and 4 (row 5 after the insertion) are gone
  EXPECT_EQ(playlist_.ListItems.mid(1, 4),
            (QStringList{u"/m/1.mp3"_s, Path(u"new.mp3"_s), u"/m/3.mp3"_s, u"/m/5.mp3"_s}));
  ExpectInStep();
}

TEST_F(EditorTest, NewAsksFirstAndCancelKeepsTheListWhileNoDropsItUnwritten) {
  Load();
  FillTen();
  editor_->SelectRows({0});
  editor_->RemSel_Click();
  dialogs_.messageAnswers = {MessageResult::Cancel};
  editor_->New_Click();
  EXPECT_EQ(std::pair(dialogs_.messages.back().text, dialogs_.messages.back().buttons),
            std::pair(u"Save Changes to Untitled?"_s, MessageButtons::YesNoCancel));
  EXPECT_TRUE(playlist_.ListItems.size() == 9 && editor_->Dirty());
  dialogs_.messageAnswers = {MessageResult::No};
  editor_->New_Click();
  EXPECT_TRUE(playlist_.ListItems.isEmpty() && !editor_->Dirty() && dialogs_.saveRequests.isEmpty());
  EXPECT_EQ(editor_->ListTitle()->text(), u"Untitled - 0 Titles."_s);
  EXPECT_EQ(titles_.last(), u"Untitled"_s);
}

TEST_F(EditorTest, SaveAsCancelledRestoresTheNameAndANameWithoutExtensionIsWrittenAsLines) {
  Load();
  playlist_.PlayListName = u"party.m3u"_s;
  playlist_.ListPath = dir_.path() + u"/"_s;
  FillTen();
  editor_->SaveAs_Click();
  ASSERT_EQ(dialogs_.saveRequests.size(), 1);
  EXPECT_EQ(dialogs_.saveRequests[0].title, ListEditor::kSaveTitle);
  EXPECT_TRUE(playlist_.PlayListName == u"party.m3u"_s && editor_->Dirty());

  dialogs_.saveAnswers = {Path(u"mylist"_s)};
  editor_->SaveAs_Click();
  EXPECT_TRUE(!editor_->Dirty() && playlist_.PlayListName == u"mylist"_s);
  EXPECT_TRUE(test::ReadBytes(Path(u"mylist"_s)).startsWith("/m/0.mp3\r\n/m/1.mp3\r\n"));
  EXPECT_EQ(settings_.Get(keys::kPlayList), Path(u"mylist"_s));
  EXPECT_EQ(std::pair(editor_->ListTitle()->text(), titles_.last()), std::pair(u"mylist - 10 Titles."_s, u"mylist"_s));
  editor_->SetFilter(2);
  EXPECT_EQ(editor_->Files(), QStringList{u"mylist"_s});
}

TEST_F(EditorTest, OpenReplacesTheListAndChoosesTheNextSong) {
  test::WriteBytes(Path(u"x.pls"_s), "[playlist]\r\nFile1=a.mp3\r\nFile2=b.mp3\r\nNumberOfEntries=2\r\n");
  int chosen = 0;
  editor_->chooseNextSong = [&] { ++chosen; };
  Load();
  dialogs_.openAnswers = {Path(u"missing.m3u"_s), Path(u"x.pls"_s)};
  editor_->OpenButt_Click();
  EXPECT_EQ(dialogs_.messages.back().text, ListEditor::kCouldNotLoad);
  editor_->OpenButt_Click();
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(playlist_.ListItems, (QStringList{Path(u"a.mp3"_s), Path(u"b.mp3"_s)}));
  EXPECT_EQ(std::pair(editor_->ListTitle()->text(), editor_->ListTitle()->toolTip()),
            std::pair(u"x.pls - 2 Titles."_s, Path(u"x.pls"_s)));
  EXPECT_EQ(settings_.Get(keys::kPlayList), Path(u"x.pls"_s));
}

TEST_F(EditorTest, ReorderingByKeysAndDragKeepsTheListInStepAndDeleteRemoves) {
  Load();
  FillTen();
  editor_->SelectRows({1, 2});
  editor_->List1()->setFocus();
  QTest::keyClick(editor_->List1(), Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(playlist_.ListItems.mid(0, 4), (QStringList{u"/m/0.mp3"_s, u"/m/3.mp3"_s, u"/m/1.mp3"_s, u"/m/2.mp3"_s}));
  EXPECT_TRUE(editor_->SelectedRows() == (QList<int>{2, 3}) && editor_->Dirty());
  QTest::keyClick(editor_->List1(), Qt::Key_Up, Qt::ControlModifier);
  QTest::keyClick(editor_->List1(), Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(playlist_.ListItems.mid(0, 4), (QStringList{u"/m/1.mp3"_s, u"/m/2.mp3"_s, u"/m/0.mp3"_s, u"/m/3.mp3"_s}));
  ExpectInStep();

  // Rows 0 and 1 dragged onto row 5 land above what was row 5.
  PlaylistModel& model = *editor_->Model();
  std::unique_ptr<QMimeData> drag(model.mimeData({model.index(0), model.index(1)}));
  model.dropMimeData(drag.get(), Qt::MoveAction, 5, 0, QModelIndex());
  EXPECT_EQ(playlist_.ListItems.mid(0, 5),
            (QStringList{u"/m/0.mp3"_s, u"/m/3.mp3"_s, u"/m/4.mp3"_s, u"/m/1.mp3"_s, u"/m/2.mp3"_s}));
  EXPECT_EQ(editor_->SelectedRows(), (QList<int>{3, 4}));
  ExpectInStep();
  QTest::keyClick(editor_->List1(), Qt::Key_Delete);
  EXPECT_TRUE(playlist_.ListItems.size() == 8 && !playlist_.ListItems.contains(u"/m/1.mp3"_s));
  ExpectInStep();
  // The view's own moves of a dragged block: row 0 to below row 2, and back.
  ASSERT_TRUE(model.moveRow(QModelIndex(), 0, QModelIndex(), 3));
  EXPECT_EQ(playlist_.ListItems.mid(0, 3), (QStringList{u"/m/3.mp3"_s, u"/m/4.mp3"_s, u"/m/0.mp3"_s}));
  ASSERT_TRUE(model.moveRow(QModelIndex(), 2, QModelIndex(), 0));
  EXPECT_EQ(playlist_.ListItems.mid(0, 3), (QStringList{u"/m/0.mp3"_s, u"/m/3.mp3"_s, u"/m/4.mp3"_s}));
  ExpectInStep();
}

TEST_F(EditorTest, DroppedFolderAddsItsSoundFilesAtTheDropRow) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath(u"album/cd2"_s));
  for (const QString& name : {u"album/01.mp3"_s, u"album/cover.jpg"_s, u"album/cd2/02.WAV"_s}) Make(name);
  Load();
  FillTen();
  QMimeData drop;
  drop.setUrls({QUrl::fromLocalFile(Path(u"album"_s))});
  editor_->Model()->dropMimeData(&drop, Qt::CopyAction, 2, 0, QModelIndex());
  EXPECT_EQ(playlist_.ListItems.mid(2, 3), (QStringList{Path(u"album/01.mp3"_s), Path(u"album/cd2/02.WAV"_s),
                                                         u"/m/2.mp3"_s}));
  ExpectInStep();
}

TEST_F(EditorTest, ClosingAsksWhenDirtyStoresThePlaceAndTheWindowIsNamed) {
  Load();
  EXPECT_EQ(editor_->accessibleName(), u"Playlist Editor"_s);
  FillTen();
  // The list's rows are its items for assistive technology.
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(editor_->List1());
  ASSERT_TRUE(list && list->tableInterface());
  EXPECT_EQ(list->text(QAccessible::Name), u"Playlist Entries"_s);
  EXPECT_EQ(list->tableInterface()->rowCount(), 10);
  EXPECT_EQ(list->tableInterface()->cellAt(4, 0)->text(QAccessible::Name), u"4.mp3"_s);
  editor_->SelectRows({0});
  editor_->RemSel_Click();
  QSignalSpy unloading(editor_, &ListEditor::Unloading);
  dialogs_.messageAnswers = {MessageResult::Cancel};
  EXPECT_FALSE(editor_->close());
  EXPECT_EQ(unloading.count(), 0);
  editor_->move(100, 60);
  editor_->setAttribute(Qt::WA_DeleteOnClose, false);
  dialogs_.messageAnswers = {MessageResult::No};
  EXPECT_TRUE(editor_->close());
  EXPECT_EQ(unloading.count(), 1);
  EXPECT_EQ(settings_.Get(keys::kListLeft).toDouble(), editor_->x() * 15.0);
  EXPECT_EQ(settings_.Get(keys::kListTop).toDouble(), editor_->y() * 15.0);
}

}  // namespace
}  // namespace marvane::test
