#include "desktop/StationLaunch.h"

#include "desktop/Launch.h"
#include "desktop/ProgramDir.h"
#include "desktop/Shell.h"

#include <QStandardPaths>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// The desktop's default handler, found once: the program's PATH does not change while it runs.
QString desktopHandler() {
    static const QString found = QStandardPaths::findExecutable(u"xdg-open"_s);
    return found.isEmpty() ? u"/usr/bin/xdg-open"_s : found;
}

// The player a stream goes to; none for a page, or where no player is known.
std::optional<Players::Player> playerFor(const QUrl& url, const StationRoute& route) {
    const QString type = streamType(url, route.hints);
    if (type.isEmpty())
        return std::nullopt;
    return route.chosen ? route.chosen : Players::defaultFor(type);
}

QString failureText(const std::optional<Players::Player>& player, const QString& station, const QString& why) {
    if (player)
        return u"无法播放“%1”：播放器 %2 %3。\n请检查电台的网址是否仍然有效，或用命令 vimaro player 选择另一个播放器。"_s
            .arg(station, player->name, why);
    return u"无法播放“%1”：桌面的默认程序（xdg-open）%2。\n请安装网页浏览器或媒体播放器（如 mpv、VLC），"
           "再用命令 vimaro player 选择播放器。"_s.arg(station, why);
}

} // namespace

bool playStation(Teller later, const QVariant& address, const StationRoute& route, std::function<void()> played) {
    const QString text = address.isNull() ? QString() : address.toString().trimmed();
    if (text.isEmpty()) {
        ask(u"这个电台没有网址，无法播放。"_s);
        return false;
    }
    if (!isPlayable(text)) {
        ask(u"这个电台的网址“%1”不是可以播放的网络地址（应以 http:// 等开头），无法播放。"_s.arg(addressForBox(text)));
        return false;
    }
    const QUrl url(text);
    // Programs receive the address percent-encoded, as the desktop's handler always has.
    const QString encoded = QString::fromLatin1(url.toEncoded());
    const std::optional<Players::Player> player = playerFor(url, route);
    const HandOff handOff{player ? playerArguments(*player, encoded, route.headers)
                                 : QStringList{desktopHandler(), encoded},
                          text, programDir()};
    const QString station = route.name.isEmpty() ? addressForBox(text) : route.name;
    const bool started = launch(handOff, [later = std::move(later), player, station,
                                          played = std::move(played)](const std::optional<QString>& failure) {
        if (failure)
            later(failureText(player, station, *failure));
        else
            played();
    });
    if (!started) {
        if (player)
            ask(failureText(player, station, u"无法启动"_s));
        else
            handedOn(0, text);
    }
    return started;
}
