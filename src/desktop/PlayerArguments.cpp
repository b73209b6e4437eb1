#include "desktop/PlayerArguments.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using Players::Family;

namespace {

struct Options {
    QStringList before; // in front of the address
    QStringList after;  // behind it: VLC takes an item's options there
};

Options headerOptions(Family family, const QString& userAgent, const QString& referrer) {
    Options options;
    switch (family) {
    case Family::Mpv:
    case Family::Celluloid: {
        const QString prefix = family == Family::Mpv ? u"--"_s : u"--mpv-"_s;
        if (!userAgent.isEmpty())
            options.before << prefix + u"user-agent="_s + userAgent;
        if (!referrer.isEmpty())
            options.before << prefix + u"referrer="_s + referrer;
        break;
    }
    case Family::Vlc:
        if (!userAgent.isEmpty())
            options.after << u":http-user-agent="_s + userAgent;
        if (!referrer.isEmpty())
            options.after << u":http-referrer="_s + referrer;
        break;
    case Family::Ffplay:
        if (!userAgent.isEmpty())
            options.before << u"-user_agent"_s << userAgent;
        if (!referrer.isEmpty())
            options.before << u"-headers"_s << u"Referer: "_s + referrer + u"\r\n"_s;
        break;
    case Family::Other:
        break;
    }
    return options;
}

} // namespace

bool acceptableHeader(const QString& value) {
    return value.size() <= MaxHeaderLength &&
           std::ranges::all_of(value, [](QChar c) { return c.isPrint() && c != u'\u2028' && c != u'\u2029'; });
}

QStringList playerArguments(const Players::Player& player, const QString& address, const StationHeaders& headers) {
    const auto checked = [](const QString& value) { return acceptableHeader(value) ? value : QString(); };
    const Options options = headerOptions(player.family, checked(headers.userAgent), checked(headers.referrer));
    // Options go in front of the address, or in front of a "--" that ends them, as in mpv's own desktop file.
    qsizetype optionsAt = player.command.indexOf(u"--"_s);
    if (optionsAt < 0)
        optionsAt = player.command.indexOf(u"%U"_s);
    QStringList arguments;
    for (qsizetype i = 0; i < player.command.size(); ++i) {
        if (i == optionsAt)
            arguments << options.before;
        if (player.command[i] == u"%U"_s)
            arguments << address << options.after;
        else
            arguments << player.command[i];
    }
    return arguments;
}
