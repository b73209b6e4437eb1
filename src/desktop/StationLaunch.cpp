#include "desktop/StationLaunch.h"

#include "desktop/ProgramDir.h"
#include "desktop/Shell.h"
#include "runtime/Module1.h"
#include "runtime/MsgBox.h"

using namespace Qt::StringLiterals;

bool playStation(QWidget& owner, const QVariant& address) {
    const QString text = address.isNull() ? QString() : address.toString().trimmed();
    if (text.isEmpty()) {
        MsgBox(u"这个电台没有网址，无法播放。"_s);
        return false;
    }
    if (!isPlayable(text)) {
        MsgBox(
            u"这个电台的网址“%1”不是可以播放的网络地址（应以 http:// 等开头），无法播放。"_s.arg(addressForBox(text)));
        return false;
    }
    return handedOn(Module1::ShellExecuteA(&owner, u"Open"_s, text, u""_s, programDir(), Module1::SW_SHOWNORMAL), text);
}
