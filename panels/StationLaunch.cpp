#include "panels/StationLaunch.h"

#include "platform/Module1.h"
#include "platform/MsgBox.h"
#include "platform/ProgramDir.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// What the desktop's handler may open for a station: web pages and the usual streaming protocols. A stored
// address must never make the shell open a local file or start a program.
const QStringList playableSchemes{u"http"_s,  u"https"_s, u"mms"_s,   u"mmsh"_s,  u"mmst"_s,  u"mmsu"_s, u"rtsp"_s,
                                  u"rtsps"_s, u"rtmp"_s,  u"rtmps"_s, u"rtmpe"_s, u"rtmpt"_s, u"rtp"_s,  u"srt"_s};

bool isPlayable(const QString& address) {
    const QUrl url(address);
    return url.isValid() && playableSchemes.contains(url.scheme()) && !url.host().isEmpty();
}

} // namespace

void playStation(QWidget& owner, const QVariant& address) {
    const QString text = address.isNull() ? QString() : address.toString().trimmed();
    if (text.isEmpty())
        MsgBox(u"这个电台没有网址，无法播放。"_s);
    else if (!isPlayable(text))
        MsgBox(u"这个电台的网址“%1”不是可以播放的网络地址（应以 http:// 等开头），无法播放。"_s.arg(text));
    else
        Module1::ShellExecuteA(&owner, u"Open"_s, text, u""_s, programDir(), Module1::SW_SHOWNORMAL);
}
