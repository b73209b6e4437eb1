#pragma once

#include <QStringView>

// The catalogue's "like": * any run of characters, ? one character, # one digit, [abc] [a-z] one of a set,
// [!abc] one character not in it; letters compare without regard to case. A "[" that is never closed stands
// for itself. Characters count as whole code points, so one ? matches one Chinese character.
bool likeMatch(QStringView pattern, QStringView value);
