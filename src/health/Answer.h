#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

class QUrl;

// A server's answer to a GET, read as its bytes arrive and bounded in every part, whatever the server sends: a
// status line and headers of at most HeadLimit bytes together (interim 1xx heads included), and of the body only the
// first BodyLimit bytes, taken out of chunked transfer and decoded from gzip or deflate. Nothing beyond is ever held;
// a download pours the whole body on into an outlet instead. It knows no sockets: the check and the download feed it
// what their connection reads, a fuzz target any bytes.
class Answer {
public:
    static constexpr qsizetype HeadLimit = 64 * 1024;
    static constexpr qsizetype BodyLimit = 64 * 1024;

    enum class Fault {
        None,
        Silent,  // the connection closed before a byte arrived
        NotHttp, // the first bytes begin no HTTP or ICY status line
        Broken,  // a head too long or cut off, a malformed status line, length or chunk, a body that does not decode
    };

    // Given the body's decoded bytes as they arrive, the outlet bounds them itself, and returns false to take no
    // more; body() then stays empty.
    using Outlet = std::function<bool(QByteArrayView)>;

    Answer();
    explicit Answer(Outlet outlet);
    ~Answer();
    Answer(const Answer&) = delete;
    Answer& operator=(const Answer&) = delete;

    // Takes the bytes that arrived and returns how many it took: fewer once the answer is over, broken, or its
    // body has reached BodyLimit or its outlet's end; what it leaves is never needed. With an outlet it stops at the
    // end of the head too, so that its owner judges the head before a byte of the body pours out.
    qsizetype read(QByteArrayView bytes);
    // The server closed the connection: a body without a length ends here, and what arrived of any other counts.
    void close();
    // Why the connection closed before the body ended as its length, its chunks or its compressed stream say it
    // would; empty when it did not. A body cut short of that is no whole body, though what arrived of it counts for
    // close().
    QString cutShort() const { return cutShort_; }

    bool started() const { return started_; }
    bool headRead() const { return headRead_; }
    Fault fault() const { return fault_; }
    // What broke, for a fault.
    QString problem() const { return problem_; }
    // The first line as far as it arrived, for an answer that is no HTTP.
    QByteArray firstLine() const;

    QByteArray protocol() const { return protocol_; } // "HTTP/1.1", "ICY"
    int status() const { return status_; }
    QByteArray reason() const { return reason_; }
    // The first header of that name, trimmed; empty when there is none.
    QByteArray header(QByteArrayView name) const;

    // The body's first bytes, decoded.
    const QByteArray& body() const { return body_; }
    // Whether the body is whole: its length reached, its last chunk or the end of its gzip stream read, or the
    // connection closed.
    bool bodyEnded() const { return bodyEnded_; }

private:
    enum class Framing { Length, Chunked, UntilClose };
    enum class Chunk { Size, Data, DataEnd };
    struct Inflater;

    bool wantsMore() const;
    qsizetype readHead(QByteArrayView bytes);
    void checkStart();
    void parseHead();
    void frameBody();
    qsizetype readBody(QByteArrayView bytes);
    qsizetype readChunked(QByteArrayView bytes);
    qsizetype readLine(QByteArrayView bytes, QByteArray& line);
    qsizetype decode(QByteArrayView bytes);
    qsizetype inflate(QByteArrayView bytes);
    void pour(QByteArrayView bytes);
    void endBody() { bodyEnded_ = true; }
    void broken(const QString& problem);

    bool started_ = false;
    bool headRead_ = false;
    Fault fault_ = Fault::None;
    QString problem_;

    QByteArray head_;         // the head being read
    qsizetype headBytes_ = 0; // of every head so far, interim ones included
    bool lineEmpty_ = false;  // the head's current line has only a CR so far
    QByteArray protocol_;
    int status_ = 0;
    QByteArray reason_;
    QList<std::pair<QByteArray, QByteArray>> headers_; // names in lower case

    Framing framing_ = Framing::UntilClose;
    qint64 left_ = 0; // of the body's length, or of the current chunk
    Chunk chunk_ = Chunk::Size;
    QByteArray line_; // a chunk's size line, or the line end after its data, being read
    std::unique_ptr<Inflater> inflater_;
    Outlet outlet_;
    bool outletFull_ = false;
    QByteArray body_;
    bool bodyEnded_ = false;
    QString cutShort_;
};

// A GET of `address` over HTTP/1.1 with the extra `headers` ("Name: value\r\n" each), the user and password in the
// address sent as Basic credentials, asking the server to close the connection after its answer.
QByteArray httpGet(const QUrl& address, const QByteArray& headers);
