// The main window's Playlist button opens the Playlist Editor on the list AutoPilot plays from.

#include "app/apptestfixture.h"
#include "playlist/fileutil.h"
#include "playlist/listeditor.h"
#include "playlist/playlist.h"
#include "playlist/playlistmodel.h"

namespace marvane::test {
namespace {

TEST_F(AppTest, PlaylistButtonOpensOneEditorOnTheAutoPilotList) {
  ASSERT_TRUE(Start());
  const QColor hilite = ColorFromValue(app_->Colors().HiliteColor);
  EXPECT_FALSE(app_->EditorOpen);
  Q_EMIT app_->Form()->PList()->Click();
  ListEditor* editor = app_->Editor();
  ASSERT_TRUE(editor && app_->EditorOpen && editor->isVisible());
  EXPECT_EQ(app_->Form()->PList()->CaptionColor(), hilite);
  app_->Form()->mnuPLst()->trigger();
  EXPECT_EQ(app_->Editor(), editor);

  // The editor's list is the one AutoPilot chooses from.
  Playlist& playlist = app_->CurrentPlaylist();
  editor->Model()->Append(u"/music/a.mp3"_s, u"a.mp3"_s);
  EXPECT_EQ(playlist.ListItems, QStringList{u"/music/a.mp3"_s});
  dialogs_.messageAnswers = {MessageResult::No};
  editor->New_Click();
  EXPECT_TRUE(playlist.ListItems.isEmpty());
  EXPECT_EQ(app_->Form()->Line(0).TitleLabel->text(), u"Untitled"_s);
  // A playlist dropped on the AutoPilot title while the editor is open is listed in it.
  test::WriteBytes(dir_.filePath(u"night.m3u"_s), "a.mp3\r\nb.mp3\r\n");
  Q_EMIT app_->Form()->TitleDropped(0, {dir_.filePath(u"night.m3u"_s)});
  ASSERT_EQ(editor->Model()->rowCount(), 2);
  EXPECT_EQ(editor->Model()->RowText(1), u"b.mp3"_s);

  editor->close();
  EXPECT_FALSE(app_->EditorOpen);
  EXPECT_EQ(app_->Editor(), nullptr);
  EXPECT_EQ(app_->Form()->PList()->CaptionColor(), ColorFromValue(app_->Colors().TextColor));
}

}  // namespace
}  // namespace marvane::test
