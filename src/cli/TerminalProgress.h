#pragma once

#include <QElapsedTimer>
#include <QString>

// The progress of a long command on the terminal: "LABEL done/total (rate/s)", redrawn in place at most ten times
// a second. When standard error is no terminal (piped, redirected) it writes nothing at all, so scripts read only
// the command's own output.
class TerminalProgress {
public:
    explicit TerminalProgress(QString label);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // `total` 0 means not known yet.
    void update(qint64 done, qint64 total);
    // Prints text of the command's own to standard output. Where that is the terminal too, the progress line
    // steps aside: it is cleared, the text printed, and the progress drawn again below it.
    void print(const QString& text);
    // Clears the line, so the command's report starts on a clean one.
    void finish();

private:
    void draw(qint64 done, qint64 total);

    QString label_;
    bool terminal_;
    bool drawn_ = false;
    QElapsedTimer started_;
    qint64 lastDraw_ = -1;
    qint64 done_ = 0;
    qint64 total_ = 0;
};
