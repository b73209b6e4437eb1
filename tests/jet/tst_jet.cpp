#include "catalogue/JetFormat.h"
#include "jet/JetDatabase.h"
#include "sqlite/Database.h"
#include "tests/support/JetSamples.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList shown(const QVariantList& row) {
    QStringList texts;
    for (const QVariant& value : row)
        texts.append(value.isNull() ? u"\\N"_s : value.toString());
    return texts;
}

} // namespace

// The Jet reading layer over the sample files, each written into a throw-away folder first.
class TestJet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void jetFormat_tellsAJetFileByItsHeaderAlone_data();
    void jetFormat_tellsAJetFileByItsHeaderAlone();
    void tables_listsTheUserTablesWithoutTheEnginesOwn_data();
    void tables_listsTheUserTablesWithoutTheEnginesOwn();
    void table_readsEveryRowInRecordOrderWithExactText_data();
    void table_readsEveryRowInRecordOrderWithExactText();
    void table_keepsTextMemosAndNullsAsStored_data();
    void table_keepsTextMemosAndNullsAsStored();
    void truncatedFile_isNeverReadAsComplete_data();
    void truncatedFile_isNeverReadAsComplete();

private:
    QString written(const QByteArray& bytes, const QString& name = u"old.mdb"_s);

    QTemporaryDir folder;
};

QString TestJet::written(const QByteArray& bytes, const QString& name) {
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

void TestJet::jetFormat_tellsAJetFileByItsHeaderAlone_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("format");
    const QByteArray jet4 = JetSamples::bytes(u"jet4-datetest.mdb"_s);
    QTest::newRow("Jet 3") << JetSamples::bytes(u"jet3-nwind.mdb"_s) << int(JetFormat::Jet3);
    QTest::newRow("Jet 4") << jet4 << int(JetFormat::Jet4);
    QTest::newRow("header page only") << jet4.left(4096) << int(JetFormat::Jet4);
    QTest::newRow("unknown engine version") << QByteArray(jet4).replace(20, 1, "\x07") << -1;
    QTest::newRow("SQLite") << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\0') << -1;
    QTest::newRow("random bytes") << QByteArray::fromHex("129f00010000") + "anything at all, even named .mdb" << -1;
    QTest::newRow("empty") << QByteArray() << -1;
}

void TestJet::jetFormat_tellsAJetFileByItsHeaderAlone() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, format);
    const std::optional<JetFormat> found = jetFormat(written(bytes, u"tv.mdb"_s));
    QCOMPARE(found ? int(*found) : -1, format);
}

void TestJet::tables_listsTheUserTablesWithoutTheEnginesOwn_data() {
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QStringList>("tables");
    QTest::newRow("Jet 3") << u"jet3-nwind.mdb"_s << QStringList{u"Order Details"_s, u"Orders"_s,     u"Products"_s,
                                                                 u"Shippers"_s,      u"Categories"_s, u"Customers"_s,
                                                                 u"Employees"_s,     u"Suppliers"_s,  u"Umsätze"_s};
    QTest::newRow("Jet 4") << u"jet4-datetest.mdb"_s << QStringList{u"DateTest"_s};
    QTest::newRow("old catalogue") << u"tv-jet4-2000.mdb"_s << QStringList{u"radio"_s};
}

void TestJet::tables_listsTheUserTablesWithoutTheEnginesOwn() {
    QFETCH(QString, sample);
    QFETCH(QStringList, tables);
    QCOMPARE(JetDatabase(written(JetSamples::bytes(sample))).tables(), tables);
}

void TestJet::table_readsEveryRowInRecordOrderWithExactText_data() {
    QTest::addColumn<QString>("sample");
    // Its table definition lists the columns in another order than their numbers.
    QTest::newRow("20 stations, columns out of order") << u"tv-jet4-reordered"_s;
    QTest::newRow("2,000 stations on 37 pages") << u"tv-jet4-2000"_s;
}

void TestJet::table_readsEveryRowInRecordOrderWithExactText() {
    QFETCH(QString, sample);
    const QList<QStringList> expected = JetSamples::rows(sample + u".rows"_s);
    const JetTable radio = JetDatabase(written(JetSamples::bytes(sample + u".mdb"_s))).table(u"radio"_s);

    QCOMPARE(radio.columns, expected.first());
    QCOMPARE(radio.rows.size(), size_t(expected.size() - 1));
    for (size_t row = 0; row < radio.rows.size(); ++row)
        QCOMPARE(shown(radio.rows[row]), expected[qsizetype(row) + 1]);
}

void TestJet::table_keepsTextMemosAndNullsAsStored_data() {
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("Jet 3 code page text, a NULL region") << u"jet3-nwind.mdb"_s << u"Customers"_s << 91 << 2
                                                         << QStringList{u"ANTON"_s,
                                                                        u"Antonio Moreno Taquería"_s,
                                                                        u"Antonio Moreno"_s,
                                                                        u"Owner"_s,
                                                                        u"Mataderos  2312"_s,
                                                                        u"México D.F."_s,
                                                                        u"\\N"_s,
                                                                        u"05023"_s,
                                                                        u"Mexico"_s,
                                                                        u"(5) 555-3932"_s,
                                                                        u"\\N"_s};
    QTest::newRow("a table named in non-ASCII") << u"jet3-nwind.mdb"_s << u"Umsätze"_s << 830 << -1 << QStringList();
    QTest::newRow("Jet 4 memo with a line break, dates in one form")
        << u"jet4-datetest.mdb"_s << u"DateTest"_s << 6 << 5
        << QStringList{u"6"_s,
                       u"2021-12-02 00:00:00"_s,
                       u"2021-12-02 00:00:00"_s,
                       u"2021-12-02 00:00:00"_s,
                       u"New line\r\nin field"_s,
                       u"No new line"_s};
}

void TestJet::table_keepsTextMemosAndNullsAsStored() {
    QFETCH(QString, sample);
    QFETCH(QString, table);
    QFETCH(int, rowCount);
    QFETCH(int, row);
    QFETCH(QStringList, values);
    const JetTable read = JetDatabase(written(JetSamples::bytes(sample))).table(table);
    QCOMPARE(read.rows.size(), size_t(rowCount));
    if (row >= 0)
        QCOMPARE(shown(read.rows[size_t(row)]), values);
}

void TestJet::truncatedFile_isNeverReadAsComplete_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("header page only") << 4096;
    QTest::newRow("cut off within the list of tables") << 16 * 4096;
    QTest::newRow("cut off between two pages of rows") << 49 * 4096;
    QTest::newRow("cut off within a page") << 300000;
}

void TestJet::truncatedFile_isNeverReadAsComplete() {
    QFETCH(int, length);
    const QString path = written(JetSamples::bytes(u"tv-jet4-2000.mdb"_s).left(length));
    QVERIFY_THROWS_EXCEPTION(DbError, JetDatabase(path).table(u"radio"_s));
}

QTEST_GUILESS_MAIN(TestJet)
#include "tst_jet.moc"
