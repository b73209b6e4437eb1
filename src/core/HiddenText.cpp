#include "core/HiddenText.h"

using namespace Qt::StringLiterals;

namespace {

// Calls `each` with every character of `text` and the text it takes, one unit or a surrogate pair.
template <typename Each> void forEachCharacter(QStringView text, Each each) {
    for (qsizetype at = 0; at < text.size(); ++at) {
        const qsizetype start = at;
        char32_t character = text[at].unicode();
        if (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[at], text[at + 1]);
            ++at;
        }
        each(character, text.sliced(start, at + 1 - start));
    }
}

QString escape(char32_t character) {
    if (character <= 0xFF)
        return u"\\x"_s + QString::number(character, 16).toUpper().rightJustified(2, u'0');
    if (character <= 0xFFFF)
        return u"\\u"_s + QString::number(character, 16).toUpper().rightJustified(4, u'0');
    return u"\\U"_s + QString::number(character, 16).toUpper().rightJustified(8, u'0');
}

} // namespace

bool isHidden(char32_t character) {
    switch (QChar::category(character)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString withoutHidden(QStringView text) {
    QString kept;
    kept.reserve(text.size());
    forEachCharacter(text, [&](char32_t character, QStringView written) {
        if (!isHidden(character) || character == U'\t')
            kept += written;
    });
    return kept;
}

QString withHiddenEscaped(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    forEachCharacter(text, [&](char32_t character, QStringView written) {
        if (isHidden(character))
            shown += escape(character);
        else
            shown += written;
    });
    return shown;
}
