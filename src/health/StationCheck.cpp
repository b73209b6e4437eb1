#include "health/StationCheck.h"

#include "health/Answer.h"
#include "health/Judgement.h"

#include <QSslSocket>
#include <optional>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxRedirects = 5;
constexpr int MaxEntries = 3; // a master playlist, a media playlist, a segment
constexpr qint64 ReadChunk = 16 * 1024;
// What a connection may hold unread: the rest of a flood waits in the network, not in memory.
constexpr qint64 ReadBuffer = 64 * 1024;
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

// A player's first request, asking for the body as it is: a compressed one could be made to unpack without end.
// The connection closes with the answer, so a run over thousands of hosts keeps no idle connection to any.
QByteArray request(const QUrl& address) {
    return httpGet(address, "User-Agent: " + UserAgent + "\r\nAccept: */*\r\nAccept-Encoding: identity\r\n");
}

} // namespace

StationCheck::StationCheck(QString address, std::chrono::milliseconds timeout, NameLookup::Resolver resolver,
                           QObject* parent)
    : QObject(parent), address_(std::move(address)), timeout_(timeout), resolver_(std::move(resolver)) {
    deadline_.setSingleShot(true);
    // A coarse timer may fire 5 % early, and the finding then says "within 10 s" of a server given 9.5.
    deadline_.setTimerType(Qt::PreciseTimer);
    connect(&deadline_, &QTimer::timeout, this, [this] { report(Verdict::TimedOut, timeoutDetail()); });
}

StationCheck::~StationCheck() {
    dropConnection();
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
    dropConnection();
    current_ = address;
    if (!address.isValid() || address.host().isEmpty())
        return report(Verdict::BadAddress, address_.trimmed().isEmpty() ? u"no address"_s : u"not an address"_s);
    if (address.port() == 0)
        return report(Verdict::BadAddress, u"port 0, where no server listens"_s);
    const QString scheme = address.scheme().toLower();
    tls_ = scheme == u"https"_s;
    probe_ = false;
    if (tls_ || scheme == u"http"_s) {
        port_ = static_cast<quint16>(address.port(tls_ ? 443 : 80));
    } else if (const std::optional<quint16> port = defaultPort(scheme)) {
        probe_ = true;
        port_ = static_cast<quint16>(address.port(*port));
    } else if (overUdp(scheme)) {
        return report(Verdict::Unchecked, u"%1 runs over UDP: no port answers a connection"_s.arg(scheme));
    } else {
        return report(Verdict::BadAddress, u"%1 is not a web or streaming protocol"_s.arg(scheme));
    }
    lookUp();
}

void StationCheck::lookUp() {
    stage_ = Stage::Lookup;
    if (const QHostAddress literal(current_.host()); !literal.isNull()) {
        addresses_ = {literal};
        return connectNext();
    }
    try {
        lookup_ = NameLookup::start(resolver_, current_.host(QUrl::FullyEncoded), this,
                                    [this](const NameLookup::Result& result) { lookedUp(result); });
    } catch (const std::system_error& error) {
        runShort(u"no thread for a name lookup: %1"_s.arg(QString::fromLocal8Bit(error.what())));
    }
}

void StationCheck::lookedUp(const NameLookup::Result& result) {
    lookup_.reset();
    if (result.shortage)
        return runShort(result.problem);
    if (result.addresses.isEmpty())
        return report(Verdict::Unresolved, result.problem);
    addresses_ = result.addresses;
    connectNext();
}

// Connects to the next of the host's addresses, as a player tries one after the other.
void StationCheck::connectNext() {
    dropConnection();
    const QHostAddress address = addresses_.takeFirst();
    stage_ = Stage::Connect;
    if (tls_) {
        auto* socket = new QSslSocket(this);
        socket_ = socket;
        connect(socket, &QSslSocket::connected, this, [this] { stage_ = Stage::Handshake; });
        connect(socket, &QSslSocket::encrypted, this, &StationCheck::connected);
    } else {
        socket_ = new QTcpSocket(this);
        connect(socket_, &QTcpSocket::connected, this, &StationCheck::connected);
    }
    socket_->setReadBufferSize(ReadBuffer);
    connect(socket_, &QAbstractSocket::errorOccurred, this, &StationCheck::socketFailed);
    connect(socket_, &QAbstractSocket::readyRead, this, [this] { readAnswer(false); });
    // The name looked up is the one the certificate must name.
    if (tls_)
        static_cast<QSslSocket*>(socket_)->connectToHostEncrypted(address.toString(), port_, current_.host());
    else
        socket_->connectToHost(address, port_);
}

void StationCheck::connected() {
    if (probe_)
        return report(Verdict::PortAnswers, u"%1 port %2 answers"_s.arg(current_.scheme().toLower()).arg(port_));
    stage_ = Stage::Ask;
    answer_ = std::make_unique<Answer>();
    socket_->write(request(current_));
}

// Reads what arrived until the answer so far tells enough; `closed`: the server closed the connection.
void StationCheck::readAnswer(bool closed) {
    while (socket_->bytesAvailable() > 0) {
        answer_->read(socket_->read(ReadChunk));
        const Judgement judgement = judge(*answer_, current_, entries_ > 0);
        if (judgement.step != Judgement::Step::ReadOn)
            return settle(judgement);
    }
    if (closed) {
        answer_->close();
        settle(judge(*answer_, current_, entries_ > 0));
    }
}

void StationCheck::socketFailed(QAbstractSocket::SocketError error) {
    const QString text = socket_->errorString();
    // Too many open files, say: the want is this process's own, and says nothing of the station.
    if (error == QAbstractSocket::SocketResourceError)
        return runShort(text);
    // What arrived counts, even when the server broke the answer off.
    if (answer_ && (answer_->started() || error == QAbstractSocket::RemoteHostClosedError))
        return readAnswer(true);
    if (stage_ == Stage::Connect && !addresses_.isEmpty())
        return connectNext();
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return report(Verdict::Refused, text);
    case QAbstractSocket::SocketTimeoutError:
        return report(Verdict::TimedOut, text);
    case QAbstractSocket::SslHandshakeFailedError:
        return report(Verdict::TlsFailure, text);
    default:
        return report(Verdict::NoAnswer, text);
    }
}

void StationCheck::settle(const Judgement& judgement) {
    switch (judgement.step) {
    case Judgement::Step::Found:
        if (judgement.finding.verdict == Verdict::Plays)
            return plays(judgement.finding.detail);
        return report(judgement.finding.verdict, judgement.finding.detail);
    case Judgement::Step::Redirect:
        return redirect(judgement.next);
    case Judgement::Step::Entry:
        return followEntry(judgement.next, judgement.playlist);
    case Judgement::Step::ReadOn:
        return;
    }
}

void StationCheck::redirect(const QUrl& target) {
    if (chain_.contains(target))
        return report(Verdict::TooManyRedirects, u"redirects in a loop back to %1"_s.arg(target.toString()));
    if (++redirects_ > MaxRedirects)
        return report(Verdict::TooManyRedirects,
                      u"more than %1 redirects, the last to %2"_s.arg(MaxRedirects).arg(target.toString()));
    chain_.insert(target);
    landed_ = target;
    visit(target);
}

void StationCheck::followEntry(const QUrl& entry, const QString& playlist) {
    if (++entries_ > MaxEntries)
        return report(Verdict::NotAStream, u"playlists nested more than %1 deep"_s.arg(MaxEntries));
    playlist_ = playlist;
    chain_ = {entry};
    redirects_ = 0;
    visit(entry);
}

void StationCheck::plays(const QString& what) {
    QString detail = playlist_.isEmpty() ? what : u"%1, first entry answers: %2"_s.arg(playlist_, what);
    if (landed_.isEmpty())
        return finish(Verdict::Plays, detail);
    finish(Verdict::Redirects, u"%1 at %2"_s.arg(detail, landed_.toString()));
}

// Any finding but "plays", told with where the check had got to: a playlist's entry, or a redirect's target.
void StationCheck::report(Verdict verdict, QString detail) {
    if (!playlist_.isEmpty())
        detail = u"%1, first entry %2: %3"_s.arg(playlist_, current_.toString(), detail);
    else if (!landed_.isEmpty() && verdict != Verdict::TooManyRedirects)
        detail = u"after a redirect to %1: %2"_s.arg(landed_.toString(), detail);
    finish(verdict, detail);
}

void StationCheck::finish(Verdict verdict, const QString& detail) {
    if (end())
        Q_EMIT finished({verdict, tidyDetail(detail)});
}

void StationCheck::runShort(const QString& problem) {
    if (end())
        Q_EMIT shortOfResources(problem);
}

bool StationCheck::end() {
    if (done_)
        return false;
    done_ = true;
    deadline_.stop();
    lookup_.reset();
    dropConnection();
    return true;
}

// Aborted at once, so that the connection's file is free for the next check.
void StationCheck::dropConnection() {
    answer_.reset();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
}

QString StationCheck::timeoutDetail() const {
    const QString within = u"within %1 s"_s.arg(seconds(timeout_));
    switch (stage_) {
    case Stage::Lookup:
        return u"name lookup of %1 not finished %2"_s.arg(current_.host(), within);
    case Stage::Connect:
        return u"no connection %1"_s.arg(within);
    case Stage::Handshake:
        return u"TLS handshake not finished %1"_s.arg(within);
    case Stage::Ask:
        break;
    }
    return answer_ && answer_->started() ? u"answered, but sent too little %1"_s.arg(within)
                                         : u"no answer %1"_s.arg(within);
}
