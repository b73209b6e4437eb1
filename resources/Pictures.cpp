#include "resources/Pictures.h"

#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace Pictures {

namespace {

// A file named NAME@2x.png gives a pixmap of device pixel ratio 2.
QPixmap png(const QString& file) {
    return QPixmap(u":/pictures/"_s + file + u".png"_s, "png");
}

// Both pointers are 32 by 32 pixels; the hot spot is where the picture points. The X11 platform takes the hot spot
// in the pixels of the picture it is given, so on a denser screen it moves with the picture's device pixel ratio.
QCursor pointer(const QString& name, QPoint hotSpot) {
    const QPixmap picture = Pictures::picture(name);
    const QPoint spot = hotSpot * picture.devicePixelRatio();
    return QCursor(picture, spot.x(), spot.y());
}

} // namespace

QPixmap picture(const QString& name) {
    return png(qGuiApp->devicePixelRatio() > 1 ? name + u"@2x"_s : name);
}

QIcon windowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(png(u"icon-%1"_s.arg(size)));
    return icon;
}

QCursor moveCursor() {
    return pointer(u"cursor-move"_s, QPoint(15, 16));
}

QCursor handCursor() {
    return pointer(u"cursor-hand"_s, QPoint(6, 2));
}

} // namespace Pictures
