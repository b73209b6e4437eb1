#include "desktop/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

uid_t nobody() {
    return ::getpwnam("nobody")->pw_uid;
}

void giveAway(const QString& path) {
    if (::lchown(QFile::encodeName(path).constData(), nobody(), nobody()) != 0)
        qFatal("cannot give %s away", qPrintable(path));
}

} // namespace

// Where the one running copy keeps its lock and its socket when no other user may touch them. The temporary folder,
// the runtime folder and the cache folder are the test's own.
class TestSingleInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void privateFolder_isOnlyTheUsersToWrite_data();
    void privateFolder_isOnlyTheUsersToWrite();
    void lockAndSocketOfAnotherUser_areNotTrusted();

private:
    QString path(const QString& name) const { return root->filePath(name); }
    QString temporary() const { return path(u"tmp/vimaro-%1"_s.arg(::geteuid())); }

    std::optional<QTemporaryDir> root;
};

void TestSingleInstance::init() {
    root.emplace();
    for (const QString& folder : {u"tmp"_s, u"run"_s, u"cache"_s, u"elsewhere"_s})
        QVERIFY(QDir(root->path()).mkdir(folder));
    QFile::setPermissions(path(u"run"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TMPDIR", path(u"tmp"_s).toUtf8());
    qputenv("XDG_RUNTIME_DIR", path(u"run"_s).toUtf8());
    qputenv("XDG_CACHE_HOME", path(u"cache"_s).toUtf8());
}

void TestSingleInstance::cleanup() {
    for (const char* name : {"TMPDIR", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"})
        qunsetenv(name);
    root.reset();
}

void TestSingleInstance::privateFolder_isOnlyTheUsersToWrite_data() {
    QTest::addColumn<QString>("runtime");  // set, unset, or open to others (mode 0755)
    QTest::addColumn<QString>("standing"); // what stands at tmp/vimaro-UID beforehand
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("asRoot"); // the test needs another user's file
    QTest::newRow("the runtime folder") << u"set"_s << u"missing"_s << u"run"_s << false;
    QTest::newRow("no runtime folder") << u"unset"_s << u"missing"_s << u"tmp"_s << false;
    QTest::newRow("a runtime folder open to others") << u"open"_s << u"missing"_s << u"tmp"_s << false;
    QTest::newRow("the user's own, made before") << u"unset"_s << u"private"_s << u"tmp"_s << false;
    QTest::newRow("the user's own, open to others") << u"unset"_s << u"open"_s << u"tmp"_s << false;
    QTest::newRow("a link of the user's") << u"unset"_s << u"link"_s << u"tmp"_s << false;
    QTest::newRow("another user's") << u"unset"_s << u"foreign"_s << u"cache"_s << true;
}

void TestSingleInstance::privateFolder_isOnlyTheUsersToWrite() {
    QFETCH(QString, runtime);
    QFETCH(QString, standing);
    QFETCH(QString, chosen);
    QFETCH(bool, asRoot);
    if (asRoot && ::geteuid() != 0)
        QSKIP("only root can make a file another user owns");
    if (runtime == u"unset"_s)
        qunsetenv("XDG_RUNTIME_DIR");
    if (runtime == u"open"_s)
        QVERIFY(::chmod(QFile::encodeName(path(u"run"_s)).constData(), 0755) == 0);
    const QString planted = temporary() + u"/planted"_s;
    if (standing != u"missing"_s && standing != u"link"_s) {
        QVERIFY(QDir().mkdir(temporary()));
        QFile(planted).open(QIODevice::WriteOnly);
        QVERIFY(::chmod(QFile::encodeName(temporary()).constData(), standing == u"private"_s ? 0700 : 0777) == 0);
        if (standing == u"foreign"_s)
            giveAway(temporary());
    }
    if (standing == u"link"_s)
        QVERIFY(QFile::link(path(u"elsewhere"_s), temporary()));

    const QString folder = SingleInstance::privateFolder();

    const QString expected = chosen == u"tmp"_s     ? temporary()
                             : chosen == u"cache"_s ? path(u"cache/vimaro"_s)
                                                    : path(chosen);
    QCOMPARE(folder, expected);
    const QFileInfo made(folder);
    QVERIFY(made.isDir() && !made.isSymLink());
    QCOMPARE(made.ownerId(), ::geteuid());
    QCOMPARE(made.permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                                    QFile::WriteUser | QFile::ExeUser),
             QFile::Permissions());
    // Only the user's own folder that was private already keeps what it held.
    QCOMPARE(QFile::exists(planted), standing == u"private"_s || standing == u"foreign"_s);
    QVERIFY(QFileInfo(path(u"elsewhere"_s)).isDir());
}

// A running copy's lock and socket given away to another user stand for what that user could plant beside the
// user's own (root can write into any folder): a start neither defers to them nor waits on them.
void TestSingleInstance::lockAndSocketOfAnotherUser_areNotTrusted() {
    if (::geteuid() != 0)
        QSKIP("only root can make a file another user owns");
    SingleInstance planted(root->path());
    QCOMPARE(planted.start(), SingleInstance::Start::First);
    const QDir folder(SingleInstance::privateFolder());
    const QStringList files = folder.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    QCOMPARE(files.size(), 2);
    for (const QString& file : files)
        giveAway(folder.filePath(file));

    SingleInstance next(root->path());
    QCOMPARE(next.start(std::chrono::milliseconds(100)), SingleInstance::Start::First);
    // The first finds its lock gone when it ends.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Could not remove our own lock file"_s));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
