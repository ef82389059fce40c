#include "mdoubleslider.h"
#include "mdoublespinbox.h"
#include "mintspinbox.h"
#include "msliderspinbox.h"
#include "mtestspy.h"

#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

namespace {
QSlider *innerSlider(QWidget *widget)
{
    return widget->findChild<QSlider *>();
}
} // namespace

// The numbers of the slider, the spin boxes and the slider-spin-box pair:
// where the handle stands for a value and back, linear and logarithmic,
// percentages of a range, clamping and bounds that cross.
class TestNumericWidgets : public QObject
{
    Q_OBJECT

private slots:
    // ------------------------------------------------------------ slider

    void sliderPositionOfValue_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("logarithmic");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("position");

        QTest::newRow("linear middle") << 0.0 << 1.0 << false << 0.5 << 50;
        QTest::newRow("linear maximum") << 0.0 << 1.0 << false << 1.0 << 100;
        QTest::newRow("linear truncated, not rounded") << 0.0 << 1.0 << false << 0.999 << 99;
        QTest::newRow("linear offset range") << 2.0 << 4.0 << false << 3.0 << 50;
        QTest::newRow("linear range through zero") << -10.0 << 10.0 << false << -5.0 << 25;
        QTest::newRow("above the maximum is clamped") << 0.0 << 1.0 << false << 7.0 << 100;
        QTest::newRow("log minimum") << 0.0 << 1.0 << true << 0.0 << 0;
        QTest::newRow("log maximum falls just short") << 0.0 << 1.0 << true << 1.0 << 99;
        QTest::newRow("log a hundredth") << 0.0 << 1.0 << true << 0.01 << 7;
        QTest::newRow("log a tenth") << 0.0 << 1.0 << true << 0.1 << 39;
        QTest::newRow("log half") << 0.0 << 1.0 << true << 0.5 << 80;
        QTest::newRow("log nine tenths") << 0.0 << 1.0 << true << 0.9 << 96;
        QTest::newRow("log half of a radius range") << 1.0 << 201.0 << true << 101.0 << 80;
    }

    void sliderPositionOfValue()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, logarithmic);
        QFETCH(double, value);
        QFETCH(int, position);

        MDoubleSlider slider;
        slider.set_maximum(maximum);
        slider.set_minimum(minimum);
        slider.set_isLogarithmic(logarithmic);
        QSignalSpy changes(&slider, &MDoubleSlider::valueChanged);
        slider.set_value(value);

        QCOMPARE(slider.position(), position);
        QCOMPARE(innerSlider(&slider)->value(), position);
        const double stored = qBound(minimum, value, maximum);
        QCOMPARE(slider.value(), stored);
        // The slider starts at 0: setting it there again is no change.
        QCOMPARE(spyValues(changes), stored == 0.0 ? QVariantList() : QVariantList{stored});
    }

    void sliderValueAtPosition_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("logarithmic");
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("value");

        QTest::newRow("linear start") << 0.0 << 1.0 << false << 0 << 0.0;
        QTest::newRow("linear quarter") << 2.0 << 4.0 << false << 25 << 2.5;
        QTest::newRow("linear end") << 0.0 << 1.0 << false << 100 << 1.0;
        // 0.2 x 1 + 0.1 would be 0.30000000000000004.
        QTest::newRow("linear end is the maximum itself") << 0.1 << 0.3 << false << 100 << 0.3;
        QTest::newRow("linear start is the minimum itself") << 0.1 << 0.3 << false << 0 << 0.1;
        QTest::newRow("log start") << 0.0 << 1.0 << true << 0 << 0.0;
        QTest::newRow("log tenth of the track") << 0.0 << 1.0 << true << 10 << 0.0143238436;
        QTest::newRow("log middle covers a sixth") << 0.0 << 1.0 << true << 50 << 0.1567830624;
        QTest::newRow("log three quarters") << 0.0 << 1.0 << true << 75 << 0.4108326860;
        QTest::newRow("log middle of an offset range") << 10.0 << 20.0 << true << 50 << 11.567830624;
        QTest::newRow("log end") << 10.0 << 20.0 << true << 100 << 20.0;
        QTest::newRow("log end of a fraction range") << 0.1 << 0.3 << true << 100 << 0.3;
    }

    void sliderValueAtPosition()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, logarithmic);
        QFETCH(int, position);
        QFETCH(double, value);

        MDoubleSlider slider;
        slider.set_maximum(maximum);
        slider.set_minimum(minimum);
        slider.set_isLogarithmic(logarithmic);
        QSignalSpy changes(&slider, &MDoubleSlider::valueChanged);

        slider.sliderValueChanged(position);
        if (position == 0 || position == 100)
            QCOMPARE(slider.value(), value); // exactly
        else
            QVERIFY2(qAbs(slider.value() - value) < 1e-9, qPrintable(QString::number(slider.value(), 'g', 17)));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toDouble(), slider.value());

        // The handle reports every time, even when the value stays.
        slider.sliderValueChanged(position);
        QCOMPARE(changes.count(), 2);
    }

    void sliderDraggedByTheUser()
    {
        MDoubleSlider slider;
        slider.set_minimum(0.0);
        slider.set_maximum(10.0);
        QSignalSpy changes(&slider, &MDoubleSlider::valueChanged);
        innerSlider(&slider)->setValue(30);
        QCOMPARE(slider.value(), 3.0);
        QCOMPARE(spyValues(changes), QVariantList{3.0});

        // Setting the value moves the handle without hearing it back.
        slider.set_value(7.5);
        QCOMPARE(innerSlider(&slider)->value(), 75);
        QCOMPARE(spyValues(changes), (QVariantList{3.0, 7.5}));
        slider.set_value(7.5);
        QCOMPARE(changes.count(), 2);
    }

    void sliderBoundsThatCross_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QStringList>("signals_");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("position");

        // Starting from 0..1 with the value 0.5.
        QTest::newRow("maximum onto the minimum") << "max 0" << -1.0 << 0.0
                                                  << QStringList{"minimum -1", "maximum 0"} << 0.0 << 100;
        QTest::newRow("maximum below the minimum") << "max -3" << -4.0 << -3.0
                                                   << QStringList{"minimum -4", "maximum -3"} << -3.0 << 100;
        QTest::newRow("minimum onto the maximum") << "min 1" << 1.0 << 2.0
                                                  << QStringList{"maximum 2", "minimum 1"} << 1.0 << 0;
        QTest::newRow("minimum above the maximum") << "min 5" << 5.0 << 6.0
                                                   << QStringList{"maximum 6", "minimum 5"} << 5.0 << 0;
        QTest::newRow("minimum within, value clamped up") << "min 0.75" << 0.75 << 1.0
                                                          << QStringList{"minimum 0.75"} << 0.75 << 0;
        QTest::newRow("maximum within, handle moves") << "max 2" << 0.0 << 2.0 << QStringList{"maximum 2"} << 0.5
                                                      << 25;
        QTest::newRow("same minimum") << "min 0" << 0.0 << 1.0 << QStringList{} << 0.5 << 50;
    }

    void sliderBoundsThatCross()
    {
        QFETCH(QString, change);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QStringList, signals_);
        QFETCH(double, value);
        QFETCH(int, position);

        MDoubleSlider slider;
        slider.set_value(0.5);
        QStringList log;
        connect(&slider, &MDoubleSlider::minimumChanged, this,
                [&](double v) { log << QStringLiteral("minimum %1").arg(v); });
        connect(&slider, &MDoubleSlider::maximumChanged, this,
                [&](double v) { log << QStringLiteral("maximum %1").arg(v); });
        QSignalSpy valueChanges(&slider, &MDoubleSlider::valueChanged);

        const double bound = change.section(QLatin1Char(' '), 1).toDouble();
        if (change.startsWith(QLatin1String("min")))
            slider.set_minimum(bound);
        else
            slider.set_maximum(bound);

        QCOMPARE(slider.minimum(), minimum);
        QCOMPARE(slider.maximum(), maximum);
        QCOMPARE(log, signals_);
        QCOMPARE(slider.value(), value);
        QCOMPARE(slider.position(), position);
        QCOMPARE(valueChanges.count(), 0);
    }

    void sliderModesAndTracking()
    {
        MDoubleSlider slider;
        slider.set_value(0.5);
        QSignalSpy logChanges(&slider, &MDoubleSlider::isLogarithmicChanged);
        slider.set_isLogarithmic(true);
        slider.set_isLogarithmic(true);
        QCOMPARE(logChanges.count(), 1);
        // The handle waits for the next value.
        QCOMPARE(slider.position(), 50);
        slider.set_value(0.1);
        QCOMPARE(slider.position(), 39);

        QSignalSpy trackingChanges(&slider, &MDoubleSlider::sliderTrackingChanged);
        slider.set_sliderTracking(false);
        QVERIFY(!innerSlider(&slider)->hasTracking());
        QCOMPARE(spyValues(trackingChanges), QVariantList{false});
    }

    // ------------------------------------------------------------ slider and spin box

    void sliderSpinboxBoundsSwap_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QString>("signal");

        QTest::newRow("minimum above the maximum") << "min 5" << 1.0 << 5.0 << "minimum 5";
        QTest::newRow("maximum below the minimum") << "max -2" << -2.0 << 0.0 << "maximum -2";
        QTest::newRow("minimum within") << "min 0.25" << 0.25 << 1.0 << "minimum 0.25";
        QTest::newRow("maximum above") << "max 200" << 0.0 << 200.0 << "maximum 200";
        QTest::newRow("same maximum") << "max 1" << 0.0 << 1.0 << "";
    }

    void sliderSpinboxBoundsSwap()
    {
        QFETCH(QString, change);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QString, signal);

        MSliderSpinbox pair;
        QStringList log;
        connect(&pair, &MSliderSpinbox::minimumChanged, this,
                [&](double v) { log << QStringLiteral("minimum %1").arg(v); });
        connect(&pair, &MSliderSpinbox::maximumChanged, this,
                [&](double v) { log << QStringLiteral("maximum %1").arg(v); });
        QSignalSpy valueChanges(&pair, &MSliderSpinbox::valueChanged);

        const double bound = change.section(QLatin1Char(' '), 1).toDouble();
        if (change.startsWith(QLatin1String("min")))
            pair.set_minimum(bound);
        else
            pair.set_maximum(bound);

        QCOMPARE(pair.minimum(), minimum);
        QCOMPARE(pair.maximum(), maximum);
        QCOMPARE(log.join(QLatin1Char(',')), signal);
        // Both children run over the same, upward range.
        QCOMPARE(pair.slider()->minimum(), minimum);
        QCOMPARE(pair.slider()->maximum(), maximum);
        QCOMPARE(pair.spinBox()->minimum(), minimum);
        QCOMPARE(pair.spinBox()->maximum(), maximum);
        QCOMPARE(valueChanges.count(), 0);
    }

    void sliderSpinboxValue_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("logarithmic");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("shown");

        // The spin box shows percentages unless told otherwise.
        QTest::newRow("within") << 0.0 << 1.0 << false << 0.25 << 0.25 << 25 << 25.0;
        QTest::newRow("clamped to the maximum") << 0.0 << 1.0 << false << 7.0 << 1.0 << 100 << 100.0;
        QTest::newRow("clamped to the minimum") << 2.0 << 4.0 << false << -1.0 << 2.0 << 0 << 0.0;
        QTest::newRow("offset range") << 2.0 << 4.0 << false << 3.0 << 3.0 << 50 << 50.0;
        QTest::newRow("logarithmic") << 0.0 << 1.0 << true << 0.5 << 0.5 << 80 << 50.0;
    }

    void sliderSpinboxValue()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, logarithmic);
        QFETCH(double, value);
        QFETCH(double, stored);
        QFETCH(int, position);
        QFETCH(double, shown);

        MSliderSpinbox pair;
        pair.set_maximum(maximum);
        pair.set_minimum(minimum);
        pair.set_isLogarithmic(logarithmic);
        QSignalSpy changes(&pair, &MSliderSpinbox::valueChanged);
        pair.set_value(value);

        QCOMPARE(pair.value(), stored);
        QCOMPARE(spyValues(changes), QVariantList{stored});
        QCOMPARE(pair.slider()->value(), stored);
        QCOMPARE(pair.slider()->position(), position);
        QCOMPARE(pair.spinBox()->value(), stored);
        QCOMPARE(pair.spinBox()->findChild<QDoubleSpinBox *>()->value(), shown);
    }

    void sliderSpinboxFollowsEitherChild()
    {
        MSliderSpinbox pair;
        pair.set_maximum(10.0);
        QSignalSpy changes(&pair, &MSliderSpinbox::valueChanged);

        innerSlider(&pair)->setValue(40);
        QCOMPARE(pair.value(), 4.0);
        QCOMPARE(pair.spinBox()->value(), 4.0);
        QCOMPARE(spyValues(changes), QVariantList{4.0});

        // Typed as a percentage of 0..10.
        pair.spinBox()->findChild<QDoubleSpinBox *>()->setValue(75.0);
        QCOMPARE(pair.value(), 7.5);
        QCOMPARE(pair.slider()->position(), 75);
        QCOMPARE(spyValues(changes), (QVariantList{4.0, 7.5}));
    }

    void sliderSpinboxForwards()
    {
        MSliderSpinbox pair;
        QCOMPARE(pair.spinBox()->isPercentage(), true);
        QCOMPARE(pair.spinBox()->width(), 75);
        QVERIFY(pair.slider()->minimumWidth() >= 40);

        pair.set_isPercentage(false);
        pair.set_suffix(QStringLiteral(" px"));
        pair.set_singleStep(0.5);
        pair.set_spinBoxWidth(60);
        pair.set_showSpinBox(false);
        pair.set_isLogarithmic(true);
        pair.set_sliderTracking(false);

        QCOMPARE(pair.spinBox()->isPercentage(), false);
        QCOMPARE(pair.spinBox()->suffix(), QStringLiteral(" px"));
        QCOMPARE(pair.spinBox()->singleStep(), 0.5);
        QCOMPARE(pair.spinBox()->minimumWidth(), 60);
        QCOMPARE(pair.spinBox()->maximumWidth(), 60);
        QVERIFY(pair.spinBox()->isHidden());
        QCOMPARE(pair.slider()->isLogarithmic(), true);
        QCOMPARE(pair.slider()->sliderTracking(), false);
    }

    // ------------------------------------------------------------ whole-number spin box

    void intSpinBoxKeepsValuesBeyondTheRange()
    {
        MIntSpinBox box;
        QSpinBox *inner = box.findChild<QSpinBox *>();
        QCOMPARE(inner->maximum(), 100);
        QSignalSpy changes(&box, &MIntSpinBox::valueChanged);

        box.set_value(500);
        QCOMPARE(box.value(), 500);
        QCOMPARE(spyValues(changes), QVariantList{500});
        QCOMPARE(inner->value(), 100);

        // Once the range allows it the box shows the value it kept; the
        // range change is no change of value.
        box.set_maximum(1000);
        QCOMPARE(inner->maximum(), 1000);
        QCOMPARE(inner->value(), 500);
        QCOMPARE(changes.count(), 1);

        inner->setValue(42);
        QCOMPARE(box.value(), 42);
        QCOMPARE(spyValues(changes), (QVariantList{500, 42}));
    }

    void intSpinBoxAppliesEveryProperty()
    {
        MIntSpinBox box;
        QSpinBox *inner = box.findChild<QSpinBox *>();
        QSignalSpy minimumChanges(&box, &MIntSpinBox::minimumChanged);
        QSignalSpy suffixChanges(&box, &MIntSpinBox::suffixChanged);
        box.set_minimum(-5);
        box.set_minimum(-5);
        box.set_singleStep(5);
        box.set_suffix(QStringLiteral(" px"));
        QCOMPARE(inner->minimum(), -5);
        QCOMPARE(inner->singleStep(), 5);
        QCOMPARE(inner->suffix(), QStringLiteral(" px"));
        QCOMPARE(spyValues(minimumChanges), QVariantList{-5});
        QCOMPARE(spyValues(suffixChanges), QVariantList{QStringLiteral(" px")});
    }

    // ------------------------------------------------------------ real spin box

    void doubleSpinBoxShows_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("percentage");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("shown");
        QTest::addColumn<QString>("suffix");

        QTest::newRow("percentage of an offset range") << 2.0 << 4.0 << true << 3.0 << 50.0 << " %";
        QTest::newRow("percentage at the minimum") << 2.0 << 4.0 << true << 2.0 << 0.0 << " %";
        QTest::newRow("percentage of a negative range") << -1.0 << 0.0 << true << -0.25 << 75.0 << " %";
        QTest::newRow("plain") << 0.0 << 10.0 << false << 2.5 << 2.5 << "";
        QTest::newRow("plain, two decimals shown") << 0.0 << 1.0 << false << 0.123 << 0.12 << "";
        // No division by zero for a range without width.
        QTest::newRow("percentage of an empty range") << 1.0 << 1.0 << true << 1.0 << 0.0 << " %";
    }

    void doubleSpinBoxShows()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, percentage);
        QFETCH(double, value);
        QFETCH(double, shown);
        QFETCH(QString, suffix);

        MDoubleSpinBox box;
        box.set_maximum(maximum);
        box.set_minimum(minimum);
        box.set_isPercentage(percentage);
        QSignalSpy changes(&box, &MDoubleSpinBox::valueChanged);
        box.set_value(value);

        QDoubleSpinBox *inner = box.findChild<QDoubleSpinBox *>();
        QCOMPARE(box.value(), value);
        QCOMPARE(inner->value(), shown);
        QCOMPARE(inner->suffix(), suffix);
        QCOMPARE(spyValues(changes), QVariantList{value});
    }

    void doubleSpinBoxTyped_data()
    {
        QTest::addColumn<bool>("percentage");
        QTest::addColumn<double>("typed");
        QTest::addColumn<double>("value");

        QTest::newRow("a quarter of 2..4") << true << 25.0 << 2.5;
        QTest::newRow("all of 2..4") << true << 100.0 << 4.0;
        QTest::newRow("plain") << false << 3.25 << 3.25;
    }

    void doubleSpinBoxTyped()
    {
        QFETCH(bool, percentage);
        QFETCH(double, typed);
        QFETCH(double, value);

        MDoubleSpinBox box;
        box.set_maximum(4.0);
        box.set_minimum(2.0);
        box.set_isPercentage(percentage);
        QSignalSpy changes(&box, &MDoubleSpinBox::valueChanged);
        box.findChild<QDoubleSpinBox *>()->setValue(typed);
        QCOMPARE(box.value(), value);
        QCOMPARE(spyValues(changes), QVariantList{value});
    }

    void doubleSpinBoxShowsTheValueAgainForANewMode()
    {
        // The value first, the mode and range after, as editors often set them.
        MDoubleSpinBox box;
        box.set_maximum(4.0);
        box.set_value(3.0);
        box.set_minimum(2.0);
        box.set_isPercentage(true);
        QDoubleSpinBox *inner = box.findChild<QDoubleSpinBox *>();
        QCOMPARE(inner->value(), 50.0);
        QCOMPARE(inner->maximum(), 100.0);
        QCOMPARE(inner->singleStep(), 1.0);
        QCOMPARE(box.value(), 3.0);

        box.set_isPercentage(false);
        QCOMPARE(inner->value(), 3.0);
        QCOMPARE(inner->maximum(), 4.0);
        QCOMPARE(inner->singleStep(), 0.1);
        QCOMPARE(box.value(), 3.0);
    }
};

QTEST_MAIN(TestNumericWidgets)
#include "tst_numericwidgets.moc"
