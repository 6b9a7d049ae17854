// The song log's fast write must give exactly the bytes the profile-file engine gives, whatever the file holds.

#include "songlog/songlogfile.h"

#include "playlist/fileutil.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QTemporaryDir>

namespace marvane {
namespace {

using test::ReadBytes;
using test::WriteBytes;

std::vector<SongLogFile::Edit> Entry(int number, const QString& song) {
  const QString n = QString::number(number);
  return {{QStringLiteral("Total"), QStringLiteral("Entries"), n},
          {QStringLiteral("Songs"), n + QStringLiteral(" File"), song},
          {QStringLiteral("Songs"), n + QStringLiteral(" Date"), QStringLiteral("05.12.26")},
          {QStringLiteral("Songs"), n + QStringLiteral(" Time"), QStringLiteral("17:05:09")}};
}

QByteArray EngineResult(const QByteArray& before, const std::vector<SongLogFile::Edit>& edits) {
  ProfileFile profile = ProfileFile::Parse(before);
  for (const SongLogFile::Edit& edit : edits) profile.SetValue(edit.section, edit.key, edit.value);
  return profile.Serialize();
}

TEST(SongLogFile, WritesExactlyWhatTheProfileEngineWritesForAnyLayout) {
  const QList<QByteArray> layouts = {
      "",
      "[Total]\nEntries=2\n[Songs]\n1 File=a\n2 File=b\n",
      "[Total]\r\nEntries=2\r\n[Songs]\r\n2 File=b\r\n",
      "[Total]\nEntries=2\n[Songs]\n2 File=b",                    // last line without its end
      "[Total]\nEntries=2\n[Songs]\n2 File=b\n\n",                // a blank line closes the section
      "[Songs]\n1 File=a\n[Total]\nEntries=1\n",                  // Songs is not the last section
      "[Total]\nEntries=1\n[Songs]\n1 File=a\n[songs]\n9 File=z\n",  // a second Songs section
      "; header\n[ TOTAL ]\n  entries = 7 \n[sOnGs]\n7 File=x\n",   // spacing and letter case
      "[Total]\nEntries=3\nEntries=99\n[Songs]\n3 File=c\n",       // the first of duplicate keys counts
      "[Total]\n\xC4ntries=1\nEntries=5\n[Songs]\n5 File=e\n",     // a key in the Windows code page
      "[Total]\n[Songs]\n1 File=a\n",                             // no Entries yet
      "[Total]\nEntries=2\n[Songs]\n3 File=already there\n",      // the new keys exist
      "[Total]\nEntries=1\n[Other]\nx=1\n",                       // no Songs section
      "\v[Total]\nEntries=1\n\f[Songs]\n1 File=a\n",              // blanks QByteArray::trimmed() removes
      "[Total]\rEntries=1\r[Songs]\r1 File=a\r",                  // CR line ends
  };
  for (const QByteArray& layout : layouts) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path() + QStringLiteral("/songs.log");
    if (!layout.isEmpty()) WriteBytes(path, layout);
    SongLogFile file;
    QByteArray expected = layout;
    // Three entries in a row: the first may be laid out by the engine, the later ones reuse what it left.
    for (int n = 3; n <= 5; ++n) {
      const auto edits = Entry(n, QStringLiteral("Song\n%1").arg(n));
      expected = EngineResult(expected, edits);
      ASSERT_TRUE(file.Write(path, edits));
      ASSERT_EQ(ReadBytes(path), expected) << "layout: " << layout.toStdString() << " entry " << n;
    }
  }
}

TEST(SongLogFile, WritesWhatTheEngineWritesForRandomFilesMadeOfLogPieces) {
  const QList<QByteArray> pieces = {"[Total]", "[Songs]", "[songs]", " [TOTAL] ", "[Other]", "Entries=",
                                    "entries =", "7", "x", "1 File=", "8 File=", "8 Date=", ";", "=", " ",
                                    "\t", "\n", "\r", "\r\n", "\n", "\xC4", "\v", "\n\n"};
  QRandomGenerator random(6);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (int round = 0; round < 150; ++round) {
    QByteArray layout;
    const int count = random.bounded(1, 24);
    for (int i = 0; i < count; ++i) layout += pieces[random.bounded(static_cast<int>(pieces.size()))];
    const QString path = dir.path() + QStringLiteral("/log%1").arg(round);
    WriteBytes(path, layout);
    SongLogFile file;
    QByteArray expected = layout;
    for (int n = 8; n <= 9; ++n) {
      const auto edits = Entry(n, QStringLiteral("s"));
      expected = EngineResult(expected, edits);
      ASSERT_TRUE(file.Write(path, edits));
      ASSERT_EQ(ReadBytes(path), expected) << "layout: " << layout.toHex().toStdString() << " entry " << n;
    }
  }
}

TEST(SongLogFile, SeesOutsideChangesAndAPreloadThatWentStale) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.path() + QStringLiteral("/songs.log");
  WriteBytes(path, "[Total]\nEntries=1\n[Songs]\n1 File=a\n");
  SongLogFile file;
  file.Preload(path);
  EXPECT_EQ(file.Profile(path).Value(QStringLiteral("Total"), QStringLiteral("Entries")), QStringLiteral("1"));
  ASSERT_TRUE(file.Write(path, Entry(2, QStringLiteral("b"))));

  WriteBytes(path, "[Total]\nEntries=40\n[Songs]\n");
  EXPECT_EQ(file.Profile(path).Value(QStringLiteral("Total"), QStringLiteral("Entries")), QStringLiteral("40"));
  ASSERT_TRUE(file.Write(path, Entry(41, QStringLiteral("c"))));
  EXPECT_EQ(ReadBytes(path), QByteArray("[Total]\nEntries=41\n[Songs]\n41 File=c\n41 Date=05.12.26\n41 Time=17:05:09\n"));

  // A preload started before the file changed is not trusted.
  file.Preload(dir.path() + QStringLiteral("/other.log"));
  file.Preload(path);
  WriteBytes(path, "[Total]\nEntries=7\n[Songs]\n");
  EXPECT_EQ(file.Profile(path).Value(QStringLiteral("Total"), QStringLiteral("Entries")), QStringLiteral("7"));
}

}  // namespace
}  // namespace marvane
