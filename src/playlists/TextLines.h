#pragma once

#include <QString>
#include <vector>

// The lines of a text playlist (M3U, PLS), shared by their readers and writers.
namespace Playlists {

struct TextLine {
    int number;    // counting from 1
    QString text;  // without its line break
    bool readable; // false when the line is no valid text in the file's encoding
};

// Lines end at CR LF, LF or a lone CR. The text is UTF-8, with or without a byte-order mark, unless a UTF-16 or
// UTF-32 byte-order mark says otherwise.
std::vector<TextLine> textLines(const QByteArray& bytes);

// A value for one line of a written playlist: its line breaks become blanks.
QString oneLine(QString value);

} // namespace Playlists
