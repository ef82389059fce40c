#include "mevent.h"
#include "mrandom.h"

#include <QTest>

namespace {
MEvent sample(double base, int type)
{
    MEvent event;
    event.type = type;
    event.device = 3;
    event.inputSource = 2;
    event.pointerType = 3;
    event.modifiers = Qt::ShiftModifier;
    event.button = Qt::RightButton;
    event.viewPosition = QPointF(base, -base);
    for (int i = 0; i < MEnum::biCount; ++i)
        event.inputs[i] = base + i;
    return event;
}
} // namespace

class TestMEvent : public QObject
{
    Q_OBJECT

private slots:
    void defaultEventIsAPressAtFullPressure()
    {
        MRandom::seed(77);
        const double random = MRandom::next() / 32767.0;
        MRandom::seed(77);
        const MEvent event;
        QCOMPARE(event.type, int(MEvent::Press));
        QCOMPARE(event.device, 0);
        QCOMPARE(event.inputSource, 1);
        QCOMPARE(event.pointerType, 1);
        QCOMPARE(event.modifiers, Qt::KeyboardModifiers());
        QCOMPARE(event.button, 0);
        QCOMPARE(event.viewPosition, QPointF());
        for (int i = 0; i < MEnum::biCount; ++i) {
            if (i == MEnum::biPressure)
                QCOMPARE(event.inputs[i], 1.0);
            else if (i == MEnum::biRandom)
                QCOMPARE(event.inputs[i], random);
            else
                QCOMPARE(event.inputs[i], 0.0);
        }
    }

    void initResetsEveryField()
    {
        MEvent event = sample(5, MEvent::Release);
        event.init();
        const MEvent fresh;
        QCOMPARE(event.type, fresh.type);
        QCOMPARE(event.device, 0);
        QCOMPARE(event.inputSource, 1);
        QCOMPARE(event.pointerType, 1);
        QCOMPARE(event.modifiers, Qt::KeyboardModifiers());
        QCOMPARE(event.button, 0);
        QCOMPARE(event.viewPosition, QPointF());
        QCOMPARE(event.inputs[MEnum::biPressure], 1.0);
        QCOMPARE(event.inputs[MEnum::biSpeed], 0.0);
        QVERIFY(event.inputs[MEnum::biRandom] >= 0.0 && event.inputs[MEnum::biRandom] <= 1.0);
    }

    void copiesCarryEveryField()
    {
        const MEvent original = sample(2, MEvent::Release);
        MEvent assigned;
        assigned = original;
        for (const MEvent &copy : {MEvent(original), assigned}) {
            QCOMPARE(copy.type, original.type);
            QCOMPARE(copy.device, original.device);
            QCOMPARE(copy.inputSource, original.inputSource);
            QCOMPARE(copy.pointerType, original.pointerType);
            QCOMPARE(copy.modifiers, original.modifiers);
            QCOMPARE(copy.button, original.button);
            QCOMPARE(copy.viewPosition, original.viewPosition);
            for (int i = 0; i < MEnum::biCount; ++i)
                QCOMPARE(copy.inputs[i], original.inputs[i]);
        }
    }

    void interpolation_data()
    {
        QTest::addColumn<double>("t");
        QTest::newRow("start") << 0.0;
        QTest::newRow("quarter") << 0.25;
        QTest::newRow("end") << 1.0;
    }

    void interpolation()
    {
        QFETCH(double, t);
        const MEvent a = sample(10, MEvent::Press);
        MEvent b = sample(30, MEvent::Release);
        b.device = 9;
        b.modifiers = Qt::AltModifier;
        b.viewPosition = QPointF(7, 7);
        MRandom::seed(1234);
        const double random = MRandom::next() / 32767.0;
        MRandom::seed(1234);
        const MEvent mixed(a, b, t);
        QCOMPARE(mixed.type, int(MEvent::Move));
        QCOMPARE(mixed.device, a.device);
        QCOMPARE(mixed.inputSource, a.inputSource);
        QCOMPARE(mixed.pointerType, a.pointerType);
        QCOMPARE(mixed.modifiers, a.modifiers);
        QCOMPARE(mixed.button, a.button);
        QCOMPARE(mixed.viewPosition, a.viewPosition);
        for (int i = 0; i < MEnum::biCount; ++i) {
            if (i == MEnum::biRandom)
                QCOMPARE(mixed.inputs[i], random);
            else
                QCOMPARE(mixed.inputs[i], 10.0 + i + 20.0 * t);
        }
    }

    void modifierBits_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("control");
        QTest::addColumn<bool>("alt");
        QTest::newRow("none") << 0 << false << false << false;
        QTest::newRow("shift, bit 25") << (1 << 25) << true << false << false;
        QTest::newRow("control, bit 26") << (1 << 26) << false << true << false;
        QTest::newRow("alt, bit 27") << (1 << 27) << false << false << true;
        QTest::newRow("meta only") << int(Qt::MetaModifier) << false << false << false;
        QTest::newRow("all three") << (7 << 25) << true << true << true;
    }

    void modifierBits()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, shift);
        QFETCH(bool, control);
        QFETCH(bool, alt);
        MEvent event;
        event.modifiers = Qt::KeyboardModifiers(modifiers);
        QCOMPARE(event.hasShiftModifier(), shift);
        QCOMPARE(event.hasControlModifier(), control);
        QCOMPARE(event.hasAltModifier(), alt);
    }
};

QTEST_APPLESS_MAIN(TestMEvent)
#include "tst_mevent.moc"
