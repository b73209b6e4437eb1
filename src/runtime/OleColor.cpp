#include "runtime/OleColor.h"

#include <QRegularExpression>

OleColor toOleColor(const QString& text) {
    // Anchored at the very end: "$" would also match before a final line feed, and "&H0000FF" + LF is no colour.
    static const QRegularExpression decimal(QRegularExpression::anchoredPattern(u"[0-9]{1,10}"));
    static const QRegularExpression hexadecimal(QRegularExpression::anchoredPattern(u"&[Hh]([0-9A-Fa-f]{1,8})"));
    bool ok = false;
    if (decimal.match(text).hasMatch()) {
        const qlonglong value = text.toLongLong(&ok);
        if (ok && value <= INT32_MAX)
            return static_cast<OleColor>(value);
    } else if (const auto match = hexadecimal.match(text); match.hasMatch()) {
        // Eight hexadecimal digits wrap into the sign bit, as a 32-bit colour value does.
        const uint value = match.captured(1).toUInt(&ok, 16);
        if (ok)
            return static_cast<OleColor>(value);
    }
    throw ColourError("不是颜色值：" + text.toStdString());
}

QColor toQColor(OleColor colour) {
    if (colour < 0 || colour > 0xFFFFFF)
        throw ColourError("颜色值超出范围：" + std::to_string(colour));
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

OleColor toBackColor(const QString& text) {
    const OleColor colour = toOleColor(text);
    toQColor(colour);
    return colour;
}
