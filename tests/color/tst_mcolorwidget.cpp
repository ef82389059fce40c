#include "mcolorgradientwidget.h"
#include "mcolorlist.h"
#include "mcolorlistwidget.h"
#include "mcolorslider.h"
#include "mcolorwidget.h"
#include "menum.h"
#include "mgenerator.h"
#include "msettings.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

// The colour panel, its sliders and its strip, always against the one colour
// list the whole program shares.
class TestMColorWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MColorWidget> panel;

    // A fresh colour list with the given history, oldest first, and a shown panel.
    void makePanel(const QList<QColor> &history = {})
    {
        panel.reset();
        MColorList::destroyInstance();
        MColorList *list = MColorList::instance();
        for (const QColor &c : history)
            list->updateColorList(c);
        panel.reset(new MColorWidget());
        panel->resize(260, 420);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    }

    MColorList *list() const { return MColorList::instance(); }
    MColorListWidget *strip() const { return panel->colorListWidget(); }

    // The centre of cell i of a strip row with the given number of cells.
    QPoint cellCentre(int row, int i, int cells, int rows) const
    {
        const double w = strip()->width() / double(cells);
        const double r = strip()->height() / double(rows);
        return QPointF(i * w + w / 2, row * r + r / 2).toPoint();
    }

private slots:
    void initTestCase() { qRegisterMetaType<Qt::KeyboardModifiers>(); }

    void init()
    {
        MSettings::instance()->clear();
    }

    void cleanup() { panel.reset(); }

    void sliderColours()
    {
        makePanel();
        list()->setColor(QColor(10, 20, 30));
        QCOMPARE(panel->color(), QColor(10, 20, 30));
        QCOMPARE(panel->redSlider()->value(), 10);
        QCOMPARE(panel->redSlider()->colors(), QVector<QColor>({QColor(0, 20, 30), QColor(255, 20, 30)}));
        QCOMPARE(panel->greenSlider()->colors(), QVector<QColor>({QColor(10, 0, 30), QColor(10, 255, 30)}));
        QCOMPARE(panel->blueSlider()->colors(), QVector<QColor>({QColor(10, 20, 0), QColor(10, 20, 255)}));
        const QColor hsv = QColor(10, 20, 30).toHsv();
        QCOMPARE(panel->hueSlider()->value(), 210);
        QCOMPARE(panel->saturationSlider()->value(), hsv.hsvSaturation());
        QCOMPARE(panel->valueSlider()->value(), 30);
        QCOMPARE(panel->saturationSlider()->firstColor(), QColor::fromHsv(210, 0, 30));
        QCOMPARE(panel->valueSlider()->lastColor(), QColor::fromHsv(210, hsv.hsvSaturation(), 255));
        // The hue slider always shows the whole circle, red to red.
        QCOMPARE(panel->hueSlider()->colors().size(), 7);
        QCOMPARE(panel->hueSlider()->firstColor().rgb(), panel->hueSlider()->lastColor().rgb());
    }

    // The RGB sliders keep the colour's alpha; the HSV sliders make it opaque.
    void slidersAndAlpha_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("value");
        QTest::addColumn<QColor>("expected");
        const QColor start(200, 100, 50, 128);
        QTest::newRow("red") << "red" << 0 << QColor(0, 100, 50, 128);
        QTest::newRow("green") << "green" << 255 << QColor(200, 255, 50, 128);
        QTest::newRow("blue") << "blue" << 7 << QColor(200, 100, 7, 128);
        QTest::newRow("hue") << "hue" << 120 << QColor::fromHsv(120, start.hsvSaturation(), start.value(), 255);
        QTest::newRow("saturation") << "saturation" << 0 << QColor::fromHsv(start.hsvHue(), 0, 200, 255);
        QTest::newRow("value") << "value" << 100 << QColor::fromHsv(start.hsvHue(), start.hsvSaturation(), 100, 255);
    }

    void slidersAndAlpha()
    {
        QFETCH(QString, slider);
        QFETCH(int, value);
        QFETCH(QColor, expected);
        makePanel();
        list()->setColor(QColor(200, 100, 50, 128));
        QSignalSpy listSpy(list(), &MColorList::colorChanged);
        QSignalSpy panelSpy(panel.get(), &MColorWidget::colorChanged);
        const QList<MColorSlider *> sliders{panel->hueSlider(), panel->saturationSlider(), panel->valueSlider(),
                                            panel->redSlider(), panel->greenSlider(), panel->blueSlider()};
        MColorSlider *s = sliders.value(QStringList({"hue", "saturation", "value", "red", "green", "blue"}).indexOf(slider));
        QCOMPARE(s->toolTip().toLower(), slider);
        s->setValue(value);
        QCOMPARE(list()->currentColor().rgba(), expected.rgba());
        QCOMPARE(list()->secondColor(), QColor(Qt::white));
        // One change each way: the panel's own writes do not come back.
        QCOMPARE(listSpy.count(), 1);
        QCOMPARE(panelSpy.count(), 1);
        QCOMPARE(s->value(), value);
    }

    void greyStaysGreyUntilTheHueMoves()
    {
        makePanel();
        list()->setColor(QColor(128, 128, 128));
        QCOMPARE(panel->hueSlider()->value(), 0);
        panel->saturationSlider()->setValue(200);
        QColor c = list()->currentColor();
        QVERIFY(c.red() == c.green() && c.green() == c.blue());
        panel->hueSlider()->setValue(240);
        c = list()->currentColor().toRgb();
        QVERIFY2(c.blue() > c.red(), qPrintable(c.name()));
    }

    void sliderColourList_data()
    {
        QTest::addColumn<QVector<QColor>>("colors");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QVector<QColor>>("expected");
        const QColor a(Qt::red), b(Qt::green), c(Qt::blue);
        QTest::newRow("first of empty appends") << QVector<QColor>() << "first" << QVector<QColor>{c};
        QTest::newRow("first replaces") << QVector<QColor>{a, b} << "first" << QVector<QColor>{c, b};
        QTest::newRow("last of empty appends") << QVector<QColor>() << "last" << QVector<QColor>{c};
        QTest::newRow("last of one grows to two") << QVector<QColor>{a} << "last" << QVector<QColor>{a, c};
        QTest::newRow("last replaces") << QVector<QColor>{a, b} << "last" << QVector<QColor>{a, c};
    }

    void sliderColourList()
    {
        QFETCH(QVector<QColor>, colors);
        QFETCH(QString, operation);
        QFETCH(QVector<QColor>, expected);
        MColorSlider slider;
        slider.setColors(colors);
        if (operation == "first")
            slider.setFirstColor(QColor(Qt::blue));
        else
            slider.setLastColor(QColor(Qt::blue));
        QCOMPARE(slider.colors(), expected);
    }

    void sliderGradient()
    {
        MColorSlider slider;
        QCOMPARE(slider.colors(), QVector<QColor>({Qt::black, Qt::white}));
        slider.setColors({});
        QVERIFY(!slider.firstColor().isValid());
        QVERIFY(!slider.lastColor().isValid());
        slider.setColors({Qt::red, Qt::green, Qt::blue});
        const QGradientStops stops = slider.gradient().stops();
        QCOMPARE(stops.size(), 3);
        QCOMPARE(stops.at(1).first, 0.5);
        QCOMPARE(stops.at(2).second, QColor(Qt::blue));
        QLinearGradient g;
        g.setStops({{0.0, Qt::white}, {0.9, Qt::black}});
        slider.setGradient(g);
        QCOMPARE(slider.colors(), QVector<QColor>({Qt::white, Qt::black}));

        // Drawn: the gradient spans the groove between the edges; the
        // handle sits in the middle.
        slider.setColors({Qt::red, Qt::blue});
        slider.resize(100, 14);
        slider.setRange(0, 100);
        slider.setValue(50);
        const QImage image = slider.grab().toImage();
        const QColor left = image.pixelColor(3, 7);
        const QColor right = image.pixelColor(96, 7);
        QVERIFY2(left.red() > 200 && left.blue() < 50, qPrintable(left.name()));
        QVERIFY2(right.blue() > 180 && right.red() < 75, qPrintable(right.name()));
    }

    // Row 1 of the strip holds at most ten generated colours; a click on
    // one makes it the current colour.
    void stripRowPerGenerator_data()
    {
        QTest::addColumn<int>("generator");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("name");
        QTest::newRow("random offset") << int(MEnum::RandomOffsetGenerator) << 25 << "Random offset";
        QTest::newRow("analogous") << int(MEnum::AnalogousGenerator) << 63 << "Analogous";
        QTest::newRow("complementary") << int(MEnum::ComplementaryGenerator) << 2 << "Complementary";
        QTest::newRow("split complementary") << int(MEnum::SplitComplementaryGenerator) << 3 << "Split complementary";
        QTest::newRow("triadic") << int(MEnum::TriadicGenerator) << 3 << "Triadic";
        QTest::newRow("tetradic") << int(MEnum::TetradicGenerator) << 4 << "Tetradic";
        QTest::newRow("monochrome") << int(MEnum::MonochromeGenerator) << 10 << "Monochrome";
    }

    void stripRowPerGenerator()
    {
        QFETCH(int, generator);
        QFETCH(int, count);
        QFETCH(QString, name);
        makePanel();
        list()->setColor(QColor(30, 140, 90));
        QComboBox *combo = panel->generatorCombo();
        QCOMPARE(combo->count(), 7);
        QCOMPARE(combo->currentIndex(), 0);
        combo->setCurrentIndex(generator == 0 ? 1 : 0);
        combo->setCurrentIndex(generator);
        QCOMPARE(combo->currentText(), name);
        MGenerator *g = strip()->generator();
        QCOMPARE(int(g->colorGenerator()), generator);
        QCOMPARE(g->baseColor(), QColor(30, 140, 90));
        QCOMPARE(g->colorList().size(), count);
        const int cells = qMin(count, 10);
        const QVector<QColor> generated = g->colorList();
        // The empty history leaves two rows.
        QTest::mouseClick(strip(), Qt::LeftButton, Qt::NoModifier, cellCentre(1, cells - 1, cells, 2));
        QCOMPARE(list()->currentColor(), generated.at(cells - 1));
        // Row 0 shows the foreground colour and does nothing.
        const QColor current = list()->currentColor();
        QTest::mouseClick(strip(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 3));
        QCOMPARE(list()->currentColor(), current);
        const QImage image = strip()->grab().toImage();
        QCOMPARE(image.pixelColor(5, 3).rgb(), current.rgb());
    }

    void stripHistory()
    {
        const QList<QColor> history{QColor(1, 0, 0), QColor(2, 0, 0), QColor(3, 0, 0), QColor(4, 0, 0)};
        makePanel(history);
        // Three rows; the history newest first.
        QTest::mouseClick(strip(), Qt::LeftButton, Qt::NoModifier, cellCentre(2, 0, 4, 3));
        QCOMPARE(list()->currentColor(), QColor(4, 0, 0));
        QTest::mouseClick(strip(), Qt::LeftButton, Qt::NoModifier, cellCentre(2, 3, 4, 3));
        QCOMPARE(list()->currentColor(), QColor(1, 0, 0));
        QCOMPARE(strip()->generator()->baseColor(), QColor(1, 0, 0));
        QImage image = strip()->grab().toImage();
        QCOMPARE(image.pixelColor(cellCentre(2, 1, 4, 3)), QColor(3, 0, 0));

        // A shorter setting shows fewer cells: the entries k - 1 down to 0.
        MSettings::instance()->set_colorListLength(2);
        strip()->repaint();
        image = strip()->grab().toImage();
        QCOMPARE(image.pixelColor(cellCentre(2, 0, 2, 3)), QColor(2, 0, 0));
        QCOMPARE(image.pixelColor(cellCentre(2, 1, 2, 3)), QColor(1, 0, 0));
        QTest::mouseClick(strip(), Qt::LeftButton, Qt::NoModifier, cellCentre(2, 0, 2, 3));
        QCOMPARE(list()->currentColor(), QColor(2, 0, 0));

        // With Shift the background colour; the generated row follows.
        QTest::mouseClick(strip(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(2, 1, 2, 3));
        QCOMPARE(list()->secondColor(), QColor(1, 0, 0));
        QCOMPARE(list()->currentColor(), QColor(2, 0, 0));
        QCOMPARE(strip()->generator()->baseColor(), QColor(1, 0, 0));
        QCOMPARE(panel->color(), QColor(1, 0, 0));

        // An emptied history goes back to two rows.
        list()->clear();
        QCOMPARE(strip()->cellAt(QPointF(5, strip()->height() * 0.6)).first, int(MColorListWidget::GeneratedRow));
        QCOMPARE(strip()->cellAt(QPointF(5, strip()->height() * 0.4)).first, int(MColorListWidget::ForegroundRow));
    }

    // The picker sends its colour through the panel to the colour list.
    void pickerSetsTheColour()
    {
        MSettings::instance()->set_gradientPanelIndex(1);
        makePanel();
        QCOMPARE(panel->typeCombo()->currentIndex(), 1);
        MColorGradientWidget *picker = panel->gradientWidget();
        QCOMPARE(picker->type(), 1);
        QTRY_VERIFY(!picker->image().isNull());
        const QPoint at(picker->width() / 3, picker->height() / 2);
        QColor expected = picker->image().pixelColor(at);
        QTest::mouseClick(picker, Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(list()->currentColor(), expected);
        QCOMPARE(panel->redSlider()->value(), expected.red());
        const QPoint other(picker->width() * 2 / 3, picker->height() / 4);
        QTest::mouseClick(picker, Qt::LeftButton, Qt::ControlModifier, other);
        QCOMPARE(list()->secondColor(), picker->image().pixelColor(other));
        QCOMPARE(list()->currentColor(), expected);

        // The type combo box switches the picker and stores the type.
        panel->typeCombo()->setCurrentIndex(4);
        QCOMPARE(picker->type(), 4);
        QCOMPARE(MSettings::instance()->gradientPanelIndex(), 4);
    }

    // Colours set elsewhere reach the panel once, and go no further.
    void followsTheColourList()
    {
        makePanel();
        QSignalSpy listSpy(list(), &MColorList::colorChanged);
        QSignalSpy panelSpy(panel.get(), &MColorWidget::colorChanged);
        list()->setColor(QColor(40, 50, 60));
        QCOMPARE(listSpy.count(), 1);
        QCOMPARE(panelSpy.count(), 1);
        QCOMPARE(panel->color(), QColor(40, 50, 60));
        QCOMPARE(panel->blueSlider()->value(), 60);
        list()->setColor(QColor(70, 80, 90), Qt::ShiftModifier);
        QCOMPARE(listSpy.count(), 2);
        QCOMPARE(panelSpy.count(), 2);
        QCOMPARE(panel->color(), QColor(70, 80, 90));
        QCOMPARE(strip()->generator()->baseColor(), QColor(70, 80, 90));
        QCOMPARE(list()->currentColor(), QColor(40, 50, 60));
        // The panel's own setColor goes to the colour list exactly once.
        panel->setColor(QColor(1, 2, 3));
        QCOMPARE(listSpy.count(), 3);
        QCOMPARE(panelSpy.count(), 3);
        QCOMPARE(list()->currentColor(), QColor(1, 2, 3));
        // The history's growth repaints the strip through the colour list.
        list()->updateColorList(QColor(9, 9, 9));
        QCOMPARE(strip()->cellAt(QPointF(5, strip()->height() * 0.9)),
                 qMakePair(int(MColorListWidget::HistoryRow), 0));
    }
};

QTEST_MAIN(TestMColorWidget)
#include "tst_mcolorwidget.moc"
