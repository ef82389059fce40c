#include "mcanvas.h"
#include "mlayerlistmodel.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mshaderlist.h"
#include "mtestcanvas.h"
#include "mtesteffect.h"
#include "mtestglcontext.h"
#include "mtexturetile.h"
#include "mtexturetransfert.h"

#include <QPainter>
#include <QPainterPath>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <memory>

using namespace MTestCanvas;

namespace {
// The document spans (-300, -60) to (299, 59), three tile cells wide.
// Layer 0 is red on the left half, layer 1 has a translucent blue band
// across the middle, layer 2 is empty and current.
const QRect area(-300, -60, 600, 120);
const QRect leftHalf(-300, -60, 300, 120);
const QRect band(-200, -20, 400, 40);
const QRgb red = qRgba(200, 0, 0, 255);
const QRgb blue = qRgba(0, 0, 100, 128);
const QString effectId = QStringLiteral("{5A1C0D1E-0000-4000-8000-0000000000E1}");

// What a layer operation may change: the layer list with each layer's
// properties and pixels (over the painted rectangle). The current row is
// not part of the history.
struct LayerState
{
    QString name;
    bool visible;
    bool locked;
    QString shaderId;
    QHash<QByteArray, QVariant> shaderValues;
    QImage pixels;
    bool operator==(const LayerState &o) const
    {
        return name == o.name && visible == o.visible && locked == o.locked && shaderId == o.shaderId
            && shaderValues == o.shaderValues && pixels == o.pixels;
    }
};

struct DocumentState
{
    QList<LayerState> layers;
    bool operator==(const DocumentState &o) const { return layers == o.layers; }
};

QImage layerPixels(MTextureLayer *layer)
{
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < layer->tileCount(); ++i) {
        MTextureTile *tile = layer->tileAt(i);
        const QRect cell = tile->rect();
        painter.drawImage(cell.topLeft() - area.topLeft(), tileImage(tile),
                          QRect(cell.topLeft() - tile->rectWithBorder().topLeft(), cell.size()));
    }
    return image;
}

QRgb at(const QImage &pixels, const QPoint &canvas)
{
    return pixels.pixel(canvas - area.topLeft());
}

enum Operation {
    Append, Prepend, Duplicate, MergeWithUpper, MergeWithLower, Remove, RemoveAll, RemoveEmpty, MoveUp, MoveDown,
    Show, Lock, HideAllExcept, LockAll, Erase, Fill, PasteImage, AppendImage, ApplyEffect
};
} // namespace

class TestMCanvasLayers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;

    DocumentState state()
    {
        canvas->makeCurrent();
        DocumentState s;
        for (int row = 0; row < canvas->count(); ++row) {
            MTextureLayer *layer = canvas->at(row);
            s.layers.append({layer->name(), layer->visible(), layer->locked(), layer->shaderId(),
                             layer->shaderValues()->values(), layerPixels(layer)});
        }
        return s;
    }

    QImage image(const QSize &size, QRgb pixel)
    {
        QImage result(size, QImage::Format_ARGB32_Premultiplied);
        result.fill(pixel);
        return result;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = MTestCanvas::createDocument(area.size());
        QVERIFY(canvas);
    }

    void init()
    {
        canvas->reset();
        canvas->setPaintedRect(QRectF(area));
        canvas->appendLayer();
        canvas->appendLayer();
        canvas->makeCurrent();
        paintRect(canvas->at(0), leftHalf, red);
        paintRect(canvas->at(1), band, blue);
        canvas->undoStack()->clear();
        QCOMPARE(canvas->currentRow(), 2);
    }

    void cleanup()
    {
        MShaderList::destroyInstance();
    }

    void cleanupTestCase()
    {
        canvas->makeCurrent();
        MTextureTransfert::instance()->release(canvas->context());
        canvas.reset();
    }

    void operation_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("layers");        // after the operation
        QTest::addColumn<int>("row");           // a row to probe afterwards
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QRgb>("pixel");        // expected there
        const QRgb both = over(red, blue);
        const QRgb green = qRgba(0, 255, 0, 255);
        QTest::newRow("add") << int(Append) << 4 << 3 << QPoint(0, 0) << QRgb(0);
        QTest::newRow("prepend") << int(Prepend) << 4 << 1 << QPoint(-250, 0) << red;
        QTest::newRow("duplicate") << int(Duplicate) << 4 << 3 << QPoint(-250, 50) << red;
        QTest::newRow("merge with upper") << int(MergeWithUpper) << 2 << 0 << QPoint(-150, 0) << both;
        QTest::newRow("merge with lower") << int(MergeWithLower) << 2 << 0 << QPoint(100, 0) << blue;
        QTest::newRow("remove") << int(Remove) << 2 << 0 << QPoint(0, 0) << blue;
        QTest::newRow("remove all") << int(RemoveAll) << 0 << -1 << QPoint() << QRgb(0);
        QTest::newRow("remove empty") << int(RemoveEmpty) << 2 << 1 << QPoint(0, 0) << blue;
        QTest::newRow("move up") << int(MoveUp) << 3 << 1 << QPoint(-250, -50) << red;
        QTest::newRow("move down") << int(MoveDown) << 3 << 0 << QPoint(0, 0) << blue;
        QTest::newRow("show") << int(Show) << 3 << 1 << QPoint(0, 0) << blue;
        QTest::newRow("lock") << int(Lock) << 3 << 1 << QPoint(0, 0) << blue;
        QTest::newRow("hide all except") << int(HideAllExcept) << 3 << 1 << QPoint(0, 0) << blue;
        QTest::newRow("lock all") << int(LockAll) << 3 << 0 << QPoint(-250, 0) << red;
        QTest::newRow("clear") << int(Erase) << 3 << 1 << QPoint(0, 0) << QRgb(0);
        QTest::newRow("fill an empty layer") << int(Fill) << 3 << 2 << QPoint(299, 59) << green;
        QTest::newRow("paste an image") << int(PasteImage) << 3 << 1 << QPoint(-205, 0) << red;
        QTest::newRow("append an image") << int(AppendImage) << 4 << 3 << QPoint(-210, -10) << red;
        QTest::newRow("apply an effect") << int(ApplyEffect) << 3 << 1 << QPoint(-250, 50) << green;
    }

    // Each operation is one undo step; undo gives back exactly the document
    // before it and redo exactly the document after it.
    void operation()
    {
        QFETCH(int, operation);
        QFETCH(int, layers);
        QFETCH(int, row);
        QFETCH(QPoint, probe);
        QFETCH(QRgb, pixel);
        switch (Operation(operation)) {
        case MergeWithLower:
        case Erase: canvas->setCurrentRow(1); break;
        case ApplyEffect: {
            auto *effect = new MTestEffect(effectId, QStringLiteral("f_color = vec4(0.0, 1.0, 0.0, 1.0);"));
            effect->addParam("strength", 0.5);
            MShaderList::instance()->append(effect);
            canvas->at(1)->set_shaderId(effectId);
            // Undo gives back the values chosen, not the defaults.
            canvas->at(1)->shaderValues()->setValue("strength", 0.8);
            canvas->setCurrentRow(1);
            break;
        }
        default: break;
        }
        const DocumentState before = state();
        bool result = true;
        switch (Operation(operation)) {
        case Append: canvas->appendLayer(); break;
        case Prepend: canvas->prependLayer(); break;
        case Duplicate: canvas->duplicateLayer(0); break;
        case MergeWithUpper: canvas->mergeLayerWithUpper(0); break;
        case MergeWithLower: canvas->mergeLayerWithLower(); break;
        case Remove: canvas->removeLayer(0); break;
        case RemoveAll: canvas->removeLayers(); break;
        case RemoveEmpty: canvas->removeEmptyLayers(); break;
        case MoveUp: canvas->moveUpLayer(0); break;
        case MoveDown: canvas->moveDownLayer(1); break;
        case Show: canvas->showLayer(1); QVERIFY(!canvas->at(1)->visible()); break;
        case Lock: canvas->lockLayer(1); QVERIFY(canvas->at(1)->locked()); break;
        case HideAllExcept: canvas->hideAllLayersExcept(1); break;
        case LockAll: canvas->lockAllLayers(); break;
        case Erase: canvas->erase(); break;
        case Fill: canvas->fill(Qt::green); break;
        case PasteImage:
            result = canvas->pasteImage(QPointF(-200, 0), image(QSize(10, 10), red), false, QString(), 1, QRectF(), 0);
            QVERIFY(!canvas->clipStroke());
            break;
        case AppendImage: result = canvas->appendImage(QPointF(-200, 0.4), image(QSize(21, 20), red)); break;
        case ApplyEffect: {
            result = canvas->applyEffect();
            QVERIFY(!canvas->at(1)->hasShader());
            break;
        }
        }
        QVERIFY(result);
        QCOMPARE(canvas->undoStack()->count(), 1);
        QCOMPARE(canvas->count(), layers);
        const DocumentState after = state();
        QVERIFY(!(after == before));
        if (row >= 0)
            QCOMPARE(QString::number(at(after.layers.at(row).pixels, probe), 16), QString::number(pixel, 16));
        canvas->undo();
        QVERIFY(state() == before);
        canvas->redo();
        QVERIFY(state() == after);
        canvas->undo();
        QVERIFY(state() == before);
        QVERIFY(!MTestCanvas::macroOpen(canvas.get()));
    }

    // Merging draws the upper layer into the lower one once: undoing it
    // leaves the lower layer as it was, not with the upper one baked in.
    void undoneMergeShowsTheUpperLayerOnce()
    {
        canvas->mergeLayers(0, 1);
        canvas->undo();
        canvas->makeCurrent();
        QCOMPARE(pixelAt(canvas->at(0), QPoint(-150, 0)), red);
        QCOMPARE(pixelAt(canvas->at(1), QPoint(-150, 0)), blue);
    }

    void mergeKeepsTheFlattenedPicture_data()
    {
        QTest::addColumn<double>("lowerOpacity");
        QTest::addColumn<double>("upperOpacity");
        QTest::addColumn<bool>("lowerVisible");
        QTest::addColumn<bool>("upperVisible");
        QTest::addColumn<bool>("withLower");
        QTest::newRow("translucent lower, with upper") << 0.6 << 1.0 << true << true << false;
        QTest::newRow("both translucent, with lower") << 0.3 << 0.55 << true << true << true;
        QTest::newRow("translucent upper over a full lower") << 1.0 << 0.4 << true << true << false;
        QTest::newRow("upper hidden") << 0.8 << 1.0 << true << false << false;
        QTest::newRow("lower hidden") << 0.5 << 0.9 << false << true << true;
        QTest::newRow("both hidden") << 0.5 << 0.9 << false << false << false;
        QTest::newRow("lower at no opacity") << 0.0 << 0.7 << true << true << false;
    }

    // The red half under the translucent band: whatever the opacities and
    // visibility, the merged document flattens to the same picture within a
    // level per channel, and one undo gives back both layers as they were.
    void mergeKeepsTheFlattenedPicture()
    {
        QFETCH(double, lowerOpacity);
        QFETCH(double, upperOpacity);
        QFETCH(bool, lowerVisible);
        QFETCH(bool, upperVisible);
        QFETCH(bool, withLower);
        canvas->removeLayer(2);
        canvas->undoStack()->clear();
        canvas->at(0)->setOpacity(lowerOpacity);
        canvas->at(1)->setOpacity(upperOpacity);
        canvas->at(0)->setVisible(lowerVisible);
        canvas->at(1)->setVisible(upperVisible);
        const DocumentState before = state();
        const QImage shown = canvas->flattenedImage(QStringLiteral("basic"));
        QVERIFY(!shown.isNull());
        if (withLower)
            canvas->mergeLayerWithLower(1);
        else
            canvas->mergeLayerWithUpper(0);
        QCOMPARE(canvas->count(), 1);
        QCOMPARE(canvas->undoStack()->count(), 1);
        QCOMPARE(canvas->at(0)->visible(), lowerVisible || upperVisible);
        const QImage merged = canvas->flattenedImage(QStringLiteral("basic"));
        int worst = 0;
        QPoint where;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb a = shown.pixel(x, y);
                const QRgb b = merged.pixel(x, y);
                const int d = qMax(qMax(qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b))),
                                   qMax(qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b))));
                if (d > worst) {
                    worst = d;
                    where = QPoint(x, y);
                }
            }
        }
        QVERIFY2(worst <= 1, qPrintable(QStringLiteral("%1 levels at %2, %3").arg(worst).arg(where.x()).arg(where.y())));
        canvas->undo();
        QVERIFY(state() == before);
        QCOMPARE(canvas->at(0)->opacity(), lowerOpacity);
        QCOMPARE(canvas->at(1)->opacity(), upperOpacity);
        canvas->redo();
        QCOMPARE(canvas->count(), 1);
        QCOMPARE(canvas->at(0)->opacity(), 1.0);
    }

    void refusals_data()
    {
        QTest::addColumn<int>("operation");
        QTest::newRow("move the top layer up") << 0;
        QTest::newRow("move the bottom layer down") << 1;
        QTest::newRow("paste into a hidden layer") << 2;
        QTest::newRow("paste into a locked layer") << 3;
        QTest::newRow("paste a null image") << 4;
        QTest::newRow("merge with a missing row") << 5;
        QTest::newRow("remove empty layers when none is empty") << 6;
        QTest::newRow("apply an effect the library lacks") << 7;
        QTest::newRow("erase a locked layer") << 8;
    }

    // Refused operations record nothing and change nothing.
    void refusals()
    {
        QFETCH(int, operation);
        const QImage red10 = image(QSize(10, 10), red);
        switch (operation) {
        case 0: canvas->moveUpLayer(2); break;
        case 1: canvas->moveDownLayer(0); break;
        case 2: canvas->at(1)->setVisible(false); break;
        case 3: canvas->at(1)->setLocked(true); break;
        case 5: canvas->mergeLayers(2, 3); break;
        case 6: canvas->removeLayer(2); canvas->undoStack()->clear(); break;
        case 7: canvas->at(1)->set_shaderId(effectId); canvas->setCurrentRow(1); break;
        case 8: canvas->at(2)->setLocked(true); break;
        }
        const DocumentState before = state();
        switch (operation) {
        case 2:
        case 3: QVERIFY(!canvas->pasteImage(QPointF(), red10, false, QString(), 1, QRectF(), 0)); break;
        case 4: QVERIFY(!canvas->pasteImage(QPointF(), QImage(), false, QString(), 1, QRectF(), 0)); break;
        case 6: canvas->removeEmptyLayers(); break;
        case 7: QVERIFY(!canvas->applyEffect()); break;
        case 8: canvas->erase(); break;
        }
        QCOMPARE(canvas->undoStack()->count(), 0);
        QVERIFY(state() == before);
    }

    // Empty rows are removed from the last to the first, so both go.
    void removeEmptyLayersFromTheLast()
    {
        canvas->appendLayer();
        canvas->moveDownLayer(2); // red, empty, band, empty
        canvas->undoStack()->clear();
        const DocumentState before = state();
        canvas->removeEmptyLayers();
        QCOMPARE(canvas->count(), 2);
        canvas->makeCurrent();
        QCOMPARE(pixelAt(canvas->at(0), QPoint(-250, 0)), red);
        QCOMPARE(pixelAt(canvas->at(1), QPoint(0, 0)), blue);
        QCOMPARE(canvas->undoStack()->count(), 1);
        canvas->undo();
        QVERIFY(state() == before);
    }

    // Views attached to the layer list follow a removal of every layer and
    // its undo.
    void removingEveryLayerKeepsViewsConsistent()
    {
        QSortFilterProxyModel proxy;
        proxy.setSourceModel(canvas->layerModel());
        QSignalSpy reset(canvas->layerModel(), &QAbstractItemModel::modelReset);
        QCOMPARE(proxy.rowCount(), 3);
        canvas->removeLayers();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(proxy.rowCount(), 0);
        canvas->undo();
        QCOMPARE(proxy.rowCount(), 3);
    }

    void nextAndPreviousWrapAround()
    {
        canvas->nextLayer();
        QCOMPARE(canvas->currentRow(), 0);
        canvas->previousLayer();
        QCOMPARE(canvas->currentRow(), 2);
    }

    // A hidden row stays hidden when every other one is hidden.
    void hideAllExceptKeepsTheRowsOwnVisibility()
    {
        canvas->at(1)->setVisible(false);
        canvas->hideAllLayersExcept(1);
        for (int row = 0; row < 3; ++row)
            QVERIFY(!canvas->at(row)->visible());
    }

    void selection_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<bool>("hasSelection");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        QTest::newRow("set") << 0 << true << QPoint(-150, 0) << QPoint(150, 0);
        QTest::newRow("invert") << 1 << true << QPoint(150, 0) << QPoint(-150, 0);
        QTest::newRow("clear") << 2 << false << QPoint() << QPoint(-150, 0);
        QTest::newRow("magic wand") << 3 << true << QPoint(-299, -59) << QPoint(150, 0);
        QTest::newRow("a layer's bounds") << 4 << true << QPoint(-200, -20) << QPoint(-201, 0);
    }

    // The selection layer holds exactly the selected pixels, opaque.
    void selection()
    {
        QFETCH(int, operation);
        QFETCH(bool, hasSelection);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        QPainterPath path;
        path.addRect(QRectF(leftHalf));
        switch (operation) {
        case 0: canvas->setClipPath(path); break;
        case 1: canvas->setClipPath(path); canvas->invertClipPath(); break;
        case 2: canvas->setClipPath(path); canvas->resetClipPath(); break;
        case 3: canvas->fillSelection(QPoint(-250, 0), true, 0, 0); break;
        case 4: canvas->selectLayerBoundingRect(canvas->at(1)); break;
        }
        QCOMPARE(canvas->hasSelection(), hasSelection);
        canvas->makeCurrent();
        if (hasSelection)
            QCOMPARE(qAlpha(pixelAt(canvas->selectionLayer(), inside)), 255);
        QCOMPARE(qAlpha(pixelAt(canvas->selectionLayer(), outside)), 0);
        QCOMPARE(canvas->undoStack()->count(), 0);
    }

    // An image file becomes a new document of one layer the image's size.
    void loadImage()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("picture.png"));
        QImage picture(40, 30, QImage::Format_ARGB32);
        picture.fill(qRgba(10, 20, 30, 255));
        picture.setPixel(0, 0, qRgba(255, 0, 0, 255));
        QVERIFY(picture.save(path));
        QVERIFY(canvas->loadImage(path));
        QCOMPARE(canvas->count(), 1);
        QCOMPARE(canvas->paintedRect().size(), QSizeF(40, 30));
        QVERIFY(canvas->isNew());
        QCOMPARE(canvas->undoStack()->count(), 0);
        canvas->makeCurrent();
        const QPoint topLeft = canvas->paintedRect().topLeft().toPoint();
        QCOMPARE(pixelAt(canvas->at(0), topLeft), qRgba(255, 0, 0, 255));
        QCOMPARE(pixelAt(canvas->at(0), topLeft + QPoint(39, 29)), qRgba(10, 20, 30, 255));
        QCOMPARE(pixelAt(canvas->at(0), topLeft + QPoint(40, 0)), QRgb(0));

        QVERIFY(!canvas->loadImage(folder.filePath(QStringLiteral("missing.png"))));
        QCOMPARE(canvas->lastReadResult().code, int(ReadNotOpened));
        QCOMPARE(canvas->count(), 1);
    }
};

QTEST_MAIN(TestMCanvasLayers)
#include "tst_mcanvaslayers.moc"
