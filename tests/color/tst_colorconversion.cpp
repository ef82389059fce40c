#include "dcolorutility.h"
#include "mcoloredit.h"
#include "mcolorconversion.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {
struct Triple
{
    double a, b, c;
};
} // namespace
Q_DECLARE_METATYPE(Triple)

namespace {
void compareTriple(const Triple &actual, const Triple &expected, double tolerance)
{
    const QString text = QStringLiteral("(%1, %2, %3) expected (%4, %5, %6)")
                             .arg(actual.a, 0, 'f', 6).arg(actual.b, 0, 'f', 6).arg(actual.c, 0, 'f', 6)
                             .arg(expected.a, 0, 'f', 6).arg(expected.b, 0, 'f', 6).arg(expected.c, 0, 'f', 6);
    QVERIFY2(std::abs(actual.a - expected.a) <= tolerance && std::abs(actual.b - expected.b) <= tolerance
                 && std::abs(actual.c - expected.c) <= tolerance,
             qPrintable(text));
}

bool finiteAll(std::initializer_list<double> values)
{
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

// The D65 white point's chromaticity.
const double whiteX = 95.047 / (95.047 + 100.0 + 108.883);
const double whiteY = 100.0 / (95.047 + 100.0 + 108.883);
} // namespace

class TestColorConversion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<Qt::KeyboardModifiers>(); }

    // Expected values worked out separately, in double precision, from the
    // sRGB transfer curve, the four-decimal sRGB matrix and D65.
    void forward_data()
    {
        QTest::addColumn<Triple>("rgb");
        QTest::addColumn<bool>("srgb");
        QTest::addColumn<Triple>("xyz");
        QTest::addColumn<Triple>("lab");
        QTest::addColumn<Triple>("yxy");
        const Triple white{95.05, 100.0, 108.9};
        const Triple whiteLab{100.0, 0.005260, -0.010408};
        const Triple whiteXy{100.0, 0.312716, 0.329001};
        QTest::newRow("white srgb") << Triple{1, 1, 1} << true << white << whiteLab << whiteXy;
        QTest::newRow("white linear") << Triple{1, 1, 1} << false << white << whiteLab << whiteXy;
        QTest::newRow("black") << Triple{0, 0, 0} << true << Triple{0, 0, 0} << Triple{0, 0, 0}
                               << Triple{0, whiteX, whiteY};
        QTest::newRow("mid grey srgb") << Triple{0.5, 0.5, 0.5} << true << Triple{20.344610, 21.404114, 23.309080}
                                       << Triple{53.388965, 0.003147, -0.006226} << Triple{21.404114, 0.312716, 0.329001};
        QTest::newRow("mid grey linear") << Triple{0.5, 0.5, 0.5} << false << Triple{47.525, 50.0, 54.45}
                                         << Triple{76.069261, 0.004175, -0.008261} << Triple{50.0, 0.312716, 0.329001};
        QTest::newRow("red") << Triple{1, 0, 0} << true << Triple{41.24, 21.26, 1.93}
                             << Triple{53.232882, 80.109310, 67.220068} << Triple{21.26, 0.640074, 0.329971};
        QTest::newRow("green") << Triple{0, 1, 0} << true << Triple{35.76, 71.52, 11.92}
                               << Triple{87.737033, -86.184636, 83.181165} << Triple{71.52, 0.3, 0.6};
        QTest::newRow("blue") << Triple{0, 0, 1} << false << Triple{18.05, 7.22, 95.05}
                              << Triple{32.302587, 79.196662, -107.863681} << Triple{7.22, 0.150017, 0.060007};
    }

    void forward()
    {
        QFETCH(Triple, rgb);
        QFETCH(bool, srgb);
        QFETCH(Triple, xyz);
        QFETCH(Triple, lab);
        QFETCH(Triple, yxy);
        Triple x;
        rgbToXyz(rgb.a, rgb.b, rgb.c, srgb, x.a, x.b, x.c);
        compareTriple(x, xyz, 1e-4);
        Triple l;
        xyzToLab(x.a, x.b, x.c, l.a, l.b, l.c);
        compareTriple(l, lab, 1e-4);
        Triple y{x.b, 0, 0};
        xyzToYxy(x.a, x.b, x.c, y.b, y.c);
        compareTriple(y, yxy, 1e-5);

        // The colour entry points agree with the triples, up to the
        // colour's 16-bit components.
        const QColor color = QColor::fromRgbF(rgb.a, rgb.b, rgb.c);
        Triple q;
        qColorToXyz(color, srgb, q.a, q.b, q.c);
        compareTriple(q, x, 2e-3);
        qColorToLab(color, srgb, q.a, q.b, q.c);
        compareTriple(q, l, 2e-3);

        // And back: close, though not exact in the dark range.
        Triple back;
        xyzToRgb(x.a, x.b, x.c, srgb, back.a, back.b, back.c);
        compareTriple(back, rgb, 1e-3);
        labToXyz(l.a, l.b, l.c, back.a, back.b, back.c);
        compareTriple(back, x, 2e-3);
        Triple xz{0, 0, 0};
        yxyToXyz(y.a, y.b, y.c, xz.a, xz.c);
        compareTriple(Triple{xz.a, x.b, xz.c}, x, 1e-9);
        QColor again;
        colorLabToQColor(l.a, l.b, l.c, srgb, again);
        QCOMPARE(again.rgb(), color.rgb());
    }

    // No value that is not a number, nor an infinite one, comes out of the
    // cases the arithmetic cannot handle as such.
    void degenerateInputsStayFinite()
    {
        double x = -1, y = -1;
        xyzToYxy(0, 0, 0, x, y);
        QVERIFY(finiteAll({x, y}));
        QCOMPARE(x, whiteX);
        QCOMPARE(y, whiteY);
        double X = -1, Z = -1;
        yxyToXyz(50, 0.3, 0.0, X, Z);
        QCOMPARE(X, 0.0);
        QCOMPARE(Z, 0.0);
        yxyToXyz(0, 0.3, std::nan(""), X, Z);
        QCOMPARE(X, 0.0);
        QCOMPARE(Z, 0.0);
        QColor c;
        colorXyzToQColor(std::numeric_limits<double>::infinity(), 10, std::nan(""), true, c);
        QVERIFY(c.isValid());
        QVERIFY(finiteAll({c.redF(), c.greenF(), c.blueF()}));
    }

    // White from Lab comes back a hair above 1 and is kept so.
    void resultsAreNotClamped()
    {
        double x, y, z, r, g, b;
        labToXyz(100, 0.0053, -0.0104, x, y, z);
        xyzToRgb(x, y, z, true, r, g, b);
        QVERIFY2(r > 1.0 && r < 1.0001, qPrintable(QString::number(r, 'g', 10)));
        QColor c;
        colorLabToQColor(100, 0.0053, -0.0104, true, c);
        QVERIFY(c.isValid());
        QCOMPARE(c.rgb(), QColor(Qt::white).rgb());
    }

    void converterRewritesTheOtherGroups()
    {
        DColorUtility dialog;
        QVERIFY(dialog.findChild<QCheckBox *>("cbsRgb")->isChecked());
        QCOMPARE(dialog.findChild<MColorEdit *>("hexEdit")->color(), QColor(Qt::black));
        dialog.findChild<QSpinBox *>("sbRGB_R")->setValue(255);
        QCOMPARE(dialog.findChild<QSpinBox *>("sbRGB_R")->value(), 255);
        QCOMPARE(dialog.findChild<MColorEdit *>("hexEdit")->color().rgb(), QColor(255, 0, 0).rgb());
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbRGB01_R")->value(), 1.0);
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbXYZ_Y")->value(), 21.26);
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbLAB_A")->value(), 80.1093);
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbYxy_x")->value(), 0.6401);
        QCOMPARE(dialog.findChild<QSpinBox *>("sbHSV_S")->value(), 255);
        QCOMPARE(dialog.findChild<QSpinBox *>("sbCMYK_M")->value(), 255);
        QCOMPARE(dialog.findChild<QSpinBox *>("sbCMYK_K")->value(), 0);

        // Editing another group rewrites the RGB boxes from it.
        dialog.findChild<QSpinBox *>("sbHSV_H")->setValue(120);
        QCOMPARE(dialog.color(), QColor(0, 255, 0));
        QCOMPARE(dialog.findChild<QSpinBox *>("sbHSV_H")->value(), 120);
        QCOMPARE(dialog.findChild<MColorEdit *>("hexEdit")->color().rgb(), QColor(0, 255, 0).rgb());
        dialog.findChild<QDoubleSpinBox *>("sbLAB_L")->setValue(dialog.findChild<QDoubleSpinBox *>("sbLAB_L")->value() - 40);
        QVERIFY(dialog.color().green() < 200);
        dialog.findChild<QSpinBox *>("sbCMYK_C")->setValue(255);
        dialog.findChild<QSpinBox *>("sbCMYK_M")->setValue(0);
        dialog.findChild<QSpinBox *>("sbCMYK_Y")->setValue(0);
        dialog.findChild<QSpinBox *>("sbCMYK_K")->setValue(0);
        QCOMPARE(dialog.color(), QColor(0, 255, 255));
        dialog.findChild<QDoubleSpinBox *>("sbRGB01_B")->setValue(0.0);
        QCOMPARE(dialog.color(), QColor(0, 255, 0));
        dialog.findChild<QDoubleSpinBox *>("sbXYZ_X")->setValue(95.05);
        dialog.findChild<QDoubleSpinBox *>("sbXYZ_Y")->setValue(100);
        dialog.findChild<QDoubleSpinBox *>("sbXYZ_Z")->setValue(108.9);
        QCOMPARE(dialog.color(), QColor(255, 255, 255));
    }

    void converterSrgbToggle()
    {
        DColorUtility dialog;
        dialog.findChild<QSpinBox *>("sbRGB_R")->setValue(128);
        dialog.findChild<QSpinBox *>("sbRGB_G")->setValue(128);
        dialog.findChild<QSpinBox *>("sbRGB_B")->setValue(128);
        QVERIFY2(std::abs(dialog.findChild<QDoubleSpinBox *>("sbXYZ_Y")->value() - 21.586) < 0.01, qPrintable(QString::number(dialog.findChild<QDoubleSpinBox *>("sbXYZ_Y")->value())));
        dialog.findChild<QCheckBox *>("cbsRgb")->click();
        QVERIFY(!dialog.findChild<QCheckBox *>("cbsRgb")->isChecked());
        QVERIFY2(std::abs(dialog.findChild<QDoubleSpinBox *>("sbXYZ_Y")->value() - 50.196) < 0.01, qPrintable(QString::number(dialog.findChild<QDoubleSpinBox *>("sbXYZ_Y")->value())));
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbYxy_Y")->value(), dialog.findChild<QDoubleSpinBox *>("sbXYZ_Y")->value());
        QVERIFY(dialog.findChild<QDoubleSpinBox *>("sbLAB_L")->value() > 76.0);
        QCOMPARE(dialog.color(), QColor(128, 128, 128));
    }

    // Black has the white point's chromaticity, so the Yxy boxes hold numbers.
    void converterBlackShowsNumbers()
    {
        DColorUtility dialog;
        dialog.findChild<QSpinBox *>("sbRGB_G")->setValue(10);
        dialog.findChild<QSpinBox *>("sbRGB_G")->setValue(0);
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbYxy_Y")->value(), 0.0);
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbYxy_x")->value(), 0.3127);
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbYxy_y")->value(), 0.329);
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbYxy_x")->text(), QLocale().toString(0.3127, 'f', 4));
        // A y of 0 typed in gives X = Z = 0, not infinities.
        dialog.findChild<QDoubleSpinBox *>("sbYxy_Y")->setValue(40);
        dialog.findChild<QDoubleSpinBox *>("sbYxy_y")->setValue(0.0);
        QCOMPARE(dialog.findChild<QDoubleSpinBox *>("sbRGB01_R")->text(), QLocale().toString(0.0, 'f', 4));
        QVERIFY(dialog.color().isValid());
    }

    void converterHexAppliesOnReturn()
    {
        DColorUtility dialog;
        QVERIFY(dialog.findChild<MColorEdit *>("hexEdit")->applyOnReturnOnly());
        auto *line = dialog.findChild<MColorEdit *>("hexEdit")->findChild<QLineEdit *>();
        line->selectAll();
        QTest::keyClicks(line, "#336699");
        QCOMPARE(dialog.color(), QColor(Qt::black));
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(dialog.color(), QColor(0x33, 0x66, 0x99));
        QCOMPARE(dialog.findChild<QSpinBox *>("sbHSV_H")->value(), 210);
    }

    void converterButtons()
    {
        DColorUtility dialog;
        QSignalSpy brush(&dialog, &DColorUtility::setBrushColor);
        QSignalSpy palette(&dialog, &DColorUtility::addColorToPalette);
        dialog.findChild<QSpinBox *>("sbHSL_H")->setValue(240);
        dialog.findChild<QSpinBox *>("sbHSL_S")->setValue(255);
        dialog.findChild<QSpinBox *>("sbHSL_L")->setValue(128);
        dialog.findChild<QPushButton *>("setBrushColorBtn")->click();
        dialog.findChild<QPushButton *>("addColorToPaletteBtn")->click();
        QCOMPARE(brush.count(), 1);
        QCOMPARE(brush.at(0).at(0).value<QColor>(), dialog.color());
        QCOMPARE(brush.at(0).at(0).value<QColor>().blue(), 255);
        QCOMPARE(brush.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::NoModifier));
        QCOMPARE(palette.count(), 1);
        QCOMPARE(palette.at(0).at(0).value<QColor>(), dialog.color());
    }
};

QTEST_MAIN(TestColorConversion)
#include "tst_colorconversion.moc"
