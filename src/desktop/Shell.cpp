#include "desktop/Shell.h"

#include "core/Ask.h"

#include <QStringList>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QStringList playableSchemes{u"http"_s,  u"https"_s, u"mms"_s,   u"mmsh"_s,  u"mmst"_s,  u"mmsu"_s, u"rtsp"_s,
                                  u"rtsps"_s, u"rtmp"_s,  u"rtmps"_s, u"rtmpe"_s, u"rtmpt"_s, u"rtp"_s,  u"srt"_s};

} // namespace

bool isPlayable(const QString& address) {
    const QUrl url(address);
    return url.isValid() && playableSchemes.contains(url.scheme()) && !url.host().isEmpty();
}

bool handedOn(long shellResult, const QString& address) {
    if (shellResult > 32)
        return true;
    ask(u"无法打开“%1”：桌面没有接受这个网址（可能没有安装 xdg-open，或网址太长）。"_s.arg(addressForBox(address)));
    return false;
}

QString addressForBox(const QString& address) {
    constexpr qsizetype shown = 100;
    return address.size() > shown ? address.left(shown) + u'…' : address;
}
