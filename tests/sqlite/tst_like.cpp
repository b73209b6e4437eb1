#include "sqlite/Like.h"

#include <QTest>

class TestLike : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void matchesLikeTheCatalogueEngine_data();
    void matchesLikeTheCatalogueEngine();
};

void TestLike::matchesLikeTheCatalogueEngine_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("matches");

    // *x*: the name search and the category search
    QTest::newRow("contains Chinese") << "*新闻*"
                                      << "CCTV-13 新闻" << true;
    QTest::newRow("contains at start") << "*CCTV*"
                                       << "CCTV-13 新闻" << true;
    QTest::newRow("does not contain") << "*体育*"
                                      << "CCTV-13 新闻" << false;
    QTest::newRow("slot inside a longer category") << "*快速选台一*"
                                                   << "旧快速选台一备用" << true;
    QTest::newRow("star alone matches empty") << "*"
                                              << "" << true;
    QTest::newRow("star needs the whole rest") << "a*c"
                                               << "abcb" << false;
    QTest::newRow("star backtracks") << "*ab*ab"
                                     << "xabyabab" << true;

    // ? is one whole character, a Chinese one or one outside the basic plane
    QTest::newRow("? one Chinese character") << "中?之声"
                                             << "中国之声" << true;
    QTest::newRow("? not two characters") << "中?之声"
                                          << "中国国之声" << false;
    QTest::newRow("? one astral character") << "a?b"
                                            << "a😀b" << true;
    QTest::newRow("? not zero characters") << "a?b"
                                           << "ab" << false;

    // # one digit
    QTest::newRow("# digit") << "CCTV-#"
                             << "CCTV-5" << true;
    QTest::newRow("# not two digits") << "CCTV-#"
                                      << "CCTV-13" << false;
    QTest::newRow("# not a letter") << "CCTV-#"
                                    << "CCTV-X" << false;

    // [...] sets, ranges, negation, and brackets taken literally
    QTest::newRow("set") << "[ab]x"
                         << "bx" << true;
    QTest::newRow("set miss") << "[ab]x"
                              << "cx" << false;
    QTest::newRow("range") << "[a-f]1"
                           << "d1" << true;
    QTest::newRow("negated set") << "[!ab]x"
                                 << "cx" << true;
    QTest::newRow("negated set miss") << "[!ab]x"
                                      << "ax" << false;
    QTest::newRow("Chinese set") << "[港台]*"
                                 << "台视" << true;
    QTest::newRow("star in a set is literal") << "a[*]b"
                                              << "a*b" << true;
    QTest::newRow("star in a set is not a run") << "a[*]b"
                                                << "axb" << false;
    QTest::newRow("unclosed bracket is literal") << "*[abc*"
                                                 << "x[abcy" << true;

    // letters compare without regard to case, also inside sets
    QTest::newRow("case") << "*cctv*"
                          << "CCTV-1 综合" << true;
    QTest::newRow("case in range") << "[A-C]x"
                                   << "bx" << true;
    QTest::newRow("case in negated set") << "[!a]x"
                                         << "Ax" << false;
    // ... and where a search for part of a name looks for the text itself: other characters fold onto k and ß
    QTest::newRow("Kelvin sign is a k") << "*电台k*"
                                        << "电台\u212A" << true;
    QTest::newRow("long s is an s") << "*radios*"
                                    << "RADIOſ" << true;
    QTest::newRow("ASCII letters in either case among Chinese") << "*fm live*"
                                                                << "音乐台 FM Live 精选" << true;
    QTest::newRow("an accented letter is another letter") << "*a*"
                                                          << "À" << false;
    QTest::newRow("capital sharp s is a sharp s") << "*straße*"
                                                  << "STRAẞE" << true;
    QTest::newRow("astral text") << "*😀*"
                                 << "a😀b" << true;
    QTest::newRow("digits and blanks are only themselves") << "*台 13*"
                                                           << "电台 1３" << false;

    // characters that mean something to other engines are plain text here
    QTest::newRow("apostrophe") << "*Mary's*"
                                << "Bloody Mary's Radio" << true;
    QTest::newRow("percent literal") << "*100%*"
                                     << "100% Jazz" << true;
    QTest::newRow("percent not a run") << "a%"
                                       << "abc" << false;
    QTest::newRow("underscore literal") << "a_c"
                                        << "a_c" << true;
    QTest::newRow("underscore not one character") << "a_c"
                                                  << "abc" << false;
}

void TestLike::matchesLikeTheCatalogueEngine() {
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(bool, matches);
    QCOMPARE(likeMatch(pattern, value), matches);
    // The catalogue hands its values over in UTF-8.
    QCOMPARE(LikePattern(pattern).matches(QByteArrayView(value.toUtf8())), matches);
}

QTEST_GUILESS_MAIN(TestLike)
#include "tst_like.moc"
