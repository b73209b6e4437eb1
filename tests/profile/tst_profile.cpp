#include "core/FileFailure.h"
#include "profile/Profile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/MsgBoxScript.h"
#include "tests/support/StandardStreams.h"
#include "tests/support/TestProgramDir.h"

#include <QDir>
#include <QTest>

namespace {

const QString nodeNotFound = QStringLiteral("节点未找到");
const QString fieldNotFound = QStringLiteral("在文件中没有找到所要查找的字段");
const QString installedColour = QStringLiteral("&HFFC0C0");
const QString newColour = QStringLiteral("&H00FF00");

QString readColour(const TestProgramDir& dir) {
    return GetProfile(dir.settings(), QStringLiteral("setup"), QStringLiteral("color"));
}

void writeColour(const TestProgramDir& dir, const QString& colour) {
    setProfile(dir.settings(), QStringLiteral("setup"), QStringLiteral("color"), colour);
}

// Every box the reader shows is one of its two, each with its own buttons and caption.
void checkBoxes(const MsgBoxScript& script, const QStringList& prompts) {
    QCOMPARE(script.prompts(), prompts);
    for (const MsgBoxScript::Box& box : script.boxes()) {
        const bool field = box.prompt == fieldNotFound;
        QCOMPARE(box.buttons, field ? vbAbortRetryIgnore : vbOKOnly);
        QCOMPARE(box.title, field ? QStringLiteral("错误信息") : AppTitle);
    }
}

} // namespace

class ProfileTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readingFollowsTheFileGrammar_data();
    void readingFollowsTheFileGrammar();
    void aMissingFileShowsNodeNotFoundOnce();
    void theFieldNotFoundBoxActsOnItsAnswers_data();
    void theFieldNotFoundBoxActsOnItsAnswers();
    void withoutTheWindows_theQuestionIsALineAndAborts();
    void everyCallReadsTheFileAfresh();

    void writingRewritesTheFileLineByLine_data();
    void writingRewritesTheFileLineByLine();
    void aMissingFileIsCreatedInTheInstalledForm();
    void theTemporaryCopyStaysInTheProgramDirectory();
    void aWrittenColourReadsBack();
    void passingFilesOfAKilledSave_goWithTheNextSave();
    void aFailedWriteLeavesTheSettingsFileAsItWas_data();
    void aFailedWriteLeavesTheSettingsFileAsItWas();
    void aFailedReplacementKeepsTheOldFileAndTheNewCopy();
};

// Boxes get their default answers here (OK, Abort), so each failing read shows exactly one box.
void ProfileTest::readingFollowsTheFileGrammar_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("boxes");
    const QStringList none;
    const QStringList field{fieldNotFound};
    const QStringList node{nodeNotFound};

    QTest::newRow("the installed file gives its colour")
        << QByteArray("[setup]\r\ncolor=&HFFC0C0\r\n") << installedColour << none;
    QTest::newRow("a last line without a line break")
        << QByteArray("[setup]\r\ncolor=&HFFC0C0") << installedColour << none;
    QTest::newRow("lines before the header are passed over")
        << QByteArray("; theme\r\n[other]\r\na=1\r\n[setup]\r\ncolor=7\r\n") << "7" << none;
    QTest::newRow("a further = belongs to the value")
        << QByteArray("[setup]\r\ncolor=a=b=\r\nx=1\r\n") << "a=b=" << none;
    QTest::newRow("a lone LF in the value is text") << QByteArray("[setup]\r\ncolor=1\n2\r\n") << "1\n2" << none;
    QTest::newRow("a space after = starts the value") << QByteArray("[setup]\r\ncolor= 1\r\n") << " 1" << none;
    QTest::newRow("a key in a later section, not first after its header")
        << QByteArray("[setup]\r\nx=1\r\n[more]\r\ny=2\r\ncolor=3\r\n") << "3" << none;
    QTest::newRow("[setup] inside an earlier value counts as the header")
        << QByteArray("note=[setup]\r\ncolor=5\r\n") << "5" << none;

    QTest::newRow("trailing spaces after ] are skipped in place of CR LF")
        << QByteArray("[setup]  \r\ncolor=1\r\n") << "" << field;
    QTest::newRow("LF-only lines lose the entry's first character") << QByteArray("[setup]\ncolor=1\n") << "" << field;
    QTest::newRow("a blank line before the entry") << QByteArray("[setup]\r\n\r\ncolor=1\r\n") << "" << field;
    QTest::newRow("a space before =") << QByteArray("[setup]\r\ncolor =1\r\n") << "" << field;
    QTest::newRow("a key in another case") << QByteArray("[setup]\r\nColor=1\r\n") << "" << field;
    QTest::newRow("a section in another case") << QByteArray("[Setup]\r\ncolor=1\r\n") << "" << field;
    QTest::newRow("spaces inside the brackets") << QByteArray("[ setup ]\r\ncolor=1\r\n") << "" << field;
    QTest::newRow("a key first after a later header")
        << QByteArray("[setup]\r\nx=1\r\n[more]\r\ncolor=3\r\n") << "" << field;
    QTest::newRow("a [ in an earlier value runs to the next ]")
        << QByteArray("[top]\r\nx=[\r\n[setup]\r\ncolor=1\r\n") << "" << field;
    QTest::newRow("an empty file") << QByteArray("") << "" << field;
    QTest::newRow("a file without the section") << QByteArray("[other]\r\ncolor=1\r\n") << "" << field;

    // A settings line is a few dozen bytes; one beyond 64 KiB ends the file for the reader, however large it is.
    const QByteArray longValue(60'000, 'v');
    const QByteArray tooLongValue(70'000, 'v');
    QTest::newRow("a long line is still a line")
        << QByteArray("[setup]\r\nx=" + longValue + "\r\ncolor=1\r\n") << "1" << none;
    QTest::newRow("a line too long to be a settings line is refused")
        << QByteArray("[setup]\r\nx=" + tooLongValue + "\r\ncolor=1\r\n") << "" << field;
    QTest::newRow("a longer key that begins with the key") << QByteArray("[setup]\r\ncolors=1\r\n") << "" << field;
    QTest::newRow("a longer section that begins with the section")
        << QByteArray("[setupx]\r\ncolor=1\r\n") << "" << field;

    QTest::newRow("the file ends right after the header") << QByteArray("x=1\r\n[setup]") << "" << node;
    QTest::newRow("the file ends one character after the header") << QByteArray("[setup]\r") << "" << node;
    QTest::newRow("an unclosed section name running to the end") << QByteArray("[setup") << "" << node;
}

void ProfileTest::readingFollowsTheFileGrammar() {
    QFETCH(QByteArray, content);
    QFETCH(QString, value);
    QFETCH(QStringList, boxes);
    TestProgramDir dir;
    dir.write(QStringLiteral("tvset.ini"), content);
    MsgBoxScript script;

    QCOMPARE(readColour(dir), value);
    checkBoxes(script, boxes);
}

void ProfileTest::aMissingFileShowsNodeNotFoundOnce() {
    TestProgramDir dir;
    dir.remove(QStringLiteral("tvset.ini"));
    MsgBoxScript script;
    script.answerNext(vbOK);

    QCOMPARE(readColour(dir), QString());
    checkBoxes(script, {nodeNotFound});
    QVERIFY(!QFile::exists(dir.settings()));
}

void ProfileTest::theFieldNotFoundBoxActsOnItsAnswers_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("value");
    const QByteArray missingKey("[setup]\r\nx=1\r\n");

    QTest::newRow("Abort gives up") << missingKey << QList<int>{vbAbort} << "";
    QTest::newRow("Retry fails again, then Abort") << missingKey << QList<int>{vbRetry, vbAbort} << "";
    QTest::newRow("Ignore on a missing key comes back until Abort")
        << missingKey << QList<int>{vbIgnore, vbIgnore, vbRetry, vbAbort} << "";
    QTest::newRow("Ignore after = ends the file returns the line skipped last")
        << QByteArray("[setup]\r\nx=first\r\ny=last\r\ncolor=") << QList<int>{vbIgnore} << "last";
    QTest::newRow("Ignore after = ends the file with nothing skipped")
        << QByteArray("[setup]\r\ncolor=") << QList<int>{vbIgnore} << "";
    QTest::newRow("Retry after = ends the file, then Ignore")
        << QByteArray("[setup]\r\nx=last\r\ncolor=") << QList<int>{vbRetry, vbIgnore} << "last";
    QTest::newRow("a key ending the file without = is read past its end")
        << QByteArray("[setup]\r\nx=last\r\ncolor") << QList<int>{vbIgnore} << "last";
}

void ProfileTest::theFieldNotFoundBoxActsOnItsAnswers() {
    QFETCH(QByteArray, content);
    QFETCH(QList<int>, answers);
    QFETCH(QString, value);
    TestProgramDir dir;
    dir.write(QStringLiteral("tvset.ini"), content);
    MsgBoxScript script;
    for (int answer : answers)
        script.answerNext(MsgBoxResult(answer));

    QCOMPARE(readColour(dir), value);
    checkBoxes(script, QStringList(answers.size(), fieldNotFound));
}

// A command has no one to answer a box: it says the question once on standard error and goes no further.
void ProfileTest::withoutTheWindows_theQuestionIsALineAndAborts() {
    TestProgramDir dir;
    dir.write(QStringLiteral("tvset.ini"), QByteArray("[setup]\r\nx=1\r\n"));
    StandardStreams streams;

    QCOMPARE(readColour(dir), QString());
    QCOMPARE(QString::fromUtf8(streams.errors()), QStringLiteral("vimaro: %1\n").arg(fieldNotFound));
}

// Start-up reads the colour once per window: each read shows its own boxes, starts with empty buffers and sees
// the file as it is now.
void ProfileTest::everyCallReadsTheFileAfresh() {
    TestProgramDir dir;
    MsgBoxScript script;
    script.answerNext(vbIgnore);
    script.answerNext(vbIgnore);

    dir.write(QStringLiteral("tvset.ini"), "[setup]\r\nx=stale\r\ncolor=");
    QCOMPARE(readColour(dir), QStringLiteral("stale"));
    dir.write(QStringLiteral("tvset.ini"), "[setup]\r\ncolor=");
    QCOMPARE(readColour(dir), QString());
    dir.write(QStringLiteral("tvset.ini"), "[setup]\r\ncolor=1\r\n");
    QCOMPARE(readColour(dir), QStringLiteral("1"));
    checkBoxes(script, {fieldNotFound, fieldNotFound});
}

void ProfileTest::writingRewritesTheFileLineByLine_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("after");
    const auto row = [](const char* tag, const QByteArray& before, const QByteArray& after,
                        const QString& section = QStringLiteral("setup"),
                        const QString& name = QStringLiteral("color")) {
        QTest::newRow(tag) << before << section << name << after;
    };

    row("the installed file", "[setup]\r\ncolor=&HFFC0C0\r\n", "[setup]\r\ncolor=&H00FF00\r\n");
    row("the entry is replaced in place", "; a\r\n[setup]\r\nx=1\r\ncolor=1\r\ny=2\r\n[z]\r\n",
        "; a\r\n[setup]\r\nx=1\r\ncolor=&H00FF00\r\ny=2\r\n[z]\r\n");
    row("without an entry it becomes the last line", "[setup]\r\nx=1\r\n[other]\r\ny=2\r\n",
        "[setup]\r\nx=1\r\n[other]\r\ny=2\r\ncolor=&H00FF00\r\n");
    row("a key before the header is left alone", "color=0\r\n[setup]\r\n", "color=0\r\n[setup]\r\ncolor=&H00FF00\r\n");
    row("a header that merely contains the section", "[mysetup2]\r\ncolor=1\r\n[setup]\r\ncolor=2\r\n",
        "[mysetup2]\r\ncolor=&H00FF00\r\n[setup]\r\ncolor=&H00FF00\r\n");
    row("two headers get two entries", "[setup]\r\ncolor=1\r\n[setup.old]\r\nx=2\r\n",
        "[setup]\r\ncolor=&H00FF00\r\n[setup.old]\r\nx=2\r\ncolor=&H00FF00\r\n");
    row("a header met while looking for the entry gets none of its own", "[setup]\r\nx=[setup2]\r\ncolor=1\r\n",
        "[setup]\r\nx=[setup2]\r\ncolor=&H00FF00\r\n");
    row("a longer key containing the key is replaced", "[setup]\r\nbgcolor=1\r\ncolor=2\r\n",
        "[setup]\r\ncolor=&H00FF00\r\ncolor=2\r\n");
    row("a header containing the key is replaced", "[setup]\r\n[colors]\r\ncolor=2\r\n",
        "[setup]\r\ncolor=&H00FF00\r\ncolor=2\r\n");
    row("a key in another case is not the entry", "[setup]\r\nColor=1\r\n", "[setup]\r\nColor=1\r\ncolor=&H00FF00\r\n");
    row("spaces around header and entry", "[setup]\r\ncolor=1\r\n  [ setup ]  \r\n color = 1 \r\n",
        "[setup]\r\ncolor=&H00FF00\r\n  [ setup ]  \r\ncolor=&H00FF00\r\n");
    row("a last line without a line break, blank lines and lone CRs", "\r\n[setup]\r\ncolor=1\r\n\r\n\rx",
        "\r\n[setup]\r\ncolor=&H00FF00\r\n\r\n\r\nx\r\n");
    row("a line in another encoding is kept byte for byte", "\xb1\xb3\xbe\xb0\r\n[setup]\r\ncolor=1\r\n",
        "\xb1\xb3\xbe\xb0\r\n[setup]\r\ncolor=&H00FF00\r\n");
    // The file is read in blocks of 16 KiB: here a CR ends one block and its LF begins the next.
    row("a line break split between two reads", QByteArray("k=v\r\n").repeated(4000) + "[setup]\r\ncolor=1\r\n",
        QByteArray("k=v\r\n").repeated(4000) + "[setup]\r\ncolor=&H00FF00\r\n");
    row("section and key are trimmed for matching, the entry is not", "[setup]\r\ncolor=0\r\n[ setup ]\r\ncolor=1\r\n",
        "[setup]\r\n color =&H00FF00\r\n[ setup ]\r\n color =&H00FF00\r\n", QStringLiteral(" setup "),
        QStringLiteral(" color "));

    // Where the lines above leave no entry the reader finds, the installed form comes first and every line stays.
    const QByteArray installedForm = "[setup]\r\ncolor=&H00FF00\r\n";
    row("an empty file", "", installedForm);
    row("no header", "setup=1\r\ncolor=1\nz\r\r\n", installedForm + "setup=1\r\ncolor=1\nz\r\n\r\n");
    row("a blank line before the entry", "[setup]\r\n\r\ncolor=1\r\n", installedForm + "[setup]\r\n\r\ncolor=1\r\n");
    row("spaces round the brackets' name", "[ setup ]\r\ncolor=1\r\n", installedForm + "[ setup ]\r\ncolor=1\r\n");
    row("a header that only contains the section", "[mysetup2]\r\ncolor=1\r\n",
        installedForm + "[mysetup2]\r\ncolor=1\r\n");
    row("an entry first after a header met on the way", "[setup]\r\n[setup2]\r\ncolor=1\r\n",
        installedForm + "[setup]\r\n[setup2]\r\ncolor=1\r\n");
    row("a replaced line that hides behind a line without =", "[setup]\r\n; note\r\nx=my color\r\ncolor=2\r\n",
        installedForm + "[setup]\r\n; note\r\nx=my color\r\ncolor=2\r\n");
}

void ProfileTest::writingRewritesTheFileLineByLine() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, name);
    QFETCH(QByteArray, after);
    TestProgramDir dir;
    dir.write(QStringLiteral("tvset.ini"), before);

    setProfile(dir.settings(), section, name, newColour);
    QCOMPARE(dir.read(QStringLiteral("tvset.ini")), after);
    QCOMPARE(dir.read(QStringLiteral("tvset.tmp")), after);
}

void ProfileTest::aMissingFileIsCreatedInTheInstalledForm() {
    TestProgramDir dir;
    dir.remove(QStringLiteral("tvset.ini"));

    writeColour(dir, newColour);
    QCOMPARE(dir.read(QStringLiteral("tvset.ini")), QByteArray("[setup]\r\ncolor=&H00FF00\r\n"));
    QCOMPARE(dir.read(QStringLiteral("tvset.tmp")), dir.read(QStringLiteral("tvset.ini")));
}

void ProfileTest::theTemporaryCopyStaysInTheProgramDirectory() {
    TestProgramDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("elsewhere")));
    const QString settings = dir.file(QStringLiteral("elsewhere/tvset.ini"));
    dir.write(QStringLiteral("elsewhere/tvset.ini"), "[setup]\r\ncolor=1\r\n");

    setProfile(settings, QStringLiteral("setup"), QStringLiteral("color"), newColour);
    QCOMPARE(dir.read(QStringLiteral("tvset.tmp")), QByteArray("[setup]\r\ncolor=&H00FF00\r\n"));
    QCOMPARE(QDir(dir.file(QStringLiteral("elsewhere"))).entryList(QDir::Files), QStringList{"tvset.ini"});
}

// A save killed half-way leaves the passing files it wrote into; another program's file of a like name stays.
void ProfileTest::passingFilesOfAKilledSave_goWithTheNextSave() {
    TestProgramDir dir;
    dir.write(QStringLiteral("tvset.ini.aB3xYz"), "[setup]\r\ncol");
    dir.write(QStringLiteral("tvset.tmp.Q1w2E3"), "[set");
    dir.write(QStringLiteral("tvset.ini.backup-of-mine"), "kept");

    writeColour(dir, newColour);
    QStringList left = QDir(dir.path()).entryList({QStringLiteral("tvset.*")}, QDir::Files);
    left.sort();
    QCOMPARE(left, (QStringList{"tvset.ini", "tvset.ini.backup-of-mine", "tvset.tmp"}));
}

void ProfileTest::aWrittenColourReadsBack() {
    TestProgramDir dir;
    MsgBoxScript script;

    writeColour(dir, newColour);
    QCOMPARE(readColour(dir), newColour);
    writeColour(dir, QStringLiteral("16777215"));
    QCOMPARE(readColour(dir), QStringLiteral("16777215"));
    checkBoxes(script, {});
}

void ProfileTest::aFailedWriteLeavesTheSettingsFileAsItWas_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("directoryInTheWay");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("named");
    QTest::addColumn<bool>("diskFull");

    const auto row = [](const char* tag, bool installed, const char* directoryInTheWay, const char* named,
                        const QByteArray& content = {}, bool diskFull = false) {
        QTest::newRow(tag) << installed << QString::fromUtf8(directoryInTheWay) << content << QString::fromUtf8(named)
                           << diskFull;
    };

    // Tests run as root, where permission bits stop no write: a directory in the way does.
    row("tvset.tmp cannot be written", true, "tvset.tmp", "tvset.tmp");
    row("tvset.ini is a directory", false, "tvset.ini", "tvset.ini");
    row("a line too long to be a settings line", true, "", "tvset.ini",
        "[setup]\r\ncolor=1\r\n" + QByteArray(70'000, 'x') + "\r\n");
    row("a full disk", true, "", "tvset.ini", "[setup]\r\ncolor=&HFFC0C0\r\n" + QByteArray(100, ';') + "\r\n", true);
}

void ProfileTest::aFailedWriteLeavesTheSettingsFileAsItWas() {
    QFETCH(bool, installed);
    QFETCH(QString, directoryInTheWay);
    QFETCH(QByteArray, content);
    QFETCH(QString, named);
    QFETCH(bool, diskFull);
    TestProgramDir dir;
    if (!content.isEmpty())
        dir.write(QStringLiteral("tvset.ini"), content);
    if (!installed)
        dir.remove(QStringLiteral("tvset.ini"));
    if (!directoryInTheWay.isEmpty())
        QVERIFY(QDir(dir.path()).mkdir(directoryInTheWay));
    const QByteArray before = dir.read(QStringLiteral("tvset.ini"));
    const auto entries = [&dir] { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); };
    const QStringList entriesBefore = entries();

    try {
        std::optional<FileSizeLimit> full;
        if (diskFull)
            full.emplace(64);
        writeColour(dir, newColour);
        QFAIL("the write did not fail");
    } catch (const FileFailure& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(named), error.what());
    }
    QCOMPARE(dir.read(QStringLiteral("tvset.ini")), before);
    QCOMPARE(entries(), entriesBefore);
}

// The replacement is written beside the settings file under a longer name; at the longest name a directory allows,
// that name cannot exist.
void ProfileTest::aFailedReplacementKeepsTheOldFileAndTheNewCopy() {
    TestProgramDir dir;
    const QString longName = QString(250, u'x') + QStringLiteral(".ini");
    const QByteArray installed = "[setup]\r\ncolor=&HFFC0C0\r\n";
    dir.write(longName, installed);

    try {
        setProfile(dir.file(longName), QStringLiteral("setup"), QStringLiteral("color"), newColour);
        QFAIL("the replacement did not fail");
    } catch (const FileFailure& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(longName), error.what());
    }
    QCOMPARE(dir.read(longName), installed);
    QCOMPARE(dir.read(QStringLiteral("tvset.tmp")), QByteArray("[setup]\r\ncolor=&H00FF00\r\n"));
    QCOMPARE(QDir(dir.path()).entryList({longName + u'*'}, QDir::AllEntries), QStringList{longName});
}

QTEST_GUILESS_MAIN(ProfileTest)
#include "tst_profile.moc"
