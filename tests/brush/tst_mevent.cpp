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

    // Every field but the type and the inputs.
    static void compareGestureFields(const MEvent &actual, const MEvent &expected)
    {
        QCOMPARE(actual.device, expected.device);
        QCOMPARE(actual.inputSource, expected.inputSource);
        QCOMPARE(actual.pointerType, expected.pointerType);
        QCOMPARE(actual.modifiers, expected.modifiers);
        QCOMPARE(actual.button, expected.button);
        QCOMPARE(actual.viewPosition, expected.viewPosition);
    }

private slots:
    void defaultValues_data()
    {
        QTest::addColumn<bool>("reused");
        QTest::newRow("new event") << false;
        QTest::newRow("init of a used event") << true;
    }

    void defaultValues()
    {
        QFETCH(bool, reused);
        MEvent event = sample(5, MEvent::Release);
        MRandom::seed(77);
        const double random = MRandom::next() / 32767.0;
        MRandom::seed(77);
        if (reused)
            event.init();
        else
            event = MEvent();
        QCOMPARE(event.type, int(MEvent::Press));
        MEvent expected = sample(9, MEvent::Release);
        expected.device = 0;
        expected.inputSource = 1;
        expected.pointerType = 1;
        expected.modifiers = Qt::NoModifier;
        expected.button = 0;
        expected.viewPosition = QPointF(0, 0);
        compareGestureFields(event, expected);
        for (int i = 0; i < MEnum::biCount; ++i) {
            if (i == MEnum::biPressure)
                QCOMPARE(event.inputs[i], 1.0);
            else if (i == MEnum::biRandom)
                QCOMPARE(event.inputs[i], random);
            else
                QCOMPARE(event.inputs[i], 0.0);
        }
    }

    void copiesCarryEveryField()
    {
        const MEvent original = sample(2, MEvent::Release);
        MEvent assigned;
        assigned = original;
        for (const MEvent &copy : {MEvent(original), assigned}) {
            QCOMPARE(copy.type, original.type);
            compareGestureFields(copy, original);
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
        compareGestureFields(mixed, a);
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
