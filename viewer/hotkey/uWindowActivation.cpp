#include "viewer/hotkey/uWindowActivation.h"

#include <QGuiApplication>
#include <QWidget>

#ifndef Q_OS_WIN
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

// True when a window manager says it supports _NET_ACTIVE_WINDOW.
bool HasWindowManager(xcb_connection_t* connection, xcb_window_t root) {
  const xcb_atom_t check = Atom(connection, "_NET_SUPPORTING_WM_CHECK");
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
  const bool present = reply && xcb_get_property_value_length(reply) > 0;
  std::free(reply);
  return present;
}

// The window is activated with the server's current time: Qt's own request
// carries the time of the last event it saw from the user in our windows,
// which is older than the focus the user gave the other program, and so
// would be refused.
void ActivateOnX11(xcb_connection_t* connection, QWidget& window) {
  const xcb_window_t id = xcb_window_t(window.winId());
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  if (HasWindowManager(connection, root)) {
    // Source 2: the request comes on the user's behalf, as from a pager.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = Atom(connection, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
  } else {
    xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME);
  }
  xcb_flush(connection);
}

}  // namespace
#endif

void BringToFront(QWidget& window) {
  if (window.isMinimized()) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.raise();
  window.activateWindow();
#ifndef Q_OS_WIN
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr) ActivateOnX11(connection, window);
#endif
}
