#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>
#include <memory>

// The bytes of a guide as they arrive, unpacked on the way where they are gzip-compressed (.xml.gz), told by the
// first two bytes whatever the address or the server says. Compressed or not, no more than `largest` bytes come out:
// a small file that unpacks to gigabytes (a "gzip bomb") stops at that bound.
namespace Guide {

class Unpack {
public:
    using Sink = std::function<void(QByteArrayView)>;
    // Throws GuideError from feed() and finish() once `largest` bytes came out.
    Unpack(qint64 largest, Sink sink);
    ~Unpack();
    Unpack(const Unpack&) = delete;
    Unpack& operator=(const Unpack&) = delete;

    void feed(QByteArrayView bytes);
    // The end of the input: throws GuideError for a compressed stream cut short.
    void finish();

    qint64 unpacked() const { return unpacked_; }

private:
    struct Inflater;
    void give(QByteArrayView bytes);
    void inflate(QByteArrayView bytes);

    qint64 largest_;
    Sink sink_;
    QByteArray head_; // the first bytes, until two tell gzip from plain text
    bool told_ = false;
    std::unique_ptr<Inflater> inflater_;
    qint64 unpacked_ = 0;
};

} // namespace Guide
