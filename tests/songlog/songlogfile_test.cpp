// The song log's fast write must give exactly the bytes the profile-file engine gives, whatever the file holds.

#include "songlog/songlogfile.h"

#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

namespace marvane::test {
namespace {



std::vector<SongLogFile::Edit> Entry(int number, const QString& song) {
  const QString n = QString::number(number);
  return {{u"Total"_s, u"Entries"_s, n},
          {u"Songs"_s, n + u" File"_s, song},
          {u"Songs"_s, n + u" Date"_s, u"05.12.26"_s},
          {u"Songs"_s, n + u" Time"_s, u"17:05:09"_s}};
}

QByteArray EngineResult(const QByteArray& before, const std::vector<SongLogFile::Edit>& edits) {
  ProfileFile profile = ProfileFile::Parse(before);
  for (const SongLogFile::Edit& edit : edits) profile.SetValue(edit.section, edit.key, edit.value);
  return profile.Serialize();
}

TEST(SongLogFile, WritesExactlyWhatTheProfileEngineWritesForAnyLayout) {
  QList<QByteArray> layouts = {
      "",
      "[Total]\nEntries=2\n[Songs]\n1 File=a\n2 File=b\n",
      "[Total]\r\nEntries=2\r\n[Songs]\r\n2 File=b\r\n",
      "[Total]\nEntries=2\n[Songs]\n2 File=b",                       // last line without its end
      "[Total]\nEntries=2\n[Songs]\n2 File=b\n\n",                   // a blank line closes the section
      "[Songs]\n1 File=a\n[Total]\nEntries=1\n",                     // Songs is not the last section
      "[Total]\nEntries=1\n[Songs]\n1 File=a\n[songs]\n9 File=z\n",  // a second Songs section
      "; header\n[ TOTAL ]\n  entries = 7 \n[sOnGs]\n7 File=x\n",    // spacing and letter case
      "[Total]\nEntries=3\nEntries=99\n[Songs]\n3 File=c\n",         // the first of duplicate keys counts
      "[Total]\n\xC4ntries=1\nEntries=5\n[Songs]\n5 File=e\n",       // a key in the Windows code page
      "[Total]\n[Songs]\n1 File=a\n",                                // no Entries yet
      "[Total]\nEntries=2\n[Songs]\n3 File=already there\n",         // the new keys exist
      "[Total]\nEntries=1\n[Other]\nx=1\n",                          // no Songs section
      "\v[Total]\nEntries=1\n\f[Songs]\n1 File=a\n",                 // blanks QByteArray::trimmed() removes
      "[Total]\rEntries=1\r[Songs]\r1 File=a\r",                     // CR line ends
  };
  // And random files made of log pieces.
  const QList<QByteArray> pieces = {"[Total]", "[Songs]", "[songs]", " [TOTAL] ", "[Other]", "Entries=", "entries =",
                                    "7",       "x",       "1 File=", "4 File=",   "4 Date=", ";",        "=",
                                    " ",       "\t",      "\n",      "\r",        "\r\n",    "\xC4",     "\v"};
  QRandomGenerator random(6);
  for (int round = 0; round < 150; ++round) {
    QByteArray layout;
    for (int i = 0, count = random.bounded(1, 24); i < count; ++i)
      layout += pieces[random.bounded(static_cast<int>(pieces.size()))];
    layouts << layout;
  }
  QTemporaryDir dir;
  for (int index = 0; index < layouts.size(); ++index) {
    const QByteArray& layout = layouts[index];
    const QString path = dir.path() + u"/log%1"_s.arg(index);
    if (!layout.isEmpty()) WriteBytes(path, layout);
    SongLogFile file;
    QByteArray expected = layout;
    // Three entries in a row: the first may be laid out by the engine, the later ones reuse what it left.
    for (int n = 3; n <= 5; ++n) {
      const auto edits = Entry(n, u"Song\n%1"_s.arg(n));
      expected = EngineResult(expected, edits);
      ASSERT_TRUE(file.Write(path, edits));
      ASSERT_EQ(ReadBytes(path), expected) << "layout: " << layout.toHex().toStdString() << " entry " << n;
    }
  }
}

}  // namespace
}  // namespace marvane::test
