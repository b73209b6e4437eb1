#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace Pictures {

// A picture by its name, as "tv-toggle" or "slot1", drawn for the screens' density: NAME@2x, with a device
// pixel ratio of 2, where a logical pixel has more than one device pixel.
QPixmap picture(const QString& name);

QIcon windowIcon();
// The four-way arrow over a drag handle, the pointing hand over a link.
QCursor moveCursor();
QCursor handCursor();

} // namespace Pictures
