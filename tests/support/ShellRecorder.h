#pragma once

#include <QList>
#include <QString>

class QWidget;

// Stands in for the desktop's default handler and keeps every call the shell received.
class ShellRecorder {
public:
    struct Call {
        QWidget* owner;
        QString operation;
        QString file;
        QString parameters;
        QString directory;
        int showCommand;
    };

    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    // What the shell answers from now on: ShellExecuteA's classic code, above 32 when the address was taken.
    void answerWith(long result) { result_ = result; }

    const QList<Call>& calls() const { return calls_; }
    QStringList files() const;
    void clear() { calls_.clear(); }

private:
    QList<Call> calls_;
    long result_ = 42;
};
