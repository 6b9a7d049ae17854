// The real program as the desktop meets it: the command-line switches --help and --version, and the media keys
// (MPRIS 2) spoken to over a private session bus by a D-Bus client of the test's own. A test program of its own:
// it starts child processes (see secondcopy_test.cpp).

#include "app/mpris.h"
#include "common/appinfo.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <signal.h>

#include <tuple>

namespace marvane {
namespace {

using test::FinishProgram;
using test::StartProgram;
using test::WaitFor;

const QString kExecutable = QStringLiteral(MARVANE_EXECUTABLE);

// A child process that is ended, if it still runs, when the test leaves.
struct Child {
  pid_t pid = -1;
  ~Child() {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    FinishProgram(pid, 5000);
  }
};

// --help and --version print and end before any window system is reached (there is none here: no display and
// no platform chosen) and leave no settings file behind.
TEST(ProgramInfo, TheSwitchesPrintAndTouchNoSettings) {
  qunsetenv("QT_QPA_PLATFORM");
  qunsetenv("DISPLAY");
  qunsetenv("WAYLAND_DISPLAY");
  QTemporaryDir dir;
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
  const struct {
    const char* argument;
    QStringList expected;
  } cases[] = {
      {"--version", {QStringLiteral("Marvane 1.40\n"), QStringLiteral("GPLv3+")}},
      {"--help",
       {QStringLiteral("Usage: marvane [PATH | /d | --help | --version]\n"),
        QStringLiteral("Manual: ") + QDir::cleanPath(QFileInfo(kExecutable).path() + QStringLiteral("/..")) +
            QStringLiteral("/share/marvane/mvnhelp.html\n")}},
  };
  for (const auto& c : cases) {
    const QString output = dir.filePath(QLatin1String(c.argument));
    EXPECT_EQ(FinishProgram(StartProgram({kExecutable, QLatin1String(c.argument)}, output), 10000), 0) << c.argument;
    const QString printed = QString::fromLocal8Bit(test::ReadBytes(output));
    for (const QString& part : c.expected)
      EXPECT_TRUE(printed.contains(part)) << c.argument << ": " << printed.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("config"))));
  qputenv("XDG_CONFIG_HOME", config);
  qputenv("QT_QPA_PLATFORM", "offscreen");
}

// A D-Bus map as the client receives it: inside a signal it comes as an argument still to be read.
QVariantMap MapOf(const QVariant& value) {
  if (value.metaType() == QMetaType::fromType<QDBusArgument>()) return qdbus_cast<QVariantMap>(value);
  return value.toMap();
}

// What the program announced with PropertiesChanged, in order.
class ChangeLog : public QObject {
  Q_OBJECT

 public:
  QStringList statuses;
  QStringList titles;

 public Q_SLOTS:
  void Changed(const QString&, const QVariantMap& changed, const QStringList&) {
    if (changed.contains(QStringLiteral("PlaybackStatus")))
      statuses << changed.value(QStringLiteral("PlaybackStatus")).toString();
    if (changed.contains(QStringLiteral("Metadata")))
      titles << MapOf(changed.value(QStringLiteral("Metadata"))).value(QStringLiteral("xesam:title")).toString();
  }
};

// Play, Next and Stop drive AutoPilot over the bus; PlaybackStatus and Metadata follow it and are announced; Quit
// ends the program without asking.
TEST(Mpris, TheMediaKeysDriveAutoPilot) {
  if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
    GTEST_SKIP() << "dbus-daemon is not installed (package dbus-daemon)";
  if (const QString missing = test::PrivatePulse::Missing(); !missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
  test::PrivatePulse pulse;
  ASSERT_TRUE(pulse.Ready());

  QTemporaryDir dir;
  Child bus;
  bus.pid = StartProgram({QStringLiteral("dbus-daemon"), QStringLiteral("--session"), QStringLiteral("--nofork"),
                          QStringLiteral("--print-address=1")},
                         dir.filePath(QStringLiteral("address")));
  QString address;
  ASSERT_TRUE(WaitFor([&] {
    address = QString::fromUtf8(test::ReadBytes(dir.filePath(QStringLiteral("address")))).trimmed();
    return !address.isEmpty();
  }));

  // Three songs of a minute in the remembered playlist, AutoPilot off.
  QStringList songs;
  for (const char* name : {"one", "two", "three"})
    songs << test::MakeFile(dir.path(), QLatin1String(name) + QStringLiteral(".wav"), test::kTone441, 60,
                            "-c:a pcm_s16le", 8000, 1);
  ASSERT_FALSE(songs.contains(QString()));
  const QString list = test::WriteBytes(dir.filePath(QStringLiteral("three.m3u")), songs.join(u'\n').toUtf8());
  {
    SettingsStore settings;
    settings.WriteSetting(keys::kPlayList, list);
    settings.WriteSetting(keys::kFirstRun, false);
  }

  // A runtime folder of its own, so that no other test's program counts as a first copy.
  const QString runtime = dir.filePath(QStringLiteral("runtime"));
  QDir().mkpath(runtime);
  QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
  qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
  Child program;
  program.pid = StartProgram({kExecutable});

  QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("test client"));
  ASSERT_TRUE(client.isConnected());
  ASSERT_TRUE(WaitFor([&] { return client.interface()->isServiceRegistered(Mpris::kServiceName).value(); }, 30000));
  ChangeLog log;
  ASSERT_TRUE(client.connect(Mpris::kServiceName, Mpris::kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                             QStringLiteral("PropertiesChanged"), &log,
                             SLOT(Changed(QString, QVariantMap, QStringList))));
  QDBusInterface root(Mpris::kServiceName, Mpris::kObjectPath, QStringLiteral("org.mpris.MediaPlayer2"), client);
  QDBusInterface player(Mpris::kServiceName, Mpris::kObjectPath, QStringLiteral("org.mpris.MediaPlayer2.Player"),
                        client);
  auto status = [&] { return player.property("PlaybackStatus").toString(); };
  auto metadata = [&] { return MapOf(player.property("Metadata")); };
  auto title = [&] { return metadata().value(QStringLiteral("xesam:title")).toString(); };

  EXPECT_EQ(std::tuple(root.property("Identity").toString(), root.property("DesktopEntry").toString(),
                       player.property("CanGoPrevious").toBool(), player.property("CanSeek").toBool(),
                       player.property("CanGoNext").toBool()),
            std::tuple(QStringLiteral("Marvane"), AppId(), false, false, true));
  EXPECT_EQ(status(), QStringLiteral("Stopped"));

  // Next does nothing while AutoPilot is off.
  player.call(QStringLiteral("Next"));
  QTest::qWait(500);
  EXPECT_EQ(status(), QStringLiteral("Stopped"));

  // Stop while AutoPilot is still opening its first song: the song does not start after all.
  player.call(QStringLiteral("Play"));
  player.call(QStringLiteral("Stop"));
  QTest::qWait(1000);
  EXPECT_EQ(status(), QStringLiteral("Stopped"));
  log.statuses.clear();
  log.titles.clear();

  player.call(QStringLiteral("Play"));
  // Playing from the press on; the song's length once it is open.
  ASSERT_TRUE(WaitFor([&] {
    return status() == QStringLiteral("Playing") && metadata().value(QStringLiteral("mpris:length")).toLongLong() > 0;
  }, 10000));
  const QVariantMap first = metadata();
  const int index = songs.indexOf(dir.filePath(first.value(QStringLiteral("xesam:title")).toString() +
                                               QStringLiteral(".wav")));
  ASSERT_GE(index, 0) << first.value(QStringLiteral("xesam:title")).toString().toStdString();
  EXPECT_EQ(first.value(QStringLiteral("xesam:url")).toString(), QUrl::fromLocalFile(songs[index]).toString());
  EXPECT_NEAR(first.value(QStringLiteral("mpris:length")).toLongLong(), 60'000'000, 100'000);
  const qlonglong position = player.property("Position").toLongLong();
  QTest::qWait(400);
  EXPECT_GT(player.property("Position").toLongLong(), position);

  // Next: another song, announced by name.
  player.call(QStringLiteral("Next"));
  ASSERT_TRUE(WaitFor([&] {
    return title() != first.value(QStringLiteral("xesam:title")).toString() && log.titles.contains(title());
  }, 10000));
  EXPECT_EQ(status(), QStringLiteral("Playing"));
  EXPECT_TRUE(songs.contains(dir.filePath(title() + QStringLiteral(".wav")))) << title().toStdString();
  EXPECT_NE(metadata().value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
            first.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path());

  player.call(QStringLiteral("Stop"));
  ASSERT_TRUE(WaitFor([&] { return status() == QStringLiteral("Stopped"); }, 5000));
  // AutoPilot stays off: nothing starts again (the stall watchdog would restart a running AutoPilot in 1.5 s).
  QTest::qWait(2500);
  EXPECT_EQ(status(), QStringLiteral("Stopped"));
  EXPECT_FALSE(metadata().contains(QStringLiteral("xesam:title")));
  // The status was announced at each change (never stopping during the skip), the first song by name, the end
  // with no song.
  EXPECT_EQ(log.statuses, QStringList({QStringLiteral("Playing"), QStringLiteral("Stopped")}));
  EXPECT_EQ(log.titles.value(0), first.value(QStringLiteral("xesam:title")).toString());
  EXPECT_EQ(log.titles.value(log.titles.size() - 1), QString());

  // Quit asks nothing: the program ends by itself.
  root.call(QStringLiteral("Quit"));
  EXPECT_EQ(FinishProgram(program.pid, 10000), 0);
  program.pid = -1;
}

}  // namespace
}  // namespace marvane

#include "desktop_test.moc"
