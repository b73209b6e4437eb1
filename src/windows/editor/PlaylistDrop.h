#pragma once

#include "sqlite/Database.h"

#include <QStringList>

class QMimeData;
class add;

// Playlists dropped onto the channel editor: files from the file manager and links from a browser. They go into the
// catalogue together under a progress dialog whose cancel leaves the catalogue as it was, and a message box says
// what came of it. A link to anything but a list of stations (a stream, a page) goes into the add section's
// web-address box instead, ready to be named and added.

// What is dragged that the editor takes: the files on this computer as paths, and web links (http, https) as their
// addresses, from a list of links or from text that holds one address alone; none when it holds neither.
QStringList playlistFiles(const QMimeData& dragged);

// Downloads the links and imports them with the files, with their own groups as categories. A file that cannot be
// read or a link that cannot be downloaded throws before anything is written; so does a catalogue that refuses the
// stations, which then stays as it was.
void importPlaylistFiles(add& editor, Database& catalogue, const QStringList& dropped);
