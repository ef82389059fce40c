// The shipped effects on layers a painter made in the real window: what is
// transparent stays transparent under every effect, shown or baked in, on a
// layer of text and a shape as on a dab, in the document as in its saved
// file; merging a layer whose effect is shown keeps the picture.

#include "mcanvas.h"
#include "mmainwindow.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderwidget.h"
#include "mshapetool.h"
#include "mtestdialogscript.h"
#include "mtesteffectlist.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestpaintingwindow.h"
#include "mtestscreenshot.h"
#include "mtexttool.h"
#include "mtexturelayer.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

namespace {
constexpr int W = 400;
constexpr int H = 300;

// A dab in cell (0, 0) of the tile grid, a transparent pixel of the same
// tile, and a pixel of a cell no layer has a tile in.
const QPointF kDab(100, 70);
const QPointF kClearInTile(170, 130);
const QPointF kClearCell(-150, -100);
// Where the text and the shape are placed.
const QPointF kText(-100, -60);
const QPointF kShape(90, 40);

bool near(const QColor &a, const QColor &b, int tolerance = 3)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("%1,%2,%3,%4").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

// How far an effect may carry paint into the clear pixels next to it: a
// blur spreads edges within its reach (at most the tiles' 6-pixel border);
// the colour effects change no pixel's coverage.
const QList<QPair<QString, int>> kShippedEffects{{QStringLiteral("grayscale"), 0}, {QStringLiteral("invert"), 0},
                                                 {QStringLiteral("tint"), 0},
                                                 {QStringLiteral("brightness and contrast"), 0},
                                                 {QStringLiteral("posterize"), 0}, {QStringLiteral("blur"), 6}};

// The pixels clear in `before` that are not clear in `after`, farther than
// `reach` from any pixel painted in `before`.
int clearedPixelsCovered(const QImage &before, const QImage &after, int reach)
{
    int covered = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (qAlpha(before.pixel(x, y)) != 0 || qAlpha(after.pixel(x, y)) == 0)
                continue;
            bool nearPaint = false;
            for (int dy = -reach; dy <= reach && !nearPaint; ++dy)
                for (int dx = -reach; dx <= reach && !nearPaint; ++dx)
                    nearPaint = before.valid(x + dx, y + dy) && qAlpha(before.pixel(x + dx, y + dy)) != 0;
            covered += !nearPaint;
        }
    }
    return covered;
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

    // A new layer holding "Hi" placed with the text tool and an ellipse placed
    // with the shape tool, each confirmed with Return; clear points of their
    // frames (inside the pasted images, off the glyphs and the ellipse).
    MTextureLayer *layerWithTextAndShape(QList<QPointF> *clearInFrames)
    {
        MWidget *view = m_painting.view();
        // The window active again after the dialogs of the row before.
        if (!MTestMainWindow::focusView(view))
            return nullptr;
        action("actionNewLayer")->trigger();
        action("actionTextTool")->trigger();
        auto *text = MTools::instance()->tool<MTextTool>(MTool::TextTool);
        text->setTextHeight(80);
        if (!MTestMainWindow::dragAndHold(view, kText, kText) || !text->hasItem())
            return nullptr;
        auto *field = m_painting.window()->findChild<QLineEdit *>(QStringLiteral("textEdit"));
        if (!QTest::qWaitFor([field] { return field->hasFocus(); }))
            return nullptr;
        QTest::keyClicks(field, QStringLiteral("Hi"));
        const QRectF textFrame = text->itemRect();
        QTest::keyClick(field, Qt::Key_Return);
        action("actionShapeTool")->trigger();
        auto *shape = MTools::instance()->tool<MShapeTool>(MTool::ShapeTool);
        if (MTestMainWindow::chooseShape(m_painting.window(), QStringLiteral("ellipse")) != QLatin1String("ellipse")
            || !MTestMainWindow::dragAndHold(view, kShape, kShape) || !shape->hasItem())
            return nullptr;
        const QRectF shapeFrame = shape->itemRect();
        if (!MTestMainWindow::focusView(view))
            return nullptr;
        QTest::keyClick(view, Qt::Key_Return);
        if (text->hasItem() || shape->hasItem())
            return nullptr;
        // Between the H's bars, over its crossbar.
        *clearInFrames = {QPointF(textFrame.left() + textFrame.width() * 0.3, textFrame.top() + 5),
                          shapeFrame.topLeft() + QPointF(3, 3), shapeFrame.bottomRight() - QPointF(3, 3)};
        return canvas()->current();
    }

    // The effect chosen in the effect panel's list, its settings opened with
    // the list's button and applied with the dialog's "Apply".
    bool applyFromTheList(const QString &effect)
    {
        MMainWindow *window = m_painting.window();
        window->showPanel(window->findChild<QDockWidget *>(QStringLiteral("shaderDockWidget")));
        QTableView *list = window->shaderWidget()->tableView();
        const QModelIndex cell = MTestEffectList::cellOf(list, effect);
        if (!cell.isValid())
            return false;
        list->scrollTo(cell);
        if (!QTest::qWaitFor([&] { return list->viewport()->rect().contains(list->visualRect(cell).center()); }))
            return false;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(cell).center());
        auto *button = window->shaderWidget()->findChild<QToolButton *>(QStringLiteral("btnApplyShader"));
        if (!button || !button->isEnabled())
            return false;
        bool applied = false;
        MTestModalDriver::onNextDialog("DShaderParams", [&](QDialog *dialog) {
            MTestModalDriver::click(dialog->findChild<QPushButton *>(QStringLiteral("applyButton")));
        }, &applied);
        QTest::mouseClick(button, Qt::LeftButton);
        return applied;
    }

    // The layers exported through File > Export as an image, without the
    // paper, into a PNG of the document's size.
    QImage exported(const QString &path)
    {
        bool ok = false;
        MTestDialogScript script;
        script.answerFile(path);
        MTestModalDriver::onNextDialog("DExport", [](QDialog *dialog) {
            dialog->findChild<QCheckBox *>(QStringLiteral("cbAllLayers"))->setChecked(true);
            dialog->findChild<QCheckBox *>(QStringLiteral("cbExportPaper"))->setChecked(false);
            MTestModalDriver::click(dialog->findChild<QPushButton *>(QStringLiteral("okButton")));
        }, &ok);
        action("actionExportAsImage")->trigger();
        return ok ? QImage(path) : QImage();
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
    void initTestCase() { QVERIFY(m_painting.open(QSize(W, H))); }

    void cleanupTestCase() { m_painting.close(); }

    // The table below names every effect the program ships.
    void everyShippedEffectIsChecked()
    {
        QStringList shipped;
        MShaderList *effects = MShaderList::instance();
        for (int row = 0; row < effects->count(); ++row) {
            MShader *effect = effects->shaderAt(row);
            if (effect && effect->type() == 0)
                shipped << effect->description();
        }
        QStringList checked;
        for (const auto &entry : kShippedEffects)
            checked << entry.first;
        shipped.sort();
        checked.sort();
        QCOMPARE(shipped, checked);
    }

    void transparentStaysTransparent_data()
    {
        QTest::addColumn<QString>("effect");
        for (const auto &entry : kShippedEffects)
            QTest::newRow(qPrintable(entry.first)) << entry.first;
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

    void textAndShapeKeepTheirClearGround_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<int>("reach");
        for (const auto &entry : kShippedEffects)
            QTest::newRow(qPrintable(entry.first)) << entry.first << entry.second;
    }

    // Text and a shape on one layer, the effect applied from the effect
    // list: the ground around them stays clear in the layer, on the screen
    // and in the saved file, and undo gives the layer back.
    void textAndShapeKeepTheirClearGround()
    {
        QFETCH(QString, effect);
        QFETCH(int, reach);
        const int layers = canvas()->count();
        QList<QPointF> clear;
        MTextureLayer *layer = layerWithTextAndShape(&clear);
        QVERIFY(layer);
        clear << kClearInTile << QPointF(-170, 120);
        const int row = canvas()->currentRow();
        const QPoint corner = canvas()->paintedRect().topLeft().toPoint();
        const QImage before = MTestMainWindow::layerPixels(canvas());
        QVERIFY(MTestMainWindow::paintedPixels(before) > 2000);
        QList<QColor> paper;
        for (const QPointF &p : clear) {
            QVERIFY2(qAlpha(before.pixel(p.toPoint() - corner)) == 0,
                     qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
            paper << shown(p);
        }
        if (effect == QLatin1String("invert"))
            MTestScreenshot::keep(m_painting.view()->grabFramebuffer(), QStringLiteral("text-and-shape.png"));

        QVERIFY(applyFromTheList(effect));
        QUndoStack *history = canvas()->undoStack();
        QCOMPARE(history->text(history->index() - 1), QStringLiteral("Apply effect %1").arg(effect));
        QVERIFY(!layer->hasShader());
        const QImage after = MTestMainWindow::layerPixels(canvas());
        QCOMPARE(clearedPixelsCovered(before, after, reach), 0);
        for (int i = 0; i < clear.size(); ++i)
            QTRY_VERIFY2(near(shown(clear.at(i)), paper.at(i)),
                         qPrintable(QStringLiteral("at %1,%2: %3")
                                        .arg(clear.at(i).x())
                                        .arg(clear.at(i).y())
                                        .arg(describe(shown(clear.at(i))))));
        if (effect == QLatin1String("invert"))
            MTestScreenshot::keep(m_painting.view()->grabFramebuffer(), QStringLiteral("text-and-shape-inverted.png"));

        // One undo gives the text and the shape back; redone, the effect is
        // in the pixels again.
        action("actionUndo")->trigger();
        QCOMPARE(MTestMainWindow::layerPixels(canvas()), before);
        action("actionRedo")->trigger();
        QCOMPARE(MTestMainWindow::layerPixels(canvas()), after);

        // Exported, the ground is as clear as in the layer.
        MTestFolder folder;
        const QImage image = exported(folder.filePath(QStringLiteral("text and shape.png")));
        QCOMPARE(image.size(), after.size());
        QCOMPARE(clearedPixelsCovered(after, image, 0), 0);

        // Saved and opened again: the same pixels.
        const QString path = folder.filePath(QStringLiteral("text and shape.kxd"));
        {
            MTestDialogScript script;
            script.answerFile(path);
            action("actionFileSaveAs")->trigger();
            QCOMPARE(script.requests().size(), 1);
        }
        QVERIFY(canvas()->loadFromFile(path));
        QCOMPARE(canvas()->count(), layers + 1);
        QCOMPARE(MTestMainWindow::layerPixels(canvas(), row), after);
        removeLayers(layers);
    }
};

QTEST_MAIN(TestLayerEffectsEndToEnd)
#include "tst_layereffectsendtoend.moc"
