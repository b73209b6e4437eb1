#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// What a server sends at a station's address: a stream to play, a playlist or manifest that leads to one, or
// something else. Told from the Content-Type, the address and the first bytes, as a player would tell it.
namespace Content {

enum class Kind {
    Stream,  // audio or video data
    M3u,     // an M3U playlist, HLS included
    Pls,     // a PLS playlist
    Dash,    // a DASH manifest
    Page,    // an HTML page
    Unknown, // the first bytes must tell
};

// Before any byte of the body: from the Content-Type header and, where that says nothing certain, the file
// name at the end of the address.
Kind fromType(const QByteArray& contentType, const QUrl& address);

// From the first bytes of a body whose type said nothing certain.
Kind fromBytes(const QByteArray& first);

// How a playlist kind is named in a finding: "HLS playlist".
QString name(Kind kind, const QByteArray& body);

// The first media entry of a playlist or manifest, resolved against the address it came from; an empty URL
// when the text lists none.
QUrl firstEntry(Kind kind, const QByteArray& body, const QUrl& base);

} // namespace Content
