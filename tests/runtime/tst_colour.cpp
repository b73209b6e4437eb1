#include "runtime/OleColor.h"

#include <QTest>

class TestColour : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storedText_convertsToTheWindowColour_data();
    void storedText_convertsToTheWindowColour();
    void textThatIsNoNumber_isAnError_data();
    void textThatIsNoNumber_isAnError();
    void windowsTakeOnlyColoursUpToWhite();
};

void TestColour::storedText_convertsToTheWindowColour_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("default theme") << "&HFFC0C0" << QColor(192, 192, 255);
    QTest::newRow("emerald green") << "&HC0FFC0" << QColor(192, 255, 192);
    QTest::newRow("emerald green in decimal") << "12648384" << QColor(192, 255, 192);
    QTest::newRow("lower-case hex") << "&hd29788" << QColor(136, 151, 210);
    QTest::newRow("black") << "0" << QColor(0, 0, 0);
    QTest::newRow("short hex is red") << "&HFF" << QColor(255, 0, 0);
}

void TestColour::storedText_convertsToTheWindowColour() {
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QCOMPARE(toQColor(toOleColor(text)), colour);
}

void TestColour::textThatIsNoNumber_isAnError_data() {
    QTest::addColumn<QString>("text");
    for (const char* text : {"", "&H", "#FFC0C0", "0xFFC0C0", "pale blue", "12.5", "-1", " 255", "&HFFC0C0 ", "&HG0",
                             "99999999999", "&H123456789", "&H0000FF\n", "255\n", "&H0000FF\r\n"})
        QTest::newRow(text) << QString::fromLatin1(text);
}

void TestColour::textThatIsNoNumber_isAnError() {
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(ColourError, toOleColor(text));
}

void TestColour::windowsTakeOnlyColoursUpToWhite() {
    QCOMPARE(toQColor(0xFFFFFF), QColor(Qt::white));
    QVERIFY_THROWS_EXCEPTION(ColourError, toQColor(0x1000000));
    QCOMPARE(toOleColor(QStringLiteral("&HFFFFFFFF")), -1);
    QVERIFY_THROWS_EXCEPTION(ColourError, toQColor(-1));
    QCOMPARE(toBackColor(QStringLiteral("16777215")), 0xFFFFFF);
    QVERIFY_THROWS_EXCEPTION(ColourError, toBackColor(QStringLiteral("&H1000000")));
}

QTEST_GUILESS_MAIN(TestColour)
#include "tst_colour.moc"
