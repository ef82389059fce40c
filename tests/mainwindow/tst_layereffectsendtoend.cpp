// The shipped effects on layers a painter made in the real window: what is
// transparent stays transparent under every effect, shown or baked in, and
// merging a layer whose effect is shown keeps the picture.

#include "mcanvas.h"
#include "mmainwindow.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mwidget.h"

#include <QAction>
#include <QTest>
#include <QUndoStack>

namespace {
constexpr int W = 400;
constexpr int H = 300;

// A dab in cell (0, 0) of the tile grid, a transparent pixel of the same
// tile, and a pixel of a cell no layer has a tile in.
const QPointF kDab(100, 70);
const QPointF kClearInTile(170, 130);
const QPointF kClearCell(-150, -100);

bool near(const QColor &a, const QColor &b, int tolerance = 3)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("%1,%2,%3,%4").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

MShader *effectNamed(const QString &description)
{
    MShaderList *effects = MShaderList::instance();
    for (int row = 0; row < effects->count(); ++row) {
        MShader *effect = effects->shaderAt(row);
        if (effect && effect->type() == 0 && effect->description() == description)
            return effect;
    }
    return nullptr;
}
} // namespace

class TestLayerEffectsEndToEnd : public QObject
{
    Q_OBJECT

private:
    MTestPaintingWindow m_painting;

    QAction *action(const char *name) const { return m_painting.window()->findChild<QAction *>(name); }
    MCanvas *canvas() const { return m_painting.canvas(); }
    QColor shown(const QPointF &at) const { return MTestMainWindow::shownAt(m_painting.view(), at); }

    // A new layer with a dab of the colour at the point, made current.
    MTextureLayer *layerWithDab(const QPointF &at, const QColor &color)
    {
        action("actionNewLayer")->trigger();
        m_painting.paintWith(14.0, 1.0, color);
        if (!MTestMainWindow::drag(m_painting.view(), at - QPointF(6, 0), at + QPointF(6, 0), 6))
            return nullptr;
        return canvas()->current();
    }

    // The layer shows the effect, as chosen in the effect list.
    void showEffect(MTextureLayer *layer, MShader *effect)
    {
        const int row = canvas()->indexOf(layer);
        const MShaderObject::ShaderState before = layer->shaderState();
        layer->set_shaderId(effect->id());
        canvas()->updateLayerShader(row, before, layer->shaderState());
        canvas()->refresh();
    }

    void removeLayers(int keep)
    {
        while (canvas()->count() > keep) {
            canvas()->setCurrentRow(canvas()->count() - 1);
            action("actionRemoveLayer")->trigger();
        }
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_painting.prepare(QSize(W, H)));
        QVERIFY(m_painting.show());
    }

    void cleanupTestCase() { m_painting.close(); }

    void transparentStaysTransparent_data()
    {
        QTest::addColumn<QString>("effect");
        for (const char *name : {"grayscale", "invert", "tint", "brightness and contrast", "posterize", "blur"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    // Shown over the paper and then baked into the pixels: the paper shows
    // through the dab's transparent surroundings as it did before.
    void transparentStaysTransparent()
    {
        QFETCH(QString, effect);
        MShader *shader = effectNamed(effect);
        QVERIFY2(shader, qPrintable(effect));
        const int layers = canvas()->count();
        const QColor paperInTile = shown(kClearInTile);
        const QColor paperInCell = shown(kClearCell);
        MTextureLayer *layer = layerWithDab(kDab, QColor(40, 160, 220));
        QVERIFY(layer);
        QVERIFY(canvas()->layerBoundingRect(layer).contains(kDab));

        showEffect(layer, shader);
        QTRY_VERIFY2(near(shown(kClearInTile), paperInTile), qPrintable(describe(shown(kClearInTile))));
        QTRY_VERIFY2(near(shown(kClearCell), paperInCell), qPrintable(describe(shown(kClearCell))));
        if (effect == QLatin1String("invert"))
            MTestScreenshot::keep(m_painting.view()->grabFramebuffer(), QStringLiteral("layer-effect-invert.png"));

        action("actionRasterizeShader")->trigger();
        QVERIFY(!layer->hasShader());
        const QImage pixels = MTestMainWindow::layerPixels(canvas());
        const QPoint corner = canvas()->paintedRect().topLeft().toPoint();
        QCOMPARE(describe(pixels.pixelColor(kClearInTile.toPoint() - corner)), describe(Qt::transparent));
        QVERIFY(qAlpha(pixels.pixel(kDab.toPoint() - corner)) == 255);
        QTRY_VERIFY2(near(shown(kClearInTile), paperInTile), qPrintable(describe(shown(kClearInTile))));
        removeLayers(layers);
    }

    void mergeKeepsTheShownEffect_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<bool>("onUpper");
        QTest::newRow("upper inverted") << QStringLiteral("invert") << true;
        QTest::newRow("lower in grey") << QStringLiteral("grayscale") << false;
    }

    // Two overlapping dabs, one layer showing an effect; merged down, the
    // picture stays what it was and the merged layer shows no effect.
    void mergeKeepsTheShownEffect()
    {
        QFETCH(QString, effect);
        QFETCH(bool, onUpper);
        MShader *shader = effectNamed(effect);
        QVERIFY(shader);
        const int layers = canvas()->count();
        canvas()->undoStack()->clear();
        MTextureLayer *lower = layerWithDab(QPointF(-40, 0), QColor(220, 40, 30));
        QVERIFY(lower);
        MTextureLayer *upper = layerWithDab(QPointF(-10, 0), QColor(30, 200, 60));
        QVERIFY(upper);
        showEffect(onUpper ? upper : lower, shader);
        const QList<QPointF> points{QPointF(-50, 0), QPointF(-25, 0), QPointF(0, 0), QPointF(60, 60)};
        QList<QColor> before;
        for (const QPointF &p : points)
            before.append(shown(p));
        QVERIFY2(!near(before.at(0), before.at(2), 30), "the two dabs look alike");

        QCOMPARE(canvas()->current(), upper);
        const int steps = canvas()->undoStack()->index();
        action("actionMergeLayerWithLower")->trigger();
        QCOMPARE(canvas()->count(), layers + 1);
        QCOMPARE(canvas()->undoStack()->index(), steps + 1);
        QVERIFY(!canvas()->at(layers)->hasShader());
        for (int i = 0; i < points.size(); ++i)
            QTRY_VERIFY2(near(shown(points.at(i)), before.at(i)),
                         qPrintable(QStringLiteral("at %1,%2: %3 was %4")
                                        .arg(points.at(i).x())
                                        .arg(points.at(i).y())
                                        .arg(describe(shown(points.at(i))), describe(before.at(i)))));

        if (onUpper)
            MTestScreenshot::keep(m_painting.view()->grabFramebuffer(), QStringLiteral("merged-inverted-layer.png"));
        // One undo brings both layers and the effect back.
        action("actionUndo")->trigger();
        QCOMPARE(canvas()->count(), layers + 2);
        QVERIFY((onUpper ? canvas()->at(layers + 1) : canvas()->at(layers))->hasShader());
        for (int i = 0; i < points.size(); ++i)
            QTRY_VERIFY(near(shown(points.at(i)), before.at(i)));
        removeLayers(layers);
    }
};

QTEST_MAIN(TestLayerEffectsEndToEnd)
#include "tst_layereffectsendtoend.moc"
