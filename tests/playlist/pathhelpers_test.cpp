#include "playlist/pathhelpers.h"

#include <gtest/gtest.h>

namespace marvane {
namespace {

TEST(PathHelpers, SplitFileNameReturnsTheNameAndLeavesTheFolder) {
  QString folder = QStringLiteral("stale");
  EXPECT_EQ(SplitFileName(QStringLiteral("/music/set one/track.mp3"), &folder), QStringLiteral("track.mp3"));
  EXPECT_EQ(folder, QStringLiteral("/music/set one/"));
  EXPECT_EQ(SplitFileName(QStringLiteral("song.mp3"), &folder), QStringLiteral("song.mp3"));
  EXPECT_EQ(folder, QString());
  EXPECT_EQ(SplitFileName(QStringLiteral("/music/"), &folder), QString());
  EXPECT_EQ(folder, QStringLiteral("/music/"));
  EXPECT_EQ(SplitFileName(QStringLiteral("/"), &folder), QString());
  EXPECT_EQ(folder, QStringLiteral("/"));
}

TEST(PathHelpers, StripExtensionCutsAtTheLastDotUnlessNothingWouldRemain) {
  EXPECT_EQ(StripExtension(QStringLiteral("a.b.mp3")), QStringLiteral("a.b"));
  EXPECT_EQ(StripExtension(QStringLiteral(".mp3")), QStringLiteral(".mp3"));
  EXPECT_EQ(StripExtension(QStringLiteral("noext")), QStringLiteral("noext"));
  EXPECT_EQ(StripExtension(QStringLiteral("trailing.")), QStringLiteral("trailing"));
  EXPECT_EQ(StripExtension(QString()), QString());
}

TEST(PathHelpers, FolderWithSlashAddsOneSlashOnly) {
  EXPECT_EQ(FolderWithSlash(QStringLiteral("/home/dj/Music")), QStringLiteral("/home/dj/Music/"));
  EXPECT_EQ(FolderWithSlash(QStringLiteral("/home/dj/Music/")), QStringLiteral("/home/dj/Music/"));
  EXPECT_EQ(FolderWithSlash(QStringLiteral("/")), QStringLiteral("/"));
  EXPECT_EQ(FolderWithSlash(QStringLiteral("")), QStringLiteral("/"));
}

TEST(PathHelpers, RelativeEntriesTurnBackslashesIntoSlashes) {
  EXPECT_EQ(NormalizeEntryPath(QStringLiteral("sub\\dir\\a.mp3")), QStringLiteral("sub/dir/a.mp3"));
  EXPECT_EQ(NormalizeEntryPath(QStringLiteral("/abs/odd\\name.mp3")), QStringLiteral("/abs/odd\\name.mp3"));
  EXPECT_EQ(NormalizeEntryPath(QStringLiteral("C:\\Music\\a.mp3")), QStringLiteral("C:\\Music\\a.mp3"));
}

}  // namespace
}  // namespace marvane
