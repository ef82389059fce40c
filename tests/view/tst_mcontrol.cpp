#include "mcontrol.h"
#include "mevent.h"

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {
// Records each handler it enters and consumes what it is told to.
class RecordingControl : public MControl
{
public:
    QStringList calls;
    bool consume = false;

    bool mousePressEvent(MEvent *) override { return record(QStringLiteral("press")); }
    bool mouseMoveEvent(MEvent *) override { return record(QStringLiteral("move")); }
    bool mouseReleaseEvent(MEvent *) override { return record(QStringLiteral("release")); }
    bool mouseHoverEvent(MEvent *) override { return record(QStringLiteral("hover")); }
    bool mouseDoubleClickEvent(MEvent *) override { return record(QStringLiteral("doubleClick")); }
    bool wheelEvent(QWheelEvent *) override { return record(QStringLiteral("wheel")); }

private:
    bool record(const QString &call)
    {
        calls << call;
        return consume;
    }
};
} // namespace

class TestMControl : public QObject
{
    Q_OBJECT

private slots:
    void dispatch_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("handler");
        QTest::newRow("press") << int(MEvent::Press) << "press";
        QTest::newRow("hover") << int(MEvent::Hover) << "hover";
        QTest::newRow("move") << int(MEvent::Move) << "move";
        QTest::newRow("release") << int(MEvent::Release) << "release";
        QTest::newRow("wheel-typed sample") << int(MEvent::Wheel) << "";
        QTest::newRow("double click") << int(MEvent::DoubleClick) << "";
        QTest::newRow("unknown type") << 42 << "";
        QTest::newRow("negative type") << -1 << "";
    }

    void dispatch()
    {
        QFETCH(int, type);
        QFETCH(QString, handler);
        MEvent e;
        e.type = type;
        const QStringList expected = handler.isEmpty() ? QStringList() : QStringList{handler};
        for (bool consume : {false, true}) {
            RecordingControl control;
            control.consume = consume;
            QCOMPARE(control.dispatch(&e), consume && !handler.isEmpty());
            QCOMPARE(control.calls, expected);
        }
    }

    // The base control takes nothing, so a view with it behaves as without.
    void baseConsumesNothing()
    {
        MControl control;
        MEvent e;
        for (int type : {MEvent::Press, MEvent::Hover, MEvent::Move, MEvent::Release, MEvent::DoubleClick}) {
            e.type = type;
            QVERIFY(!control.dispatch(&e));
        }
        QVERIFY(!control.mouseDoubleClickEvent(&e));
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QVERIFY(!control.wheelEvent(&wheel));
        QVERIFY(!control.updateCursor(QPointF(5, 5)));
        QVERIFY(control.rect().isEmpty());
        QVERIFY(!control.dispatch(nullptr));
    }

    void flags_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::newRow("enabled") << QByteArray("enabled");
        QTest::newRow("visible") << QByteArray("visible");
    }

    void flags()
    {
        QFETCH(QByteArray, property);
        MControl control;
        QCOMPARE(control.property(property.constData()), QVariant(true));
        const QMetaProperty meta = control.metaObject()->property(control.metaObject()->indexOfProperty(property.constData()));
        QSignalSpy spy(&control, QByteArray(QByteArray::number(QSIGNAL_CODE) + meta.notifySignal().methodSignature()).constData());
        meta.write(&control, true);
        QCOMPARE(spy.count(), 0);
        meta.write(&control, false);
        meta.write(&control, false);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0), QVariant(false));
        QCOMPARE(control.property(property.constData()), QVariant(false));
    }
};

QTEST_GUILESS_MAIN(TestMControl)
#include "tst_mcontrol.moc"
