#pragma once

#include <QString>
#include <QStringView>

// Characters a reader never sees that still change what is shown or what a terminal does: control characters (C0
// and C1), format characters (bidirectional overrides such as U+202E, zero-width spaces such as U+200B) and the
// line and paragraph separators.
bool isHidden(char32_t character);

// `text` without them, but for tabs, which every playlist format carries as blanks: a name from outside as the
// catalogue stores it.
QString withoutHidden(QStringView text);

// `text` with each of them written as an escape, \x1B, \u202E or \U000E0001, so that printed text shows them.
QString withHiddenEscaped(QStringView text);
