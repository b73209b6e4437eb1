// The colour text against its grammar, written out plainly: decimal digits up to the largest 32-bit value, or "&H"
// (or "&h") followed by one to eight hexadecimal digits, which wrap into the sign bit. Nothing before, after or
// between: no blank, no line break.
//
// Input: the text (UTF-8).
#include "runtime/OleColor.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

bool allOf(QStringView text, bool (*isDigit)(char16_t)) {
    for (QChar c : text) {
        if (!isDigit(c.unicode()))
            return false;
    }
    return true;
}

bool decimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool hexadecimalDigit(char16_t c) {
    return decimalDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

std::optional<OleColor> reference(const QString& text) {
    if (!text.isEmpty() && text.size() <= 10 && allOf(text, decimalDigit)) {
        const qint64 value = text.toLongLong();
        if (value <= 0x7FFFFFFF)
            return static_cast<OleColor>(value);
        return std::nullopt;
    }
    const QStringView digits = QStringView(text).mid(2);
    if ((text.startsWith(QStringLiteral("&H")) || text.startsWith(QStringLiteral("&h"))) && !digits.isEmpty() &&
        digits.size() <= 8 && allOf(digits, hexadecimalDigit))
        return static_cast<OleColor>(digits.toUInt(nullptr, 16));
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::optional<OleColor> colour;
    try {
        colour = toOleColor(text);
    } catch (const ColourError&) {
    }
    if (colour != reference(text)) {
        std::fprintf(stderr, "colour text \"%s\" read as %s\n", qPrintable(text), colour ? "a colour" : "no colour");
        std::abort();
    }
    return 0;
}
