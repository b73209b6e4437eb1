#include "resources/Pictures.h"

#include <QGuiApplication>
#include <QResource>
#include <QtEndian>
#include <cstring>

using namespace Qt::StringLiterals;

namespace Pictures {

namespace {

// A picture as the build left it (PngToPixels.cpp): its width and height, then its rows of pixels.
QPixmap builtIn(const QString& file) {
    const QByteArray data = QResource(u":/pictures/"_s + file + u".pixels"_s).uncompressedData();
    if (data.size() < 8)
        qFatal("the picture %s is not built into the program", qPrintable(file));
    const auto width = qFromLittleEndian<quint32>(data.constData());
    const auto height = qFromLittleEndian<quint32>(data.constData() + 4);
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (data.size() != 8 + image.sizeInBytes())
        qFatal("the picture %s is built into the program damaged", qPrintable(file));
    std::memcpy(image.bits(), data.constData() + 8, image.sizeInBytes());
    return QPixmap::fromImage(std::move(image));
}

// Both pointers are 32 by 32 pixels; the hot spot is where the picture points. The X11 platform takes the hot spot
// in the pixels of the picture it is given, so on a denser screen it moves with the picture's device pixel ratio.
QCursor pointer(const QString& name, QPoint hotSpot) {
    const QPixmap picture = Pictures::picture(name);
    const QPoint spot = hotSpot * picture.devicePixelRatio();
    return QCursor(picture, spot.x(), spot.y());
}

} // namespace

QPixmap picture(QAnyStringView name) {
    if (qGuiApp->devicePixelRatio() <= 1)
        return builtIn(name.toString());
    QPixmap dense = builtIn(name.toString() + u"@2x"_s);
    dense.setDevicePixelRatio(2);
    return dense;
}

QIcon windowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(builtIn(u"icon-%1"_s.arg(size)));
    return icon;
}

QCursor moveCursor() {
    return pointer(u"cursor-move"_s, QPoint(15, 16));
}

QCursor handCursor() {
    return pointer(u"cursor-hand"_s, QPoint(6, 2));
}

} // namespace Pictures
