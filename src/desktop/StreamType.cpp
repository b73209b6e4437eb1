#include "desktop/StreamType.h"

#include <QHash>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QString Hls = u"application/vnd.apple.mpegurl"_s;

// Schemes that carry nothing but streams; http and https carry pages as well.
const QStringList streamSchemes{u"mms"_s,   u"mmsh"_s,  u"mmst"_s,  u"mmsu"_s, u"rtsp"_s, u"rtsps"_s, u"rtmp"_s,
                                u"rtmps"_s, u"rtmpe"_s, u"rtmpt"_s, u"rtp"_s,  u"udp"_s,  u"srt"_s};

const QHash<QString, QString> typeOfSuffix{
    {u"m3u8"_s, Hls},
    {u"mp3"_s, u"audio/mpeg"_s},
    {u"aac"_s, u"audio/aac"_s},
    {u"m4a"_s, u"audio/mp4"_s},
    {u"ogg"_s, u"audio/ogg"_s},
    {u"oga"_s, u"audio/ogg"_s},
    {u"opus"_s, u"audio/ogg"_s},
    {u"flac"_s, u"audio/flac"_s},
    {u"pls"_s, u"audio/x-scpls"_s},
    {u"m3u"_s, u"audio/x-mpegurl"_s},
    {u"mpd"_s, u"application/dash+xml"_s},
    {u"ts"_s, u"video/mp2t"_s},
    {u"flv"_s, u"video/x-flv"_s},
    {u"mp4"_s, u"video/mp4"_s},
    {u"webm"_s, u"video/webm"_s},
    {u"mkv"_s, u"video/x-matroska"_s},
};

// The directory's codec names, as its stations carry them.
const QHash<QString, QString> typeOfCodec{
    {u"MP3"_s, u"audio/mpeg"_s},   {u"AAC"_s, u"audio/aac"_s},   {u"AAC+"_s, u"audio/aac"_s},
    {u"HE-AAC"_s, u"audio/aac"_s}, {u"OGG"_s, u"audio/ogg"_s},   {u"VORBIS"_s, u"audio/ogg"_s},
    {u"OPUS"_s, u"audio/ogg"_s},   {u"FLAC"_s, u"audio/flac"_s},
};

// Servers name the same playlists in several ways; a player is registered for the common names.
const QHash<QString, QString> commonName{
    {u"application/x-mpegurl"_s, Hls},
    {u"audio/mp3"_s, u"audio/mpeg"_s},
    {u"audio/aacp"_s, u"audio/aac"_s},
    {u"application/ogg"_s, u"audio/ogg"_s},
};

QString fromSuffix(const QUrl& address) {
    const QString path = address.path();
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || path.indexOf(u'/', dot) >= 0)
        return {};
    return typeOfSuffix.value(path.mid(dot + 1).toLower());
}

// A type a check found: only media and playlist types lead to a player.
QString fromChecked(const QString& found) {
    const QString type = found.section(u';', 0, 0).trimmed().toLower();
    if (commonName.contains(type))
        return commonName.value(type);
    const bool media = type.startsWith(u"audio/"_s) || type.startsWith(u"video/"_s) || type == Hls ||
                       type == u"application/dash+xml"_s;
    return media ? type : QString();
}

} // namespace

QString streamType(const QUrl& address, const StationHints& hints) {
    const QString scheme = address.scheme().toLower();
    if (streamSchemes.contains(scheme))
        return u"x-scheme-handler/"_s + scheme;
    if (QString type = fromSuffix(address); !type.isEmpty())
        return type;
    if (hints.checkedPage)
        return {};
    if (QString type = fromChecked(hints.checkedType); !type.isEmpty())
        return type;
    if (hints.hls)
        return Hls;
    return typeOfCodec.value(hints.codec.trimmed().toUpper());
}
