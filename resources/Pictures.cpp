#include "resources/Pictures.h"

#include <QPixmap>

using namespace Qt::StringLiterals;

namespace Pictures {

namespace {

// Both pointers are 32 by 32 pixels; the hot spot is where the picture points. The X11 platform takes the hot spot
// in the pixels of the picture it is given, so on a denser screen it moves with the picture's device pixel ratio.
QCursor pointer(const QString& name, QPoint hotSpot) {
    const QPixmap picture = QIcon(path(name)).pixmap(QSize(32, 32));
    const QPoint spot = hotSpot * picture.devicePixelRatio();
    return QCursor(picture, spot.x(), spot.y());
}

} // namespace

QString path(const QString& name) {
    return u":/pictures/"_s + name + u".png"_s;
}

QIcon windowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(path(u"icon-%1"_s.arg(size)), QSize(size, size));
    return icon;
}

QCursor moveCursor() {
    return pointer(u"cursor-move"_s, QPoint(15, 16));
}

QCursor handCursor() {
    return pointer(u"cursor-hand"_s, QPoint(6, 2));
}

} // namespace Pictures
