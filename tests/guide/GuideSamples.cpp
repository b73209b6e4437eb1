#include "tests/guide/GuideSamples.h"

#include <QTimeZone>
#include <zlib.h>

namespace GuideSamples {

QByteArray time(const QDateTime& at, int offsetSeconds) {
    const int minutes = std::abs(offsetSeconds) / 60;
    return at.toTimeZone(QTimeZone(offsetSeconds)).toString(u"yyyyMMddHHmmss").toLatin1() +
           (offsetSeconds < 0 ? " -" : " +") + QByteArray::number(minutes / 60).rightJustified(2, '0') +
           QByteArray::number(minutes % 60).rightJustified(2, '0');
}

QByteArray channel(const QByteArray& id, const QByteArray& displayName) {
    return "<channel id=\"" + id + "\"><display-name lang=\"zh\">" + displayName + "</display-name></channel>\n";
}

QByteArray programme(const QByteArray& channel, const QByteArray& start, const QByteArray& stop,
                     const QByteArray& title, const QByteArray& more) {
    return "<programme start=\"" + start + "\" stop=\"" + stop + "\" channel=\"" + channel + "\"><title>" + title +
           "</title>" + more + "</programme>\n";
}

QByteArray guide(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
           "<tv generator-info-name=\"test\">\n" +
           body + "</tv>\n";
}

QByteArray gzip(const QByteArray& bytes) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray packed(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(bytes.size()))),
                      Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    deflate(&stream, Z_FINISH);
    packed.resize(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    return packed;
}

} // namespace GuideSamples
