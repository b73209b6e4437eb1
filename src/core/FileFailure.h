#pragma once

#include <QString>
#include <stdexcept>

// A failure of the world outside the program on one file, with its cause where the system names one that a user can
// act on. what() says it in English for the terminal; failureText() says it in Chinese for a message box.
class FileFailure : public std::runtime_error {
public:
    enum class Cause { Other, DiskFull, NoPermission, ReadOnly, NotADatabase, TooLarge, Busy, NoFolder };

    FileFailure(Cause cause, QString file, const QString& what);
    // A failure with no cause of those and no file: its text is all there is to tell.
    explicit FileFailure(const std::string& what) : std::runtime_error(what) {}

    Cause cause() const { return cause_; }
    const QString& file() const { return file_; }

private:
    Cause cause_ = Cause::Other;
    QString file_;
};

// The cause that a system error number (errno) names, Other for all the rest.
FileFailure::Cause causeOfSystemError(int error);

// What a message box says of a failure: for a cause the system names, its wording with the file's name, in Chinese
// throughout; else the failure's own text.
QString failureText(const std::exception& failure);
