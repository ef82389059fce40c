#include "dcontext.h"
#include "dcontextsetup.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushsizewidget.h"
#include "mcanvas.h"
#include "mcolorhistowidget.h"
#include "mcolorlist.h"
#include "msettings.h"
#include "mtestglcontext.h"
#include "mtestview.h"
#include "mtexturelayer.h"
#include "mwidget.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <memory>

class TestDContext : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MWidget> view;

    template <class T>
    static T *part(DContext &panel, const char *name)
    {
        T *child = panel.findChild<T *>(QLatin1String(name));
        Q_ASSERT(child);
        return child;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(100, 80)));
        MSettings::instance()->set_textDuration(0);
        view.reset(new MWidget);
        view->resize(400, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QTRY_VERIFY(view->canvas()->isGlReady() && view->canvas()->current());
    }

    void cleanupTestCase() { view.reset(); }

    void layerStates()
    {
        MCanvas *canvas = view->canvas();
        QCOMPARE(canvas->count(), 1);
        canvas->current()->setOpacity(0.555);
        {
            DContext panel(view.get(), view->canvas()->layers(), view->canvas()->layerEdits());
            QCOMPARE(part<QSlider>(panel, "opacitySlider")->value(), 55);
            QCOMPARE(part<QGroupBox>(panel, "groupBox")->title(), canvas->current()->name());
            QVERIFY(part<QGroupBox>(panel, "groupBox")->isEnabled());
            QVERIFY(!part<QToolButton>(panel, "previousLayerButton")->isEnabled());
            QVERIFY(!part<QToolButton>(panel, "nextLayerButton")->isEnabled());
        }
        canvas->appendLayer();
        {
            DContext panel(view.get(), view->canvas()->layers(), view->canvas()->layerEdits());
            QVERIFY(part<QToolButton>(panel, "nextLayerButton")->isEnabled());
            const int row = canvas->currentRow();
            part<QToolButton>(panel, "previousLayerButton")->click();
            QVERIFY(canvas->currentRow() != row);
            QCOMPARE(part<QGroupBox>(panel, "groupBox")->title(), canvas->current()->name());
            QCOMPARE(part<QSlider>(panel, "opacitySlider")->value(), int(canvas->current()->opacity() * 100));
        }
        canvas->setCurrentRow(-1);
        {
            DContext panel(view.get(), view->canvas()->layers(), view->canvas()->layerEdits());
            QVERIFY(!part<QGroupBox>(panel, "groupBox")->isEnabled());
            QCOMPARE(part<QGroupBox>(panel, "groupBox")->title(), QStringLiteral("No layer"));
            part<QSlider>(panel, "opacitySlider")->setValue(10); // nothing to change, no crash
        }
        canvas->setCurrentRow(0);
    }

    void placedCentredOnThePress_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::newRow("middle of the view") << QPoint(300, 250);
        QTest::newRow("top-left corner") << QPoint(2, 2);
    }

    void placedCentredOnThePress()
    {
        QFETCH(QPoint, press);
        DContext panel(view.get(), view->canvas()->layers(), view->canvas()->layerEdits());
        const QSize size = panel.size();
        panel.place(press);
        const QPoint global = view->mapToGlobal(press);
        QCOMPARE(panel.geometry(), QRect(qMax(view->x(), global.x() - size.width() / 2),
                                         qMax(view->y(), global.y() - size.height() / 2), size.width(), size.height()));
    }

    void choicesChangeAndClose()
    {
        MCanvas *canvas = view->canvas();
        MTextureLayer *layer = canvas->current();
        DContext panel(view.get(), view->canvas()->layers(), view->canvas()->layerEdits());
        panel.show();
        QSlider *slider = part<QSlider>(panel, "opacitySlider");
        slider->setValue(30);
        QCOMPARE(layer->opacity(), 0.3);
        QVERIFY(panel.isVisible());
        emit slider->sliderReleased();
        QVERIFY(!panel.isVisible());

        panel.show();
        QVERIFY(layer->visible());
        part<QCheckBox>(panel, "visibleCheckBox")->click();
        QVERIFY(!layer->visible());
        QVERIFY(!panel.isVisible());
        layer->setVisible(true);

        MBrush *brush = MBrushList::instance()->currentBrush();
        QVERIFY(brush);
        panel.show();
        auto *sizes = part<MBrushSizeWidget>(panel, "brushSizeWidget");
        sizes->resize(140, 50);
        // Seven cells of 20 pixels: the fourth is size 20.
        QTest::mouseClick(sizes, Qt::LeftButton, Qt::NoModifier, QPoint(3 * 20 + 5, 25));
        QCOMPARE(brush->radius(), 20.0);
        QVERIFY(!panel.isVisible());

        panel.show();
        QTest::keyClick(&panel, Qt::Key_Escape);
        QVERIFY(!panel.isVisible());
    }

    void colourHistory()
    {
        MSettings::instance()->set_colorListLength(10);
        MColorList::destroyInstance();
        MColorList *history = MColorList::instance();
        for (const QColor &c : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)})
            history->updateColorList(c);
        QCOMPARE(history->count(), 3);
        DContext panel(view.get(), view->canvas()->layers(), view->canvas()->layerEdits());
        panel.show();
        auto *strip = part<MColorHistoWidget>(panel, "colorHistoWidget");
        strip->resize(90, 25);
        QCOMPARE(strip->cellCount(), 3);
        QCOMPARE(strip->colorOfCell(2), history->colorAt(0));
        QCOMPARE(strip->colorOfCell(0), history->colorAt(2));
        QCOMPARE(strip->grab().toImage().pixelColor(85, 10), history->colorAt(0));
        QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
        QCOMPARE(history->currentColor(), history->colorAt(2));
        QVERIFY(!panel.isVisible());
    }

    void setupAppliesToTheNextPanel()
    {
        {
            DContext panel(view.get(), view->canvas()->layers(), view->canvas()->layerEdits());
            QVERIFY(part<QWidget>(panel, "brushListWidget")->isVisibleTo(&panel));
            QVERIFY(panel.testAttribute(Qt::WA_TranslucentBackground));
        }
        {
            DContextSetup setup;
            setup.findChild<QCheckBox *>(QStringLiteral("showBrushListCheckBox"))->setChecked(false);
            setup.findChild<QCheckBox *>(QStringLiteral("translucentCheckBox"))->setChecked(false);
            setup.findChild<QPushButton *>(QStringLiteral("okButton"))->click();
            QCOMPARE(setup.result(), int(QDialog::Accepted));
        }
        {
            DContextSetup setup;
            QVERIFY(!setup.findChild<QCheckBox *>(QStringLiteral("showBrushListCheckBox"))->isChecked());
            setup.findChild<QCheckBox *>(QStringLiteral("showBrushListCheckBox"))->setChecked(true);
            setup.findChild<QPushButton *>(QStringLiteral("cancelButton"))->click();
        }
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("ContextDialog/showBrushList")).toBool(), false);
        DContext panel(view.get(), view->canvas()->layers(), view->canvas()->layerEdits());
        QVERIFY(!part<QWidget>(panel, "brushListWidget")->isVisibleTo(&panel));
        QVERIFY(part<QWidget>(panel, "paletteWidget")->isVisibleTo(&panel));
        QVERIFY(!panel.testAttribute(Qt::WA_TranslucentBackground));
    }
};

QTEST_MAIN(TestDContext)
#include "tst_dcontext.moc"
