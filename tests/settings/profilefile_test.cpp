// The profile-file engine: lookups, edits that touch only their own lines, any bytes; and the value helpers.

#include "settings/profilefile.h"

#include "settings/inivalue.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace marvane::test {
namespace {


TEST(ProfileFile, FindsSectionsAndKeysWithoutRegardToCaseOrPadding) {
  const ProfileFile profile = ProfileFile::Parse("[Colors]\r\nText = 123 \r\nLED=\"quoted\"\r\n[Lines]\r\nVisible=1");
  EXPECT_EQ(profile.Value(u"colors"_s, u"TEXT"_s), u"123"_s);
  EXPECT_EQ(profile.Value(u"COLORS"_s, u"led"_s), u"quoted"_s);
  EXPECT_EQ(profile.Value(u"lines"_s, u"visible"_s), u"1"_s);
  EXPECT_FALSE(profile.Value(u"Lines"_s, u"Text"_s).has_value());
  EXPECT_FALSE(profile.Value(u"Missing"_s, u"Text"_s).has_value());
  EXPECT_EQ(profile.Keys(u"colors"_s), (QStringList{u"Text"_s, u"LED"_s}));

  // Names outside ASCII, in UTF-8 or the Windows code page, and padded names.
  ProfileFile other = ProfileFile::Parse(
      "[Gr\xC3\xB6\xC3\x9F"
      "e]\n\xC3\x84pfel = 1\n[Code Page]\n\xC4pfel=2\n [ Mixed ] \n  KeY  = v \n");
  EXPECT_EQ(other.Value(u"GR\u00D6\u00DFE"_s, u"\u00E4PFEL"_s), u"1"_s);
  EXPECT_EQ(other.Value(u"code page"_s, u" \u00C4PFEL "_s), u"2"_s);
  EXPECT_EQ(other.Value(u"mixed"_s, u"key"_s), u"v"_s);
  EXPECT_EQ(other.Value(u" MIXED "_s, u" KEY"_s), u"v"_s);
  EXPECT_FALSE(other.Value(u"mixed"_s, u"ke y"_s).has_value());
  // A key written in the Windows code page is written again in UTF-8 when its value changes.
  other.SetValue(u"CODE PAGE"_s, u"\u00E4pfel"_s, u"3"_s);
  other.SetValue(u"Mixed"_s, u"KEY"_s, u"w"_s);
  EXPECT_EQ(other.Serialize(), QByteArray("[Gr\xC3\xB6\xC3\x9F"
                                          "e]\n\xC3\x84pfel = 1\n[Code Page]\n\xC3\x84pfel=3\n"
                                          " [ Mixed ] \nKeY=w\n"));
}

TEST(ProfileFile, EditsChangeOnlyTheirOwnLines) {
  // Replaced in place, every other line kept byte for byte.
  ProfileFile profile = ProfileFile::Parse(
      "; a comment\r\n[playlist]\r\nFile1=/a.mp3\r\nfoo = bar\r\n\r\n[Other]\r\nKeep=this\r\nnonsense line\r\n");
  profile.SetValue(u"PLAYLIST"_s, u"file1"_s, u"/b.mp3"_s);
  EXPECT_EQ(profile.Serialize(), QByteArray("; a comment\r\n[playlist]\r\nFile1=/b.mp3\r\nfoo = bar\r\n\r\n[Other]\r\n"
                                            "Keep=this\r\nnonsense line\r\n"));
  // New keys go to the end of their section, new sections to the end of the file.
  profile = ProfileFile::Parse("[A]\nx=1\n\n[B]\ny=2");
  profile.SetValue(u"a"_s, u"z"_s, u"3"_s);
  profile.SetValue(u"b"_s, u"w"_s, u"4"_s);
  profile.SetValue(u"C"_s, u"v"_s, u"5"_s);
  EXPECT_EQ(profile.Serialize(), QByteArray("[A]\nx=1\nz=3\n\n[B]\ny=2\nw=4\n[C]\nv=5\n"));
  EXPECT_EQ(profile.Value(u"a"_s, u"Z"_s), u"3"_s);
  // A value with a line break cannot break the file's shape.
  profile.SetValue(u"C"_s, u"v"_s, u"two\nlines"_s);
  EXPECT_EQ(ProfileFile::Parse(profile.Serialize()).Value(u"C"_s, u"v"_s), u"two lines"_s);
  // Keys and whole sections go.
  profile = ProfileFile::Parse("[1.30]\nPath=/x\n[1.40]\nA=1\nB=2\n");
  EXPECT_TRUE(profile.RemoveSection(u"1.30"_s));
  EXPECT_FALSE(profile.RemoveSection(u"1.30"_s));
  EXPECT_TRUE(profile.RemoveKey(u"1.40"_s, u"a"_s));
  EXPECT_EQ(profile.Serialize(), QByteArray("[1.40]\nB=2\n"));
  EXPECT_EQ(profile.Value(u"1.40"_s, u"B"_s), u"2"_s);
}

TEST(IniValue, CutsWritesTo80AndReadsTo79CharactersAndMissingReadsEmpty) {
  QTemporaryDir dir;
  const QString file = dir.filePath(u"test.pls"_s);
  EXPECT_EQ(ReadIniValue(u"playlist"_s, u"File1"_s, file), QString()) << "a missing file";
  QString value = u"abc"_s + QString(82, u'x');
  WriteIniValue(u"playlist"_s, u"File1"_s, value, file);
  EXPECT_EQ(value.size(), 80);  // the caller's own text is cut too
  EXPECT_EQ(ProfileFile::Load(file).Value(u"playlist"_s, u"File1"_s)->size(), 80);
  const QString read = ReadIniValue(u"PLAYLIST"_s, u"file1"_s, file);
  EXPECT_EQ(read.size(), 79);
  EXPECT_TRUE(read.startsWith(u"abc"_s));
  EXPECT_EQ(ReadIniValue(u"Lines"_s, u"File1"_s, file), QString());
  EXPECT_EQ(ReadIniValue(u"playlist"_s, u"File2"_s, file), QString());
}

TEST(IniValue, SeesChangesMadeToTheFileBehindItsBack) {
  QTemporaryDir dir;
  const QString file = dir.filePath(u"songs.log"_s);
  QString one = u"1"_s;
  WriteIniValue(u"Log"_s, u"Count"_s, one, file);
  EXPECT_EQ(ReadIniValue(u"Log"_s, u"Count"_s, file), u"1"_s);
  // Another writer replaces the file with one of the same size within the same clock tick.
  ProfileFile other = ProfileFile::Load(file);
  other.SetValue(u"Log"_s, u"Count"_s, u"2"_s);
  ASSERT_TRUE(other.Save(file));
  EXPECT_EQ(ReadIniValue(u"Log"_s, u"Count"_s, file), u"2"_s);
  QFile::remove(file);
  EXPECT_EQ(ReadIniValue(u"Log"_s, u"Count"_s, file), QString());
}

}  // namespace
}  // namespace marvane::test
