#include "internet/GuideUpdate.h"

#include "catalogue/StationAttributes.h"

#include <QCoreApplication>

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
        Guide::recordUpdate(
            catalogue, source,
            QCoreApplication::translate("Internet", "refused: %1").arg(QString::fromUtf8(error.what())));
        throw Guide::GuideError(QCoreApplication::translate("Internet", "%1: %2; its previous guide is kept")
                                    .arg(source.address, QString::fromUtf8(error.what())));
    }
}

QStringList guidesNamed(const Catalogue::Attributes& listAttributes) {
    QStringList addresses;
    for (const QStringView name : {u"url-tvg", u"x-tvg-url"}) {
        const QString named =
            Catalogue::valueOf(listAttributes, Catalogue::AttributeSource::M3uList, name).value_or(QString());
        for (const QString& address : named.split(u',', Qt::SkipEmptyParts)) {
            if (isWebAddress(address) && !addresses.contains(address.trimmed()))
                addresses.append(address.trimmed());
        }
    }
    return addresses;
}

} // namespace Internet
