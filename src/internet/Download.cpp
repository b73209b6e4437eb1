#include "internet/Download.h"

#include "health/Content.h"

#include <QEventLoop>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslError>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace Internet {

namespace {

// Enough of the body to tell a playlist from a stream or a page, as a player tells them.
constexpr qsizetype SniffBytes = 512;
// The head of the body that is kept: an HLS playlist names what it is in its first lines.
constexpr qsizetype HeadBytes = 4096;
// What the network layer holds of a body before the download has taken it: without a bound, a fast server fills
// memory faster than the limit is checked.
constexpr qint64 ReadBufferBytes = 256 * 1024;
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

// Qt leaves the reason of some failures out ("Decompression failed: ").
QString networkFailure(const QString& reason) {
    const QString said = reason.trimmed();
    return said.endsWith(u':') ? said + u" the server's compressed body is damaged"_s : said;
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
             (request_.timeoutIsSilence ? u"no bytes for %1 s"_s : u"no whole answer within %1 s"_s)
                 .arg(std::chrono::duration<double>(request_.timeout).count()));
    });
}

Download::~Download() {
    dropReply();
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
    QNetworkRequest request(address);
    // Each redirect is judged here: how many, and to which scheme.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    if (!request_.etag.isEmpty())
        request.setRawHeader("If-None-Match", request_.etag);
    if (!request_.lastModified.isEmpty())
        request.setRawHeader("If-Modified-Since", request_.lastModified);
    reply_ = network_.get(request);
    reply_->setReadBufferSize(ReadBufferBytes);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &Download::readHead);
    connect(reply_, &QNetworkReply::readyRead, this, &Download::readBody);
    connect(reply_, &QNetworkReply::finished, this, &Download::readEnd);
    connect(reply_, &QNetworkReply::sslErrors, this, [this](const QList<QSslError>& errors) {
        for (const QSslError& error : errors)
            certificateErrors_.append(error.errorString());
    });
}

void Download::readHead() {
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (answered_ || !status.isValid())
        return;
    answered_ = true;
    const int code = status.toInt();
    const QString statusLine =
        u"HTTP %1 %2"_s.arg(code).arg(reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    // Not modified since what? Only a request that named the version it has can be told so.
    const bool asked = !request_.etag.isEmpty() || !request_.lastModified.isEmpty();
    if (code == 304 && asked) {
        answer_.notModified = true;
        return finish();
    }
    if (code >= 300 && code < 400 && code != 304)
        return redirect();
    if (code >= 300 || code < 200)
        return fail(FetchError::Kind::Status, statusLine.trimmed());
    // Never asked for: the program sends no range, and a body with no content is no list either.
    if (code == 204)
        return fail(FetchError::Kind::Status, statusLine.trimmed() + u": the server sent nothing"_s);
    if (code == 206)
        return fail(FetchError::Kind::Status, statusLine.trimmed() + u": the server sent a part of the file only"_s);
    const qint64 length = reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (length > request_.maxBytes) {
        return fail(FetchError::Kind::TooLarge,
                    u"%1 is larger than the limit of %2"_s.arg(size(length), size(request_.maxBytes)));
    }
    answer_.etag = validator(reply_->rawHeader("ETag"));
    answer_.lastModified = validator(reply_->rawHeader("Last-Modified"));
    if (!request_.playlist)
        return;
    const QByteArray type = reply_->rawHeader("Content-Type").trimmed();
    switch (Content::fromType(type, current_)) {
    case Content::Kind::Stream:
        return fail(FetchError::Kind::NotAPlaylist, u"one audio or video stream (%1)"_s.arg(QString::fromLatin1(type)));
    case Content::Kind::Page:
        return fail(FetchError::Kind::NotAPlaylist, u"a web page (%1)"_s.arg(QString::fromLatin1(type)));
    case Content::Kind::Dash:
        return fail(FetchError::Kind::NotAPlaylist, u"the DASH manifest of one station"_s);
    default:
        break;
    }
}

void Download::readBody() {
    if (!answered_ || done_)
        return;
    const QByteArray bytes = reply_->readAll();
    if (request_.timeoutIsSilence && !bytes.isEmpty())
        deadline_.start(request_.timeout);
    take(bytes);
    if (done_)
        return;
    Q_EMIT progress(answer_.size, qMax<qint64>(reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong(), 0));
    if (request_.playlist)
        judgePlaylist(false);
}

void Download::take(const QByteArray& bytes) {
    if (answer_.size + bytes.size() > request_.maxBytes)
        return fail(FetchError::Kind::TooLarge,
                    u"the answer is larger than the limit of %1"_s.arg(size(request_.maxBytes)));
    answer_.size += bytes.size();
    head_ += bytes.first(std::min(bytes.size(), HeadBytes - head_.size()));
    if (request_.sink)
        give(bytes);
    else
        answer_.body += bytes;
}

void Download::give(const QByteArray& bytes) {
    try {
        request_.sink(bytes);
    } catch (...) {
        sinkError_ = std::current_exception();
        fail(FetchError::Kind::Cancelled, u"refused"_s);
    }
}

void Download::readEnd() {
    if (done_)
        return;
    if (answered_) {
        readBody();
        if (done_)
            return;
    }
    switch (reply_->error()) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::SslHandshakeFailedError:
        return fail(FetchError::Kind::Certificate,
                    u"the server's certificate is not one the system trusts (%1)"_s.arg(
                        certificateErrors_.isEmpty() ? reply_->errorString() : certificateErrors_.join(u"; "_s)));
    default:
        return fail(FetchError::Kind::Network, networkFailure(reply_->errorString()));
    }
    if (request_.playlist && !done_)
        judgePlaylist(true);
    if (!done_)
        finish();
}

void Download::redirect() {
    const QUrl location = reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (location.isEmpty())
        return fail(FetchError::Kind::Status, u"a redirect without a Location"_s);
    const QUrl target = current_.resolved(location);
    if (!isWebAddress(target.toString()))
        return fail(FetchError::Kind::Redirects, u"a redirect to %1, which is no web address"_s.arg(target.toString()));
    if (++redirects_ > MaxRedirects)
        return fail(FetchError::Kind::Redirects, u"more than %1 redirects"_s.arg(MaxRedirects));
    dropReply();
    get(target);
}

void Download::judgePlaylist(bool complete) {
    if (complete && answer_.size == 0)
        return fail(FetchError::Kind::Status, u"the server answered with an empty body, no list"_s);
    if (!judged_ && (complete || head_.size() >= SniffBytes)) {
        judged_ = true;
        switch (Content::fromBytes(head_.first(std::min(head_.size(), SniffBytes)))) {
        case Content::Kind::Stream:
            return fail(FetchError::Kind::NotAPlaylist, u"one audio or video stream"_s);
        case Content::Kind::Page:
            return fail(FetchError::Kind::NotAPlaylist, u"a web page"_s);
        case Content::Kind::Dash:
            return fail(FetchError::Kind::NotAPlaylist, u"the DASH manifest of one station"_s);
        default:
            break;
        }
    }
    if (complete && isHlsStation(head_))
        fail(FetchError::Kind::NotAPlaylist, u"the HLS playlist of one station"_s);
}

void Download::fail(FetchError::Kind kind, const QString& reason) {
    if (done_)
        return;
    error_.emplace(kind, kind == FetchError::Kind::NotAPlaylist
                             ? named(u"this is %1, not a list of stations"_s.arg(reason))
                             : named(reason));
    finish();
}

void Download::finish() {
    if (done_)
        return;
    done_ = true;
    deadline_.stop();
    dropReply();
    Q_EMIT finished();
}

// Deleted later: the reply may be the sender of the signal being handled. A body still coming is aborted first, so
// that a stream stops at once; an error answer is not, which Qt would take for a second failure of the reply.
void Download::dropReply() {
    if (!reply_)
        return;
    reply_->disconnect(this);
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply_->error() == QNetworkReply::NoError && !reply_->isFinished() && status < 300)
        reply_->abort();
    reply_->deleteLater();
    reply_ = nullptr;
}

// The address the user gave comes first: a redirect's target alone would be an address the user never saw.
QString Download::named(const QString& what) const {
    if (current_ == request_.address)
        return u"%1: %2"_s.arg(current_.toString(), what);
    return u"%1 (redirected to %2): %3"_s.arg(request_.address.toString(), current_.toString(), what);
}

} // namespace Internet
