#pragma once

#include <QCursor>
#include <QIcon>
#include <QString>

namespace Pictures {

// The resource path of a picture by its file name without ".svg", as "tv-toggle" or "slot1".
QString path(const QString& name);

QIcon windowIcon();
// The four-way arrow over a drag handle, the pointing hand over a link.
QCursor moveCursor();
QCursor handCursor();

} // namespace Pictures
