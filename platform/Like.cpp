#include "platform/Like.h"

#include <QChar>
#include <QList>
#include <QSet>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

char32_t fold(char32_t c) {
    return QChar::toCaseFolded(c);
}

// Whether case folding turns some other character into this one (k for the Kelvin sign, ß for capital ẞ ...).
bool isFoldTarget(char32_t c) {
    static const QSet<char32_t> targets = [] {
        QSet<char32_t> found;
        for (char32_t each = 0; each <= QChar::LastValidCodePoint; ++each) {
            if (const char32_t folded = fold(each); folded != each)
                found.insert(folded);
        }
        return found;
    }();
    return targets.contains(c);
}

// A character that matches itself and nothing else, whatever the case: its bytes can be looked for as they are.
bool caseless(char32_t c) {
    return fold(c) == c && !isFoldTarget(c);
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
        bytesSuffice = bytesSuffice && caseless(e->literal);
    }
    containedUtf8_ = contained_.toUtf8();
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
    if (kind_ == Kind::ContainsBytes)
        return utf8.contains(containedUtf8_);
    // Decoded onto the stack: a search decodes every station's name, and a heap copy each time would cost more
    // than the match.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QVarLengthArray<QChar, 256> text(decoder.requiredSpace(utf8.size()));
    const QChar* end = decoder.appendToBuffer(text.data(), utf8);
    return matches(QStringView(text.data(), end));
}
