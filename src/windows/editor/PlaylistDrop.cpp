#include "windows/editor/PlaylistDrop.h"

#include "core/FileFailure.h"
#include "internet/Download.h"
#include "playlists/Import.h"
#include "playlists/Input.h"
#include "runtime/MsgBox.h"
#include "windows/editor/ChannelEditor.h"
#include "windows/forms/InternetTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QProgressDialog>
#include <QUrl>
#include <atomic>
#include <cerrno>
#include <climits>
#include <deque>
#include <stdexcept>

using namespace Qt::StringLiterals;
using Internet::FetchError;

namespace {

// A dropped file, opened before the import starts and read as it goes.
struct DroppedFile {
    explicit DroppedFile(const QString& path) : file(path), input(file, QFileInfo(path).fileName()) {
        if (!file.open(QIODevice::ReadOnly)) {
            const int error = errno;
            throw FileFailure(causeOfSystemError(error), path, u"读不了 %1：%2"_s.arg(path, file.errorString()));
        }
    }

    QFile file;
    Playlists::InputBlocks input;
};

QString reportOf(const Playlists::ImportReport& report) {
    if (report.cancelled)
        return u"导入已取消，电台目录没有改变。"_s;
    if (report.playlists == 0)
        return u"拖进来的文件都不是播放列表，电台目录没有改变。"_s;
    return importSummary(report);
}

// Downloads a dropped link while the progress dialog shows its bytes; its cancel stops the download.
QByteArray download(QNetworkAccessManager& network, QProgressDialog& progress, const QString& link) {
    Internet::Request request;
    request.address = QUrl(link);
    request.playlist = true;
    Internet::Download download(network, request);
    progress.setLabelText(u"正在下载 %1 ……"_s.arg(link));
    QObject::connect(&download, &Internet::Download::progress, &progress, [&](qint64 received, qint64 total) {
        progress.setMaximum(static_cast<int>(std::min<qint64>(total, INT_MAX)));
        progress.setValue(static_cast<int>(std::min<qint64>(received, INT_MAX)));
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &download, &Internet::Download::cancel);
    return download.run().body;
}

} // namespace

QStringList playlistFiles(const QMimeData& dragged) {
    QStringList dropped;
    for (const QUrl& url : dragged.urls()) {
        if (url.isLocalFile())
            dropped.append(url.toLocalFile());
        else if (Internet::isWebAddress(url.toString()))
            dropped.append(url.toString());
    }
    if (dropped.isEmpty() && dragged.hasText() && Internet::isWebAddress(dragged.text()))
        dropped.append(dragged.text().trimmed());
    return dropped;
}

void importPlaylistFiles(add& editor, Database& catalogue, const QStringList& dropped) {
    // Modal to the whole program: no other window may use the catalogue while the import holds it, nor while a
    // download waits, during which the program's events go on. How many entries a file holds is known only once it
    // is read.
    QProgressDialog progress(u"正在导入播放列表……"_s, u"取消"_s, 0, 0, &editor);
    progress.setWindowTitle(AppTitle);
    progress.setWindowModality(Qt::ApplicationModal);
    QNetworkAccessManager network;
    std::deque<DroppedFile> files;
    std::vector<Playlists::ImportFile> playlists;
    for (const QString& item : dropped) {
        if (!Internet::isWebAddress(item)) {
            playlists.push_back(Playlists::playlistFile(files.emplace_back(item).input));
            continue;
        }
        progress.show();
        try {
            playlists.push_back(Playlists::playlistFile({item, Playlists::read(download(network, progress, item))}));
        } catch (const FetchError& error) {
            if (error.kind() == FetchError::Kind::Cancelled) {
                progress.reset();
                MsgBox(u"导入已取消，电台目录没有改变。"_s);
                return;
            }
            if (error.kind() != FetchError::Kind::NotAPlaylist)
                throw std::runtime_error(
                    u"下载不了 %1：%2（%3）"_s.arg(item, whyNot(error), QString::fromUtf8(error.what())).toStdString());
            // One station's address: the user names it and adds it.
            editor.Text2.setText(item);
            editor.Text1.SetFocus();
        }
    }
    if (playlists.empty())
        return;

    progress.setLabelText(u"正在导入播放列表……"_s);
    std::atomic_bool cancel = false;
    Playlists::ImportOptions options;
    options.cancel = &cancel;
    options.progress = [&](qint64 entries) {
        progress.setLabelText(u"正在导入播放列表……已读 %1 个电台"_s.arg(entries));
        progress.setValue(0);
        cancel = progress.wasCanceled();
    };
    const Playlists::ImportReport report = Playlists::importPlaylists(catalogue, playlists, options);
    progress.reset();
    MsgBox(reportOf(report));
}
