#include "guide/Unpack.h"

#include "guide/Guide.h"

#include <QLocale>
#include <zlib.h>

using namespace Qt::StringLiterals;

namespace Guide {

namespace {

constexpr qsizetype OutputBlock = 256 * 1024;

bool isGzip(QByteArrayView head) {
    return head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0x1F &&
           static_cast<unsigned char>(head[1]) == 0x8B;
}

} // namespace

struct Unpack::Inflater {
    z_stream stream{};
    bool ended = false; // of the current gzip member
    QByteArray output{OutputBlock, Qt::Uninitialized};
    Inflater() {
        if (inflateInit2(&stream, MAX_WBITS + 16) != Z_OK)
            throw std::bad_alloc();
    }
    ~Inflater() { inflateEnd(&stream); }
};

Unpack::Unpack(qint64 largest, Sink sink) : largest_(largest), sink_(std::move(sink)) {}

Unpack::~Unpack() = default;

void Unpack::feed(QByteArrayView bytes) {
    if (!told_) {
        head_ += bytes;
        if (head_.size() < 2)
            return;
        told_ = true;
        if (isGzip(head_))
            inflater_ = std::make_unique<Inflater>();
        bytes = head_;
    }
    if (inflater_)
        inflate(bytes);
    else
        give(bytes);
    head_.clear();
}

void Unpack::finish() {
    if (!told_) {
        told_ = true;
        give(head_);
    }
    if (inflater_ && !inflater_->ended)
        throw GuideError(u"the gzip-compressed guide is cut short"_s);
}

void Unpack::give(QByteArrayView bytes) {
    unpacked_ += bytes.size();
    if (unpacked_ > largest_)
        throw GuideError(
            u"the guide unpacks to more than %1, the limit"_s.arg(QLocale::c().formattedDataSize(largest_)));
    if (!bytes.isEmpty())
        sink_(bytes);
}

// A file of several gzip members (concatenated .gz files) unpacks as one, as gunzip unpacks it.
void Unpack::inflate(QByteArrayView bytes) {
    z_stream& stream = inflater_->stream;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    while (stream.avail_in > 0) {
        if (inflater_->ended) {
            inflateReset(&stream);
            inflater_->ended = false;
        }
        stream.next_out = reinterpret_cast<Bytef*>(inflater_->output.data());
        stream.avail_out = static_cast<uInt>(OutputBlock);
        const int result = ::inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
            throw GuideError(u"the gzip-compressed guide is damaged (%1)"_s.arg(
                QString::fromLatin1(stream.msg ? stream.msg : "zlib error")));
        inflater_->ended = result == Z_STREAM_END;
        give(QByteArrayView(inflater_->output.constData(), OutputBlock - stream.avail_out));
        if (result == Z_BUF_ERROR && stream.avail_out > 0)
            break;
    }
}

} // namespace Guide
