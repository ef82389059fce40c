#include "mcolorlist.h"
#include "mgradientpalette.h"
#include "msettings.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
bool near(const QColor &a, const QColor &b, int tolerance = 1)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}
} // namespace

class TestMGradientPalette : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MGradientPalette> palette;

    void makePalette(const QSize &size)
    {
        palette.reset(new MGradientPalette());
        palette->resize(size);
        palette->show();
        QVERIFY(QTest::qWaitForWindowExposed(palette.get()));
        QTRY_COMPARE(palette->size(), size);
    }

    static MColorList *list() { return MColorList::instance(); }

private slots:
    void init()
    {
        MSettings::instance()->clear();
        MColorList::destroyInstance();
    }

    void cleanup() { palette.reset(); }

    // The default corners: red top-left, green top-right, blue bottom-right,
    // yellow bottom-left; v runs from 1 at the top to 0 at the bottom.
    void blend_data()
    {
        QTest::addColumn<double>("u");
        QTest::addColumn<double>("v");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("top left") << 0.0 << 1.0 << QColor(255, 0, 0);
        QTest::newRow("top right") << 1.0 << 1.0 << QColor(0, 255, 0);
        QTest::newRow("bottom right") << 1.0 << 0.0 << QColor(0, 0, 255);
        QTest::newRow("bottom left") << 0.0 << 0.0 << QColor(255, 255, 0);
        QTest::newRow("centre") << 0.5 << 0.5 << QColor(128, 128, 64);
        QTest::newRow("top edge") << 0.5 << 1.0 << QColor(128, 128, 0);
        QTest::newRow("bottom edge") << 0.5 << 0.0 << QColor(128, 128, 128);
        QTest::newRow("left edge") << 0.0 << 0.5 << QColor(255, 128, 0);
        QTest::newRow("right edge") << 1.0 << 0.5 << QColor(0, 128, 128);
        QTest::newRow("quarter") << 0.25 << 0.75 << QColor(191, 96, 16);
    }

    void blend()
    {
        QFETCH(double, u);
        QFETCH(double, v);
        QFETCH(QColor, expected);
        MGradientPalette p;
        const QColor actual = p.blendAt(u, v);
        QVERIFY2(near(actual, expected), qPrintable(actual.name() + " expected " + expected.name()));
        QCOMPARE(actual.alpha(), 255);
    }

    // Cells of about "swatchSize" pixels; a size below 1 counts as 1.
    void grid_data()
    {
        QTest::addColumn<int>("swatch");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("grid");
        QTest::addColumn<QSize>("cell");
        QTest::newRow("default") << 16 << QSize(100, 50) << QSize(6, 3) << QSize(16, 16);
        QTest::newRow("uneven") << 20 << QSize(130, 70) << QSize(6, 3) << QSize(21, 23);
        QTest::newRow("narrower than a swatch") << 60 << QSize(50, 130) << QSize(1, 2) << QSize(50, 65);
        QTest::newRow("one cell") << 60 << QSize(50, 40) << QSize(1, 1) << QSize(50, 40);
        QTest::newRow("zero swatch") << 0 << QSize(30, 20) << QSize(30, 20) << QSize(1, 1);
        QTest::newRow("negative swatch") << -4 << QSize(30, 20) << QSize(30, 20) << QSize(1, 1);
    }

    void grid()
    {
        QFETCH(int, swatch);
        QFETCH(QSize, size);
        QFETCH(QSize, grid);
        QFETCH(QSize, cell);
        MSettings::instance()->set_swatchSize(swatch);
        makePalette(size);
        QCOMPARE(QSize(palette->columns(), palette->rows()), grid);
        QCOMPARE(QSize(palette->cellWidth(), palette->cellHeight()), cell);
        // A press anywhere on the grid picks without dividing by zero.
        QTest::mouseClick(palette.get(), Qt::LeftButton, Qt::NoModifier, QPoint(size.width() / 2, size.height() / 2));
        QVERIFY(list()->currentColor().isValid());
    }

    void oneCellShowsTheAverage()
    {
        MSettings::instance()->set_swatchSize(60);
        makePalette(QSize(40, 40));
        const QImage image = palette->grab().toImage();
        QVERIFY(near(image.pixelColor(20, 20), QColor(128, 128, 64)));
    }

    void cellsAreFilledWithTheirCentre()
    {
        makePalette(QSize(100, 50));
        const QImage image = palette->grab().toImage();
        // The top-left cell is nearly red, the bottom-right nearly blue.
        const QColor topLeft = image.pixelColor(8, 8);
        const QColor bottomRight = image.pixelColor(88, 40);
        QVERIFY2(topLeft.red() > 200 && topLeft.green() < 60 && topLeft.blue() < 30, qPrintable(topLeft.name()));
        QVERIFY2(bottomRight.blue() > 170 && bottomRight.red() < 60, qPrintable(bottomRight.name()));
        QVERIFY(near(image.pixelColor(8, 8), palette->blendAt(8.0 / 100, (50 - 8.0) / 50)));
        // Corner cells have a dark grey outline.
        QCOMPARE(image.pixelColor(0, 8), QColor(Qt::darkGray));
    }

    void pressPicksThePressedPoint()
    {
        makePalette(QSize(100, 50));
        QTest::mouseClick(palette.get(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 20));
        QCOMPARE(list()->currentColor(), palette->blendAt(0.4, 30.0 / 50));
        QCOMPARE(palette->selectedCell(), QPoint(2, 1));
        QCOMPARE(palette->editedCorner(), -1);
        // On a corner cell the pressed point, not the cell's centre.
        QTest::mouseClick(palette.get(), Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
        QCOMPARE(list()->currentColor(), palette->blendAt(0.01, 49.0 / 50));
        QVERIFY(list()->currentColor() != palette->blendAt(0.08, 42.0 / 50));
        QCOMPARE(palette->editedCorner(), 1);
        QCOMPARE(palette->selectedCell(), QPoint(2, 1));
    }

    // The unpainted strip beyond the last whole cell is not part of the grid.
    void pressOutsideTheGridIsIgnored_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::newRow("right strip") << QPoint(98, 10);
        QTest::newRow("bottom strip") << QPoint(10, 49);
        QTest::newRow("left of it") << QPoint(-3, 10);
    }

    void pressOutsideTheGridIsIgnored()
    {
        QFETCH(QPoint, press);
        makePalette(QSize(100, 50));
        QCOMPARE(palette->columns(), 6);
        QTest::mouseClick(palette.get(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 20));
        const QColor before = list()->currentColor();
        QSignalSpy spy(list(), &MColorList::colorChanged);
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(press), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(palette.get(), &e);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(list()->currentColor(), before);
        QCOMPARE(palette->selectedCell(), QPoint(2, 1));
    }

    // A corner cell starts editing: every later colour becomes that corner,
    // stored, until Escape or a press on another cell.
    void cornerEditing_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<int>("corner");
        QTest::newRow("top left") << QPoint(3, 3) << 1;
        QTest::newRow("top right") << QPoint(90, 3) << 2;
        QTest::newRow("bottom right") << QPoint(90, 45) << 3;
        QTest::newRow("bottom left") << QPoint(3, 45) << 4;
    }

    void cornerEditing()
    {
        QFETCH(QPoint, press);
        QFETCH(int, corner);
        makePalette(QSize(100, 50));
        QTest::mouseClick(palette.get(), Qt::LeftButton, Qt::NoModifier, press);
        QCOMPARE(palette->editedCorner(), corner);
        const QString key = QStringLiteral("Gradient/Color%1").arg(corner);
        list()->setColor(QColor(Qt::blue));
        QCOMPARE(palette->cornerColor(corner), QColor(Qt::blue));
        QCOMPARE(MSettings::instance()->colorValue(key, Qt::black), QColor(Qt::blue));
        // The background colour edits it too.
        list()->setColor(QColor(10, 20, 30), Qt::ShiftModifier);
        QCOMPARE(palette->cornerColor(corner), QColor(10, 20, 30));
        const QImage image = palette->grab().toImage();
        QCOMPARE(image.pixelColor(press.x() < 50 ? 0 : 95, press.y() < 25 ? 8 : 40), QColor("#FFFF00"));

        // A fresh palette reads the corners back.
        MGradientPalette fresh;
        QCOMPARE(fresh.cornerColor(corner), QColor(10, 20, 30));
        QCOMPARE(fresh.cornerColor(corner % 4 + 1), palette->cornerColor(corner % 4 + 1));

        QTest::keyClick(palette.get(), Qt::Key_Escape);
        QCOMPARE(palette->editedCorner(), -1);
        list()->setColor(QColor(Qt::white));
        QCOMPARE(palette->cornerColor(corner), QColor(10, 20, 30));
    }

    void cornerEditingEndsOnAnotherCell()
    {
        makePalette(QSize(100, 50));
        QTest::mouseClick(palette.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 3));
        QCOMPARE(palette->editedCorner(), 1);
        // With Shift the pick went to the background colour.
        QCOMPARE(list()->secondColor(), palette->blendAt(0.03, 47.0 / 50));
        QCOMPARE(list()->currentColor(), QColor(Qt::black));
        // The palette does not edit the corner with its own pick.
        QCOMPARE(palette->cornerColor(1), QColor(255, 0, 0));
        QTest::mouseClick(palette.get(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 20));
        QCOMPARE(palette->editedCorner(), -1);
        list()->setColor(QColor(Qt::cyan));
        for (int corner = 1; corner <= 4; ++corner)
            QVERIFY(palette->cornerColor(corner) != QColor(Qt::cyan));
        QVERIFY(!MSettings::instance()->contains("Gradient/Color1"));
    }
};

QTEST_MAIN(TestMGradientPalette)
#include "tst_mgradientpalette.moc"
