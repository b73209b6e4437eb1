#include "sqlite/Like.h"

#include <QChar>
#include <QList>
#include <QSet>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <algorithm>
#include <bitset>
#include <utility>
#include <vector>

namespace {

char32_t fold(char32_t c) {
    return QChar::toCaseFolded(c);
}

// What case folding does beyond the obvious, learnt once from the same tables the matcher folds with: which
// characters other characters fold onto (k for the Kelvin sign, ß for capital ẞ ...), and the first bytes in UTF-8
// of the characters beyond ASCII that fold onto an ASCII letter (the Kelvin sign, the long s ſ).
struct Folding {
    QSet<char32_t> targets;
    std::bitset<256> ontoAsciiFirstBytes;
};

const Folding& folding() {
    static const Folding learnt = [] {
        Folding found;
        for (char32_t each = 0; each <= QChar::LastValidCodePoint; ++each) {
            const char32_t folded = fold(each);
            if (folded != each)
                found.targets.insert(folded);
            if (each >= 0x80 && folded < 0x80)
                found.ontoAsciiFirstBytes.set(static_cast<unsigned char>(QString::fromUcs4(&each, 1).toUtf8()[0]));
        }
        return found;
    }();
    return learnt;
}

// A character of a searched text that bytes stand for: an ASCII character, whose other case is an ASCII letter
// too, or one that matches itself and nothing else, whatever the case.
bool searchableAsBytes(char32_t c) {
    return c < 0x80 || (fold(c) == c && !folding().targets.contains(c));
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

using Element = LikePattern::Element;

} // namespace

// One pattern element that stands for exactly one character, or a * that stands for any run.
struct LikePattern::Element {
    enum Kind { AnyRun, AnyOne, Digit, Set, Literal } kind = Literal;
    char32_t literal = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;

    bool matches(char32_t c) const {
        switch (kind) {
        case AnyOne:
            return true;
        case Digit:
            return QChar::isDigit(c);
        case Set:
            return inSet(c) != negated;
        case Literal:
            return fold(c) == fold(literal);
        case AnyRun:
            break;
        }
        return false;
    }

    bool inSet(char32_t c) const {
        for (auto [low, high] : ranges) {
            if ((c >= low && c <= high) || (fold(c) >= fold(low) && fold(c) <= fold(high)))
                return true;
        }
        return false;
    }
};

namespace {

// Reads a set that starts after the "[" at `at`; returns false when the "]" never comes.
bool readSet(const QList<uint>& pattern, qsizetype& at, Element& set) {
    qsizetype i = at + 1;
    set.kind = Element::Set;
    if (i < pattern.size() && pattern[i] == u'!') {
        set.negated = true;
        ++i;
    }
    for (; i < pattern.size() && pattern[i] != u']'; ++i) {
        const char32_t low = pattern[i];
        if (i + 2 < pattern.size() && pattern[i + 1] == u'-' && pattern[i + 2] != u']') {
            set.ranges.emplace_back(low, pattern[i + 2]);
            i += 2;
        } else {
            set.ranges.emplace_back(low, low);
        }
    }
    if (i >= pattern.size())
        return false;
    at = i;
    return true;
}

std::vector<Element> parse(QStringView patternText) {
    const QList<uint> pattern = patternText.toUcs4();
    std::vector<Element> elements;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        Element e;
        switch (pattern[i]) {
        case u'*':
            e.kind = Element::AnyRun;
            break;
        case u'?':
            e.kind = Element::AnyOne;
            break;
        case u'#':
            e.kind = Element::Digit;
            break;
        case u'[':
            if (!readSet(pattern, i, e))
                e = Element{Element::Literal, u'[', false, {}};
            break;
        default:
            e.literal = pattern[i];
        }
        elements.push_back(std::move(e));
    }
    return elements;
}

// Greedy walk that returns to the last * when a later element fails: linear in practice, never exponential.
bool walk(const std::vector<Element>& pattern, const QVarLengthArray<char32_t, 256>& value) {
    size_t p = 0;
    qsizetype v = 0;
    size_t starAt = pattern.size();
    qsizetype starValue = 0;
    while (v < value.size()) {
        if (p < pattern.size() && pattern[p].kind == Element::AnyRun) {
            starAt = p++;
            starValue = v;
        } else if (p < pattern.size() && pattern[p].matches(value[v])) {
            ++p;
            ++v;
        } else if (starAt < pattern.size()) {
            p = starAt + 1;
            v = ++starValue;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p].kind == Element::AnyRun)
        ++p;
    return p == pattern.size();
}

} // namespace

bool likeMatch(QStringView pattern, QStringView value) {
    return LikePattern(pattern).matches(value);
}

LikePattern::LikePattern(QStringView pattern) : elements_(parse(pattern)) {
    const bool searchesText = elements_.size() > 2 && elements_.front().kind == Element::AnyRun &&
                              elements_.back().kind == Element::AnyRun &&
                              std::all_of(elements_.begin() + 1, elements_.end() - 1,
                                          [](const Element& e) { return e.kind == Element::Literal; });
    if (!searchesText)
        return;
    bool bytesSuffice = true;
    for (auto e = elements_.begin() + 1; e != elements_.end() - 1; ++e) {
        contained_.append(QChar::fromUcs4(e->literal));
        bytesSuffice = bytesSuffice && searchableAsBytes(e->literal);
    }
    for (char byte : contained_.toUtf8())
        containedBytes_.append(asciiLower(byte));
    kind_ = bytesSuffice ? Kind::ContainsBytes : Kind::Contains;
}

LikePattern::~LikePattern() = default;

bool LikePattern::matches(QStringView value) const {
    if (kind_ != Kind::General)
        return value.contains(contained_, Qt::CaseInsensitive);
    QVarLengthArray<char32_t, 256> codePoints;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i].isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            codePoints.append(QChar::surrogateToUcs4(value[i], value[i + 1]));
            ++i;
        } else {
            codePoints.append(value[i].unicode());
        }
    }
    return walk(elements_, codePoints);
}

bool LikePattern::matches(QByteArrayView utf8) const {
    if (kind_ == Kind::ContainsBytes) {
        // Bytes of characters beyond ASCII are never those of ASCII letters, so lowering ASCII is all the folding
        // the bytes need ...
        if (std::search(utf8.begin(), utf8.end(), containedBytes_.begin(), containedBytes_.end(),
                        [](char value, char searched) { return asciiLower(value) == searched; }) != utf8.end())
            return true;
        // ... but for the few characters beyond ASCII that fold onto an ASCII letter, which a name seldom holds.
        const std::bitset<256>& rare = folding().ontoAsciiFirstBytes;
        if (std::none_of(utf8.begin(), utf8.end(),
                         [&](char byte) { return rare.test(static_cast<unsigned char>(byte)); }))
            return false;
    }
    // Decoded onto the stack: a search may decode every station's name, and a heap copy each time would cost more
    // than the match.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QVarLengthArray<QChar, 256> text(decoder.requiredSpace(utf8.size()));
    const QChar* end = decoder.appendToBuffer(text.data(), utf8);
    return matches(QStringView(text.data(), end));
}
