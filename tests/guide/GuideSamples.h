#pragma once

#include <QByteArray>
#include <QDateTime>

// Generated XMLTV guides for the tests and the benchmark.
namespace GuideSamples {

// An XMLTV time in the given offset from UTC, in seconds: "20261024230000 +0100".
QByteArray time(const QDateTime& at, int offsetSeconds = 0);

QByteArray channel(const QByteArray& id, const QByteArray& displayName);
QByteArray programme(const QByteArray& channel, const QByteArray& start, const QByteArray& stop,
                     const QByteArray& title, const QByteArray& more = {});
// A whole guide around `body`, with the DOCTYPE line that XMLTV grabbers write.
QByteArray guide(const QByteArray& body);

// The bytes gzip-compressed, as a .gz file holds them.
QByteArray gzip(const QByteArray& bytes);

} // namespace GuideSamples
