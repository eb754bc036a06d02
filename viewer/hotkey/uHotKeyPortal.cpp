// The global-shortcuts portal (org.freedesktop.portal.GlobalShortcuts):
// create a session, bind our one shortcut in it, then listen for its
// activation. Every call answers with a request object whose Response signal
// carries the result; we subscribe before calling, at the path the portal
// will use, so no answer is missed.
#include "viewer/hotkey/uHotKeyPortal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QRandomGenerator>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kShortcutId = QStringLiteral("lookup-selection");

struct TPortalShortcut {
  QString Id;
  QVariantMap Options;
};

QDBusArgument& operator<<(QDBusArgument& argument, const TPortalShortcut& shortcut) {
  argument.beginStructure();
  argument << shortcut.Id << shortcut.Options;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, TPortalShortcut& shortcut) {
  argument.beginStructure();
  argument >> shortcut.Id >> shortcut.Options;
  argument.endStructure();
  return argument;
}

QString NewToken() { return QStringLiteral("kodra%1").arg(QRandomGenerator::global()->generate()); }

}  // namespace

Q_DECLARE_METATYPE(TPortalShortcut)

QString PortalTrigger(TShortCut shortCut) {
  const int key = shortCut & 0xFF;
  QString name;
  if (key >= 0x41 && key <= 0x5A) name = QChar(key);
  else if (key >= 0x30 && key <= 0x39) name = QChar(key);
  else if (key >= 0x70 && key <= 0x87) name = QStringLiteral("F%1").arg(key - 0x6F);
  else if (key >= 0x60 && key <= 0x69) name = QStringLiteral("KP_%1").arg(key - 0x60);
  else {
    static const std::pair<int, const char*> named[] = {
        {0x2D, "Insert"}, {0x2E, "Delete"}, {0x23, "End"},     {0x24, "Home"},        {0x21, "Page_Up"},
        {0x22, "Page_Down"}, {0x25, "Left"}, {0x26, "Up"},      {0x27, "Right"},       {0x28, "Down"},
        {0x6A, "KP_Multiply"}, {0x6B, "KP_Add"}, {0x6D, "KP_Subtract"}, {0x6F, "KP_Divide"}, {0x20, "space"},
    };
    for (const auto& [code, text] : named)
      if (code == key) name = QString::fromLatin1(text);
  }
  if (name.isEmpty()) return {};
  QString trigger;
  if (shortCut & scCtrl) trigger += QStringLiteral("CTRL+");
  if (shortCut & scShift) trigger += QStringLiteral("SHIFT+");
  if (shortCut & scAlt) trigger += QStringLiteral("ALT+");
  return trigger + name;
}

THotKeyPortal::THotKeyPortal(QObject* parent) : THotKey(parent) {
  qDBusRegisterMetaType<TPortalShortcut>();
  qDBusRegisterMetaType<QList<TPortalShortcut>>();
}

THotKeyPortal::~THotKeyPortal() { Unregister(); }

bool THotKeyPortal::Available() {
  QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
  if (!bus || !bus->isServiceRegistered(kService)) return false;
  QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
  get << kInterface << QStringLiteral("version");
  return QDBusConnection::sessionBus().call(get, QDBus::Block, 2000).type() == QDBusMessage::ReplyMessage;
}

QString THotKeyPortal::RequestPath(const QString& token) const {
  QString sender = QDBusConnection::sessionBus().baseService().mid(1);
  sender.replace('.', '_');
  return kPath + QStringLiteral("/request/") + sender + '/' + token;
}

bool THotKeyPortal::Register(TShortCut shortCut) {
  FRegistered = shortCut;
  // Bound once: after that the key is the desktop's to change, in its settings.
  if (FRequested || shortCut == 0) return FGrabbed;
  FRequested = true;
  const QString token = NewToken();
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.connect(kService, RequestPath(token), kRequestInterface, QStringLiteral("Response"), this,
              SLOT(SessionCreated(uint, QVariantMap)));
  QDBusMessage create = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CreateSession"));
  create << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("session_handle_token"), NewToken()}};
  bus.asyncCall(create);
  return false;
}

void THotKeyPortal::SessionCreated(uint response, const QVariantMap& results) {
  if (response != 0) return;
  FSession = results.value(QStringLiteral("session_handle")).toString();
  if (FSession.isEmpty()) return;
  QDBusConnection::sessionBus().connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                                        SLOT(ShortcutActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
  BindShortcut();
}

void THotKeyPortal::BindShortcut() {
  const QString token = NewToken();
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.connect(kService, RequestPath(token), kRequestInterface, QStringLiteral("Response"), this,
              SLOT(ShortcutsBound(uint, QVariantMap)));
  QVariantMap options{{QStringLiteral("description"), tr("Look up the selected word in Kodra")}};
  const QString trigger = PortalTrigger(FRegistered);
  if (!trigger.isEmpty()) options.insert(QStringLiteral("preferred_trigger"), trigger);
  const QList<TPortalShortcut> shortcuts{{kShortcutId, options}};
  QDBusMessage bind = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("BindShortcuts"));
  bind << QVariant::fromValue(QDBusObjectPath(FSession)) << QVariant::fromValue(shortcuts) << QString()
       << QVariantMap{{QStringLiteral("handle_token"), token}};
  bus.asyncCall(bind);
}

void THotKeyPortal::ShortcutsBound(uint response, const QVariantMap&) { FGrabbed = response == 0; }

void THotKeyPortal::ShortcutActivated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                      const QVariantMap&) {
  if (session.path() == FSession && id == kShortcutId) emit Activated();
}

void THotKeyPortal::Unregister() {
  if (!FSession.isEmpty()) {
    QDBusMessage close = QDBusMessage::createMethodCall(kService, FSession, QStringLiteral("org.freedesktop.portal.Session"),
                                                        QStringLiteral("Close"));
    QDBusConnection::sessionBus().asyncCall(close);
    FSession.clear();
  }
  FRegistered = 0;
  FGrabbed = false;
  FRequested = false;
}
