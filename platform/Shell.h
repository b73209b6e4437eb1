#pragma once

#include <QString>

// What may go to the desktop's default handler.

// A station's address may be handed on when it is a URL with a web or streaming scheme (http, https, mms, rtsp,
// rtmp ...) and a host: never a local path, a file: address or anything else that could open a file or start a
// program. The one check for everything that plays a station or judges whether one will play.
bool isPlayable(const QString& address);
