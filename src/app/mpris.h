#pragma once
// Media keys and the desktop's player controls (MPRIS 2). The program appears on the session bus as
// org.mpris.MediaPlayer2.marvane, object /org/mpris/MediaPlayer2, with the interfaces org.mpris.MediaPlayer2 and
// org.mpris.MediaPlayer2.Player, and they drive AutoPilot, which has no pause:
// - AutoPilot plays while one of its players plays, or while it opens a song to play at once.
// - Play runs APlay when AutoPilot is not playing; Pause and Stop stop it at once (AStop twice); PlayPause is Play
//   when stopped and Pause when playing; Next, while AutoPilot runs and plays, skips to the next song as the
//   APlay button does, and does nothing otherwise. Previous, Seek, SetPosition and OpenUri do nothing
//   (CanGoPrevious and CanSeek are false).
// - PlaybackStatus ("Playing" while AutoPilot plays, else "Stopped") and Metadata (the current AutoPilot
//   song: track id, title, file URL, length) follow line 0 and announce their changes with PropertiesChanged;
//   Position (of the current song, in microseconds) and Volume (line 0's slider) are read when asked.
// - Raise brings the main window to the front; Quit ends the program without the exit question.
// Without a session bus, or when the name is taken, nothing is registered and the program goes on quietly.
//
// UI thread only.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>

namespace marvane {

class Application;

class Mpris : public QObject {
  Q_OBJECT

 public:
  static const QString kServiceName;
  static const QString kObjectPath;

  explicit Mpris(Application& app, QObject* parent = nullptr);
  ~Mpris() override;

  // Puts the object and the name on the connection. False, with nothing registered, when the bus is absent or
  // the name is taken. Call after Application::Main.
  bool Register(const QDBusConnection& connection);

  // org.mpris.MediaPlayer2
  void Raise();
  void Quit();
  // org.mpris.MediaPlayer2.Player
  void Play();
  void Pause();
  void Stop();
  void PlayPause();
  void Next();
  QString PlaybackStatus() const;
  QVariantMap Metadata() const;
  qlonglong Position() const;
  double Volume() const;

 private:
  // The AutoPilot player that carries the current song: CurrentAP while it plays, else the other one while it
  // plays (the tail of an overlap), else CurrentAP while AutoPilot opens a song there to play it at once; -1 when
  // AutoPilot is silent. AutoPilot plays exactly when there is one.
  int SongPlayer() const;
  // Runs Refresh once the players' events have settled.
  void ScheduleRefresh();
  // Takes the status and song as they are now; announces them (when announce is set) where they changed.
  void Refresh(bool announce);

  Application& app_;
  QDBusConnection connection_{QString()};
  bool registered_ = false;
  QTimer refreshTimer_;
  QString status_;
  QVariantMap metadata_;
  // The song the metadata describes (player and file) and its track number, which grows with every new song.
  int songPlayer_ = -1;
  QString songFile_;
  int trackNumber_ = 0;
};

}  // namespace marvane
