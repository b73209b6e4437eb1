#include "catalogue/Catalogue.h"
#include "cli/CommandLine.h"
#include "playing/PlayerChoice.h"
#include "tests/support/Commands.h"
#include "tests/support/StandInPlayers.h"
#include "tests/support/TestProgramDir.h"

#include <QTest>

using namespace Qt::StringLiterals;

// vimaro player, with stand-in players installed as the desktop knows them.
class TestPlayerCommand : public ProgramDirTest {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { players.emplace(); }

    void list_marksThePlayerInUse_andSaysWhichTakeHeaders();
    void choices_forAllAndForACategory_areKept_untilGivenBack();
    void wrongChoices_changeNothing_data();
    void wrongChoices_changeNothing();

private:
    std::optional<StandInPlayers> players;
};

void TestPlayerCommand::list_marksThePlayerInUse_andSaysWhichTakeHeaders() {
    const CommandRun run = runCommand({u"player"_s});
    QCOMPARE(run.exit, CommandLine::Done);
    const QString out = QString::fromUtf8(run.output);
    QVERIFY2(out.contains(u"* mpv Media Player (mpv.desktop), headers\n"_s), qPrintable(out));
    QVERIFY2(out.contains(u"  VLC media player (vlc.desktop), headers\n"_s), qPrintable(out));
    QVERIFY2(out.contains(u"  电视盒子 (tvbox.desktop)\n    audio/aac\n"_s), qPrintable(out));
}

void TestPlayerCommand::choices_forAllAndForACategory_areKept_untilGivenBack() {
    QCOMPARE(runCommand({u"player"_s, u"tvbox"_s}).exit, CommandLine::Done);
    const CommandRun run = runCommand({u"player"_s, u"vlc"_s, u"--category"_s, u"国内广播"_s});
    QCOMPARE(run.exit, CommandLine::Done);
    QVERIFY(run.output.contains("* 电视盒子 (tvbox.desktop)"));
    QVERIFY(run.output.contains("Chosen for 国内广播: VLC media player (vlc.desktop)"));
    {
        Database catalogue = Catalogue::openConnection();
        QCOMPARE(PlayerChoice::chosen(catalogue, u"国内广播"_s), u"vlc.desktop"_s);
        QCOMPARE(PlayerChoice::chosen(catalogue, u"海外广播"_s), u"tvbox.desktop"_s);
    }
    QCOMPARE(runCommand({u"player"_s, u"--default"_s, u"--no-directory-clicks"_s}).exit, CommandLine::Done);
    Database catalogue = Catalogue::openConnection();
    QCOMPARE(PlayerChoice::chosen(catalogue, u"海外广播"_s), std::nullopt);
    QCOMPARE(PlayerChoice::chosen(catalogue, u"国内广播"_s), u"vlc.desktop"_s);
    QVERIFY(!PlayerChoice::directoryClicks(catalogue));
}

void TestPlayerCommand::wrongChoices_changeNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exit");
    QTest::newRow("not installed") << QStringList{u"player"_s, u"ffplay"_s} << int(CommandLine::Failed);
    QTest::newRow("a category that holds no station")
        << QStringList{u"player"_s, u"mpv"_s, u"--category"_s, u"无此类别"_s} << int(CommandLine::Failed);
    QTest::newRow("a player and --default")
        << QStringList{u"player"_s, u"mpv"_s, u"--default"_s} << int(CommandLine::Usage);
    QTest::newRow("a category and no choice")
        << QStringList{u"player"_s, u"--category"_s, u"国内广播"_s} << int(CommandLine::Usage);
}

void TestPlayerCommand::wrongChoices_changeNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    const CommandRun run = runCommand(arguments);
    QCOMPARE(run.exit, exit);
    QVERIFY(!run.errors.isEmpty());
    Database catalogue = Catalogue::openConnection();
    QVERIFY(PlayerChoice::choices(catalogue).empty());
}

QTEST_MAIN(TestPlayerCommand)
#include "tst_player.moc"
