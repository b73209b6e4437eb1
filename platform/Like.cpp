#include "platform/Like.h"

#include <QChar>
#include <QList>
#include <utility>
#include <vector>

namespace {

char32_t fold(char32_t c) {
    return QChar::toCaseFolded(c);
}

// One pattern element that stands for exactly one character, or a * that stands for any run.
struct Element {
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

} // namespace

bool likeMatch(QStringView patternText, QStringView valueText) {
    const std::vector<Element> pattern = parse(patternText);
    const QList<uint> value = valueText.toUcs4();

    // Greedy walk that returns to the last * when a later element fails: linear in practice, never exponential.
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
