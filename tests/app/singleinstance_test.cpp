#include "app/singleinstance.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <unistd.h>

namespace marvane {
namespace {

QString UniqueName() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

TEST(SingleInstance, ALaterCopyAsksTheFirstToShowItselfAndEnds) {
  const QString name = UniqueName();
  SingleInstance first(name);
  ASSERT_TRUE(first.Claim());
  QSignalSpy shown(&first, &SingleInstance::ActivationRequested);

  SingleInstance second(name);
  EXPECT_FALSE(second.Claim());
  EXPECT_TRUE(shown.wait(5000));
  EXPECT_EQ(shown.count(), 1);
}

TEST(SingleInstance, TheNameIsFreeAgainOnceTheFirstCopyEndsOrCrashes) {
  const QString name = UniqueName();
  {
    SingleInstance first(name);
    ASSERT_TRUE(first.Claim());
  }
  SingleInstance next(name);
  EXPECT_TRUE(next.Claim());

  // A crashed copy leaves its socket file behind; nothing listens on it.
  SingleInstance probe(UniqueName());
  QFile stale(probe.SocketPath());
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.close();
  EXPECT_TRUE(probe.Claim());
}

// The real program, started twice for the same user: the second copy ends at once and leaves the first running.
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
  // Wait until the first copy has claimed the lock.
  const QString lock = home.filePath(QStringLiteral("runtime/Marvane-%1.lock").arg(::getuid()));
  for (int i = 0; i < 100 && !QFile::exists(lock); ++i) QTest::qWait(50);
  ASSERT_TRUE(QFile::exists(lock));

  QProcess second;
  second.setProcessEnvironment(env);
  second.start(QStringLiteral(MARVANE_EXECUTABLE), {});
  ASSERT_TRUE(second.waitForFinished(10000)) << "the second copy did not end";
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running);

  first.kill();
  first.waitForFinished(5000);
}

}  // namespace
}  // namespace marvane
