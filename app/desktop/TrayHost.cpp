// Asking the session bus whether a StatusNotifier host is there, as Qt does when it creates a
// tray icon.
#include "TrayHost.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QVariant>

namespace {

std::function<TTrayHost()>& Probe() {
    static std::function<TTrayHost()> probe;
    return probe;
}

TTrayHost AskSessionBus() {
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr ||
        !bus.interface()->isServiceRegistered(watcher).value()) {
        return TTrayHost::XEmbed;
    }
    QDBusInterface iface(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
    const QVariant registered = iface.property("IsStatusNotifierHostRegistered");
    return registered.toBool() ? TTrayHost::StatusNotifier : TTrayHost::XEmbed;
}

}  // namespace

TTrayHost CurrentTrayHost() {
    return Probe() ? Probe()() : AskSessionBus();
}

void SetTrayHostProbe(std::function<TTrayHost()> probe) {
    Probe() = std::move(probe);
}

TTrayIconMessage RestoreMessageFor(TTrayHost host) {
    return host == TTrayHost::StatusNotifier ? TTrayIconMessage::imLeftClickUp
                                             : TTrayIconMessage::imDoubleClick;
}
