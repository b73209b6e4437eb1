#pragma once

class QLocale;

// Qt's own texts (the standard buttons of the message boxes, the command line's "Usage:") and the program's own (the
// commands' texts, the update summary) in Chinese when `locale` is a Chinese one; otherwise the English they are
// written in. The windows ask for Chinese whatever the user's locale, as their interface is Chinese; the commands
// speak the user's language.
void loadTranslations(const QLocale& locale);
