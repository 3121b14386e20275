#include "platform/qt/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace tallybook::platform::qt {

namespace {

constexpr char kActivate[] = "activate\n";
constexpr int kConnectWaitMs = 2000;

}  // namespace

SingleInstance::SingleInstance(QString data_directory, QObject* parent)
    : QObject(parent), directory_(std::move(data_directory)) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
  if (lock_) lock_->unlock();
}

QString SingleInstance::ServerName(const QString& data_directory) {
  QString canonical = QFileInfo(data_directory).canonicalFilePath();
  if (canonical.isEmpty()) canonical = QDir(data_directory).absolutePath();
  const QByteArray hash =
      QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1);
  return QStringLiteral("tallybook-") +
         QString::fromLatin1(hash.toHex().left(16));
}

SingleInstance::Result SingleInstance::Acquire() {
  if (lock_ && lock_->isLocked()) return Result::kFirst;
  lock_ = std::make_unique<QLockFile>(
      QDir(directory_).filePath(QString::fromLatin1(kLockFileName)));
  // A running copy keeps its lock however long it runs; only a lock whose
  // owner process is gone counts as stale.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) {
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    if (error != QLockFile::LockFailedError) {
      error_ = QStringLiteral("Cannot create the lock file in %1.")
                   .arg(QDir::toNativeSeparators(directory_));
      return Result::kFailed;
    }
    QLocalSocket socket;
    socket.connectToServer(ServerName(directory_));
    if (!socket.waitForConnected(kConnectWaitMs)) return Result::kOtherBusy;
    socket.write(kActivate);
    const bool sent = socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    return sent ? Result::kOtherRaised : Result::kOtherBusy;
  }

  server_ = std::make_unique<QLocalServer>();
  const QString name = ServerName(directory_);
  // We hold the lock, so a socket of that name is left over from a crash.
  QLocalServer::removeServer(name);
  if (server_->listen(name)) {
    connect(server_.get(), &QLocalServer::newConnection, this,
            &SingleInstance::OnConnection);
  }
  // Without the socket the program still runs; a second copy then sees
  // kOtherBusy and ends all the same.
  return Result::kFirst;
}

void SingleInstance::OnConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket,
            &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      const QByteArray data = socket->readAll();
      if (data.contains("activate")) emit activationRequested();
    });
    if (socket->bytesAvailable() > 0) {
      if (socket->readAll().contains("activate")) emit activationRequested();
    }
  }
}

}  // namespace tallybook::platform::qt
