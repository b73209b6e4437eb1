#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

class QNetworkAccessManager;
class QTcpSocket;

// Downloads from the internet: playlists by address and the answers of the station directory. Everything a server
// sends is untrusted, so a download is bounded in size and in time, follows at most five redirects and only to web
// addresses, and trusts the certificates of the system's store and no others. A body that ends otherwise than its
// framing says (short of its Content-Length, without its last chunk, a malformed chunk) is a failed download, never a
// shorter list: so the download reads HTTP itself, with the station check's reader of answers.
namespace Internet {

inline constexpr qint64 DefaultMaxBytes = 64 * 1024 * 1024;
inline constexpr std::chrono::seconds DefaultTimeout{60};
inline constexpr int MaxRedirects = 5;

// "vimaro/2.0": every request names the program and its version, as the directory asks of its users.
QByteArray userAgent();

// True for an address the program downloads from (http, https with a host); anything else is a file.
bool isWebAddress(const QString& text);

// Why a download ended without what was asked for, in a sentence that names the address.
class FetchError : public std::runtime_error {
public:
    enum class Kind { Network, Certificate, Status, TooLarge, TimedOut, Redirects, NotAPlaylist, Cancelled };
    FetchError(Kind kind, const QString& message) : std::runtime_error(message.toStdString()), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

struct Request {
    QUrl address;
    // The validators of an earlier answer: a server with nothing newer answers 304 Not Modified.
    QByteArray etag;
    QByteArray lastModified;
    qint64 maxBytes = DefaultMaxBytes;
    std::chrono::milliseconds timeout = DefaultTimeout;
    // Stop at what is no list of stations (a stream, a web page, the playlist of one HLS or DASH station), before
    // a stream that never ends has used up the time.
    bool playlist = false;
    // The body given here block by block as it arrives, and never held whole (into a file, or a reader): Answer::body
    // stays empty. What the sink throws ends the download and is thrown again by run().
    std::function<void(QByteArrayView)> sink;
    // The timeout counts from the last bytes that came, not from the start: a large body takes as long as it needs.
    bool timeoutIsSilence = false;
};

struct Answer {
    QUrl address; // where the body came from, after redirects
    bool notModified = false;
    QByteArray body; // empty when the request gave a sink
    qint64 size = 0; // bytes of the body
    // The validators to ask with next time; empty where the server gave none, or none a program should keep.
    QByteArray etag;
    QByteArray lastModified;
};

// One download. run() starts it and waits for its end in a local event loop, so the windows and the commands stay
// responsive and cancel() can stop it from a progress dialog or Ctrl+C. The manager gives the proxy to go through.
class Download : public QObject {
    Q_OBJECT
public:
    Download(QNetworkAccessManager& network, Request request, QObject* parent = nullptr);
    ~Download() override;

    // Throws FetchError.
    Answer run();
    void cancel();

Q_SIGNALS:
    // Bytes of the body so far, and of all of it where the server said how many (else 0).
    void progress(qint64 received, qint64 total);
    void finished();

private:
    void get(const QUrl& address);
    void connectTo(const QUrl& address);
    void ask();
    void readAnswer();
    bool readHead();
    bool pour(QByteArrayView bytes);
    void give(QByteArrayView bytes);
    void readEnd();
    void closed();
    void failReading(const QString& problem);
    void socketFailed(QAbstractSocket::SocketError error);
    void redirect();
    void take(QByteArrayView bytes);
    void judgePlaylist(bool complete);
    void fail(FetchError::Kind kind, const QString& reason);
    void finish();
    void dropConnection();
    QString named(const QString& what) const;

    QNetworkAccessManager& network_;
    Request request_;
    QTimer deadline_;
    QTcpSocket* socket_ = nullptr;
    // The answer being read, kept until the next request: the end of a download may come from within its reading.
    struct Reading;
    std::unique_ptr<Reading> reading_;
    QUrl current_;
    int redirects_ = 0;
    bool answered_ = false;
    bool judged_ = false; // the first bytes told a playlist from anything else
    QByteArray head_;     // the first bytes of the body, to tell it by
    QStringList certificateErrors_;
    Answer answer_;
    std::optional<FetchError> error_;
    std::exception_ptr sinkError_;
    bool done_ = false;
};

} // namespace Internet
