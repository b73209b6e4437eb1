#include "health/StationCheck.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSslSocket>
#include <optional>

using namespace Qt::StringLiterals;
using Content::Kind;

namespace {

constexpr int MaxRedirects = 5;
constexpr int MaxEntries = 3;         // a master playlist, a media playlist, a segment
constexpr qsizetype SniffBytes = 512; // enough to tell a stream or a playlist by its first bytes
constexpr qsizetype PlaylistBytes = 64 * 1024;
constexpr qsizetype HeadBytes = 4 * 1024;
const QByteArray UserAgent = "vimaro/2.0 (station check)";

// The ports of the streaming protocols that are only asked whether they answer.
std::optional<quint16> defaultPort(const QString& scheme) {
    static const QHash<QString, quint16> ports{
        {u"mms"_s, 1755},  {u"mmst"_s, 1755},  {u"mmsh"_s, 80},   {u"rtsp"_s, 554}, {u"rtsps"_s, 322},
        {u"rtmp"_s, 1935}, {u"rtmpe"_s, 1935}, {u"rtmps"_s, 443}, {u"rtmpt"_s, 80},
    };
    const auto port = ports.constFind(scheme);
    return port == ports.cend() ? std::nullopt : std::optional(*port);
}

// Protocols over UDP: there is no server port that answers a connection.
bool overUdp(const QString& scheme) {
    return scheme == u"rtp"_s || scheme == u"srt"_s || scheme == u"mmsu"_s;
}

QString seconds(std::chrono::milliseconds duration) {
    return QString::number(static_cast<double>(duration.count()) / 1000.0);
}

// A server's bytes shown in a finding: one line, printable, short.
QString printable(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes.left(60));
    for (QChar& c : text) {
        if (!c.isPrint())
            c = u'?';
    }
    return text;
}

QByteArray requestTarget(const QUrl& address) {
    QByteArray target = address.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (address.hasQuery())
        target += '?' + address.query(QUrl::FullyEncoded).toLatin1();
    return target;
}

} // namespace

StationCheck::StationCheck(QNetworkAccessManager& network, QString address, std::chrono::milliseconds timeout,
                           QObject* parent)
    : QObject(parent), network_(network), address_(std::move(address)), timeout_(timeout) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] { fail(Verdict::TimedOut, timeoutDetail()); });
}

StationCheck::~StationCheck() {
    dropConnections();
}

void StationCheck::start() {
    deadline_.start(timeout_);
    // Even a verdict known without the network arrives from the event loop, so a caller that starts the next
    // check on each finding never recurses.
    QTimer::singleShot(0, this, [this] {
        const QUrl address(address_.trimmed());
        chain_ = {address};
        visit(address);
    });
}

void StationCheck::visit(const QUrl& address) {
    current_ = address;
    if (!address.isValid() || address.host().isEmpty())
        return fail(Verdict::BadAddress, address_.trimmed().isEmpty() ? u"no address"_s : u"not an address"_s);
    const QString scheme = address.scheme().toLower();
    if (scheme == u"http"_s || scheme == u"https"_s)
        return fetch(address);
    if (const std::optional<quint16> port = defaultPort(scheme))
        return probePort(address, static_cast<quint16>(address.port(*port)));
    if (overUdp(scheme))
        return fail(Verdict::Unchecked, u"%1 runs over UDP: no port answers a connection"_s.arg(scheme));
    fail(Verdict::BadAddress, u"%1 is not a web or streaming protocol"_s.arg(scheme));
}

void StationCheck::fetch(const QUrl& address) {
    kind_ = Kind::Unknown;
    type_.clear();
    body_.clear();
    answered_ = false;
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // Each connection closes once its answer is done: a run over thousands of hosts would otherwise keep an idle
    // connection open to every one of them.
    request.setAttribute(QNetworkRequest::ConnectionCacheExpiryTimeoutSecondsAttribute, 0);
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent);
    reply_ = network_.get(request);
    // Qt buffers no more of an endless stream than the check reads.
    reply_->setReadBufferSize(PlaylistBytes);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &StationCheck::readHead);
    connect(reply_, &QNetworkReply::readyRead, this, &StationCheck::readBody);
    connect(reply_, &QNetworkReply::finished, this, &StationCheck::readEnd);
}

void StationCheck::readHead() {
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (answered_ || !status.isValid())
        return;
    answered_ = true;
    const int code = status.toInt();
    const QString statusLine =
        u"HTTP %1 %2"_s.arg(code).arg(reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    if (code >= 300 && code < 400)
        return redirect(code);
    if (code >= 500)
        return fail(Verdict::ServerError, statusLine.trimmed());
    if (code >= 400)
        return fail(Verdict::NotFound, statusLine.trimmed());
    type_ = reply_->rawHeader("Content-Type").trimmed();
    kind_ = Content::fromType(type_, current_);
    if (kind_ == Kind::Page)
        fail(Verdict::NotAStream, u"a web page (%1)"_s.arg(typeText()));
}

void StationCheck::readBody() {
    if (!answered_ || done_)
        return;
    const qsizetype limit = kind_ == Kind::Stream || kind_ == Kind::Unknown ? SniffBytes : PlaylistBytes;
    if (body_.size() < limit)
        body_ += reply_->read(limit - body_.size());
    judgeBody(false);
}

void StationCheck::readEnd() {
    if (!answered_)
        return failedBeforeAnswer();
    readBody();
    // What arrived counts, even when the server broke the answer off.
    if (!done_)
        judgeBody(true);
}

void StationCheck::failedBeforeAnswer() {
    const QNetworkReply::NetworkError error = reply_->error();
    const QString text = reply_->errorString();
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return fail(Verdict::Refused, text);
    case QNetworkReply::HostNotFoundError:
        return fail(Verdict::Unresolved, text);
    case QNetworkReply::TimeoutError:
        return fail(Verdict::TimedOut, text);
    case QNetworkReply::SslHandshakeFailedError:
        return fail(Verdict::TlsFailure, text);
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProtocolFailure:
        return probeIcy();
    default:
        break;
    }
    // Qt numbers the errors of HTTP statuses in ranges: 201-299 the 4xx answers, 401-499 the 5xx answers.
    if (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
        return fail(Verdict::NotFound, text);
    if (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError)
        return fail(Verdict::ServerError, text);
    fail(Verdict::NoAnswer, text);
}

void StationCheck::judgeBody(bool complete) {
    if (kind_ == Kind::Unknown && (complete || body_.size() >= SniffBytes)) {
        kind_ = Content::fromBytes(body_);
        // The entry of a playlist need only answer with data: a segment is often labelled as bare bytes.
        if (kind_ == Kind::Unknown && entries_ > 0 && !body_.isEmpty())
            kind_ = Kind::Stream;
        if (kind_ == Kind::Unknown)
            return fail(Verdict::NotAStream, body_.isEmpty() ? u"an empty answer"_s : typeText());
        if (kind_ == Kind::Page)
            return fail(Verdict::NotAStream, u"a web page (%1)"_s.arg(typeText()));
    }
    if (kind_ == Kind::Stream && !body_.isEmpty())
        return plays(type_.isEmpty() ? u"media without a Content-Type"_s : typeText());
    if (kind_ == Kind::Stream && complete)
        return fail(Verdict::NoAnswer, u"%1 without any data"_s.arg(typeText()));
    const bool playlist = kind_ == Kind::M3u || kind_ == Kind::Pls || kind_ == Kind::Dash;
    if (playlist && (complete || body_.size() >= PlaylistBytes))
        followEntry();
}

void StationCheck::redirect(int status) {
    const QUrl location = reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (location.isEmpty())
        return fail(Verdict::ServerError, u"HTTP %1 without a Location"_s.arg(status));
    const QUrl target = current_.resolved(location);
    if (chain_.contains(target))
        return fail(Verdict::TooManyRedirects, u"redirects in a loop back to %1"_s.arg(target.toString()));
    if (++redirects_ > MaxRedirects)
        return fail(Verdict::TooManyRedirects,
                    u"more than %1 redirects, the last to %2"_s.arg(MaxRedirects).arg(target.toString()));
    chain_.insert(target);
    landed_ = target;
    dropConnections();
    visit(target);
}

void StationCheck::followEntry() {
    const QString name = Content::name(kind_, body_);
    const QUrl entry = Content::firstEntry(kind_, body_, current_);
    if (entry.isEmpty())
        return fail(Verdict::NotAStream, u"%1 that lists no entry"_s.arg(name));
    if (++entries_ > MaxEntries)
        return fail(Verdict::NotAStream, u"playlists nested more than %1 deep"_s.arg(MaxEntries));
    playlist_ = name;
    chain_ = {entry};
    redirects_ = 0;
    dropConnections();
    visit(entry);
}

// Qt's HTTP client takes the status line "ICY 200 OK" of older stream servers for a broken connection. Before a
// station is called dead for it, a bare connection asks once more and reads the head of the answer itself.
void StationCheck::probeIcy() {
    dropConnections();
    icy_ = true;
    const bool tls = current_.scheme().toLower() == u"https"_s;
    auto* socket = new QSslSocket(this);
    socket_ = socket;
    const QByteArray request = "GET " + requestTarget(current_) +
                               " HTTP/1.0\r\nHost: " + current_.authority(QUrl::FullyEncoded).toLatin1() +
                               "\r\nUser-Agent: " + UserAgent + "\r\nIcy-MetaData: 0\r\nConnection: close\r\n\r\n";
    connect(socket, tls ? &QSslSocket::encrypted : &QSslSocket::connected, this,
            [socket, request] { socket->write(request); });
    connect(socket, &QSslSocket::readyRead, this, &StationCheck::readIcyHead);
    connect(socket, &QSslSocket::errorOccurred, this, &StationCheck::socketFailed);
    const auto port = static_cast<quint16>(current_.port(tls ? 443 : 80));
    if (tls)
        socket->connectToHostEncrypted(current_.host(), port);
    else
        socket->connectToHost(current_.host(), port);
}

void StationCheck::readIcyHead() {
    body_ += socket_->read(HeadBytes - body_.size());
    if (body_.contains("\r\n\r\n") || body_.contains("\n\n") || body_.size() >= HeadBytes)
        judgeIcyHead();
}

void StationCheck::judgeIcyHead() {
    if (body_.isEmpty())
        return fail(Verdict::NoAnswer, u"the server closed the connection without an answer"_s);
    const QByteArray statusLine = body_.left(body_.indexOf('\n')).trimmed();
    static const QRegularExpression icy(u"^ICY (\\d{3})"_s);
    const QRegularExpressionMatch match = icy.match(QString::fromLatin1(statusLine));
    if (!match.hasMatch())
        return fail(Verdict::NoAnswer, u"an answer that is no HTTP: %1"_s.arg(printable(statusLine)));
    answered_ = true;
    const int code = match.captured(1).toInt();
    if (code >= 500)
        return fail(Verdict::ServerError, printable(statusLine));
    if (code >= 400)
        return fail(Verdict::NotFound, printable(statusLine));
    static const QRegularExpression contentType(u"^content-type:\\s*(.*?)\\s*$"_s,
                                                QRegularExpression::CaseInsensitiveOption |
                                                    QRegularExpression::MultilineOption);
    type_ = contentType.match(QString::fromLatin1(body_)).captured(1).toLatin1();
    plays(type_.isEmpty() ? printable(statusLine) : printable(statusLine) + u", "_s + typeText());
}

void StationCheck::probePort(const QUrl& address, quint16 port) {
    socket_ = new QTcpSocket(this);
    const QString scheme = address.scheme().toLower();
    connect(socket_, &QTcpSocket::connected, this,
            [this, scheme, port] { finish(Verdict::PortAnswers, u"%1 port %2 answers"_s.arg(scheme).arg(port)); });
    connect(socket_, &QTcpSocket::errorOccurred, this, &StationCheck::socketFailed);
    socket_->connectToHost(address.host(), port);
}

void StationCheck::socketFailed(QAbstractSocket::SocketError error) {
    const QString text = socket_->errorString();
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return fail(Verdict::Refused, text);
    case QAbstractSocket::HostNotFoundError:
        return fail(Verdict::Unresolved, text);
    case QAbstractSocket::SocketTimeoutError:
        return fail(Verdict::TimedOut, text);
    case QAbstractSocket::SslHandshakeFailedError:
        return fail(Verdict::TlsFailure, text);
    case QAbstractSocket::RemoteHostClosedError:
        if (icy_) {
            body_ += socket_->read(HeadBytes - body_.size());
            return judgeIcyHead();
        }
        break;
    default:
        break;
    }
    fail(Verdict::NoAnswer, text);
}

void StationCheck::plays(const QString& what) {
    QString detail = playlist_.isEmpty() ? what : u"%1, first entry answers: %2"_s.arg(playlist_, what);
    if (landed_.isEmpty())
        return finish(Verdict::Plays, detail);
    finish(Verdict::Redirects, u"%1 at %2"_s.arg(detail, landed_.toString()));
}

void StationCheck::fail(Verdict verdict, QString detail) {
    if (!playlist_.isEmpty())
        detail = u"%1, first entry %2: %3"_s.arg(playlist_, current_.toString(), detail);
    finish(verdict, detail);
}

void StationCheck::finish(Verdict verdict, const QString& detail) {
    if (done_)
        return;
    done_ = true;
    deadline_.stop();
    dropConnections();
    Q_EMIT finished({verdict, detail});
}

// A reply is deleted, not aborted: deleting it closes its connection in every state, while abort() on a reply
// whose error answer is already on its way only warns and leaves the connection open.
void StationCheck::dropConnections() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->deleteLater();
        reply_ = nullptr;
    }
    if (socket_) {
        socket_->disconnect(this);
        socket_->deleteLater();
        socket_ = nullptr;
    }
}

QString StationCheck::typeText() const {
    return type_.isEmpty() ? u"no Content-Type"_s : QString::fromLatin1(type_);
}

QString StationCheck::timeoutDetail() const {
    if (!answered_)
        return u"no answer within %1 s"_s.arg(seconds(timeout_));
    return u"answered, but sent too little within %1 s"_s.arg(seconds(timeout_));
}
