// TransportProblem for the D-Bus stand-in: the session bus that Norvale and the server meet on.
#include <QDBusConnection>
#include <QDBusError>

#include "tools/probe/Transport.h"

namespace norvale {

std::string TransportProblem() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) return {};
    return "there is no D-Bus session bus (" + bus.lastError().message().toStdString() +
           "), so no quote server can be reached: start the server and the probe on one, for instance with "
           "dbus-run-session, as norvale-demo does";
}

}  // namespace norvale
