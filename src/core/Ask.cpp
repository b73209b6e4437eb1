#include "core/Ask.h"

#include <cstdio>

namespace {

Asker& asker() {
    static Asker current;
    return current;
}

} // namespace

void answerQuestionsWith(Asker asker) {
    ::asker() = std::move(asker);
}

MsgBoxResult ask(const QString& prompt, MsgBoxButtons buttons, const QString& title) {
    if (asker())
        return asker()(prompt, buttons, title);
    std::fprintf(stderr, "vimaro: %s\n", qPrintable(prompt));
    switch (buttons) {
    case vbAbortRetryIgnore:
        return vbAbort;
    case vbYesNo:
        return vbNo;
    case vbOKOnly:
        break;
    }
    return vbOK;
}
