#pragma once

#include <QAnyStringView>
#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace Pictures {

// A picture by its name, as "tv-toggle" or "slot1", drawn for the screens' density: NAME@2x, with a device
// pixel ratio of 2, where a logical pixel has more than one device pixel.
QPixmap picture(QAnyStringView name);

QIcon windowIcon();
// The four-way arrow over a drag handle, the pointing hand over a link.
QCursor moveCursor();
QCursor handCursor();

} // namespace Pictures
