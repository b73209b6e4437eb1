#pragma once

#include <QCursor>
#include <QIcon>
#include <QString>

namespace Pictures {

// The resource path of a picture by its name, as "tv-toggle" or "slot1". Loaded through QIcon, the path gives the
// picture drawn for the screen's density: NAME@2x.png where the device pixel ratio is 2 or more.
QString path(const QString& name);

QIcon windowIcon();
// The four-way arrow over a drag handle, the pointing hand over a link.
QCursor moveCursor();
QCursor handCursor();

} // namespace Pictures
