#include "tests/support/Program.h"

#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
const QList<FormName> allWindows{FormName::Form1, FormName::Form2, FormName::Form3,
                                 FormName::add,   FormName::setup, FormName::yz};
}

// The windows on a screen of twice the usual density (QT_SCALE_FACTOR=2): every picture, pointer and icon drawn
// for it, every window at its designed size in logical pixels, every text inside its label.
class TestHiDpi : public ProgramTest {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }
    void init();

    void pictures_areDrawnForTheScreen();
    void pointers_areDrawnForTheScreen_withTheirHotSpotsOnThePicture();
    void windows_keepTheirDesignedSize_andTextsFit();
};

void TestHiDpi::init() {
    ProgramTest::init();
    program->start();
}

void TestHiDpi::pictures_areDrawnForTheScreen() {
    QList<Image*> pictures;
    for (FormName window : allWindows)
        pictures += program->forms.form(window).findChildren<Image*>();
    QCOMPARE(pictures.size(), 19);
    for (const Image* image : pictures) {
        const QPixmap picture = image->pixmap();
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        QCOMPARE(picture.size(), image->size() * 2);
    }
    const QPixmap icon = program->main().windowIcon().pixmap(QSize(32, 32));
    QCOMPARE(icon.devicePixelRatio(), 2.0);
    QCOMPARE(icon.size(), QSize(64, 64));
}

// The window system takes the hot spot in the picture's own pixels.
void TestHiDpi::pointers_areDrawnForTheScreen_withTheirHotSpotsOnThePicture() {
    const QCursor move = program->main().Label1.cursor();
    const QCursor hand = program->main().Label2.cursor();
    QCOMPARE(move.pixmap().devicePixelRatio(), 2.0);
    QCOMPARE(move.pixmap().size(), QSize(64, 64));
    QCOMPARE(move.hotSpot(), QPoint(30, 32));
    QCOMPARE(hand.pixmap().devicePixelRatio(), 2.0);
    QCOMPARE(hand.hotSpot(), QPoint(12, 4));
}

void TestHiDpi::windows_keepTheirDesignedSize_andTextsFit() {
    QCOMPARE(program->main().Width(), 2205);
    QCOMPARE(program->main().size(), QSize(147, 228));
    for (FormName window : allWindows) {
        // A line may be taller than a designed label; the letters themselves must fit. (A wrapped label's lines
        // fit by its design; it is looked at in a picture at 200 %.)
        for (const Label* label : program->forms.form(window).findChildren<Label*>()) {
            if (label->wordWrap())
                continue;
            const QRect ink = label->fontMetrics().tightBoundingRect(label->text());
            QVERIFY2(ink.width() <= label->width() && ink.height() <= label->height(),
                     qPrintable(u"%1: %2x%3 in %4x%5"_s.arg(label->text())
                                    .arg(ink.width())
                                    .arg(ink.height())
                                    .arg(label->width())
                                    .arg(label->height())));
        }
    }
}

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
