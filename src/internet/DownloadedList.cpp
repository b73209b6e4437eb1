#include "internet/DownloadedList.h"

#include <QCoreApplication>
#include <QCryptographicHash>

using namespace Qt::StringLiterals;

namespace Internet {

DownloadedList::DownloadedList(const Fetch& fetch, Request request, const QString& name) : name_(name) {
    if (!file_.open())
        throw FetchError(FetchError::Kind::Network,
                         QCoreApplication::translate("Internet", "cannot keep the download of %1: %2")
                             .arg(name, file_.errorString()));
    request.sink = [this](QByteArrayView bytes) {
        if (file_.write(bytes.data(), bytes.size()) != bytes.size())
            throw FetchError(
                FetchError::Kind::Network,
                QCoreApplication::translate("Internet", "cannot keep the download: %1").arg(file_.errorString()));
    };
    answer_ = fetch(request);
}

QByteArray DownloadedList::digest() {
    file_.seek(0);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file_);
    return hash.result().toHex();
}

Playlists::InputBlocks& DownloadedList::input() {
    file_.seek(0);
    return input_.emplace(file_, name_);
}

} // namespace Internet
