#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <memory>
#include <utility>

// A server's answer to the check's GET, read as its bytes arrive and bounded in every part, whatever the server
// sends: a status line and headers of at most HeadLimit bytes together (interim 1xx heads included), and of the
// body only the first BodyLimit bytes, taken out of chunked transfer and decoded from gzip or deflate. Nothing
// beyond is ever held. It knows no sockets: the check feeds it what its connection reads, a fuzz target any bytes.
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

    Answer();
    ~Answer();
    Answer(const Answer&) = delete;
    Answer& operator=(const Answer&) = delete;

    // Takes the bytes that arrived and returns how many it took: fewer once the answer is over, broken, or its
    // body has reached BodyLimit; what it leaves is never needed.
    qsizetype read(QByteArrayView bytes);
    // The server closed the connection: a body without a length ends here, and what arrived of any other counts.
    void close();

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
    QByteArray body_;
    bool bodyEnded_ = false;
};
