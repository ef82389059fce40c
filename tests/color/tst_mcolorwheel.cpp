#include "mcolorbutton.h"
#include "mcolorwheel.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

// The two colour widgets no panel places: the hue ring with its
// saturation/value square, and the colour button.
class TestMColorWheel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<Qt::KeyboardModifiers>(); }

    // The square fits the ring's inner circle: side sqrt(2) (min / 2 - ring).
    void squareSide_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("ring");
        QTest::addColumn<int>("side");
        QTest::newRow("square") << QSize(200, 200) << 16 << 118;
        QTest::newRow("wide") << QSize(300, 101) << 10 << 56;
        QTest::newRow("ring fills it") << QSize(40, 40) << 20 << 0;
        QTest::newRow("ring wider than it") << QSize(40, 40) << 30 << 0;
    }

    void squareSide()
    {
        QFETCH(QSize, size);
        QFETCH(int, ring);
        QFETCH(int, side);
        MColorWheel wheel;
        wheel.resize(size);
        wheel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wheel));
        wheel.setWheelWidth(unsigned(ring));
        QCOMPARE(wheel.squareImage().width(), side);
        QCOMPARE(wheel.squareImage().height(), side);
        QCOMPARE(wheel.squareImage().isNull(), side == 0);
    }

    void colourAndSetters()
    {
        MColorWheel wheel;
        wheel.resize(200, 200);
        wheel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wheel));
        QSignalSpy spy(&wheel, &MColorWheel::colorChanged);
        wheel.setColor(QColor(128, 128, 128));
        QCOMPARE(wheel.hue(), 0.0);
        QCOMPARE(spy.count(), 1);
        wheel.setColor(QColor::fromHsvF(0.5, 0.25, 0.75));
        QCOMPARE(wheel.hue(), 0.5);
        QCOMPARE(wheel.color().rgb(), QColor::fromHsvF(0.5, 0.25, 0.75).rgb());
        // The square shows the hue: saturation across, value down.
        const QImage square = wheel.squareImage();
        const int side = square.width();
        QCOMPARE(square.pixelColor(side / 2, side - 1).rgb(),
                 QColor::fromHsvF(0.5, double(side / 2) / side, double(side - 1) / side).rgb());
        // The square is made again only when the hue changes.
        const qint64 key = square.cacheKey();
        wheel.setColor(QColor::fromHsvF(0.5, 0.9, 0.1));
        QCOMPARE(wheel.squareImage().cacheKey(), key);
        wheel.setHue(0.25);
        QVERIFY(wheel.squareImage().cacheKey() != key);
        // The setters clamp and tell nobody.
        const int emitted = spy.count();
        wheel.setHue(3.0);
        wheel.setSaturation(-1.0);
        wheel.setValue(2.0);
        QCOMPARE(wheel.hue(), 1.0);
        QCOMPARE(wheel.saturation(), 0.0);
        QCOMPARE(wheel.value(), 1.0);
        QCOMPARE(spy.count(), emitted);
    }

    void pressesPickColours()
    {
        MColorWheel wheel;
        wheel.resize(200, 200);
        wheel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wheel));
        wheel.setColor(QColor(Qt::red));
        QSignalSpy changed(&wheel, &MColorWheel::colorChanged);
        QSignalSpy selected(&wheel, &MColorWheel::colorSelected);
        // The square: bottom right is full saturation and value.
        const QRect square = wheel.squareRect();
        QTest::mouseClick(&wheel, Qt::LeftButton, Qt::ShiftModifier, square.bottomRight() - QPoint(1, 1));
        QVERIFY(wheel.saturation() > 0.95 && wheel.value() > 0.95);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(changed.last().at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ShiftModifier));
        // The ring: straight up is a quarter turn, green-yellow.
        QTest::mouseClick(&wheel, Qt::LeftButton, Qt::NoModifier, QPoint(100, 6));
        QVERIFY2(qAbs(wheel.hue() - 0.25) < 0.01, qPrintable(QString::number(wheel.hue())));
        QCOMPARE(selected.last().at(0).value<QColor>(), wheel.color());
        // Outside both: nothing.
        const int before = changed.count();
        QTest::mouseClick(&wheel, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QCOMPARE(changed.count(), before);
    }

    void buttonShowsItsColour()
    {
        MColorButton button;
        QSignalSpy spy(&button, &MColorButton::colorChanged);
        button.setColor(QColor(10, 200, 30, 40));
        QCOMPARE(button.color(), QColor(10, 200, 30, 40));
        QCOMPARE(spy.count(), 0);
        // The icon shows the colour opaque.
        const QImage icon = button.icon().pixmap(button.iconSize()).toImage();
        QCOMPARE(icon.pixelColor(icon.width() / 2, icon.height() / 2), QColor(10, 200, 30));
        QCOMPARE(icon.pixelColor(0, 0), QColor(Qt::darkGray));
    }
};

QTEST_MAIN(TestMColorWheel)
#include "tst_mcolorwheel.moc"
