#pragma once
// The hot key on Wayland, where no program may grab keys: the desktop
// portal's global shortcut. We bind it once, proposing the combination of
// the options; the desktop asks the user and decides the final key.
#include <QDBusObjectPath>
#include <QString>
#include <QVariantMap>

#include "viewer/hotkey/uHotKey.h"

class THotKeyPortal : public THotKey {
  Q_OBJECT
public:
  explicit THotKeyPortal(QObject* parent = nullptr);
  ~THotKeyPortal() override;

  // True when the session bus offers the global-shortcuts portal.
  static bool Available();

  bool Register(TShortCut shortCut) override;
  void Unregister() override;
  bool DesktopChoosesKey() const override { return true; }

private slots:
  void SessionCreated(uint response, const QVariantMap& results);
  void ShortcutsBound(uint response, const QVariantMap& results);
  void ShortcutActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                         const QVariantMap& options);

private:
  QString RequestPath(const QString& token) const;
  void BindShortcut();

  QString FSession;  // object path of our portal session, empty until created
  bool FRequested = false;
};

// The combination in the portal's trigger notation ("CTRL+SHIFT+F11"); empty
// for keys it has no name for.
QString PortalTrigger(TShortCut shortCut);
