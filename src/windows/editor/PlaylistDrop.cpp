#include "windows/editor/PlaylistDrop.h"

#include "playlists/Import.h"
#include "playlists/Input.h"
#include "runtime/FileFailure.h"
#include "runtime/MsgBox.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProgressDialog>
#include <QUrl>
#include <atomic>
#include <cerrno>
#include <deque>

using namespace Qt::StringLiterals;

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
    QString text = u"增加了 %1 个电台"_s.arg(report.added);
    if (report.willNotPlay.count > 0)
        text += u"（其中 %1 个的网址无法播放）"_s.arg(report.willNotPlay.count);
    text += u"，%1 个原来就有"_s.arg(report.alreadyPresent);
    if (report.unreadable.count > 0)
        text += u"，%1 行读不懂"_s.arg(report.unreadable.count);
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
    std::deque<DroppedFile> dropped;
    std::vector<Playlists::ImportFile> playlists;
    for (const QString& path : files)
        playlists.push_back(Playlists::playlistFile(dropped.emplace_back(path).input));

    // Modal to the whole program: no other window may use the catalogue while the import holds it. How many entries
    // a file holds is known only once it is read.
    QProgressDialog progress(u"正在导入播放列表……"_s, u"取消"_s, 0, 0, &window);
    progress.setWindowTitle(AppTitle);
    progress.setWindowModality(Qt::ApplicationModal);
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
