#include "catalogue/JetFormat.h"

#include <QFile>

// The first page of a Jet file starts with a fixed signature; the engine version follows it as a 32-bit
// little-endian number.
std::optional<JetFormat> jetFormat(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return jetFormatOf(file.read(24));
}

std::optional<JetFormat> jetFormatOf(QByteArrayView start) {
    static const QByteArray signature("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    if (start.size() < 24 || !start.startsWith(signature))
        return std::nullopt;
    const QByteArrayView version = start.sliced(20, 4);
    if (version == QByteArrayView("\x00\x00\x00\x00", 4))
        return JetFormat::Jet3;
    if (version == QByteArrayView("\x01\x00\x00\x00", 4))
        return JetFormat::Jet4;
    return std::nullopt;
}
