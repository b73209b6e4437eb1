#include "cli/TerminalProgress.h"

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

TerminalProgress::TerminalProgress(QString label) : label_(std::move(label)), terminal_(isatty(STDERR_FILENO) == 1) {
    started_.start();
}

TerminalProgress::~TerminalProgress() {
    finish();
}

void TerminalProgress::update(qint64 done, qint64 total) {
    if (!terminal_)
        return;
    done_ = done;
    total_ = total;
    const qint64 now = started_.elapsed();
    if (lastDraw_ >= 0 && now - lastDraw_ < 100 && done != total)
        return;
    lastDraw_ = now;
    draw(done, total);
}

void TerminalProgress::print(const QString& text) {
    const bool stepAside = drawn_ && isatty(STDOUT_FILENO) == 1;
    if (stepAside)
        finish();
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
    if (stepAside)
        draw(done_, total_);
}

void TerminalProgress::draw(qint64 done, qint64 total) {
    const double seconds = qMax<qint64>(started_.elapsed(), 1) / 1000.0;
    QString line = label_ + u' ' + QString::number(done);
    if (total > 0)
        line += u'/' + QString::number(total);
    line += u" (%1/s)"_s.arg(qRound64(done / seconds));
    // Carriage return and erase-to-end-of-line redraw the one line in place.
    std::fprintf(stderr, "\r%s\x1b[K", qPrintable(line));
    std::fflush(stderr);
    drawn_ = true;
}

void TerminalProgress::finish() {
    if (drawn_) {
        std::fprintf(stderr, "\r\x1b[K");
        std::fflush(stderr);
        drawn_ = false;
    }
}
