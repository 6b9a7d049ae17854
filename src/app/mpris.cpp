#include "app/mpris.h"

#include "app/application.h"
#include "appearance/minislider.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/appinfo.h"
#include "common/states.h"
#include "console/autopilot.h"
#include "console/mainform.h"
#include "playlist/pathhelpers.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <QUrl>

namespace marvane {

const QString Mpris::kServiceName = QStringLiteral("org.mpris.MediaPlayer2.marvane");
const QString Mpris::kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");

namespace {

const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kStatusPlaying = QStringLiteral("Playing");
const QString kStatusStopped = QStringLiteral("Stopped");
// How long the players' events settle before the state is announced: a skip stops one player and opens the
// next song on the other, and local files open within milliseconds.
constexpr int kSettleMs = 50;

// The interface org.mpris.MediaPlayer2 of the object.
class RootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  explicit RootAdaptor(Mpris* mpris) : QDBusAbstractAdaptor(mpris), mpris_(mpris) {}

  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const { return kAppTitle; }
  QString DesktopEntry() const { return AppId(); }
  QStringList SupportedUriSchemes() const { return {}; }
  QStringList SupportedMimeTypes() const { return {}; }

 public Q_SLOTS:
  void Raise() { mpris_->Raise(); }
  void Quit() { mpris_->Quit(); }

 private:
  Mpris* mpris_;
};

// The interface org.mpris.MediaPlayer2.Player of the object.
class PlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(bool CanGoNext READ Yes)
  Q_PROPERTY(bool CanGoPrevious READ No)
  Q_PROPERTY(bool CanPlay READ Yes)
  Q_PROPERTY(bool CanPause READ Yes)
  Q_PROPERTY(bool CanSeek READ No)
  Q_PROPERTY(bool CanControl READ Yes)

 public:
  explicit PlayerAdaptor(Mpris* mpris) : QDBusAbstractAdaptor(mpris), mpris_(mpris) {}

  QString PlaybackStatus() const { return mpris_->PlaybackStatus(); }
  double Rate() const { return 1.0; }
  QVariantMap Metadata() const { return mpris_->Metadata(); }
  double Volume() const { return mpris_->Volume(); }
  qlonglong Position() const { return mpris_->Position(); }
  bool Yes() const { return true; }
  bool No() const { return false; }

 public Q_SLOTS:
  void Next() { mpris_->Next(); }
  void Previous() {}
  void Pause() { mpris_->Pause(); }
  void PlayPause() { mpris_->PlayPause(); }
  void Stop() { mpris_->Stop(); }
  void Play() { mpris_->Play(); }
  void Seek(qlonglong) {}
  void SetPosition(const QDBusObjectPath&, qlonglong) {}
  void OpenUri(const QString&) {}

 Q_SIGNALS:
  void Seeked(qlonglong position);

 private:
  Mpris* mpris_;
};

}  // namespace

Mpris::Mpris(Application& app, QObject* parent) : QObject(parent), app_(app) {
  new RootAdaptor(this);
  new PlayerAdaptor(this);
  refreshTimer_.setSingleShot(true);
  refreshTimer_.setInterval(kSettleMs);
  connect(&refreshTimer_, &QTimer::timeout, this, [this] { Refresh(true); });
}

Mpris::~Mpris() {
  if (!registered_) return;
  connection_.unregisterService(kServiceName);
  connection_.unregisterObject(kObjectPath);
}

bool Mpris::Register(const QDBusConnection& connection) {
  if (registered_ || !connection.isConnected() || !app_.Engine()) return false;
  connection_ = connection;
  if (!connection_.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)) return false;
  if (!connection_.registerService(kServiceName)) {
    connection_.unregisterObject(kObjectPath);
    return false;
  }
  registered_ = true;
  for (int i = 0; i < 2; ++i) {
    connect(&app_.Engine()->AP(i), &MediaPlayer::PlayStateChange, this, &Mpris::ScheduleRefresh);
    connect(&app_.Engine()->AP(i), &MediaPlayer::OpenStateChange, this, &Mpris::ScheduleRefresh);
  }
  Refresh(false);
  return true;
}

void Mpris::Raise() {
  MainForm* form = app_.Form();
  if (!form) return;
  form->showNormal();
  form->raise();
  form->activateWindow();
}

void Mpris::Quit() {
  // After the reply has gone out.
  QTimer::singleShot(0, &app_, [this] { app_.ExitProgram(false); });
}

void Mpris::Play() {
  if (SongPlayer() < 0) app_.AutoPilotParts()->APlay();
}

void Mpris::Pause() {
  app_.AutoPilotParts()->AStop();
  app_.AutoPilotParts()->AStop();
}

void Mpris::Stop() { Pause(); }

void Mpris::PlayPause() {
  if (SongPlayer() < 0)
    Play();
  else
    Pause();
}

void Mpris::Next() {
  if (app_.State().AutoPilotOn && SongPlayer() >= 0) app_.AutoPilotParts()->APlay();
}

int Mpris::SongPlayer() const {
  const AutoPilot& autoPilot = *app_.AutoPilotParts();
  const int current = autoPilot.CurrentAP();
  for (int index : {current, 1 - current}) {
    if (app_.Engine()->AP(index).PlayState() == kPlaying) return index;
  }
  if (app_.State().AutoPilotOn && autoPilot.PlayWhenOpened()) return current;
  return -1;
}

QString Mpris::PlaybackStatus() const { return SongPlayer() >= 0 ? kStatusPlaying : kStatusStopped; }

QVariantMap Mpris::Metadata() const {
  const int index = SongPlayer();
  if (index < 0) {
    return {{QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
  }
  const MediaPlayer& player = app_.Engine()->AP(index);
  const QString file = player.FileName();
  // Between a change and its announcement the song may be one the track number has not counted yet.
  const int track = index == songPlayer_ && file == songFile_ ? trackNumber_ : trackNumber_ + 1;
  return {{QStringLiteral("mpris:trackid"),
           QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/marvane/Track/%1").arg(track)))},
          {QStringLiteral("mpris:length"), static_cast<qlonglong>(player.Duration() * 1e6)},
          {QStringLiteral("xesam:title"), StripExtension(SplitFileName(file))},
          {QStringLiteral("xesam:url"), QUrl::fromLocalFile(file).toString()}};
}

qlonglong Mpris::Position() const {
  const int index = SongPlayer();
  return index < 0 ? 0 : static_cast<qlonglong>(app_.Engine()->AP(index).CurrentPosition() * 1e6);
}

double Mpris::Volume() const {
  MainForm* form = app_.Form();
  return form ? form->Line(0).Slider->Value() / 100.0 : 1.0;
}

void Mpris::ScheduleRefresh() {
  if (!refreshTimer_.isActive()) refreshTimer_.start();
}

void Mpris::Refresh(bool announce) {
  // A new song (another player, or another file on it) gets the next track number.
  const int index = SongPlayer();
  const QString file = index >= 0 ? app_.Engine()->AP(index).FileName() : QString();
  if (index >= 0 && (index != songPlayer_ || file != songFile_)) ++trackNumber_;
  songPlayer_ = index;
  songFile_ = file;

  QVariantMap changed;
  const QString status = PlaybackStatus();
  if (status != status_) {
    status_ = status;
    changed.insert(QStringLiteral("PlaybackStatus"), status);
  }
  const QVariantMap metadata = Metadata();
  if (metadata != metadata_) {
    metadata_ = metadata;
    changed.insert(QStringLiteral("Metadata"), metadata);
  }
  if (changed.isEmpty() || !announce) return;
  QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                   QStringLiteral("PropertiesChanged"));
  signal << kPlayerInterface << changed << QStringList();
  connection_.send(signal);
}

}  // namespace marvane

#include "mpris.moc"
