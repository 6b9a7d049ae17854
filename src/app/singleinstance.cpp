#include "app/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace marvane {

namespace {

constexpr int kConnectTimeoutMs = 2000;
const QByteArray kShowRequest = "show\n";

QString RuntimeFolder() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir().mkpath(runtime)) return runtime;
  return QDir::tempPath();
}

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent) {
  const QString base = name.isEmpty() ? QStringLiteral("Marvane-%1").arg(::getuid()) : name;
  socketPath_ = RuntimeFolder() + QLatin1Char('/') + base + QStringLiteral(".socket");
  lock_ = std::make_unique<QLockFile>(RuntimeFolder() + QLatin1Char('/') + base + QStringLiteral(".lock"));
  lock_->setStaleLockTime(0);  // a lock is stale only when its owner no longer runs
}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
  lock_->unlock();
}

bool SingleInstance::Claim() {
  if (!lock_->tryLock(0)) {
    // Another copy holds the lock. Should it not answer (it is still starting or just ending), there is
    // still only one copy meant to run: this one ends either way.
    AskRunningCopyToShow();
    return false;
  }
  // The lock is ours, so any socket file left behind belongs to a copy that no longer runs.
  QLocalServer::removeServer(socketPath_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  server_->listen(socketPath_);
  return true;
}

bool SingleInstance::AskRunningCopyToShow() const {
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(kShowRequest);
  const bool sent = socket.waitForBytesWritten(kConnectTimeoutMs);
  socket.disconnectFromServer();
  return sent;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    // Only the same user can reach the socket, and a later copy connects for no other reason than to ask
    // this one to show itself, so every connection is that request.
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    Q_EMIT ActivationRequested();
  }
}

}  // namespace marvane
