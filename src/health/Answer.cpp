#include "health/Answer.h"

#include <QUrl>
#include <algorithm>
#include <limits>
#include <new>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

// A chunk's size line, extensions included; real ones are a few bytes.
constexpr qsizetype MaxChunkLine = 4 * 1024;
// What one step of decoding gives an outlet at most: a small compressed body may unpack to any size.
constexpr qsizetype OutletStep = 64 * 1024;

bool allDigits(QByteArrayView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The bytes before the first `separator`, or all of them when there is none.
QByteArrayView before(QByteArrayView bytes, char separator) {
    const qsizetype at = bytes.indexOf(separator);
    return at < 0 ? bytes : bytes.first(at);
}

// The last of a comma-separated list of codings, in lower case: the one applied last.
QByteArray lastCoding(const QByteArray& value) {
    return value.split(',').constLast().trimmed().toLower();
}

QByteArray requestTarget(const QUrl& address) {
    QByteArray target = address.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (address.hasQuery())
        target += '?' + address.query(QUrl::FullyEncoded).toLatin1();
    return target;
}

QByteArray hostHeader(const QUrl& address) {
    QString host = address.host(QUrl::FullyEncoded);
    if (host.contains(u':'))
        host = u'[' + host + u']';
    if (address.port() != -1)
        host += u':' + QString::number(address.port());
    return host.toLatin1();
}

} // namespace

// zlib's inflater, which reads a gzip or a zlib (HTTP's "deflate") stream, whichever it finds.
struct Answer::Inflater {
    z_stream stream{};
    Inflater() {
        if (inflateInit2(&stream, MAX_WBITS + 32) != Z_OK)
            throw std::bad_alloc();
    }
    ~Inflater() { inflateEnd(&stream); }
};

Answer::Answer() = default;
Answer::Answer(Outlet outlet) : outlet_(std::move(outlet)) {}
Answer::~Answer() = default;

qsizetype Answer::read(QByteArrayView bytes) {
    started_ = started_ || !bytes.isEmpty();
    qsizetype taken = 0;
    while (taken < bytes.size() && wantsMore()) {
        const QByteArrayView rest = bytes.sliced(taken);
        const bool inHead = !headRead_;
        const qsizetype step = inHead ? readHead(rest) : readBody(rest);
        if (step == 0)
            break;
        taken += step;
        if (inHead && headRead_ && outlet_)
            break;
    }
    return taken;
}

void Answer::close() {
    if (fault_ != Fault::None)
        return;
    if (!headRead_) {
        if (started_)
            return broken(u"the answer broke off within its head"_s);
        fault_ = Fault::Silent;
        problem_ = u"the server closed the connection without an answer"_s;
        return;
    }
    if (!bodyEnded_ && framing_ == Framing::Length)
        cutShort_ = u"the connection closed %1 bytes before the end the server announced"_s.arg(left_);
    else if (!bodyEnded_ && framing_ == Framing::Chunked)
        cutShort_ = u"the connection closed before the last chunk of the answer"_s;
    else if (!bodyEnded_ && inflater_)
        cutShort_ = u"the connection closed before the end of the compressed body"_s;
    endBody();
}

QByteArray Answer::firstLine() const {
    QByteArray line = before(head_, '\n').toByteArray();
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

QByteArray Answer::header(QByteArrayView name) const {
    for (const auto& [key, value] : headers_) {
        if (key == name)
            return value;
    }
    return {};
}

bool Answer::wantsMore() const {
    return fault_ == Fault::None && !bodyEnded_ && (outlet_ ? !outletFull_ : body_.size() < BodyLimit);
}

// Takes bytes up to the empty line that ends the head, and no more than the head may hold.
qsizetype Answer::readHead(QByteArrayView bytes) {
    const qsizetype scan = std::min(bytes.size(), HeadLimit - headBytes_);
    qsizetype used = scan;
    bool ends = false;
    for (qsizetype i = 0; i < scan && !ends; ++i) {
        const char c = bytes[i];
        ends = c == '\n' && lineEmpty_;
        if (c == '\n')
            lineEmpty_ = true;
        else if (c != '\r')
            lineEmpty_ = false;
        used = i + 1;
    }
    head_.append(bytes.first(used));
    headBytes_ += used;
    checkStart();
    if (fault_ != Fault::None)
        return used;
    if (ends)
        parseHead();
    else if (headBytes_ >= HeadLimit)
        broken(u"a head longer than %1 KiB"_s.arg(HeadLimit / 1024));
    return used;
}

// Tells at its first bytes an answer that is no HTTP at all (an SSH or mail server's banner, say), without waiting
// for a line end that may never come.
void Answer::checkStart() {
    const QByteArrayView start = QByteArrayView(head_).first(std::min<qsizetype>(head_.size(), 5));
    if (QByteArrayView("HTTP/").startsWith(start) ||
        QByteArrayView("ICY ").startsWith(start.first(std::min<qsizetype>(start.size(), 4))))
        return;
    fault_ = Fault::NotHttp;
    problem_ = u"an answer that is no HTTP"_s;
}

void Answer::parseHead() {
    QList<QByteArray> lines = head_.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QByteArray& statusLine = lines.constFirst();
    const qsizetype space = statusLine.indexOf(' ');
    const QByteArray rest = statusLine.mid(space + 1).trimmed();
    if (space < 0 || !allDigits(rest.left(3)) || (rest.size() > 3 && rest.at(3) != ' '))
        return broken(u"a malformed status line"_s);
    protocol_ = statusLine.left(space);
    status_ = rest.left(3).toInt();
    reason_ = rest.mid(3).trimmed();
    headers_.clear();
    for (const QByteArray& line : lines.sliced(1)) {
        if ((line.startsWith(' ') || line.startsWith('\t')) && !headers_.isEmpty()) {
            headers_.last().second += ' ' + line.trimmed(); // a folded header goes on
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            headers_.append({line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()});
    }
    head_.clear();
    lineEmpty_ = false;
    // An interim answer (100 Continue ...) is followed by the real one, whose head counts toward the same limit.
    if (status_ >= 100 && status_ < 200)
        return;
    headRead_ = true;
    frameBody();
}

void Answer::frameBody() {
    if (status_ == 204 || status_ == 304)
        return endBody();
    const QByteArray length = header("content-length");
    if (lastCoding(header("transfer-encoding")) == "chunked") {
        framing_ = Framing::Chunked;
    } else if (!length.isEmpty()) {
        // Up to 18 digits, so that the length fits in a qint64.
        if (!allDigits(length) || length.size() > 18)
            return broken(u"a malformed Content-Length"_s);
        framing_ = Framing::Length;
        left_ = length.toLongLong();
        if (left_ == 0)
            endBody();
    }
    // A coding the check did not ask for and cannot read is taken as it comes, as players take it.
    const QByteArray coding = lastCoding(header("content-encoding"));
    if (coding == "gzip" || coding == "x-gzip" || coding == "deflate")
        inflater_ = std::make_unique<Inflater>();
}

qsizetype Answer::readBody(QByteArrayView bytes) {
    switch (framing_) {
    case Framing::UntilClose:
        return decode(bytes);
    case Framing::Length: {
        const qsizetype taken = decode(bytes.first(static_cast<qsizetype>(std::min<qint64>(bytes.size(), left_))));
        left_ -= taken;
        if (left_ == 0)
            endBody();
        return taken;
    }
    case Framing::Chunked:
        return readChunked(bytes);
    }
    return 0;
}

qsizetype Answer::readChunked(QByteArrayView bytes) {
    qsizetype used = 0;
    while (used < bytes.size() && wantsMore()) {
        const QByteArrayView rest = bytes.sliced(used);
        if (chunk_ == Chunk::Data) {
            const qsizetype taken = decode(rest.first(static_cast<qsizetype>(std::min<qint64>(rest.size(), left_))));
            used += taken;
            left_ -= taken;
            if (left_ == 0)
                chunk_ = Chunk::DataEnd;
            if (taken == 0)
                break;
            continue;
        }
        used += readLine(rest, line_);
        if (!line_.endsWith('\n'))
            continue;
        const QByteArray line = line_.trimmed();
        line_.clear();
        if (chunk_ == Chunk::DataEnd) {
            if (!line.isEmpty())
                broken(u"a chunk longer than its size"_s);
            chunk_ = Chunk::Size;
            continue;
        }
        const QByteArray size = before(line, ';').trimmed().toByteArray();
        bool ok = false;
        left_ = size.size() <= 15 ? size.toLongLong(&ok, 16) : 0;
        if (!ok || left_ < 0 || size.startsWith('+'))
            broken(u"a malformed chunk size"_s);
        else if (left_ == 0) // the last chunk: the trailer after it says nothing of the body
            endBody();
        else
            chunk_ = Chunk::Data;
    }
    return used;
}

// Takes bytes up to and including a line feed into `line`, which holds at most MaxChunkLine bytes.
qsizetype Answer::readLine(QByteArrayView bytes, QByteArray& line) {
    const qsizetype newline = bytes.indexOf('\n');
    const qsizetype take = std::min(newline < 0 ? bytes.size() : newline + 1, MaxChunkLine - line.size());
    line.append(bytes.first(take));
    if (!line.endsWith('\n') && line.size() >= MaxChunkLine)
        broken(u"a chunk line longer than %1 KiB"_s.arg(MaxChunkLine / 1024));
    return take;
}

// Adds what `bytes` hold to the body, decoded, as far as there is room; returns how many of them it took.
qsizetype Answer::decode(QByteArrayView bytes) {
    if (inflater_)
        return inflate(bytes);
    const qsizetype take = outlet_ ? bytes.size() : std::min(bytes.size(), BodyLimit - body_.size());
    pour(bytes.first(take));
    return take;
}

// Unpacks step by step, so that an outlet takes a large body in bounded pieces, until the bytes are used up and
// nothing unpacked is left waiting in the inflater.
qsizetype Answer::inflate(QByteArrayView bytes) {
    z_stream& stream = inflater_->stream;
    const auto offered = static_cast<uInt>(std::min<qsizetype>(bytes.size(), std::numeric_limits<uInt>::max()));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = offered;
    QByteArray out;
    while (wantsMore()) {
        const qsizetype room = outlet_ ? OutletStep : BodyLimit - body_.size();
        out.resize(room);
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(room);
        const int result = ::inflate(&stream, Z_NO_FLUSH);
        pour(QByteArrayView(out).first(room - static_cast<qsizetype>(stream.avail_out)));
        if (result == Z_STREAM_END)
            endBody();
        else if (result != Z_OK && result != Z_BUF_ERROR)
            broken(u"a compressed body that does not decode"_s);
        if (result != Z_OK || (stream.avail_in == 0 && stream.avail_out > 0))
            break;
    }
    return static_cast<qsizetype>(offered - stream.avail_in);
}

void Answer::pour(QByteArrayView bytes) {
    if (!outlet_)
        body_.append(bytes);
    else if (!bytes.isEmpty() && !outlet_(bytes))
        outletFull_ = true;
}

void Answer::broken(const QString& problem) {
    if (fault_ != Fault::None)
        return;
    fault_ = Fault::Broken;
    problem_ = problem;
}

QByteArray httpGet(const QUrl& address, const QByteArray& headers) {
    QByteArray text = "GET " + requestTarget(address) + " HTTP/1.1\r\nHost: " + hostHeader(address) + "\r\n" + headers;
    if (!address.userInfo().isEmpty()) {
        const QString credentials = address.userName(QUrl::FullyDecoded) + u':' + address.password(QUrl::FullyDecoded);
        text += "Authorization: Basic " + credentials.toUtf8().toBase64() + "\r\n";
    }
    return text + "Connection: close\r\n\r\n";
}
