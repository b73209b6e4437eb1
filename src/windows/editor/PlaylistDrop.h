#pragma once

#include "sqlite/Database.h"

#include <QStringList>

class QMimeData;
class QWidget;

// Playlist files dropped onto a window: they go into the catalogue together under a progress dialog whose cancel
// leaves the catalogue as it was, and a message box says what came of it.

// The files on this computer among what is dragged; none when it holds no file.
QStringList playlistFiles(const QMimeData& dragged);

// Imports the files into the catalogue with their own groups as categories. A file that cannot be read throws
// before anything is written; so does a catalogue that refuses the stations, which then stays as it was.
void importPlaylistFiles(QWidget& window, Database& catalogue, const QStringList& files);
