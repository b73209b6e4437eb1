#include "tests/support/MsgBoxScript.h"

// More boxes than this in one test means a box that never ends; stop answering it with Retry-like defaults.
constexpr int runawayBoxes = 100;

MsgBoxScript::MsgBoxScript() {
    answerQuestionsWith(MsgBox);
    msgBoxSeam.replace([this](const QString& prompt, MsgBoxButtons buttons, const QString& title) {
        boxes_.append({prompt, buttons, title});
        if (!answers_.isEmpty() && boxes_.size() < runawayBoxes)
            return answers_.takeFirst();
        return buttons == vbAbortRetryIgnore ? vbAbort : buttons == vbYesNo ? vbYes : vbOK;
    });
}

MsgBoxScript::~MsgBoxScript() {
    msgBoxSeam.restore();
    answerQuestionsWith({});
}

QStringList MsgBoxScript::prompts() const {
    QStringList result;
    for (const Box& box : boxes_)
        result.append(box.prompt);
    return result;
}
