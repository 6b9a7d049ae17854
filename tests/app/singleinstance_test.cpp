#include "app/singleinstance.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QUuid>

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
  EXPECT_TRUE(shown.wait(5000) && shown.count() == 1);
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

}  // namespace
}  // namespace marvane
