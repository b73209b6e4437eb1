#include "core/FileFailure.h"

#include <QDir>
#include <cerrno>

using namespace Qt::StringLiterals;

FileFailure::FileFailure(Cause cause, QString file, const QString& what)
    : std::runtime_error(what.toStdString()), cause_(cause), file_(std::move(file)) {}

FileFailure::Cause causeOfSystemError(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // over the limit on a file's size (ulimit -f), a full disk for this process
        return FileFailure::Cause::DiskFull;
    case EACCES:
    case EPERM:
        return FileFailure::Cause::NoPermission;
    case EROFS:
        return FileFailure::Cause::ReadOnly;
    default:
        return FileFailure::Cause::Other;
    }
}

QString failureText(const std::exception& failure) {
    const auto* known = dynamic_cast<const FileFailure*>(&failure);
    const QString file = known ? QDir::toNativeSeparators(known->file()) : QString();
    switch (known ? known->cause() : FileFailure::Cause::Other) {
    case FileFailure::Cause::DiskFull:
        return u"磁盘空间不足（%1）"_s.arg(file);
    case FileFailure::Cause::NoPermission:
        return u"没有访问权限（%1）"_s.arg(file);
    case FileFailure::Cause::ReadOnly:
        return u"文件只读，不能写入（%1）"_s.arg(file);
    case FileFailure::Cause::NotADatabase:
        return u"不是数据库文件，或已损坏（%1）"_s.arg(file);
    case FileFailure::Cause::TooLarge:
        return u"文件太大（%1）"_s.arg(file);
    case FileFailure::Cause::Busy:
        return u"电台目录正被另一个程序使用，请稍后再试（%1）"_s.arg(file);
    case FileFailure::Cause::NoFolder:
        return u"无法建立文件夹（%1）"_s.arg(file);
    case FileFailure::Cause::Other:
        break;
    }
    return QString::fromUtf8(failure.what());
}
