#include "health/Content.h"

#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace Content {

namespace {

Kind fromFileName(const QUrl& address) {
    const QString path = address.path().toLower();
    if (path.endsWith(u".m3u8"_s) || path.endsWith(u".m3u"_s))
        return Kind::M3u;
    if (path.endsWith(u".pls"_s))
        return Kind::Pls;
    if (path.endsWith(u".mpd"_s))
        return Kind::Dash;
    return Kind::Unknown;
}

// The signatures of the containers and codecs stations send.
bool looksLikeMedia(const QByteArray& first) {
    for (const char* magic : {"ID3", "OggS", "fLaC", "FLV", "RIFF", "\x1A\x45\xDF\xA3"}) {
        if (first.startsWith(magic))
            return true;
    }
    const QByteArray box = first.mid(4, 4);
    if (box == "ftyp" || box == "styp" || box == "moof" || box == "sidx")
        return true;
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(first.at(i)); };
    // The frame sync of MPEG audio and of AAC in ADTS.
    if (first.size() >= 2 && byte(0) == 0xFF && (byte(1) & 0xE0) == 0xE0)
        return true;
    // An MPEG transport stream repeats its sync byte every 188 bytes; one "G" alone is only a letter.
    return first.size() > 188 && byte(0) == 0x47 && byte(188) == 0x47;
}

QUrl m3uEntry(const QByteArray& body, const QUrl& base) {
    for (const QString& line : QString::fromUtf8(body).split(u'\n')) {
        const QString entry = line.trimmed();
        if (!entry.isEmpty() && !entry.startsWith(u'#'))
            return base.resolved(QUrl(entry));
    }
    return {};
}

QUrl plsEntry(const QByteArray& body, const QUrl& base) {
    static const QRegularExpression file(u"^\\s*File\\d+\\s*=\\s*(\\S.*?)\\s*$"_s,
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = file.match(QString::fromUtf8(body));
    return match.hasMatch() ? base.resolved(QUrl(match.captured(1))) : QUrl();
}

// A segment template with the identifiers of the first representation filled in; $Number$ and $Time$ name its
// first segment.
QString fillTemplate(const QString& text, const QString& id, const QString& bandwidth, const QString& startNumber) {
    static const QRegularExpression identifier(u"\\$(RepresentationID|Bandwidth|Number|Time)(?:%0(\\d+)d)?\\$"_s);
    QString filled;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : identifier.globalMatch(text)) {
        const QString name = match.captured(1);
        QString value = name == u"RepresentationID"_s ? id
                        : name == u"Bandwidth"_s      ? bandwidth
                        : name == u"Number"_s         ? startNumber
                                                      : u"0"_s;
        if (match.hasCaptured(2))
            value = value.rightJustified(match.captured(2).toInt(), u'0');
        filled += QStringView(text).mid(from, match.capturedStart() - from);
        filled += value;
        from = match.capturedEnd();
    }
    filled += QStringView(text).mid(from);
    return filled.replace(u"$$"_s, u"$"_s);
}

// The first segment of the first representation: the initialization segment where there is one, otherwise the
// first media segment, otherwise the representation's own file.
QUrl dashEntry(const QByteArray& body, QUrl base) {
    QXmlStreamReader xml(body);
    QXmlStreamAttributes segmentTemplate;
    QString id, bandwidth, listed;
    bool inRepresentation = false;
    QUrl representationFile;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QStringView element = xml.name();
        if (token == QXmlStreamReader::EndElement && inRepresentation && element == u"Representation"_s)
            break;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (element == u"BaseURL"_s) {
            const QUrl url = base.resolved(QUrl(xml.readElementText().trimmed()));
            (inRepresentation ? representationFile : base) = url;
        } else if (element == u"SegmentTemplate"_s) {
            segmentTemplate = attributes;
        } else if (element == u"Representation"_s) {
            inRepresentation = true;
            id = attributes.value(u"id"_s).toString();
            bandwidth = attributes.value(u"bandwidth"_s).toString();
        } else if (inRepresentation && listed.isEmpty() && element == u"Initialization"_s) {
            listed = attributes.value(u"sourceURL"_s).toString();
        } else if (inRepresentation && listed.isEmpty() && element == u"SegmentURL"_s) {
            listed = attributes.value(u"media"_s).toString();
        }
    }
    if (!inRepresentation)
        return {};
    const QUrl segmentBase = representationFile.isEmpty() ? base : representationFile;
    QString segment = segmentTemplate.value(u"initialization"_s).toString();
    if (segment.isEmpty())
        segment = segmentTemplate.value(u"media"_s).toString();
    if (!segment.isEmpty()) {
        const QString start = segmentTemplate.hasAttribute(u"startNumber"_s)
                                  ? segmentTemplate.value(u"startNumber"_s).toString()
                                  : u"1"_s;
        return segmentBase.resolved(QUrl(fillTemplate(segment, id, bandwidth, start)));
    }
    if (!listed.isEmpty())
        return segmentBase.resolved(QUrl(listed));
    return representationFile;
}

} // namespace

Kind fromType(const QByteArray& contentType, const QUrl& address) {
    const QByteArray type = contentType.split(';').constFirst().trimmed().toLower();
    if (type == "text/html" || type == "application/xhtml+xml")
        return Kind::Page;
    // application/vnd.apple.mpegurl, application/x-mpegurl, audio/mpegurl, audio/x-mpegurl
    if (type.endsWith("mpegurl"))
        return Kind::M3u;
    if (type == "audio/x-scpls" || type == "audio/scpls")
        return Kind::Pls;
    if (type == "application/dash+xml")
        return Kind::Dash;
    if (type.startsWith("audio/") || type.startsWith("video/") || type == "application/ogg")
        return Kind::Stream;
    return fromFileName(address);
}

Kind fromBytes(const QByteArray& first) {
    QByteArray text = first.startsWith("\xEF\xBB\xBF") ? first.mid(3) : first;
    text = text.left(512).trimmed().toLower();
    if (text.startsWith("#extm3u"))
        return Kind::M3u;
    if (text.startsWith("[playlist]"))
        return Kind::Pls;
    if (text.startsWith("<!doctype html") || text.startsWith("<html"))
        return Kind::Page;
    if (text.contains("<mpd"))
        return Kind::Dash;
    return looksLikeMedia(first) ? Kind::Stream : Kind::Unknown;
}

QString name(Kind kind, const QByteArray& body) {
    switch (kind) {
    case Kind::M3u:
        return body.contains("#EXT-X-") ? u"HLS playlist"_s : u"M3U playlist"_s;
    case Kind::Pls:
        return u"PLS playlist"_s;
    case Kind::Dash:
        return u"DASH manifest"_s;
    default:
        return {};
    }
}

QUrl firstEntry(Kind kind, const QByteArray& body, const QUrl& base) {
    switch (kind) {
    case Kind::M3u:
        return m3uEntry(body, base);
    case Kind::Pls:
        return plsEntry(body, base);
    case Kind::Dash:
        return dashEntry(body, base);
    default:
        return {};
    }
}

} // namespace Content
