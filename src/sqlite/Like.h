#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <vector>

// The catalogue's "like": * any run of characters, ? one character, # one digit, [abc] [a-z] one of a set,
// [!abc] one character not in it; letters compare without regard to case. A "[" that is never closed stands
// for itself. Characters count as whole code points, so one ? matches one Chinese character.
bool likeMatch(QStringView pattern, QStringView value);

// A pattern read once and matched against many values, as a name search matches every station of the catalogue.
// The search for part of a name, "*" + text + "*" with no other pattern character, skips the general walk: it
// looks for the text itself, and where case is only a matter of ASCII letters (text of Chinese, Latin letters,
// digits, blanks ...) it looks for its bytes without even decoding the value.
class LikePattern {
public:
    explicit LikePattern(QStringView pattern);
    ~LikePattern();
    LikePattern(const LikePattern&) = delete;
    LikePattern& operator=(const LikePattern&) = delete;

    bool matches(QStringView value) const;
    // A value as the catalogue stores it, in UTF-8.
    bool matches(QByteArrayView utf8) const;

    struct Element;

private:
    enum class Kind { General, Contains, ContainsBytes };

    Kind kind_ = Kind::General;
    std::vector<Element> elements_;
    QString contained_;
    // The searched text in UTF-8 with ASCII letters in lower case.
    QByteArray containedBytes_;
};
