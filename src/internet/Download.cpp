#include "internet/Download.h"

#include "health/Answer.h"
#include "health/Content.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QSslSocket>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace Internet {

namespace {

// Enough of the body to tell a playlist from a stream or a page, as a player tells them.
constexpr qsizetype SniffBytes = 512;
// The head of the body that is kept: an HLS playlist names what it is in its first lines.
constexpr qsizetype HeadBytes = 4096;
// What the connection holds of a body before the download has taken it: without a bound, a fast server fills
// memory faster than the limit is checked.
constexpr qint64 ReadBufferBytes = 256 * 1024;
constexpr qint64 ReadChunk = 64 * 1024;
// A validator longer than this, or holding anything but printable ASCII, is not worth keeping or sending back.
constexpr qsizetype MaxValidatorBytes = 256;

QByteArray validator(const QByteArray& header) {
    QByteArray value = header.trimmed();
    if (value.size() > MaxValidatorBytes)
        return {};
    for (const char c : value) {
        if (c < 0x20 || c > 0x7E)
            return {};
    }
    return value;
}

QString size(qint64 bytes) {
    return QLocale::c().formattedDataSize(bytes, 1);
}

// The playlist of one HLS station (its media segments, or its variants) plays as that station; it lists no
// stations of its own.
bool isHlsStation(const QByteArray& body) {
    return body.contains("#EXT-X-TARGETDURATION") || body.contains("#EXT-X-STREAM-INF") ||
           body.contains("#EXT-X-MEDIA-SEQUENCE");
}

} // namespace

// The station check's reader of answers, by a name that the header need not make known to all its includers.
struct Download::Reading : ::Answer {
    using ::Answer::Answer;
};

QByteArray userAgent() {
    return QByteArrayLiteral("vimaro/" VIMARO_VERSION);
}

bool isWebAddress(const QString& text) {
    // One address alone: a blank inside is text around it, or several addresses.
    const QString trimmed = text.trimmed();
    if (std::any_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isSpace(); }))
        return false;
    const QUrl address(trimmed);
    const QString scheme = address.scheme().toLower();
    return address.isValid() && (scheme == u"http"_s || scheme == u"https"_s) && !address.host().isEmpty();
}

Download::Download(QNetworkAccessManager& network, Request request, QObject* parent)
    : QObject(parent), network_(network), request_(std::move(request)) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        fail(FetchError::Kind::TimedOut,
             (request_.timeoutIsSilence ? QCoreApplication::translate("Internet", "no bytes for %1 s")
                                        : QCoreApplication::translate("Internet", "no whole answer within %1 s"))
                 .arg(std::chrono::duration<double>(request_.timeout).count()));
    });
}

Download::~Download() {
    dropConnection();
}

Answer Download::run() {
    QEventLoop loop;
    connect(this, &Download::finished, &loop, &QEventLoop::quit);
    deadline_.start(request_.timeout);
    // Started from the loop, so that even a failure found at once ends a loop that is running.
    QTimer::singleShot(0, this, [this] { get(request_.address); });
    loop.exec();
    if (sinkError_)
        std::rethrow_exception(sinkError_);
    if (error_)
        throw *error_;
    return answer_;
}

void Download::cancel() {
    fail(FetchError::Kind::Cancelled, u"cancelled"_s);
}

void Download::get(const QUrl& address) {
    current_ = address;
    answered_ = false;
    judged_ = false;
    answer_ = {address, false, {}, 0, {}, {}};
    head_.clear();
    reading_ = std::make_unique<Reading>([this](QByteArrayView bytes) { return pour(bytes); });
    connectTo(address);
}

// TLS only where asked for: a plain download loads no TLS library.
void Download::connectTo(const QUrl& address) {
    const bool tls = address.scheme().toLower() == u"https"_s;
    QSslSocket* tlsSocket = tls ? new QSslSocket(this) : nullptr;
    socket_ = tls ? tlsSocket : new QTcpSocket(this);
    socket_->setProxy(network_.proxy());
    socket_->setReadBufferSize(ReadBufferBytes);
    connect(socket_, &QTcpSocket::readyRead, this, &Download::readAnswer);
    connect(socket_, &QTcpSocket::errorOccurred, this, &Download::socketFailed);
    const QString host = address.host(QUrl::FullyEncoded);
    if (!tls) {
        connect(socket_, &QTcpSocket::connected, this, &Download::ask);
        return socket_->connectToHost(host, static_cast<quint16>(address.port(80)));
    }
    connect(tlsSocket, &QSslSocket::encrypted, this, &Download::ask);
    connect(tlsSocket, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
        for (const QSslError& error : errors)
            certificateErrors_.append(error.errorString());
    });
    tlsSocket->connectToHostEncrypted(host, static_cast<quint16>(address.port(443)));
}

// The server may send a compressed body: the reader of answers unpacks it, in bounded steps.
void Download::ask() {
    QByteArray headers = "User-Agent: " + userAgent() + "\r\nAccept: */*\r\nAccept-Encoding: gzip, deflate\r\n";
    if (!request_.etag.isEmpty())
        headers += "If-None-Match: " + request_.etag + "\r\n";
    if (!request_.lastModified.isEmpty())
        headers += "If-Modified-Since: " + request_.lastModified + "\r\n";
    socket_->write(httpGet(current_, headers));
}

void Download::readAnswer() {
    ::Answer* reading = reading_.get();
    while (!done_ && reading_.get() == reading && socket_->bytesAvailable() > 0) {
        const QByteArray bytes = socket_->read(ReadChunk);
        if (request_.timeoutIsSilence)
            deadline_.start(request_.timeout);
        QByteArrayView rest(bytes);
        while (!rest.isEmpty() && !done_) {
            const qsizetype taken = reading->read(rest);
            rest = rest.sliced(taken);
            if (reading->fault() != ::Answer::Fault::None)
                return failReading(reading->problem());
            if (reading->headRead() && !answered_ && !readHead())
                return; // ended, or gone on to a redirect's target
            if (reading->bodyEnded())
                return readEnd();
            if (taken == 0)
                break;
        }
        Q_EMIT progress(answer_.size, qMax<qint64>(reading->header("content-length").toLongLong(), 0));
    }
}

// Judges the status and headers before any of the body is taken; false when the download ends here, or goes on
// at a redirect's target.
bool Download::readHead() {
    answered_ = true;
    const int code = reading_->status();
    const QString statusLine = u"HTTP %1 %2"_s.arg(code).arg(QString::fromLatin1(reading_->reason())).trimmed();
    // Not modified since what? Only a request that named the version it has can be told so.
    const bool asked = !request_.etag.isEmpty() || !request_.lastModified.isEmpty();
    if (code == 304 && asked) {
        answer_.notModified = true;
        finish();
        return false;
    }
    if (code >= 300 && code < 400 && code != 304) {
        redirect();
        return false;
    }
    if (code >= 300 || code < 200)
        fail(FetchError::Kind::Status, statusLine);
    // Never asked for: the program sends no range, and a body with no content is no list either.
    else if (code == 204)
        fail(FetchError::Kind::Status,
             statusLine + QCoreApplication::translate("Internet", ": the server sent nothing"));
    else if (code == 206)
        fail(FetchError::Kind::Status,
             statusLine + QCoreApplication::translate("Internet", ": the server sent a part of the file only"));
    else if (const qint64 length = reading_->header("content-length").toLongLong(); length > request_.maxBytes)
        fail(FetchError::Kind::TooLarge, QCoreApplication::translate("Internet", "%1 is larger than the limit of %2")
                                             .arg(size(length), size(request_.maxBytes)));
    if (done_)
        return false;
    answer_.etag = validator(reading_->header("etag"));
    answer_.lastModified = validator(reading_->header("last-modified"));
    if (!request_.playlist)
        return true;
    const QByteArray type = reading_->header("content-type");
    switch (Content::fromType(type, current_)) {
    case Content::Kind::Stream:
        fail(FetchError::Kind::NotAPlaylist,
             QCoreApplication::translate("Internet", "one audio or video stream (%1)").arg(QString::fromLatin1(type)));
        break;
    case Content::Kind::Page:
        fail(FetchError::Kind::NotAPlaylist,
             QCoreApplication::translate("Internet", "a web page (%1)").arg(QString::fromLatin1(type)));
        break;
    case Content::Kind::Dash:
        fail(FetchError::Kind::NotAPlaylist,
             QCoreApplication::translate("Internet", "the DASH manifest of one station"));
        break;
    default:
        break;
    }
    return !done_;
}

// The body's bytes as the reader of answers unpacks them; false once the download has ended.
bool Download::pour(QByteArrayView bytes) {
    take(bytes);
    if (request_.playlist && !done_)
        judgePlaylist(false);
    return !done_;
}

void Download::take(QByteArrayView bytes) {
    if (answer_.size + bytes.size() > request_.maxBytes)
        return fail(FetchError::Kind::TooLarge,
                    QCoreApplication::translate("Internet", "the answer is larger than the limit of %1")
                        .arg(size(request_.maxBytes)));
    answer_.size += bytes.size();
    head_ += bytes.first(std::min(bytes.size(), HeadBytes - head_.size()));
    if (request_.sink)
        give(bytes);
    else
        answer_.body += bytes;
}

void Download::give(QByteArrayView bytes) {
    try {
        request_.sink(bytes);
    } catch (...) {
        sinkError_ = std::current_exception();
        fail(FetchError::Kind::Cancelled, u"refused"_s);
    }
}

void Download::readEnd() {
    if (request_.playlist && !done_)
        judgePlaylist(true);
    finish();
}

// A body without a length ends with its connection; one with a length or chunks must have ended before.
void Download::closed() {
    const ::Answer* reading = reading_.get();
    readAnswer();
    if (done_ || reading_.get() != reading)
        return; // ended, or gone on to a redirect's target
    reading_->close();
    if (reading_->fault() != ::Answer::Fault::None)
        return failReading(reading_->problem());
    if (!reading_->cutShort().isEmpty())
        return failReading(reading_->cutShort());
    readEnd();
}

// A body that broke off or broke its framing is no whole body: never a shorter list.
void Download::failReading(const QString& problem) {
    fail(FetchError::Kind::Network,
         answered_ ? problem + QCoreApplication::translate("Internet", "; the download is incomplete") : problem);
}

void Download::socketFailed(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::RemoteHostClosedError:
        return closed();
    case QAbstractSocket::SslHandshakeFailedError:
        return fail(
            FetchError::Kind::Certificate,
            QCoreApplication::translate("Internet", "the server's certificate is not one the system trusts (%1)")
                .arg(certificateErrors_.isEmpty() ? socket_->errorString() : certificateErrors_.join(u"; "_s)));
    default:
        return fail(FetchError::Kind::Network, socket_->errorString());
    }
}

void Download::redirect() {
    const QUrl location = QUrl::fromEncoded(reading_->header("location"));
    if (location.isEmpty())
        return fail(FetchError::Kind::Status, QCoreApplication::translate("Internet", "a redirect without a Location"));
    const QUrl target = current_.resolved(location);
    if (!isWebAddress(target.toString()))
        return fail(FetchError::Kind::Redirects,
                    QCoreApplication::translate("Internet", "a redirect to %1, which is no web address")
                        .arg(target.toString()));
    if (++redirects_ > MaxRedirects)
        return fail(FetchError::Kind::Redirects,
                    QCoreApplication::translate("Internet", "more than %1 redirects").arg(MaxRedirects));
    dropConnection();
    get(target);
}

void Download::judgePlaylist(bool complete) {
    if (complete && answer_.size == 0)
        return fail(FetchError::Kind::Status,
                    QCoreApplication::translate("Internet", "the server answered with an empty body, no list"));
    if (!judged_ && (complete || head_.size() >= SniffBytes)) {
        judged_ = true;
        switch (Content::fromBytes(head_.first(std::min(head_.size(), SniffBytes)))) {
        case Content::Kind::Stream:
            return fail(FetchError::Kind::NotAPlaylist,
                        QCoreApplication::translate("Internet", "one audio or video stream"));
        case Content::Kind::Page:
            return fail(FetchError::Kind::NotAPlaylist, QCoreApplication::translate("Internet", "a web page"));
        case Content::Kind::Dash:
            return fail(FetchError::Kind::NotAPlaylist,
                        QCoreApplication::translate("Internet", "the DASH manifest of one station"));
        default:
            break;
        }
    }
    if (complete && isHlsStation(head_))
        fail(FetchError::Kind::NotAPlaylist,
             QCoreApplication::translate("Internet", "the HLS playlist of one station"));
}

void Download::fail(FetchError::Kind kind, const QString& reason) {
    if (done_)
        return;
    error_.emplace(
        kind, kind == FetchError::Kind::NotAPlaylist
                  ? named(QCoreApplication::translate("Internet", "this is %1, not a list of stations").arg(reason))
                  : named(reason));
    finish();
}

void Download::finish() {
    if (done_)
        return;
    done_ = true;
    deadline_.stop();
    dropConnection();
    Q_EMIT finished();
}

// Deleted later: the socket may be the sender of the signal being handled. Aborted first, so that a stream stops at
// once.
void Download::dropConnection() {
    if (!socket_)
        return;
    socket_->disconnect(this);
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
}

// The address the user gave comes first: a redirect's target alone would be an address the user never saw.
QString Download::named(const QString& what) const {
    if (current_ == request_.address)
        return u"%1: %2"_s.arg(current_.toString(), what);
    return QCoreApplication::translate("Internet", "%1 (redirected to %2): %3")
        .arg(request_.address.toString(), current_.toString(), what);
}

} // namespace Internet
