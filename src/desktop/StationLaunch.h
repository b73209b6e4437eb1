#pragma once

#include <QVariant>

class QWidget;

// Plays a station: hands its web address to the desktop's default handler, with `owner` as the asking window.
// Only a URL with a web or streaming scheme (http, https, mms, rtsp, rtmp ...) and a host reaches the shell;
// anything else, an empty or null address, a local path or a file: address, opens nothing and is explained in
// a message box. True when the desktop took the address.
bool playStation(QWidget& owner, const QVariant& address);
