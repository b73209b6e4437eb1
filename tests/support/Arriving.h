#pragma once

#include <QIODevice>

// Bytes as a pipe or a slow server gives them, at most `step` at a time: `start`, then `again` over and over for
// an input that never ends (as /dev/zero), or nothing more when `again` is empty.
class Arriving : public QIODevice {
public:
    Arriving(QByteArray start, QByteArray again, qint64 step)
        : start_(std::move(start)), again_(std::move(again)), step_(step) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 given() const { return given_; }

protected:
    qint64 readData(char* data, qint64 size) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray start_;
    QByteArray again_;
    qint64 step_;
    qint64 given_ = 0;
};
