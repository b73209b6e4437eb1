#include "playlists/TextLines.h"

#include <QStringDecoder>

namespace Playlists {

namespace {

// Calls `each` with every line of `text`, without its line break.
template <typename View, typename Each> void forEachLine(View text, Each each) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r')
            continue;
        each(text.sliced(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        each(text.sliced(start));
}

} // namespace

std::vector<TextLine> textLines(const QByteArray& bytes) {
    std::vector<TextLine> lines;
    const auto encoding = QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8);
    if (encoding == QStringConverter::Utf8) {
        // Each line is decoded on its own, so one line that is not UTF-8 costs that line and no other.
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        QByteArrayView text(bytes);
        if (text.startsWith("\xEF\xBB\xBF"))
            text = text.sliced(3);
        forEachLine(text, [&](QByteArrayView line) {
            decoder.resetState();
            QString decoded = decoder(line);
            const int number = static_cast<int>(lines.size()) + 1;
            lines.push_back({number, std::move(decoded), !decoder.hasError()});
        });
        return lines;
    }
    QStringDecoder decoder(encoding);
    const QString text = decoder(bytes);
    // An undecodable stretch of a wide encoding leaves replacement characters behind; their lines are lost.
    const bool damaged = decoder.hasError();
    forEachLine(QStringView(text), [&](QStringView line) {
        const int number = static_cast<int>(lines.size()) + 1;
        lines.push_back({number, line.toString(), !(damaged && line.contains(QChar::ReplacementCharacter))});
    });
    return lines;
}

QString oneLine(QString value) {
    return value.replace(u'\r', u' ').replace(u'\n', u' ');
}

} // namespace Playlists
