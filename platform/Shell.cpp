#include "platform/Shell.h"

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
