#include "tests/support/WebServer.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

const QString CertificateFile = QStringLiteral(VIMARO_TEST_CERTIFICATES "/localhost.crt");
const QString KeyFile = QStringLiteral(VIMARO_TEST_CERTIFICATES "/localhost.key");

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

std::unique_ptr<QTcpServer> listener(bool tls) {
    if (!tls)
        return std::make_unique<QTcpServer>();
    auto server = std::make_unique<QSslServer>();
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(readFile(CertificateFile)));
    configuration.setPrivateKey(QSslKey(readFile(KeyFile), QSsl::Ec));
    server->setSslConfiguration(configuration);
    return server;
}

QByteArray httpDate(const QDateTime& time) {
    return QLocale::c().toString(time.toUTC(), u"ddd, dd MMM yyyy hh:mm:ss 'GMT'"_s).toLatin1();
}

} // namespace

WebServer::WebServer(Answer answer, bool tls) : answer_(std::move(answer)), server_(listener(tls)) {
    // Emitted once a connection is ready to use, after the handshake on a TLS server.
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, request = QByteArray()]() mutable {
                request += socket->readAll();
                if (request.contains("\r\n\r\n"))
                    serve(*socket, std::exchange(request, {}));
            });
        }
    });
    if (!server_->listen(QHostAddress::LocalHost))
        qFatal("cannot listen on 127.0.0.1: %s", qPrintable(server_->errorString()));
}

WebServer::~WebServer() = default;

QUrl WebServer::address(const QString& path) const {
    const bool tls = qobject_cast<QSslServer*>(server_.get()) != nullptr;
    return QUrl(u"%1://127.0.0.1:%2%3"_s.arg(tls ? u"https"_s : u"http"_s).arg(server_->serverPort()).arg(path));
}

void WebServer::trustCertificate() {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificates(QSslCertificate::fromData(readFile(CertificateFile)));
    QSslConfiguration::setDefaultConfiguration(configuration);
}

QByteArray WebServer::answer(const QByteArray& status, const QByteArray& body, const QByteArray& headers) {
    return "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

WebServer::Answer WebServer::files(std::function<std::optional<QByteArray>(const QByteArray& path)> content) {
    return
        [content, firstServed = QHash<QByteArray, QDateTime>(), latest = QDateTime()](const Request& request) mutable {
            const std::optional<QByteArray> body = content(request.path);
            if (!body)
                return answer("404 Not Found", "not here");
            const QByteArray tag = '"' + QCryptographicHash::hash(*body, QCryptographicHash::Sha1).toHex() + '"';
            // HTTP dates count whole seconds: each new body is made at least a second younger than the one before.
            QDateTime& since = firstServed[tag];
            if (!since.isValid()) {
                const QDateTime now = QDateTime::currentDateTimeUtc();
                latest = latest.isValid() && latest.addSecs(1) > now ? latest.addSecs(1) : now;
                since = latest;
            }
            const QByteArray modified = httpDate(since);
            // As HTTP has it, a request that names an ETag is judged by that alone.
            const bool same = request.headers.contains("if-none-match")
                                  ? request.headers.value("if-none-match") == tag
                                  : request.headers.value("if-modified-since") == modified;
            if (same)
                return answer("304 Not Modified", {}, "ETag: " + tag + "\r\n");
            return answer("200 OK", *body, "ETag: " + tag + "\r\nLast-Modified: " + modified + "\r\n");
        };
}

void WebServer::serve(QTcpSocket& socket, const QByteArray& request) {
    const QList<QByteArray> lines = request.split('\n');
    const QByteArray target = lines.value(0).split(' ').value(1);
    const qsizetype question = target.indexOf('?');
    Request parsed{target.first(question < 0 ? target.size() : question),
                   question < 0 ? QByteArray() : target.sliced(question + 1),
                   {}};
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            parsed.headers.insert(line.first(colon).trimmed().toLower(), line.sliced(colon + 1).trimmed());
    }
    ++requests_;
    const QByteArray bytes = answer_(parsed);
    if (bytes.isEmpty())
        return;
    socket.write(bytes);
    socket.disconnectFromHost();
}
