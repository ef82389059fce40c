#include "mcolorgradientwidget.h"
#include "msettings.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {
bool near(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance && qAbs(a.alpha() - b.alpha()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}
} // namespace

class TestMColorGradientWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<Qt::KeyboardModifiers>(); }

    void init()
    {
        MSettings::instance()->clear();
    }

    // Pixels of the seven images at 100 x 100. The wheel samples lie in the
    // middle of segment 0 (hue 0), a few degrees above the centre line, and
    // well inside one ring.
    void pickerImages_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("expected");
        // Rounding of the fractional HSV colours; the white centre of wheel 1
        // fades out from its exact middle, between pixels.
        QTest::addColumn<int>("tolerance");
        const QColor none(0, 0, 0, 0);
        // Hue x / 100 across, value 1 - y / 100 down.
        QTest::newRow("panel 1 red") << 0 << QPoint(0, 0) << QColor(255, 0, 0) << 2;
        QTest::newRow("panel 1 cyan") << 0 << QPoint(50, 0) << QColor(0, 255, 255) << 2;
        QTest::newRow("panel 1 half value") << 0 << QPoint(0, 50) << QColor(128, 0, 0) << 2;
        QTest::newRow("panel 1 bottom") << 0 << QPoint(0, 99) << QColor(3, 0, 0) << 2;
        // Saturation 1 - y / 100 down.
        QTest::newRow("panel 2 half saturation") << 1 << QPoint(50, 50) << QColor(128, 255, 255) << 2;
        QTest::newRow("panel 2 bottom") << 1 << QPoint(0, 99) << QColor(255, 252, 252) << 2;
        // Saturation grows over the upper half, value falls over the lower half.
        QTest::newRow("panel 3 top") << 2 << QPoint(0, 0) << QColor(255, 255, 255) << 2;
        QTest::newRow("panel 3 upper quarter") << 2 << QPoint(0, 25) << QColor(255, 128, 128) << 2;
        QTest::newRow("panel 3 middle") << 2 << QPoint(0, 50) << QColor(255, 0, 0) << 2;
        QTest::newRow("panel 3 lower quarter") << 2 << QPoint(0, 75) << QColor(128, 0, 0) << 2;
        // Wheel 1: the hue ring, a white centre, nothing in the corners.
        QTest::newRow("wheel 1 ring") << 3 << QPoint(96, 45) << QColor(255, 0, 0) << 2;
        QTest::newRow("wheel 1 quarter turn") << 3 << QPoint(45, 2) << QColor::fromHsv(90, 255, 255) << 2;
        QTest::newRow("wheel 1 centre") << 3 << QPoint(50, 50) << QColor(255, 255, 255) << 8;
        QTest::newRow("wheel 1 corner") << 3 << QPoint(2, 2) << none << 2;
        // Wheel 2: saturation 1, 2/3, 1/3 from the rim inwards.
        QTest::newRow("wheel 2 outer") << 4 << QPoint(96, 45) << QColor(255, 0, 0) << 2;
        QTest::newRow("wheel 2 middle") << 4 << QPoint(75, 46) << QColor(255, 85, 85) << 2;
        QTest::newRow("wheel 2 inner") << 4 << QPoint(60, 48) << QColor(255, 170, 170) << 2;
        QTest::newRow("wheel 2 corner") << 4 << QPoint(98, 98) << none << 2;
        // Wheel 3: value 1, 2/3, 1/3 from the rim inwards.
        QTest::newRow("wheel 3 outer") << 5 << QPoint(96, 45) << QColor(255, 0, 0) << 2;
        QTest::newRow("wheel 3 middle") << 5 << QPoint(75, 46) << QColor(170, 0, 0) << 2;
        QTest::newRow("wheel 3 inner") << 5 << QPoint(60, 48) << QColor(85, 0, 0) << 2;
        // Wheel 4: saturation rings (radius 50, 41.7, 33.3), then value rings (25, 16.7, 8.3).
        QTest::newRow("wheel 4 saturation 1") << 6 << QPoint(95, 45) << QColor(255, 0, 0) << 2;
        QTest::newRow("wheel 4 saturation 2/3") << 6 << QPoint(87, 46) << QColor(255, 85, 85) << 2;
        QTest::newRow("wheel 4 saturation 1/3") << 6 << QPoint(79, 46) << QColor(255, 170, 170) << 2;
        QTest::newRow("wheel 4 value 1") << 6 << QPoint(70, 47) << QColor(255, 0, 0) << 2;
        QTest::newRow("wheel 4 value 2/3") << 6 << QPoint(62, 48) << QColor(170, 0, 0) << 2;
        QTest::newRow("wheel 4 value 1/3") << 6 << QPoint(54, 49) << QColor(85, 0, 0) << 2;
    }

    void pickerImages()
    {
        QFETCH(int, type);
        QFETCH(QPoint, pixel);
        QFETCH(QColor, expected);
        QFETCH(int, tolerance);
        MColorGradientWidget widget;
        QImage image(100, 100, QImage::Format_ARGB32);
        const QByteArray routine = "createPickerImage_" + QByteArray::number(type);
        QVERIFY(QMetaObject::invokeMethod(&widget, routine.constData(), Qt::DirectConnection, Q_ARG(QImage &, image)));
        const QColor actual = image.pixelColor(pixel);
        QVERIFY2(near(actual, expected, tolerance), qPrintable(describe(actual) + " expected " + describe(expected)));
    }

    // Where a press picks: clamped to the top and left, pulled back onto a
    // wheel's rim from beyond it (radius size / 2 - 2 around the centre).
    void pickPositions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("picked");
        QTest::addColumn<bool>("emitted");
        QTest::newRow("panel inside") << 0 << QSize(100, 80) << QPoint(30, 40) << QPoint(30, 40) << true;
        QTest::newRow("panel left of it") << 0 << QSize(100, 80) << QPoint(-5, 30) << QPoint(0, 30) << true;
        QTest::newRow("panel above it") << 0 << QSize(100, 80) << QPoint(30, -5) << QPoint(30, 0) << true;
        QTest::newRow("panel right of it") << 0 << QSize(100, 80) << QPoint(120, 30) << QPoint(120, 30) << false;
        QTest::newRow("wheel inside") << 4 << QSize(100, 100) << QPoint(60, 40) << QPoint(60, 40) << true;
        QTest::newRow("wheel beyond right rim") << 4 << QSize(100, 100) << QPoint(150, 50) << QPoint(96, 49) << true;
        QTest::newRow("wheel beyond top left") << 4 << QSize(100, 100) << QPoint(-40, -40) << QPoint(15, 15) << true;
        QTest::newRow("wheel above the top") << 4 << QSize(100, 100) << QPoint(49, -30) << QPoint(49, 0) << true;
        QTest::newRow("wide wheel beyond right") << 5 << QSize(200, 100) << QPoint(250, 49) << QPoint(147, 49) << true;
        // The angle is taken in single precision: straight down lands a
        // hair left of the centre column.
        QTest::newRow("wide wheel beyond bottom") << 6 << QSize(200, 100) << QPoint(99, 180) << QPoint(98, 97) << true;
        QTest::newRow("wheel on the rim itself") << 3 << QSize(100, 100) << QPoint(97, 49) << QPoint(97, 49) << true;
    }

    void pickPositions()
    {
        QFETCH(int, type);
        QFETCH(QSize, size);
        QFETCH(QPoint, press);
        QFETCH(QPoint, picked);
        QFETCH(bool, emitted);
        MColorGradientWidget widget;
        widget.resize(size);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.setType(type);
        QCOMPARE(widget.image().size(), size);
        QCOMPARE(widget.pickPosition(press), picked);
        QSignalSpy spy(&widget, &MColorGradientWidget::colorChanged);
        QTest::mousePress(&widget, Qt::LeftButton, Qt::ShiftModifier, press);
        QCOMPARE(spy.count(), emitted ? 1 : 0);
        if (!emitted) {
            QCOMPARE(widget.pickPoint(), QPoint(-1, -1));
            return;
        }
        QColor expected = widget.image().pixelColor(picked);
        expected.setAlpha(255);
        QCOMPARE(spy.at(0).at(0).value<QColor>(), expected);
        QCOMPARE(spy.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ShiftModifier));
        QCOMPARE(widget.pickPoint(), picked);
        // A drag with the button held picks again; a bare move does not.
        QMouseEvent drag(QEvent::MouseMove, QPointF(picked), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &drag);
        QCOMPARE(spy.count(), 2);
        QMouseEvent hover(QEvent::MouseMove, QPointF(picked), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &hover);
        QCOMPARE(spy.count(), 2);
    }

    void zeroSizedWidgetPicksNothing()
    {
        MColorGradientWidget widget;
        widget.setType(4);
        widget.resize(0, 0);
        QResizeEvent resize(QSize(0, 0), QSize(10, 10));
        QApplication::sendEvent(&widget, &resize);
        QVERIFY(widget.image().isNull());
        QSignalSpy spy(&widget, &MColorGradientWidget::colorChanged);
        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(0, 0));
        QCOMPARE(spy.count(), 0);
        QImage empty;
        widget.createPickerImage_3(empty);
        QVERIFY(empty.isNull());
    }

    void typeChangesAndTheirSetting()
    {
        MColorGradientWidget widget;
        widget.resize(60, 60);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(widget.pickPoint(), QPoint(10, 10));
        const QImage panel = widget.image();

        widget.setType(5);
        QCOMPARE(widget.type(), 5);
        QCOMPARE(MSettings::instance()->gradientPanelIndex(), 5);
        QCOMPARE(widget.pickPoint(), QPoint(-1, -1));
        QVERIFY(widget.image() != panel);
        // Out of range: nothing changes.
        for (int bad : {7, 12, -1}) {
            widget.setType(bad);
            QCOMPARE(widget.type(), 5);
            QCOMPARE(MSettings::instance()->gradientPanelIndex(), 5);
        }
        // Up and Down step through the types and stop at both ends.
        QTest::keyClick(&widget, Qt::Key_Down);
        QTest::keyClick(&widget, Qt::Key_Down);
        QCOMPARE(widget.type(), 6);
        for (int i = 0; i < 8; ++i)
            QTest::keyClick(&widget, Qt::Key_Up);
        QCOMPARE(widget.type(), 0);
        QCOMPARE(widget.image(), panel);

        // A new picker starts on the stored type.
        MSettings::instance()->set_gradientPanelIndex(3);
        MColorGradientWidget next;
        QCOMPARE(next.type(), 3);
    }
};

QTEST_MAIN(TestMColorGradientWidget)
#include "tst_mcolorgradientwidget.moc"
