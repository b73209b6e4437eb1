#include "windows/forms/InternetTexts.h"

using namespace Qt::StringLiterals;
using Internet::FetchError;

namespace {

// At most this many stations are named in a report; the count says the rest.
constexpr std::size_t NamedAtMost = 10;

QString ago(const QDateTime& then, const QDateTime& now) {
    const qint64 days = then.daysTo(now);
    if (days >= 1)
        return u"%1 天前"_s.arg(days);
    const qint64 hours = then.secsTo(now) / 3600;
    return hours >= 1 ? u"%1 小时前"_s.arg(hours) : u"刚才"_s;
}

template <typename Item, typename Describe>
QString named(const QString& heading, const Playlists::Listed<Item>& items, Describe describe) {
    if (items.count == 0)
        return {};
    QString text = heading.arg(items.count);
    const std::size_t shown = std::min(items.first.size(), NamedAtMost);
    for (std::size_t i = 0; i < shown; ++i)
        text += u"\n  "_s + describe(items.first[i]);
    if (items.count > static_cast<qint64>(shown))
        text += u"\n  ……还有 %1 个"_s.arg(items.count - static_cast<qint64>(shown));
    return text + u'\n';
}

} // namespace

QString whyNot(const FetchError& error) {
    switch (error.kind()) {
    case FetchError::Kind::Certificate:
        return u"服务器的证书不可信"_s;
    case FetchError::Kind::Status:
        return u"服务器拒绝了"_s;
    case FetchError::Kind::TooLarge:
        return u"文件太大"_s;
    case FetchError::Kind::TimedOut:
        return u"超时"_s;
    case FetchError::Kind::Redirects:
        return u"转向太多，或转向的不是网址"_s;
    case FetchError::Kind::NotAPlaylist:
        return u"那里没有电台列表"_s;
    default:
        return u"连不上"_s;
    }
}

QString importSummary(const Playlists::ImportReport& report) {
    QString text = u"增加了 %1 个电台"_s.arg(report.added);
    if (report.willNotPlay.count > 0)
        text += u"（其中 %1 个的网址无法播放）"_s.arg(report.willNotPlay.count);
    text += u"，%1 个原来就有"_s.arg(report.alreadyPresent);
    if (report.unreadable.count > 0)
        text += u"，%1 行读不懂"_s.arg(report.unreadable.count);
    if (!report.hidden.empty()) {
        QStringList categories;
        for (const auto& [category, count] : report.hidden)
            categories.append(u"%1（%2 个）"_s.arg(category).arg(count));
        text += u"。这些类别不在任何面板或快速选台里，面板上看不到它们的电台：%1"_s.arg(categories.join(u"，"_s));
    }
    return text + u"。"_s;
}

QString updateDetails(const Subscriptions::Report& report) {
    const auto station = [](const Catalogue::Station& s) { return u"%1（%2）"_s.arg(s.name, s.category); };
    return Subscriptions::summary(report) + u"\n"_s +
           named(u"保留了你的修改（列表改了这些电台）：%1 个"_s, report.keptEdits,
                 [&](const Subscriptions::Difference& d) { return station(d.catalogue); }) +
           named(u"已不在列表中，仍然保留：%1 个"_s, report.gone,
                 [&](const Subscriptions::Gone& gone) { return station(gone.station); });
}

QColor deadLineColour() {
    return {0x80, 0x80, 0x80};
}

QString deadMark(const HealthTable::Entry& finding, const QDateTime& now) {
    return u"上次检查：%1（%2）"_s.arg(Verdicts::label(finding.finding.verdict), ago(finding.time, now));
}
