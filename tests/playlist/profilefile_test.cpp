#include "playlist/inivalue.h"
#include "playlist/profilefile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

namespace marvane {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteRaw(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

TEST(ProfileFile, FindsSectionsAndKeysWithoutRegardToCase) {
  const ProfileFile profile = ProfileFile::Parse("[Colors]\r\nText = 123 \r\nLED=\"quoted\"\r\n[Lines]\r\nVisible=1");
  EXPECT_EQ(profile.Value(QStringLiteral("colors"), QStringLiteral("TEXT")), QStringLiteral("123"));
  EXPECT_EQ(profile.Value(QStringLiteral("COLORS"), QStringLiteral("led")), QStringLiteral("quoted"));
  EXPECT_EQ(profile.Value(QStringLiteral("lines"), QStringLiteral("visible")), QStringLiteral("1"));
  EXPECT_FALSE(profile.Value(QStringLiteral("Lines"), QStringLiteral("Text")).has_value());
  EXPECT_FALSE(profile.Value(QStringLiteral("Missing"), QStringLiteral("Text")).has_value());
  EXPECT_EQ(profile.Keys(QStringLiteral("colors")), (QStringList{QStringLiteral("Text"), QStringLiteral("LED")}));
}

TEST(ProfileFile, ReplacesInPlaceAndKeepsEveryOtherLineByteForByte) {
  const QByteArray original =
      "; a comment\r\n[playlist]\r\nFile1=/a.mp3\r\nfoo = bar\r\n\r\n[Other]\r\nKeep=this\r\nnonsense line\r\n";
  ProfileFile profile = ProfileFile::Parse(original);
  profile.SetValue(QStringLiteral("PLAYLIST"), QStringLiteral("file1"), QStringLiteral("/b.mp3"));
  EXPECT_EQ(profile.Serialize(),
            QByteArray("; a comment\r\n[playlist]\r\nFile1=/b.mp3\r\nfoo = bar\r\n\r\n[Other]\r\nKeep=this\r\n"
                       "nonsense line\r\n"));
}

TEST(ProfileFile, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEndOfTheFile) {
  ProfileFile profile = ProfileFile::Parse("[A]\nx=1\n\n[B]\ny=2");
  profile.SetValue(QStringLiteral("a"), QStringLiteral("z"), QStringLiteral("3"));
  profile.SetValue(QStringLiteral("b"), QStringLiteral("w"), QStringLiteral("4"));
  profile.SetValue(QStringLiteral("C"), QStringLiteral("v"), QStringLiteral("5"));
  EXPECT_EQ(profile.Serialize(), QByteArray("[A]\nx=1\nz=3\n\n[B]\ny=2\nw=4\n[C]\nv=5\n"));
  EXPECT_EQ(profile.Value(QStringLiteral("a"), QStringLiteral("Z")), QStringLiteral("3"));
  // A value with a line break cannot break the file's shape.
  profile.SetValue(QStringLiteral("C"), QStringLiteral("v"), QStringLiteral("two\nlines"));
  EXPECT_EQ(ProfileFile::Parse(profile.Serialize()).Value(QStringLiteral("C"), QStringLiteral("v")),
            QStringLiteral("two lines"));
}

TEST(ProfileFile, RemovesKeysAndWholeSections) {
  ProfileFile profile = ProfileFile::Parse("[1.30]\nPath=/x\n[1.40]\nA=1\nB=2\n");
  EXPECT_TRUE(profile.RemoveSection(QStringLiteral("1.30")));
  EXPECT_FALSE(profile.RemoveSection(QStringLiteral("1.30")));
  EXPECT_TRUE(profile.RemoveKey(QStringLiteral("1.40"), QStringLiteral("a")));
  EXPECT_EQ(profile.Serialize(), QByteArray("[1.40]\nB=2\n"));
  EXPECT_EQ(profile.Value(QStringLiteral("1.40"), QStringLiteral("B")), QStringLiteral("2"));
}

TEST(ProfileFile, AnyBytesParseWithoutHarm) {
  QRandomGenerator random(1234);
  for (int round = 0; round < 200; ++round) {
    QByteArray bytes(random.bounded(1, 400), '\0');
    for (char& c : bytes) c = static_cast<char>(random.bounded(256));
    if (round % 3 == 0) bytes.prepend("[S]\n=\n[\n]x=y\n");
    ProfileFile profile = ProfileFile::Parse(bytes);
    EXPECT_EQ(profile.Serialize(), bytes);  // nothing lost when nothing changed
    profile.SetValue(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(ProfileFile::Parse(profile.Serialize()).Value(QStringLiteral("s"), QStringLiteral("K")),
              QStringLiteral("v"));
  }
}

TEST(IniValue, CutsWritesTo80AndReadsTo79Characters) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("test.pls"));
  QString value(85, QLatin1Char('x'));
  value.replace(0, 3, QStringLiteral("abc"));
  WriteIniValue(QStringLiteral("playlist"), QStringLiteral("File1"), value, file);
  EXPECT_EQ(value.size(), 80);  // the caller's own text is cut too
  EXPECT_EQ(ProfileFile::Load(file).Value(QStringLiteral("playlist"), QStringLiteral("File1"))->size(), 80);
  const QString read = ReadIniValue(QStringLiteral("PLAYLIST"), QStringLiteral("file1"), file);
  EXPECT_EQ(read.size(), 79);
  EXPECT_TRUE(read.startsWith(QStringLiteral("abc")));
}

TEST(IniValue, MissingFileSectionOrKeyReadsEmpty) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("colors.txt"));
  EXPECT_EQ(ReadIniValue(QStringLiteral("Colors"), QStringLiteral("Text"), file), QString());
  QString value = QStringLiteral("255");
  WriteIniValue(QStringLiteral("Colors"), QStringLiteral("Text"), value, file);
  EXPECT_EQ(ReadIniValue(QStringLiteral("Lines"), QStringLiteral("Text"), file), QString());
  EXPECT_EQ(ReadIniValue(QStringLiteral("Colors"), QStringLiteral("LED"), file), QString());
  EXPECT_EQ(ReadIniValue(QStringLiteral("Colors"), QStringLiteral("Text"), file), QStringLiteral("255"));
}

TEST(IniValue, SeesChangesMadeToTheFileBehindItsBack) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("songs.log"));
  QString one = QStringLiteral("1");
  WriteIniValue(QStringLiteral("Log"), QStringLiteral("Count"), one, file);
  EXPECT_EQ(ReadIniValue(QStringLiteral("Log"), QStringLiteral("Count"), file), QStringLiteral("1"));
  // Another writer replaces the file with one of the same size within the same clock tick.
  ProfileFile other = ProfileFile::Load(file);
  other.SetValue(QStringLiteral("Log"), QStringLiteral("Count"), QStringLiteral("2"));
  ASSERT_TRUE(other.Save(file));
  EXPECT_EQ(ReadIniValue(QStringLiteral("Log"), QStringLiteral("Count"), file), QStringLiteral("2"));
  QFile::remove(file);
  EXPECT_EQ(ReadIniValue(QStringLiteral("Log"), QStringLiteral("Count"), file), QString());
}

TEST(ProfileFile, ACrashBetweenWriteAndRenameLeavesTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Marvane.ini"));
  const QByteArray old = "[1.40]\nSlider 1=55\n";
  WriteRaw(path, old);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The new contents are written and flushed to the temporary file, then the process dies before the
    // rename, as a crash or power cut would leave it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) ::_exit(3);
    file.write(QByteArray(4096, 'z'));
    file.flush();
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(ProfileFile::Load(path).Value(QStringLiteral("1.40"), QStringLiteral("slider 1")), QStringLiteral("55"));
}

}  // namespace
}  // namespace marvane

namespace marvane {
namespace {

TEST(ProfileFile, NamesOutsideAsciiAndPaddedNamesMatchWithoutRegardToCase) {
  ProfileFile profile = ProfileFile::Parse(
      "[Gr\xC3\xB6\xC3\x9F" "e]\n\xC3\x84pfel = 1\n[Code Page]\n\xC4pfel=2\n [ Mixed ] \n  KeY  = v \n");
  EXPECT_EQ(profile.Value(QStringLiteral("GR\u00D6\u00DFE"), QStringLiteral("\u00E4PFEL")), QStringLiteral("1"));
  EXPECT_EQ(profile.Value(QStringLiteral("code page"), QStringLiteral(" \u00C4PFEL ")), QStringLiteral("2"));
  EXPECT_EQ(profile.Value(QStringLiteral("mixed"), QStringLiteral("key")), QStringLiteral("v"));
  EXPECT_EQ(profile.Value(QStringLiteral(" MIXED "), QStringLiteral(" KEY")), QStringLiteral("v"));
  EXPECT_FALSE(profile.Value(QStringLiteral("mixed"), QStringLiteral("ke y")).has_value());
  // A key written in the Windows code page is written again in UTF-8 when its value changes.
  profile.SetValue(QStringLiteral("CODE PAGE"), QStringLiteral("\u00E4pfel"), QStringLiteral("3"));
  profile.SetValue(QStringLiteral("Mixed"), QStringLiteral("KEY"), QStringLiteral("w"));
  EXPECT_EQ(profile.Serialize(), QByteArray("[Gr\xC3\xB6\xC3\x9F" "e]\n\xC3\x84pfel = 1\n[Code Page]\n\xC3\x84pfel=3\n"
                                            " [ Mixed ] \nKeY=w\n"));
}

}  // namespace
}  // namespace marvane
