#include "core/FileFailure.h"
#include "desktop/FileWriter.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Files written whole or not at all, and devices written in place.
class TestFileWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fullDisk_failsBeforeAnythingIsReplaced();
    void aTargetThatIsNoRegularFile_isWrittenInPlace();
    void aFullDevice_saysDiskFull();
    void aLinkPlantedByAnotherUserInASharedFolder_isNotFollowed();
};

void TestFileWriter::fullDisk_failsBeforeAnythingIsReplaced() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"mine.m3u"_s);
    const QByteArray old = "#EXTM3U\nhttp://old.example/\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    file.close();

    // Written in one piece the way a playlist is, larger than the limit, smaller than the writer's buffer.
    try {
        const FileSizeLimit full(4096);
        FileWriter writer(path);
        writer.write(QByteArray(10'000, 'x'));
        writer.commit();
        QFAIL("the write on a full disk did not fail");
    } catch (const FileFailure& failure) {
        QCOMPARE(failure.file(), path);
        // Past the limit on a file's size as on a full disk.
        QCOMPARE(failureText(failure), u"磁盘空间不足（%1）"_s.arg(path));
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"mine.m3u"_s});
}

void TestFileWriter::aTargetThatIsNoRegularFile_isWrittenInPlace() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"fifo"_s);
    QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const int reader = ::open(fifo.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);

    FileWriter writer(fifo);
    writer.write("#EXTM3U\n");
    writer.commit();

    char bytes[16] = {};
    QCOMPARE(::read(reader, bytes, sizeof bytes), ssize_t(8));
    ::close(reader);
    QCOMPARE(QByteArray(bytes), "#EXTM3U\n"_ba);
    struct stat after {};
    QVERIFY(::stat(fifo.toLocal8Bit().constData(), &after) == 0 && S_ISFIFO(after.st_mode));
}

void TestFileWriter::aFullDevice_saysDiskFull() {
    try {
        FileWriter writer(u"/dev/full"_s);
        writer.write("#EXTM3U\n");
        writer.commit();
        QFAIL("a write to /dev/full did not fail");
    } catch (const FileFailure& failure) {
        QCOMPARE(QString::fromUtf8(failure.what()), u"cannot write /dev/full: disk full"_s);
        QCOMPARE(failureText(failure), u"磁盘空间不足（/dev/full）"_s);
    }
}

// In a folder like /tmp, another user's link named as the target would turn the write onto a file of theirs.
void TestFileWriter::aLinkPlantedByAnotherUserInASharedFolder_isNotFollowed() {
    if (::geteuid() != 0)
        QSKIP("only root can make a link owned by another user");
    QTemporaryDir dir;
    const QString shared = dir.filePath(u"shared"_s);
    QVERIFY(QDir().mkdir(shared) && ::chmod(QFile::encodeName(shared).constData(), 01777) == 0);
    const QString victim = dir.filePath(u"victim"_s);
    QFile(victim).open(QIODevice::WriteOnly);
    const QString planted = shared + u"/list.m3u"_s;
    QVERIFY(QFile::link(victim, planted));
    QCOMPARE(::lchown(QFile::encodeName(planted).constData(), 4242, 4242), 0);

    QVERIFY_THROWS_EXCEPTION(FileFailure, FileWriter{planted});
    QCOMPARE(QFileInfo(victim).size(), 0);
    QVERIFY(QFileInfo(planted).isSymLink());
}

QTEST_GUILESS_MAIN(TestFileWriter)
#include "tst_filewriter.moc"
