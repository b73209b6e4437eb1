#include "resources/Pictures.h"

#include <QPixmap>

namespace Pictures {

QString path(const QString& name) {
    return QStringLiteral(":/pictures/") + name + QStringLiteral(".svg");
}

QIcon windowIcon() {
    return QIcon(path(QStringLiteral("icon")));
}

// Both pointers are 32 by 32 pixels; the hot spots are where their pictures point.
QCursor moveCursor() {
    return QCursor(QPixmap(path(QStringLiteral("cursor-move"))), 15, 16);
}

QCursor handCursor() {
    return QCursor(QPixmap(path(QStringLiteral("cursor-hand"))), 6, 2);
}

} // namespace Pictures
