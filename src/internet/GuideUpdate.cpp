#include "internet/GuideUpdate.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace Internet {

std::optional<Guide::ImportReport> updateGuide(Database& catalogue, const Guide::Source& source, const QDateTime& now,
                                               const Fetch& fetch) {
    Request request;
    request.address = QUrl(source.address);
    request.etag = source.etag;
    request.lastModified = source.lastModified;
    request.maxBytes = Guide::MaxSentBytes;
    request.timeout = std::chrono::seconds(Guide::SilenceSeconds);
    request.timeoutIsSilence = true;
    std::optional<Guide::Import> import;
    import.emplace(catalogue, source, now);
    request.sink = [&](QByteArrayView bytes) { import->feed(bytes); };
    try {
        const Answer answer = fetch(request);
        if (answer.notModified)
            return std::nullopt;
        return import->finish({answer.etag, answer.lastModified});
    } catch (const Guide::GuideError& error) {
        import.reset();
        Guide::recordUpdate(catalogue, source, u"refused: %1"_s.arg(QString::fromUtf8(error.what())));
        throw Guide::GuideError(
            u"%1: %2; its previous guide is kept"_s.arg(source.address, QString::fromUtf8(error.what())));
    }
}

QStringList guidesNamed(const QByteArray& playlist) {
    const qsizetype end = playlist.indexOf('\n');
    const QString header = QString::fromUtf8(playlist.first(end < 0 ? playlist.size() : end)).trimmed();
    if (!header.startsWith(u"#EXTM3U"_s))
        return {};
    static const QRegularExpression named(uR"re((?:url-tvg|x-tvg-url)\s*=\s*"([^"]*)")re"_s);
    QStringList addresses;
    for (auto found = named.globalMatch(header); found.hasNext();) {
        for (const QString& address : found.next().captured(1).split(u',', Qt::SkipEmptyParts)) {
            if (isWebAddress(address) && !addresses.contains(address.trimmed()))
                addresses.append(address.trimmed());
        }
    }
    return addresses;
}

} // namespace Internet
