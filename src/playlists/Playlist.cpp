#include "playlists/Playlist.h"

#include "playlists/Input.h"
#include "playlists/TextLines.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace Playlists {

Format formatOf(const QByteArray& head) {
    // A byte-order mark picks the encoding and is dropped.
    const QByteArrayView start = QByteArrayView(head).first(std::min<qsizetype>(head.size(), InputBlocks::HeadSize));
    QStringDecoder decoder(QStringConverter::encodingForData(start).value_or(QStringConverter::Utf8));
    const QString text = QString(decoder(start)).trimmed();
    if (text.startsWith(u'<'))
        return Format::Xspf;
    qsizetype lineEnd = 0;
    while (lineEnd < text.size() && text[lineEnd] != u'\n' && text[lineEnd] != u'\r')
        ++lineEnd;
    if (QStringView(text).first(lineEnd).trimmed().compare(u"[playlist]", Qt::CaseInsensitive) == 0)
        return Format::Pls;
    return Format::M3u;
}

void read(InputBlocks& input, const Reading& reading) {
    const QByteArray& head = input.head();
    if (head.isEmpty())
        return reading.unreadable({1, QCoreApplication::translate("Playlists", "holds nothing: the file is empty")});
    // Text in an 8-bit encoding holds no NUL; a picture, a sound file or a database dropped by mistake does, and
    // its stretches of printable bytes must not pass for addresses.
    const bool wide =
        QStringConverter::encodingForData(head).value_or(QStringConverter::Utf8) != QStringConverter::Utf8;
    if (!wide && head.contains('\0'))
        return reading.unreadable({1, QCoreApplication::translate("Playlists", "is binary data, not a playlist")});
    const Format format = formatOf(head);
    if (format == Format::Xspf)
        return readXspf(input, reading);
    TextLines lines(input);
    if (format == Format::Pls)
        return readPls(lines, reading);
    readM3u(lines, reading);
}

Playlist read(const QByteArray& bytes) {
    Playlist playlist;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    InputBlocks input(buffer, {});
    read(input, {[&](Entry entry) { playlist.entries.push_back(std::move(entry)); },
                 [&](UnreadableLine line) { playlist.unreadable.push_back(std::move(line)); }});
    return playlist;
}

QByteArray write(Format format, const std::vector<Catalogue::Station>& stations) {
    std::vector<Catalogue::AttributedStation> plain;
    plain.reserve(stations.size());
    for (const Catalogue::Station& station : stations)
        plain.push_back({station, {}});
    return write(format, plain);
}

QByteArray writeM3u(const std::vector<Catalogue::Station>& stations) {
    return write(Format::M3u, stations);
}

QByteArray write(Format format, const std::vector<Catalogue::AttributedStation>& stations) {
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
