// The real program, started twice for the same user. A test program of its own: starting a child process the
// way QProcess does (a clone that shares memory until exec) confuses ThreadSanitizer's view of the parent's
// locks for the rest of the process, so no other test should run after it in the same process.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace marvane {
namespace {

// The second copy ends at once and leaves the first running.
TEST(SingleInstance, TheSecondProgramLeavesNoSecondWindow) {
  QTemporaryDir home;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
  env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

  QProcess first;
  first.setProcessEnvironment(env);
  first.start(QStringLiteral(MARVANE_EXECUTABLE), {});
  ASSERT_TRUE(first.waitForStarted(5000));
  const QString lock = home.filePath(QStringLiteral("runtime/Marvane-%1.lock").arg(::getuid()));
  for (int i = 0; i < 100 && !QFile::exists(lock); ++i) QTest::qWait(50);
  ASSERT_TRUE(QFile::exists(lock));

  QProcess second;
  second.setProcessEnvironment(env);
  second.start(QStringLiteral(MARVANE_EXECUTABLE), {});
  ASSERT_TRUE(second.waitForFinished(10000)) << "the second copy did not end";
  EXPECT_EQ(std::tuple(second.exitStatus(), second.exitCode(), first.state()),
            std::tuple(QProcess::NormalExit, 0, QProcess::Running));

  first.kill();
  first.waitForFinished(5000);
}

}  // namespace
}  // namespace marvane
