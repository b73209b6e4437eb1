#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class QTcpServer;
class QTcpSocket;

// A web server on 127.0.0.1 for the tests and benchmarks, which answers each request with the test's own function,
// and stops with its owner. With `tls` it speaks HTTPS with a self-signed certificate for localhost and 127.0.0.1,
// which no system trusts unless a test says so with trustCertificate().
class WebServer : public QObject {
public:
    struct Request {
        QByteArray path; // without the query
        QByteArray query;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };
    // The whole answer, head and body; an empty one is no answer at all, as from a server that hangs.
    using Answer = std::function<QByteArray(const Request&)>;

    explicit WebServer(Answer answer, bool tls = false);
    ~WebServer() override;

    QUrl address(const QString& path = QStringLiteral("/")) const;
    // The requests answered so far.
    int requests() const { return requests_; }

    // Adds the server's certificate to what this process trusts, until the test resets the default configuration.
    static void trustCertificate();

    // An answer with the given status line ("200 OK") and body.
    static QByteArray answer(const QByteArray& status, const QByteArray& body, const QByteArray& headers = {});

    // Files as a web server serves them: the body `content` gives for a path (nothing: 404), with an ETag and the
    // time the content was first served as Last-Modified, and 304 Not Modified to a request that names either.
    static Answer files(std::function<std::optional<QByteArray>(const QByteArray& path)> content);

private:
    void serve(QTcpSocket& socket, const QByteArray& request);

    Answer answer_;
    std::unique_ptr<QTcpServer> server_;
    int requests_ = 0;
};
