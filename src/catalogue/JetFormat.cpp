#include "catalogue/JetFormat.h"

#include <QFile>

// The first page of a Jet file starts with a fixed signature; the engine version follows it as a 32-bit
// little-endian number.
std::optional<JetFormat> jetFormat(const QString& path) {
    static const QByteArray signature("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray header = file.read(24);
    if (header.size() < 24 || !header.startsWith(signature))
        return std::nullopt;
    const QByteArray version = header.mid(20);
    if (version == QByteArray("\x00\x00\x00\x00", 4))
        return JetFormat::Jet3;
    if (version == QByteArray("\x01\x00\x00\x00", 4))
        return JetFormat::Jet4;
    return std::nullopt;
}
