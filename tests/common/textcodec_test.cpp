#include "common/atomicfile.h"
#include "common/textcodec.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace marvane {
namespace {

TEST(TextCodec, ReadsUtf8WithoutTheByteOrderMarkAndFallsBackToWindows1252WhereBytesAreNotUtf8) {
  EXPECT_EQ(DecodeText(QByteArray("\xEF\xBB\xBF" "Caf\xC3\xA9")), QStringLiteral(u"Café"));
  // 0xE9 is é in Latin-1; 0x80 is the euro sign and 0x93/0x94 curly quotes in Windows-1252.
  EXPECT_EQ(DecodeText(QByteArray("Caf\xE9")), QStringLiteral(u"Café"));
  EXPECT_EQ(DecodeText(QByteArray("\x80 \x93x\x94")), QStringLiteral(u"€ “x”"));
}

TEST(AtomicFile, ReplacesTheWholeFileAndCreatesFolders) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("a/b/file.txt"));
  ASSERT_TRUE(WriteFileAtomically(path, "first"));
  ASSERT_TRUE(WriteFileAtomically(path, "second"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("second"));
  // No temporary file is left beside it; writing over a folder fails clearly.
  EXPECT_EQ(QDir(dir.filePath(QStringLiteral("a/b"))).entryList(QDir::Files).size(), 1);
  QString error;
  EXPECT_FALSE(WriteFileAtomically(dir.path(), "x", &error));
  EXPECT_TRUE(!error.isEmpty() && QFileInfo(dir.path()).isDir());
}

TEST(AtomicFile, AFullDiskLeavesTheOldFileWhole) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("keep.txt"));
  ASSERT_TRUE(WriteFileAtomically(path, "old contents"));
  // A child process limited to 1 KiB files behaves like a full disk: the write of 64 KiB fails part way.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    QString error;
    const bool written = WriteFileAtomically(path, QByteArray(65536, 'n'), &error);
    ::_exit(written ? 1 : (error.isEmpty() ? 2 : 0));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write claimed success, 2: no error text";
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("old contents"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);  // the temporary file is gone
}

}  // namespace
}  // namespace marvane
