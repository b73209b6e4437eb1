#include "playlists/TextLines.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace Playlists {

namespace {

template <typename Char> bool isLineBreak(Char c) {
    return c == u'\r' || c == u'\n';
}

QByteArrayView view(const char* start, qsizetype length) {
    return {start, length};
}

QStringView view(const QChar* start, qsizetype length) {
    return {start, length};
}

QStringConverter::Encoding encodingOf(const QByteArray& head) {
    return QStringConverter::encodingForData(head).value_or(QStringConverter::Utf8);
}

} // namespace

TextLines::TextLines(InputBlocks& input)
    : input_(input), wide_(encodingOf(input.head()) != QStringConverter::Utf8),
      // Each UTF-8 line is decoded on its own, so one line that is not UTF-8 costs that line and no other.
      decoder_(encodingOf(input.head()), wide_ ? QStringConverter::Flag::Default : QStringConverter::Flag::Stateless) {}

std::optional<TextLine> TextLines::next() {
    for (;;) {
        // A UTF-16 character is two bytes, so a wide line is held to the same number of bytes.
        if (auto found = wide_ ? take(characters_, LongestValue / 2) : take(bytes_, LongestValue))
            return found;
        if (ended_)
            return std::nullopt;
        readMore();
    }
}

// The next whole line of what is pending, or the last one once the input has ended; nothing when more is needed.
// A CR that ends what has arrived so far may yet be followed by the LF of its line break.
template <typename Text> std::optional<TextLine> TextLines::take(Pending<Text>& pending, qsizetype longest) {
    const auto start = pending.text.cbegin() + pending.pos;
    const auto end = pending.text.cend();
    const auto lineBreak = std::find_if(start, end, isLineBreak<typename Text::value_type>);
    const bool whole = lineBreak != end && (*lineBreak == u'\n' || lineBreak + 1 != end || ended_);
    const qsizetype length = (whole ? lineBreak : end) - start;
    pending.tooLong = pending.tooLong || length > longest;
    if (!whole && pending.tooLong) {
        // Nothing of a line too long is kept; its end, when it comes, ends it.
        pending.text.clear();
        pending.pos = 0;
        if (!ended_)
            return std::nullopt;
    }
    if (!whole && !pending.tooLong && (!ended_ || length == 0))
        return std::nullopt;
    std::optional<TextLine> found;
    if (std::exchange(pending.tooLong, false))
        found = TextLine{++number_, {}, u"is longer than %1 KiB"_s.arg(LongestValue / 1024)};
    else
        found = line(view(start, length));
    if (whole) {
        const bool crLf = *lineBreak == u'\r' && lineBreak + 1 != end && lineBreak[1] == u'\n';
        pending.pos += length + (crLf ? 2 : 1);
    } else {
        pending.pos = pending.text.size();
    }
    return found;
}

TextLine TextLines::line(QByteArrayView bytes) {
    if (number_ == 0 && bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    decoder_.resetState();
    QString text = decoder_(bytes);
    return {++number_, std::move(text), decoder_.hasError() ? u"is not UTF-8 text"_s : QString()};
}

TextLine TextLines::line(QStringView text) {
    // An undecodable stretch of a wide encoding leaves replacement characters behind; their lines are lost.
    const bool damaged = decoder_.hasError() && text.contains(QChar::ReplacementCharacter);
    return {++number_, text.toString(), damaged ? u"is not UTF-8 text"_s : QString()};
}

void TextLines::readMore() {
    const QByteArray block = input_.next();
    ended_ = block.isEmpty();
    if (wide_) {
        characters_.text.remove(0, characters_.pos);
        characters_.pos = 0;
        characters_.text += decoder_(block);
    } else {
        bytes_.text.remove(0, bytes_.pos);
        bytes_.pos = 0;
        bytes_.text += block;
    }
}

QString oneLine(QString value) {
    return value.replace(u'\r', u' ').replace(u'\n', u' ');
}

} // namespace Playlists
