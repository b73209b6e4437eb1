#include "playlists/Playlist.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace Playlists {

Format formatOf(const QByteArray& bytes) {
    // The start of the file is enough to tell; a byte-order mark picks the encoding and is dropped.
    const QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 4096));
    QStringDecoder decoder(QStringConverter::encodingForData(head).value_or(QStringConverter::Utf8));
    const QString text = QString(decoder(head)).trimmed();
    if (text.startsWith(u'<'))
        return Format::Xspf;
    qsizetype lineEnd = 0;
    while (lineEnd < text.size() && text[lineEnd] != u'\n' && text[lineEnd] != u'\r')
        ++lineEnd;
    if (QStringView(text).first(lineEnd).trimmed().compare(u"[playlist]", Qt::CaseInsensitive) == 0)
        return Format::Pls;
    return Format::M3u;
}

Playlist read(const QByteArray& bytes) {
    // Text in an 8-bit encoding holds no NUL; a picture, a sound file or a database dropped by mistake does, and
    // its stretches of printable bytes must not pass for addresses.
    const bool wide =
        QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8) != QStringConverter::Utf8;
    if (!wide && bytes.contains('\0'))
        return {{}, {{1, u"is binary data, not a playlist"_s}}};
    switch (formatOf(bytes)) {
    case Format::Xspf:
        return readXspf(bytes);
    case Format::Pls:
        return readPls(bytes);
    case Format::M3u:
        break;
    }
    return readM3u(bytes);
}

QByteArray write(Format format, const std::vector<Catalogue::Station>& stations) {
    switch (format) {
    case Format::Xspf:
        return writeXspf(stations);
    case Format::Pls:
        return writePls(stations);
    case Format::M3u:
        break;
    }
    return writeM3u(stations);
}

} // namespace Playlists
