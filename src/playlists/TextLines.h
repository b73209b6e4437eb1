#pragma once

#include "playlists/Input.h"

#include <QStringDecoder>
#include <optional>

// The lines of a text playlist (M3U, PLS), shared by their readers and writers.
namespace Playlists {

struct TextLine {
    int number;         // counting from 1
    QString text;       // without its line break
    QString unreadable; // why the line cannot be read: no valid text in the file's encoding, or too long; else empty
};

// The lines of an input, one at a time as its bytes arrive, so that memory stays bounded by the longest line.
// Lines end at CR LF, LF or a lone CR. The text is UTF-8, with or without a byte-order mark, unless a UTF-16 or
// UTF-32 byte-order mark says otherwise. A line longer than LongestValue is unreadable, its text not kept.
class TextLines {
public:
    explicit TextLines(InputBlocks& input);

    // The next line, nothing at the end of the input.
    std::optional<TextLine> next();

private:
    // The bytes or characters read and not yet given as lines; a line too long to keep is dropped as it arrives.
    template <typename Text> struct Pending {
        Text text;
        qsizetype pos = 0;
        bool tooLong = false;
    };
    template <typename Text> std::optional<TextLine> take(Pending<Text>& pending, qsizetype longest);
    TextLine line(QByteArrayView bytes);
    TextLine line(QStringView text);
    void readMore();

    InputBlocks& input_;
    bool wide_;
    bool ended_ = false;
    int number_ = 0;
    Pending<QByteArray> bytes_;
    Pending<QString> characters_;
    QStringDecoder decoder_;
};

// A value for one line of a written playlist: its line breaks become blanks.
QString oneLine(QString value);

} // namespace Playlists
