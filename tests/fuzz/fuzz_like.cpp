// The catalogue's "like" against a reference matcher that is slow but plainly right: it tries every way a "*" can
// stretch, reading the pattern as it goes.
//
// Input: the pattern, a zero byte, the value (both UTF-8).
#include "sqlite/Like.h"

#include <QChar>
#include <QList>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class Reference {
public:
    Reference(const QString& pattern, const QString& value)
        : p_(pattern.toUcs4()), v_(value.toUcs4()), memo_((p_.size() + 1) * (v_.size() + 1), Unknown) {}

    bool matches() { return match(0, 0); }

private:
    enum : signed char { Unknown = -1 };

    static char32_t fold(char32_t c) { return QChar::toCaseFolded(c); }

    // A set runs from its "[" to the first "]" after it (after a leading "!"); without one the "[" is a letter.
    qsizetype closingBracket(qsizetype open) const {
        const qsizetype first = open + 1 + (open + 1 < p_.size() && p_[open + 1] == u'!');
        for (qsizetype i = first; i < p_.size(); ++i) {
            if (p_[i] == u']')
                return i;
        }
        return -1;
    }

    bool inSet(qsizetype open, qsizetype close, char32_t c) const {
        const bool negated = p_[open + 1] == u'!';
        bool found = false;
        for (qsizetype i = open + 1 + negated; i < close; ++i) {
            char32_t low = p_[i];
            char32_t high = low;
            if (i + 2 < close && p_[i + 1] == u'-') {
                high = p_[i + 2];
                i += 2;
            }
            found = found || (c >= low && c <= high) || (fold(c) >= fold(low) && fold(c) <= fold(high));
        }
        return found != negated;
    }

    bool match(qsizetype i, qsizetype j) {
        signed char& known = memo_[i * (v_.size() + 1) + j];
        if (known == Unknown)
            known = compute(i, j);
        return known;
    }

    bool compute(qsizetype i, qsizetype j) {
        if (i == p_.size())
            return j == v_.size();
        if (p_[i] == u'*')
            return match(i + 1, j) || (j < v_.size() && match(i, j + 1));
        if (j == v_.size())
            return false;
        switch (p_[i]) {
        case u'?':
            return match(i + 1, j + 1);
        case u'#':
            return QChar::isDigit(v_[j]) && match(i + 1, j + 1);
        case u'[':
            if (const qsizetype close = closingBracket(i); close >= 0)
                return inSet(i, close, v_[j]) && match(close + 1, j + 1);
            [[fallthrough]];
        default:
            return fold(p_[i]) == fold(v_[j]) && match(i + 1, j + 1);
        }
    }

    QList<uint> p_;
    QList<uint> v_;
    std::vector<signed char> memo_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype zero = input.indexOf('\0');
    if (zero < 0)
        return 0;
    const QString pattern = QString::fromUtf8(input.left(zero));
    const QString value = QString::fromUtf8(input.mid(zero + 1));

    const bool matched = likeMatch(pattern, value);
    // The reference keeps a table of pattern length times value length; beyond a million cells it is left out.
    if (qsizetype(pattern.size() + 1) * (value.size() + 1) > 1'000'000)
        return 0;
    if (matched != Reference(pattern, value).matches()) {
        std::fprintf(stderr, "like(%s, %s) gave %d, the reference the other\n", qPrintable(pattern), qPrintable(value),
                     matched);
        std::abort();
    }
    return 0;
}
