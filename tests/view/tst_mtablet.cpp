#include "mtablet.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTabletEvent>
#include <QTest>

namespace {
struct Reading
{
    QEvent::Type type = QEvent::TabletMove;
    double pressure = 0.0;
    double tangentialPressure = 0.0;
    int xTilt = 0;
    int yTilt = 0;
    int pointerType = QTabletEvent::Pen;
    int device = QTabletEvent::Stylus;
};
} // namespace
Q_DECLARE_METATYPE(Reading)
Q_DECLARE_METATYPE(QVector<Reading>)

namespace {
// Counts what reaches it, so that a consumed event would show.
class Target : public QObject
{
public:
    int tabletEvents = 0;
    int mouseEvents = 0;
    bool event(QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::TabletMove:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            ++tabletEvents;
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            ++mouseEvents;
            return true;
        default:
            return QObject::event(e);
        }
    }
};

void send(QObject *target, const Reading &r)
{
    const Qt::MouseButton button = r.type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton;
    QTabletEvent e(r.type, QPointF(10, 20), QPointF(10, 20), r.device, r.pointerType, r.pressure, r.xTilt, r.yTilt,
                   r.tangentialPressure, 0, 0, Qt::NoModifier, 1, button,
                   r.type == QEvent::TabletPress ? Qt::LeftButton : Qt::NoButton);
    QCoreApplication::sendEvent(target, &e);
}

Reading reading(QEvent::Type type, double pressure, int xTilt = 0, int yTilt = 0,
                int pointerType = QTabletEvent::Pen, int device = QTabletEvent::Stylus, double tangential = 0.0)
{
    Reading r;
    r.type = type;
    r.pressure = pressure;
    r.xTilt = xTilt;
    r.yTilt = yTilt;
    r.pointerType = pointerType;
    r.device = device;
    r.tangentialPressure = tangential;
    return r;
}

// Every change signal in the order it arrives.
void recordChanges(MTablet &tablet, QStringList &log)
{
    QObject::connect(&tablet, &MTablet::pressureChanged, [&log]() { log << QStringLiteral("pressure"); });
    QObject::connect(&tablet, &MTablet::pointerTypeChanged, [&log]() { log << QStringLiteral("pointerType"); });
    QObject::connect(&tablet, &MTablet::deviceChanged, [&log]() { log << QStringLiteral("device"); });
    QObject::connect(&tablet, &MTablet::tangentialPressureChanged,
                     [&log]() { log << QStringLiteral("tangentialPressure"); });
    QObject::connect(&tablet, &MTablet::xTiltChanged, [&log]() { log << QStringLiteral("xTilt"); });
    QObject::connect(&tablet, &MTablet::yTiltChanged, [&log]() { log << QStringLiteral("yTilt"); });
    QObject::connect(&tablet, &MTablet::onChanged, [&log]() { log << QStringLiteral("on"); });
    QObject::connect(&tablet, &MTablet::proximityDeviceChanged,
                     [&log]() { log << QStringLiteral("proximityDevice"); });
}
} // namespace

class TestMTablet : public QObject
{
    Q_OBJECT

private slots:
    void startsAsAPenAboveTheTablet()
    {
        MTablet tablet;
        QCOMPARE(tablet.pointerType(), int(QTabletEvent::Pen));
        QCOMPARE(tablet.device(), int(QTabletEvent::Stylus));
        QCOMPARE(tablet.proximityDevice(), 2);
        QCOMPARE(tablet.pressure(), 0.0);
        QCOMPARE(tablet.tangentialPressure(), 0.0);
        QCOMPARE(tablet.xTilt(), 0);
        QCOMPARE(tablet.yTilt(), 0);
        QVERIFY(!tablet.on());
    }

    // A history of readings, then one more: the signals that last reading
    // gives, in order, and the state it leaves.
    void readings_data()
    {
        QTest::addColumn<QVector<Reading>>("history");
        QTest::addColumn<Reading>("last");
        QTest::addColumn<QStringList>("signalsInOrder");
        QTest::addColumn<bool>("on");

        const QEvent::Type press = QEvent::TabletPress, move = QEvent::TabletMove, release = QEvent::TabletRelease;
        QTest::newRow("press from rest") << QVector<Reading>() << reading(press, 0.5, 10, -5) << QStringList{"pressure", "xTilt", "yTilt", "on"} << true;
        QTest::newRow("move within the fuzz") << QVector<Reading>{reading(press, 0.5)} << reading(move, 0.5 + 1e-14) << QStringList{} << true;
        QTest::newRow("move with a new pressure") << QVector<Reading>{reading(press, 0.5)} << reading(move, 0.51) << QStringList{"pressure"} << true;
        QTest::newRow("release") << QVector<Reading>{reading(press, 0.5)} << reading(release, 0.0) << QStringList{"pressure", "on"} << false;
        QTest::newRow("release with the pen already up") << QVector<Reading>() << reading(release, 0.0) << QStringList{} << false;
        QTest::newRow("second press keeps on") << QVector<Reading>{reading(press, 0.3)} << reading(press, 0.3) << QStringList{} << true;
        QTest::newRow("hover move leaves on alone") << QVector<Reading>() << reading(move, 0.0, 3, 4) << QStringList{"xTilt", "yTilt"} << false;
        QTest::newRow("everything changes, in order") << QVector<Reading>() << reading(press, 0.7, 20, 30, QTabletEvent::Eraser, QTabletEvent::Airbrush, -0.4)
            << QStringList{"pressure", "pointerType", "device", "tangentialPressure", "xTilt", "yTilt", "on"} << true;
        QTest::newRow("tangential within the fuzz") << QVector<Reading>{reading(move, 0.2, 0, 0, QTabletEvent::Pen, QTabletEvent::Airbrush, 0.25)}
            << reading(move, 0.2, 0, 0, QTabletEvent::Pen, QTabletEvent::Airbrush, 0.25 * (1 + 1e-15)) << QStringList{} << false;
        QTest::newRow("back to the pen") << QVector<Reading>{reading(move, 0.2, 0, 0, QTabletEvent::Cursor, QTabletEvent::Puck)}
            << reading(move, 0.2) << QStringList{"pointerType", "device"} << false;
    }

    void readings()
    {
        QFETCH(QVector<Reading>, history);
        QFETCH(Reading, last);
        QFETCH(QStringList, signalsInOrder);
        QFETCH(bool, on);

        MTablet tablet;
        Target target;
        target.installEventFilter(&tablet);
        for (const Reading &r : history)
            send(&target, r);
        QStringList log;
        recordChanges(tablet, log);
        send(&target, last);

        QCOMPARE(log, signalsInOrder);
        QCOMPARE(tablet.on(), on);
        QCOMPARE(tablet.pressure(), last.pressure);
        QCOMPARE(tablet.xTilt(), last.xTilt);
        QCOMPARE(tablet.yTilt(), last.yTilt);
        QCOMPARE(tablet.pointerType(), last.pointerType);
        QCOMPARE(tablet.device(), last.device);
        // Every tablet event still reaches the watched object.
        QCOMPARE(target.tabletEvents, history.size() + 1);
    }

    // The view copies pressure and tilt when the pen touches down, so they
    // must already hold the press's values when on changes.
    void onChangesAfterTheReadings()
    {
        MTablet tablet;
        Target target;
        target.installEventFilter(&tablet);
        double pressureSeen = -1;
        int tiltSeen = -1;
        connect(&tablet, &MTablet::onChanged, [&]() {
            pressureSeen = tablet.pressure();
            tiltSeen = tablet.xTilt();
        });
        send(&target, reading(QEvent::TabletPress, 0.8, 15));
        QCOMPARE(pressureSeen, 0.8);
        QCOMPARE(tiltSeen, 15);
    }

    void mouseAndProximityEventsChangeNothing()
    {
        MTablet tablet;
        Target target;
        target.installEventFilter(&tablet);
        send(&target, reading(QEvent::TabletPress, 0.6, 7, 8));
        QStringList log;
        recordChanges(tablet, log);

        QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &press);
        QCoreApplication::sendEvent(&target, &move);
        QCoreApplication::sendEvent(&target, &release);
        // Proximity reaches the tablet state through the application object only.
        QTabletEvent leave(QEvent::TabletLeaveProximity, QPointF(), QPointF(), QTabletEvent::Stylus,
                           QTabletEvent::Eraser, 0, 0, 0, 0, 0, 0, Qt::NoModifier, 1, Qt::NoButton, Qt::NoButton);
        QCoreApplication::sendEvent(&target, &leave);

        QCOMPARE(log, QStringList());
        QCOMPARE(target.mouseEvents, 3);
        QVERIFY(tablet.on());
        QCOMPARE(tablet.pressure(), 0.6);
        QCOMPARE(tablet.proximityDevice(), 2);
    }

    void settersIgnoreEqualValues_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("same");
        QTest::addColumn<QVariant>("other");
        QTest::newRow("pointerType") << QByteArray("pointerType") << QVariant(1) << QVariant(3);
        QTest::newRow("device") << QByteArray("device") << QVariant(2) << QVariant(6);
        QTest::newRow("proximityDevice") << QByteArray("proximityDevice") << QVariant(2) << QVariant(3);
        QTest::newRow("pressure") << QByteArray("pressure") << QVariant(0.0) << QVariant(0.25);
        QTest::newRow("tangentialPressure") << QByteArray("tangentialPressure") << QVariant(0.0) << QVariant(-1.0);
        QTest::newRow("xTilt") << QByteArray("xTilt") << QVariant(0) << QVariant(-60);
        QTest::newRow("yTilt") << QByteArray("yTilt") << QVariant(0) << QVariant(60);
        QTest::newRow("on") << QByteArray("on") << QVariant(false) << QVariant(true);
    }

    void settersIgnoreEqualValues()
    {
        QFETCH(QByteArray, property);
        QFETCH(QVariant, same);
        QFETCH(QVariant, other);
        MTablet tablet;
        const QMetaProperty meta = tablet.metaObject()->property(tablet.metaObject()->indexOfProperty(property.constData()));
        QVERIFY(meta.hasNotifySignal());
        QSignalSpy spy(&tablet, QByteArray(QByteArray::number(QSIGNAL_CODE) + meta.notifySignal().methodSignature()).constData());
        QVERIFY(meta.write(&tablet, same));
        QCOMPARE(spy.count(), 0);
        QVERIFY(meta.write(&tablet, other));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0), other);
        QVERIFY(meta.write(&tablet, other));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(meta.read(&tablet), other);
    }
};

QTEST_GUILESS_MAIN(TestMTablet)
#include "tst_mtablet.moc"
