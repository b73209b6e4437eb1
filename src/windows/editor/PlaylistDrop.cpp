#include "windows/editor/PlaylistDrop.h"

#include "playlists/Import.h"
#include "runtime/MsgBox.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProgressDialog>
#include <QUrl>
#include <atomic>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

Playlists::PlaylistFile readPlaylistFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(u"读不了 %1：%2"_s.arg(path, file.errorString()).toStdString());
    return {QFileInfo(path).fileName(), Playlists::read(file.readAll())};
}

QString reportOf(const Playlists::ImportReport& report) {
    if (report.cancelled)
        return u"导入已取消，电台目录没有改变。"_s;
    QString text = u"增加了 %1 个电台"_s.arg(report.added);
    if (!report.willNotPlay.empty())
        text += u"（其中 %1 个的网址无法播放）"_s.arg(report.willNotPlay.size());
    text += u"，%1 个原来就有"_s.arg(report.alreadyPresent);
    if (!report.unreadable.empty())
        text += u"，%1 行读不懂"_s.arg(report.unreadable.size());
    return text + u"。"_s;
}

} // namespace

QStringList playlistFiles(const QMimeData& dragged) {
    QStringList files;
    for (const QUrl& url : dragged.urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

void importPlaylistFiles(QWidget& window, Database& catalogue, const QStringList& files) {
    std::vector<Playlists::PlaylistFile> playlists;
    for (const QString& path : files)
        playlists.push_back(readPlaylistFile(path));

    // Modal to the whole program: no other window may use the catalogue while the import holds it.
    QProgressDialog progress(u"正在导入播放列表……"_s, u"取消"_s, 0, 0, &window);
    progress.setWindowTitle(AppTitle);
    progress.setWindowModality(Qt::ApplicationModal);
    std::atomic_bool cancel = false;
    Playlists::ImportOptions options;
    options.cancel = &cancel;
    options.progress = [&](qint64 done, qint64 total) {
        progress.setMaximum(static_cast<int>(total));
        progress.setValue(static_cast<int>(done));
        cancel = progress.wasCanceled();
    };
    const Playlists::ImportReport report = Playlists::importPlaylists(catalogue, playlists, options);
    progress.reset();
    MsgBox(reportOf(report));
}
