#pragma once
// One running copy per user. The first copy holds a lock file and listens on a local socket in the user's
// runtime folder; a later copy finds the lock held, asks the first copy through the socket to raise and activate
// its main window, and ends. A lock left behind by a copy that crashed is taken over (QLockFile checks whether
// its owner still runs).
//
// UI thread only.

#include <QLockFile>
#include <QObject>

#include <memory>

class QLocalServer;

namespace marvane {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // name: the per-user name of the lock and socket; empty gives the program's own.
  explicit SingleInstance(const QString& name = QString(), QObject* parent = nullptr);
  ~SingleInstance() override;

  // Becomes the running copy: true when this is the first copy and it now listens for later ones. False when
  // another copy runs: that copy has then been asked to show itself.
  bool Claim();

  QString SocketPath() const { return socketPath_; }

 Q_SIGNALS:
  // A later copy asked this one to raise and activate its main window.
  void ActivationRequested();

 private:
  bool AskRunningCopyToShow() const;
  void OnNewConnection();

  QString socketPath_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

}  // namespace marvane
