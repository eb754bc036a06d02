#pragma once
// One running program per user. The first start listens on a local socket
// that only its user may reach; a later start hands its request (a word, the
// selection, or just "come forward") to it and ends before it reads the
// options or writes anything, so that only the running program writes the
// settings and saves.dat. A lock file beside the socket tells which process
// listens: only the holder may remove a socket that a crashed program left.
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <cstdint>
#include <string>

#include "viewer/instance/uInstanceMessage.h"

class QLocalSocket;

// Where the running program listens, and the lock that makes it the one.
struct TInstanceAddress {
  QString Server;  // a socket path; a pipe name on Windows
  QString Lock;    // a file path
};

// The user's address: "kodra-<user id>", or the name KODRA_INSTANCE_NAME
// gives (a program apart from the user's usual one, as tests run), in the
// user's runtime folder ($XDG_RUNTIME_DIR, else one of the user's own under
// the temporary folder).
TInstanceAddress UserInstanceAddress();

enum class TInstanceDelivery : uint8_t {
  Accepted,  // acknowledged by the running program
  NoServer,  // nobody listens
  NoAnswer,  // a listener took the request but did not acknowledge it in time
};
// Hands the request to the program listening at the server name, waiting a
// second or two at most; it needs no event loop.
TInstanceDelivery DeliverInstanceRequest(const QString& server, const TInstanceRequest& request);

class TSingleInstance : public QObject {
  Q_OBJECT
public:
  enum TStart : uint8_t {
    Delivered,  // the running program has the request: this start ends here
    Listening,  // this start is the running program
    Alone,      // neither: this start runs without taking requests
  };

  explicit TSingleInstance(TInstanceAddress address, QObject* parent = nullptr);

  // Hands the request to the running program, or becomes it when none runs.
  TStart Start(const TInstanceRequest& request);
  bool IsListening() const { return FServer.isListening(); }
  // The program is ending: later starts no longer hand it their requests
  // (they wait for the lock, which is kept until this object goes).
  void StopListening() { FServer.close(); }

signals:
  // Emitted once the request has been acknowledged.
  void WordRequested(const QString& word);
  void SelectionRequested();
  void EditRequested(const QString& fileName);
  void ForwardRequested();

private:
  bool Listen();
  void Accept();
  void Read(QLocalSocket& socket, std::string& received);
  void Answer(QLocalSocket& socket, const TInstanceRequest& request);
  static void Drop(QLocalSocket& socket);

  TInstanceAddress FAddress;
  QLockFile FLock;          // released after the server has closed
  QLocalServer FServer;
};
