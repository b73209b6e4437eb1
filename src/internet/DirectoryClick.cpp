#include "internet/DirectoryClick.h"

#include "internet/Directory.h"

#include <QDnsLookup>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace Directory {

namespace {

// One click: finds a server, asks it once, and deletes itself when done or when its time is up.
class Click : public QObject {
public:
    explicit Click(QString uuid) : uuid_(std::move(uuid)) {
        QTimer::singleShot(ClickTimeoutMs, this, &QObject::deleteLater);
        if (const QList<QUrl> servers = asServers(serversInEnvironment()).value_or(QList<QUrl>()); !servers.isEmpty())
            ask(servers);
        else
            lookUp();
    }

private:
    void lookUp() {
        auto* lookup = new QDnsLookup(QDnsLookup::SRV, ServiceName, this);
        connect(lookup, &QDnsLookup::finished, this, [this, lookup] {
            QList<QUrl> servers;
            for (const QDnsServiceRecord& record : lookup->serviceRecords()) {
                QUrl server(u"https://"_s + record.target().chopped(record.target().endsWith(u'.') ? 1 : 0));
                if (record.port() != 443)
                    server.setPort(record.port());
                servers.append(server);
            }
            ask(servers);
        });
        lookup->lookup();
    }

    void ask(const QList<QUrl>& servers) {
        if (servers.isEmpty())
            return deleteLater();
        QUrl address = servers.at(QRandomGenerator::global()->bounded(servers.size()));
        address.setPath(address.path() + u"/json/url/"_s + QString::fromLatin1(QUrl::toPercentEncoding(uuid_)));
        QNetworkRequest request(address);
        request.setHeader(QNetworkRequest::UserAgentHeader, Internet::userAgent());
        request.setTransferTimeout(ClickTimeoutMs);
        QNetworkReply* reply = network_.get(request);
        // Only the request counts; the answer (the station's address again) is not needed.
        connect(reply, &QNetworkReply::finished, this, &QObject::deleteLater);
    }

    QString uuid_;
    QNetworkAccessManager network_;
};

} // namespace

void tellPlayed(const QString& stationUuid) {
    new Click(stationUuid);
}

} // namespace Directory
