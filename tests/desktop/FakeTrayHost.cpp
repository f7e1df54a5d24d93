// A stand-in for a D-Bus (StatusNotifierItem) tray host, for the end-to-end test: it owns the
// watcher name on the session bus and reports a registered host, so Qt gives the program a
// D-Bus tray icon; it prints "item <service>" when the icon registers, and for each line
// "activate", "context" or "secondary" on its input it sends the icon what a host sends for a
// left, right or middle click, then prints "sent".
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <cstdio>

namespace {

void Say(const QString& line) {
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

}  // namespace

class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)

public:
    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }
    QStringList RegisteredStatusNotifierItems() const { return items_; }
    QString Item() const { return items_.isEmpty() ? QString() : items_.last(); }

public slots:
    void RegisterStatusNotifierItem(const QString& service) {
        items_ << service;
        Say(QStringLiteral("item ") + service);
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    QStringList items_;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeWatcher watcher;
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "fake tray host: cannot register on the session bus\n");
        return 1;
    }
    Say(QStringLiteral("ready"));

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (n <= 0) {
            QCoreApplication::quit();
            return;
        }
        for (const QString& command :
             QString::fromLatin1(buffer, int(n)).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString method = command == QLatin1String("activate")    ? "Activate"
                                   : command == QLatin1String("context")   ? "ContextMenu"
                                   : command == QLatin1String("secondary") ? "SecondaryActivate"
                                                                           : QString();
            if (method.isEmpty() || watcher.Item().isEmpty()) {
                Say(QStringLiteral("refused ") + command);
                continue;
            }
            QDBusMessage call = QDBusMessage::createMethodCall(
                watcher.Item(), QStringLiteral("/StatusNotifierItem"),
                QStringLiteral("org.kde.StatusNotifierItem"), method);
            call.setArguments({0, 0});
            bus.call(call);
            Say(QStringLiteral("sent ") + command);
        }
    });
    return QCoreApplication::exec();
}

#include "FakeTrayHost.moc"
