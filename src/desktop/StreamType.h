#pragma once

#include <QString>
#include <QUrl>

// What is known of a station before it plays, without a request to its server.
struct StationHints {
    QString checkedType;      // the media type the last check found at the station's address, if it played
    bool checkedPage = false; // the last check found a web page there
    QString codec;            // what the directory said the station sends: "MP3", "AAC+", "OGG" ...
    bool hls = false;         // the directory said it is an HLS stream
};

// The media type a player is chosen by: the stream's own ("application/vnd.apple.mpegurl", "audio/mpeg" ...), or
// "x-scheme-handler/rtsp" and the like for addresses of a streaming scheme. Empty for a web page and for anything
// that cannot be told, which the browser opens as before. Told, in this order, by the scheme, by the form of the
// address, by the last check and by what the station's source said.
QString streamType(const QUrl& address, const StationHints& hints);
