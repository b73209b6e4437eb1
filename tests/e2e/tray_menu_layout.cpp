// A tray host as Xfce's panel is one: it owns the StatusNotifierWatcher on the session bus, and when the program
// registers its tray item it reads the item's menu with GetLayout, never sending AboutToShow first. Prints the
// menu's entries, one a line, a submenu's indented, and ends; ends with 1 when no item registered in 20 seconds.
//   tray_menu_layout
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTimer>
#include <cstdio>

namespace {

void printLayout(const QDBusArgument& item, int depth) {
    int id = 0;
    QVariantMap properties;
    QVariantList children;
    item.beginStructure();
    item >> id >> properties >> children;
    item.endStructure();
    if (depth > 0) {
        const QString label = properties.value(QStringLiteral("label")).toString();
        const bool separator = properties.value(QStringLiteral("type")).toString() == QStringLiteral("separator");
        QString line = QString(2 * (depth - 1), u' ') + (separator ? QStringLiteral("-") : label);
        if (properties.value(QStringLiteral("toggle-state"), 0).toInt() == 1)
            line += QStringLiteral(" (checked)");
        if (!properties.value(QStringLiteral("enabled"), true).toBool())
            line += QStringLiteral(" (greyed)");
        std::printf("%s\n", qPrintable(line));
    }
    for (const QVariant& child : children)
        printLayout(child.value<QDBusArgument>(), depth + 1);
}

class Watcher : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    explicit Watcher(QObject* parent) : QDBusAbstractAdaptor(parent) {}
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return {}; }

public Q_SLOTS:
    void RegisterStatusNotifierHost(const QString&) {}
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
        // Qt names its item by its bus name or by the path of its item object.
        const QString bus = service.startsWith(u'/') ? message.service() : service;
        const QString path = service.startsWith(u'/') ? service : QStringLiteral("/StatusNotifierItem");
        QTimer::singleShot(500, [bus, path] { readMenu(bus, path); });
    }

private:
    static void readMenu(const QString& bus, const QString& path) {
        QDBusInterface item(bus, path, QStringLiteral("org.kde.StatusNotifierItem"));
        const QString menu = item.property("Menu").value<QDBusObjectPath>().path();
        QDBusMessage call = QDBusMessage::createMethodCall(bus, menu, QStringLiteral("com.canonical.dbusmenu"),
                                                           QStringLiteral("GetLayout"));
        call << 0 << -1 << QStringList();
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2) {
            std::fprintf(stderr, "GetLayout failed: %s\n", qPrintable(reply.errorMessage()));
            QCoreApplication::exit(1);
            return;
        }
        printLayout(reply.arguments().at(1).value<QDBusArgument>(), 0);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QObject root;
    new Watcher(&root);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &root) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "cannot be the StatusNotifierWatcher on the session bus\n");
        return 1;
    }
    QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
    return QCoreApplication::exec();
}

#include "tray_menu_layout.moc"
