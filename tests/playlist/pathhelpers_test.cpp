#include "playlist/pathhelpers.h"

#include <gtest/gtest.h>

namespace marvane {
namespace {

using namespace Qt::StringLiterals;

TEST(PathHelpers, SplitStripAndNormalizeNamesAndFolders) {
  // SplitFileName returns the name and leaves the folder, with its slash.
  for (const auto& [path, name, folder] :
       {std::tuple{u"/music/set one/track.mp3"_s, u"track.mp3"_s, u"/music/set one/"_s},
        {u"song.mp3"_s, u"song.mp3"_s, QString()},
        {u"/music/"_s, QString(), u"/music/"_s},
        {u"/"_s, QString(), u"/"_s}}) {
    QString found = u"stale"_s;
    EXPECT_EQ(std::pair(SplitFileName(path, &found), found), std::pair(name, folder)) << path.toStdString();
  }
  // StripExtension cuts at the last dot unless nothing would remain.
  for (const auto& [name, stripped] : {std::pair{u"a.b.mp3"_s, u"a.b"_s}, {u".mp3"_s, u".mp3"_s},
                                       {u"noext"_s, u"noext"_s}, {u"trailing."_s, u"trailing"_s}})
    EXPECT_EQ(StripExtension(name), stripped) << name.toStdString();
  EXPECT_EQ(FolderWithSlash(u"/home/dj/Music"_s), u"/home/dj/Music/"_s);
  EXPECT_EQ(FolderWithSlash(u"/home/dj/Music/"_s), u"/home/dj/Music/"_s);
  EXPECT_EQ(FolderWithSlash(QString()), u"/"_s);
  // Relative entries turn backslashes into slashes; absolute ones are left as they are.
  EXPECT_EQ(NormalizeEntryPath(u"sub\\dir\\a.mp3"_s), u"sub/dir/a.mp3"_s);
  EXPECT_EQ(NormalizeEntryPath(u"/abs/odd\\name.mp3"_s), u"/abs/odd\\name.mp3"_s);
  EXPECT_EQ(NormalizeEntryPath(u"C:\\Music\\a.mp3"_s), u"C:\\Music\\a.mp3"_s);
}

}  // namespace
}  // namespace marvane
