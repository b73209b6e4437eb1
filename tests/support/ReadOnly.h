#pragma once

#include <QFileDevice>
#include <QString>

// Makes a file or a directory unwritable for as long as it lives, for root as well: besides taking away the write
// permission, which root passes over, it sets the file system's immutable flag, which binds root too. ok() is false
// where that flag cannot be set (no privilege for it, a file system without it); the test then cannot run.
class ReadOnly {
public:
    explicit ReadOnly(const QString& path);
    ~ReadOnly();
    ReadOnly(const ReadOnly&) = delete;
    ReadOnly& operator=(const ReadOnly&) = delete;

    bool ok() const { return ok_; }

private:
    QString path_;
    QFileDevice::Permissions permissions_;
    bool immutable_ = false;
    bool ok_ = true;
};
