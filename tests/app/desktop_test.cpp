// The real program as the desktop meets it: the command-line switches --help and --version, and the media keys
// (MPRIS 2) spoken to over a private session bus by a D-Bus client of the test's own. A test program of its own:
// it starts child processes (see secondcopy_test.cpp).

#include "app/mpris.h"
#include "common/appinfo.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"
#include "support/testenv.h"
#include "audiotestutil.h"

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

#include <algorithm>
#include <tuple>

namespace marvane::test {
namespace {

const QString kExecutable = QStringLiteral(MARVANE_EXECUTABLE);

// A child process that is ended, if it still runs, when the test leaves.
struct Child {
  pid_t pid = -1;
  ~Child() {
    if (pid > 0 && ::kill(pid, SIGTERM) == 0) FinishProgram(pid, 5000);
  }
};

// --help and --version print and end before any window system is reached (there is none here: no display and
// no platform chosen) and leave no settings file behind.
// The command line's switches, without a window system: --version and --help print; an offline render of three
// tones of different pitch, with a missing and a broken entry between them, writes nothing but the output; none
// of them touches the settings or the data folder. Each hand-over of the render sounds both pitches for the 3 s overlap (within one
// main-timer tick), found by the tones' amplitudes in 100 ms windows of the file. The songs are longer than two
// overlaps and the early open (SpinUp 5 s): a shorter one would still be playing out its overlap on the player
// that the early open of the song after next takes, and be cut short, as AutoPilot does.
TEST(CommandLine, SwitchesPrintAndAnOfflineRenderHandsOverWithThreeSecondOverlapsNamingTheBadEntries) {
  qunsetenv("QT_QPA_PLATFORM");
  qunsetenv("DISPLAY");
  qunsetenv("WAYLAND_DISPLAY");
  QTemporaryDir dir;
  const QByteArray config = qgetenv("XDG_CONFIG_HOME"), data = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_CONFIG_HOME", dir.filePath(u"config"_s).toUtf8());
  qputenv("XDG_DATA_HOME", dir.filePath(u"data"_s).toUtf8());
  const QString manual = QDir::cleanPath(QFileInfo(kExecutable).path() + u"/.."_s) + u"/share/marvane/mvnhelp.html"_s;
  for (const auto& [argument, expected] : {std::pair{u"--version"_s, u"Marvane 1.40\n"_s}, {u"--version"_s, u"GPLv3+"_s},
                                           {u"--help"_s, u"Usage: marvane [PATH | /d | --help | --version]\n"_s},
                                           {u"--help"_s, u"Manual: "_s + manual + u"\n"_s}}) {
    const QString output = dir.filePath(argument);
    EXPECT_EQ(FinishProgram(StartProgram({kExecutable, argument}, output), 10000), 0) << argument.toStdString();
    EXPECT_TRUE(QString::fromLocal8Bit(ReadBytes(output)).contains(expected)) << expected.toStdString();
  }
  const double pitches[] = {440, 660, 990};  // whole cycles in 100 ms: no window hears another's pitch
  QStringList list;
  for (double hz : pitches)
    list << MakeFile(dir.path(), u"tone%1.wav"_s.arg(hz), u"0.3*sin(2*PI*%1*t)"_s.arg(hz), 15.0, "-c:a pcm_s16le");
  ASSERT_FALSE(list.contains(QString())) << "the ffmpeg command-line tool is needed";
  list.insert(1, dir.filePath(u"missing.wav"_s));
  list.insert(3, WriteBytes(dir.filePath(u"broken.mp3"_s), "not a sound"));
  WriteBytes(dir.filePath(u"set.m3u"_s), list.join(u'\n').toUtf8());
  const QString wav = dir.filePath(u"set.wav"_s), printed = dir.filePath(u"printed.txt"_s);
  EXPECT_EQ(FinishProgram(StartProgram({kExecutable, u"--render"_s, dir.filePath(u"set.m3u"_s), wav, u"--fade"_s,
                                        u"3"_s}, printed), 60000), 0);
  const QString text = QString::fromLocal8Bit(ReadBytes(printed));
  EXPECT_TRUE(text.contains(u"Skipped (missing): "_s + list[1]) && text.contains(list[3])) << text.toStdString();
  EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"config"_s)) || QFileInfo::exists(dir.filePath(u"data"_s)));
  qputenv("XDG_CONFIG_HOME", config), qputenv("XDG_DATA_HOME", data), qputenv("QT_QPA_PLATFORM", "offscreen");

  const std::vector<float> left = Channel(DecodedSamples(wav), 0);
  EXPECT_NEAR(left.size() / 44100.0, 45.0 - 2 * 3.0, 0.7) << "three songs less two overlaps";
  std::vector<int> heard;  // per window: a bit for each pitch
  for (std::size_t at = 0; at + 4410 <= left.size(); at += 4410) {
    const std::vector<float> window(left.begin() + at, left.begin() + at + 4410);
    int bits = 0;
    for (int k = 0; k < 3; ++k) bits |= ToneAmplitude(window, pitches[k], 44100) > 0.05 ? 1 << k : 0;
    heard.push_back(bits);
  }
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(heard.front(), 1);
  EXPECT_EQ(heard.back(), 4);
  for (int both : {3, 6}) {
    const double seconds = std::count(heard.begin(), heard.end(), both) / 10.0;
    EXPECT_TRUE(seconds >= 3.0 - 0.3 - 0.1 && seconds <= 3.0 + 0.1) << "overlap " << both << ": " << seconds << " s";
  }
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
    if (changed.contains(u"PlaybackStatus"_s)) statuses << changed.value(u"PlaybackStatus"_s).toString();
    if (changed.contains(u"Metadata"_s))
      titles << MapOf(changed.value(u"Metadata"_s)).value(u"xesam:title"_s).toString();
  }
};

// Play, Next and Stop drive AutoPilot over the bus; PlaybackStatus and Metadata follow it and are announced; Quit
// ends the program without asking.
TEST(Mpris, TheMediaKeysDriveAutoPilot) {
  if (QStandardPaths::findExecutable(u"dbus-daemon"_s).isEmpty())
    GTEST_SKIP() << "dbus-daemon is not installed (package dbus-daemon)";
  if (const QString missing = PrivatePulse::Missing(); !missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
  PrivatePulse pulse;
  ASSERT_TRUE(pulse.Ready());

  QTemporaryDir dir;
  Child bus;
  bus.pid = StartProgram({u"dbus-daemon"_s, u"--session"_s, u"--nofork"_s, u"--print-address=1"_s},
                         dir.filePath(u"address"_s));
  QString address;
  ASSERT_TRUE(WaitFor([&] {
    address = QString::fromUtf8(ReadBytes(dir.filePath(u"address"_s))).trimmed();
    return !address.isEmpty();
  }));

  // Three songs of a minute in the remembered playlist, AutoPilot off.
  QStringList songs;
  for (const char* name : {"one", "two", "three"})
    songs << MakeFile(dir.path(), QLatin1String(name) + u".wav"_s, kTone441, 60, "-c:a pcm_s16le", 8000, 1);
  ASSERT_FALSE(songs.contains(QString()));
  const QString list = WriteBytes(dir.filePath(u"three.m3u"_s), songs.join(u'\n').toUtf8());
  {
    SettingsStore settings;
    settings.WriteSetting(keys::kPlayList, list);
    settings.WriteSetting(keys::kFirstRun, false);
  }

  // A runtime folder of its own, so that no other test's program counts as a first copy.
  const QString runtime = dir.filePath(u"runtime"_s);
  QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
  qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
  Child program;
  program.pid = StartProgram({kExecutable});

  QDBusConnection client = QDBusConnection::connectToBus(address, u"test client"_s);
  ASSERT_TRUE(client.isConnected());
  ASSERT_TRUE(WaitFor([&] { return client.interface()->isServiceRegistered(Mpris::kServiceName).value(); }, 30000));
  ChangeLog log;
  ASSERT_TRUE(client.connect(Mpris::kServiceName, Mpris::kObjectPath, u"org.freedesktop.DBus.Properties"_s,
                             u"PropertiesChanged"_s, &log, SLOT(Changed(QString, QVariantMap, QStringList))));
  QDBusInterface root(Mpris::kServiceName, Mpris::kObjectPath, u"org.mpris.MediaPlayer2"_s, client);
  QDBusInterface player(Mpris::kServiceName, Mpris::kObjectPath, u"org.mpris.MediaPlayer2.Player"_s, client);
  auto status = [&] { return player.property("PlaybackStatus").toString(); };
  auto metadata = [&] { return MapOf(player.property("Metadata")); };
  auto title = [&] { return metadata().value(u"xesam:title"_s).toString(); };

  EXPECT_EQ(std::tuple(root.property("Identity").toString(), root.property("DesktopEntry").toString(),
                       player.property("CanGoPrevious").toBool(), player.property("CanSeek").toBool(),
                       player.property("CanGoNext").toBool()),
            std::tuple(u"Marvane"_s, AppId(), false, false, true));
  EXPECT_EQ(status(), u"Stopped"_s);

  // Next does nothing while AutoPilot is off.
  player.call(u"Next"_s);
  QTest::qWait(500);
  EXPECT_EQ(status(), u"Stopped"_s);

  // Stop while AutoPilot is still opening its first song: the song does not start after all.
  player.call(u"Play"_s);
  player.call(u"Stop"_s);
  QTest::qWait(1000);
  EXPECT_EQ(status(), u"Stopped"_s);
  log.statuses.clear(), log.titles.clear();

  player.call(u"Play"_s);
  // Playing from the press on; the song's length once it is open.
  ASSERT_TRUE(WaitFor([&] { return status() == u"Playing"_s && metadata().value(u"mpris:length"_s).toLongLong() > 0; },
                      10000));
  const QVariantMap first = metadata();
  const QString firstTitle = first.value(u"xesam:title"_s).toString();
  const int index = songs.indexOf(dir.filePath(firstTitle + u".wav"_s));
  ASSERT_GE(index, 0) << firstTitle.toStdString();
  EXPECT_EQ(first.value(u"xesam:url"_s).toString(), QUrl::fromLocalFile(songs[index]).toString());
  EXPECT_NEAR(first.value(u"mpris:length"_s).toLongLong(), 60'000'000, 100'000);
  const qlonglong position = player.property("Position").toLongLong();
  QTest::qWait(400);
  EXPECT_GT(player.property("Position").toLongLong(), position);

  // Next: another song, announced by name.
  player.call(u"Next"_s);
  ASSERT_TRUE(WaitFor([&] { return title() != firstTitle && log.titles.contains(title()); }, 10000));
  EXPECT_EQ(status(), u"Playing"_s);
  EXPECT_TRUE(songs.contains(dir.filePath(title() + u".wav"_s))) << title().toStdString();
  EXPECT_NE(metadata().value(u"mpris:trackid"_s).value<QDBusObjectPath>().path(),
            first.value(u"mpris:trackid"_s).value<QDBusObjectPath>().path());

  player.call(u"Stop"_s);
  ASSERT_TRUE(WaitFor([&] { return status() == u"Stopped"_s; }, 5000));
  // AutoPilot stays off: nothing starts again (the stall watchdog would restart a running AutoPilot in 1.5 s).
  QTest::qWait(2500);
  EXPECT_EQ(status(), u"Stopped"_s);
  EXPECT_FALSE(metadata().contains(u"xesam:title"_s));
  // The status was announced at each change (never stopping during the skip), the first song by name, the end
  // with no song.
  EXPECT_EQ(log.statuses, QStringList({u"Playing"_s, u"Stopped"_s}));
  EXPECT_EQ(log.titles.value(0), firstTitle);
  EXPECT_EQ(log.titles.value(log.titles.size() - 1), QString());

  // Quit asks nothing: the program ends by itself.
  root.call(u"Quit"_s);
  EXPECT_EQ(FinishProgram(program.pid, 10000), 0);
  program.pid = -1;
}

}  // namespace
}  // namespace marvane::test

#include "desktop_test.moc"
