#include "viewer/uSingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <memory>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {
// A listener that exists accepts at once; the answer may wait for the
// running program to finish what it is doing (loading the dictionaries).
constexpr int kConnectTimeout = 1000;
constexpr int kAnswerTimeout = 5000;
// A start that finds the lock taken but nobody listening yet tries again
// this often, this long apart: the holder is between the two steps.
constexpr int kStartAttempts = 20;
constexpr int kRetryPause = 100;
// What one connection may take and keep, at most.
constexpr int kReadTimeout = 5000;
constexpr int kMaxConnections = 8;

QString UserId() {
#ifdef Q_OS_WIN
  return qEnvironmentVariable("USERNAME");
#else
  return QString::number(::getuid());
#endif
}
}  // namespace

TInstanceAddress UserInstanceAddress() {
  QString name = qEnvironmentVariable("KODRA_INSTANCE_NAME");
  if (name.isEmpty()) name = "kodra-" + UserId();
#ifdef Q_OS_WIN
  // A pipe of the user's session; the lock in the user's own temporary folder.
  return {name, QDir::temp().filePath(name + ".lock")};
#else
  // Not /tmp itself: another user could take the name there first. The
  // runtime folder is the user's alone (Qt checks its owner and mode).
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  const QString path = QDir(folder).filePath(name);
  return {path, path + ".lock"};
#endif
}

TInstanceDelivery DeliverInstanceRequest(const QString& server, const TInstanceRequest& request) {
  QLocalSocket socket;
  socket.connectToServer(server);
  if (!socket.waitForConnected(kConnectTimeout)) return TInstanceDelivery::NoServer;
  const std::string message = EncodeInstanceRequest(request);
  socket.write(message.data(), qint64(message.size()));
  const QDeadlineTimer deadline(kAnswerTimeout);
  QByteArray answer;
  while (answer.size() < qsizetype(kInstanceAcknowledgement.size())) {
    if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(deadline.remainingTime())))
      return TInstanceDelivery::NoAnswer;
    answer += socket.read(qint64(kInstanceAcknowledgement.size()) - answer.size());
  }
  return answer.toStdString() == kInstanceAcknowledgement ? TInstanceDelivery::Accepted : TInstanceDelivery::NoAnswer;
}

TSingleInstance::TSingleInstance(TInstanceAddress address, QObject* parent)
    : QObject(parent), FAddress(std::move(address)), FLock(FAddress.Lock) {
  // A lock is stale only when its process is gone, never for its age: the
  // running program holds it for days.
  FLock.setStaleLockTime(0);
  FServer.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&FServer, &QLocalServer::newConnection, this, &TSingleInstance::Accept);
}

TSingleInstance::TStart TSingleInstance::Start(const TInstanceRequest& request) {
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    switch (DeliverInstanceRequest(FAddress.Server, request)) {
      case TInstanceDelivery::Accepted:
        return Delivered;
      case TInstanceDelivery::NoAnswer:
        // A listener that does not answer may still act on the request
        // later; asking again could make it act twice.
        return Alone;
      case TInstanceDelivery::NoServer:
        break;
    }
    if (FLock.tryLock(0)) return Listen() ? Listening : Alone;
    if (FLock.error() != QLockFile::LockFailedError) return Alone;  // the folder refuses the lock
    QThread::msleep(kRetryPause);
  }
  // The holder lives but never listens (it could not, or hangs). A window
  // that does not take requests is better than no window at all.
  return Alone;
}

bool TSingleInstance::Listen() {
  // Holding the lock, this process alone may take over a socket that a
  // crashed program left.
  QLocalServer::removeServer(FAddress.Server);
  if (FServer.listen(FAddress.Server)) return true;
  FLock.unlock();  // a later start may do better
  return false;
}

void TSingleInstance::Accept() {
  while (QLocalSocket* socket = FServer.nextPendingConnection()) {
    // The sockets are the server's children until they go.
    if (FServer.findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size() > kMaxConnections) {
      Drop(*socket);
      continue;
    }
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kReadTimeout, socket, [socket] { Drop(*socket); });
    auto received = std::make_shared<std::string>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] { Read(*socket, *received); });
    if (socket->bytesAvailable() > 0) Read(*socket, *received);
  }
}

void TSingleInstance::Read(QLocalSocket& socket, std::string& received) {
  while (socket.bytesAvailable() > 0 && received.size() <= kInstanceMessageMaxBytes) {
    const QByteArray chunk = socket.read(qint64(kInstanceMessageMaxBytes + 1 - received.size()));
    if (chunk.isEmpty()) break;
    received.append(chunk.constData(), size_t(chunk.size()));
  }
  switch (InstanceMessageState(received)) {
    case TInstanceMessageState::Incomplete:
      return;
    case TInstanceMessageState::Invalid:
      Drop(socket);
      return;
    case TInstanceMessageState::Complete:
      if (const auto request = DecodeInstanceRequest(received)) Answer(socket, *request);
      return;
  }
}

void TSingleInstance::Answer(QLocalSocket& socket, const TInstanceRequest& request) {
  disconnect(&socket, &QLocalSocket::readyRead, this, nullptr);
  socket.write(kInstanceAcknowledgement.data(), qint64(kInstanceAcknowledgement.size()));
  socket.disconnectFromServer();  // once the acknowledgement is written
  switch (request.Kind) {
    case TInstanceRequestKind::LookUpWord:
      emit WordRequested(QString::fromStdU16String(request.Word));
      break;
    case TInstanceRequestKind::LookUpSelection:
      emit SelectionRequested();
      break;
    case TInstanceRequestKind::EditFile:
      emit EditRequested(QString::fromStdU16String(request.Word));
      break;
    case TInstanceRequestKind::ComeForward:
      emit ForwardRequested();
      break;
  }
}

void TSingleInstance::Drop(QLocalSocket& socket) {
  socket.abort();
  socket.deleteLater();
}
