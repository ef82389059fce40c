#include "mbrush.h"
#include "mbufferlayer.h"
#include "mbuffertile.h"
#include "mcanvas.h"
#include "mcommand.h"
#include "mcommandfilltile.h"
#include "mcommandinsertlayer.h"
#include "mcommandmovelayer.h"
#include "mcommandquickfilltile.h"
#include "mcommandremovelayer.h"
#include "mcommandsetpaintedrect.h"
#include "mcommandstroke.h"
#include "mcommandupdatelayerproperties.h"
#include "mcommandupdatetile.h"
#include "mevent.h"
#include "msettings.h"
#include "mshaderlist.h"
#include "mtestblockedcache.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtesteffect.h"
#include "mtestfilesizelimit.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mtestpixels.h"
#include "mtexturetile.h"
#include "mundohistory.h"
#include "mundostream.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

using namespace MTestCanvas;
using MTestPixels::tileBytes;

namespace {

// Centres of the four tile cells around the origin.
const QVector<QPointF> cells{QPointF(250, 250), QPointF(-250, 250), QPointF(250, -250), QPointF(-250, -250)};
const QString tintId = QStringLiteral("{5c0c7e52-3c55-4b4a-9f0b-1b8d3c3b7a10}");
const qint64 kWholeRecord = 4 + 1048576;
const qint64 kBlockRecordPart = 16 + 64 * 64 * 4;

enum Kind { Blit, Copy, StrokeBlend, Fill, QuickFill };

// Random pixels that are valid premultiplied colours (no channel above alpha).
QByteArray premultipliedNoise(quint32 seed, int size)
{
    QByteArray bytes = MTestPixels::randomBytes(seed, size);
    for (int i = 0; i + 3 < size; i += 4)
        for (int c = 0; c < 3; ++c)
            bytes[i + c] = char(qMin(uchar(bytes[i + c]), uchar(bytes[i + 3])));
    return bytes;
}

// The tile's bytes with the canvas pixels of area set to a premultiplied pixel.
QByteArray withRect(QByteArray bytes, MTextureTile *tile, const QRect &area, QRgb pixel)
{
    const QRect texture = tile->rectWithBorder();
    const QRect covered = texture & area;
    for (int y = covered.top(); y <= covered.bottom(); ++y)
        for (int x = covered.left(); x <= covered.right(); ++x) {
            const int at = ((y - texture.top()) * tile->tileSize() + (x - texture.left())) * 4;
            bytes[at] = char(qRed(pixel));
            bytes[at + 1] = char(qGreen(pixel));
            bytes[at + 2] = char(qBlue(pixel));
            bytes[at + 3] = char(qAlpha(pixel));
        }
    return bytes;
}

// What one application of the change gives, channel by channel.
QByteArray expectedAfter(Kind kind, const QByteArray &before, const QByteArray &source, double opacity,
                         QRgb fill, const QByteArray &buffer)
{
    if (kind == QuickFill)
        return buffer;
    QByteArray out(before.size(), Qt::Uninitialized);
    const uchar fillBytes[4] = {uchar(qRed(fill)), uchar(qGreen(fill)), uchar(qBlue(fill)), uchar(qAlpha(fill))};
    for (int p = 0; p < before.size(); p += 4) {
        const double sourceAlpha = uchar(source[p + 3]) / 255.0 * opacity;
        for (int c = 0; c < 4; ++c) {
            const double s = uchar(source[p + c]) * opacity;
            const double d = uchar(before[p + c]);
            double value = 0;
            switch (kind) {
            case Copy: value = s; break;
            case Fill: value = fillBytes[c]; break;
            default: value = s + d * (1.0 - sourceAlpha); break;
            }
            out[p + c] = char(qBound(0, qRound(value), 255));
        }
    }
    return out;
}

int maxDifference(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return 256;
    int worst = 0;
    for (int i = 0; i < a.size(); ++i)
        worst = qMax(worst, qAbs(int(uchar(a[i])) - int(uchar(b[i]))));
    return worst;
}

QStringList cacheFiles()
{
    return QDir(MUtility::cacheDirectory()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

void setLimit(double megabytes)
{
    MSettings::instance()->set_undoMemoryMax(megabytes);
}

// Handles the spill workers' reports until none is running.
void waitForWorkers(MUndoStream *stream)
{
    while (stream->workerCount() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

// Every tile command on the stack, inside macros too.
QList<const MCommandTile *> tileCommandsOn(const QUndoStack *stack)
{
    QList<const MCommandTile *> found;
    std::function<void(const QUndoCommand *)> visit = [&](const QUndoCommand *command) {
        if (const auto *tile = dynamic_cast<const MCommandTile *>(command))
            found << tile;
        for (int i = 0; i < command->childCount(); ++i)
            visit(command->child(i));
    };
    for (int i = 0; i < stack->count(); ++i)
        visit(stack->command(i));
    return found;
}

QString firstDifference(const QStringList &actual, const QStringList &expected)
{
    for (int i = 0; i < qMax(actual.size(), expected.size()); ++i)
        if (actual.value(i) != expected.value(i))
            return QStringLiteral("line %1: \"%2\" instead of \"%3\"").arg(i).arg(actual.value(i), expected.value(i));
    return QString();
}

// A command that fails as it first runs and notes when it goes.
class FailingCommand : public MCommand
{
public:
    FailingCommand(MUndoHistory *history, bool *gone)
        : MCommand(history)
        , m_gone(gone)
    {
    }
    ~FailingCommand() override { *m_gone = true; }

protected:
    bool firstStep() override { return false; }

private:
    bool *m_gone;
};

// Runs the command on its history as the document's own edits do. The
// command stays readable: one that was not recorded until the event loop runs.
template <class Command>
Command *push(Command *command)
{
    command->history()->push(command);
    return command;
}

} // namespace

using Build = std::function<void(MCanvas *)>;
Q_DECLARE_METATYPE(Build)

class TestMCommand : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    std::unique_ptr<MCanvas> dead;

    MUndoStream *stream() const { return canvas->undoStream(); }

    static MTextureTile *tileOf(MTextureLayer *layer, const QPointF &at)
    {
        auto *tile = static_cast<MTextureTile *>(layer->addTile(at));
        if (tile)
            tile->ensureTexture();
        return tile;
    }

    // A tile command of the given kind on the tile of row 0.
    static MCommandTile *tileCommand(MCanvas *document, Kind kind, MTextureTile *target, MTextureTile *source,
                                     MBufferTile *buffer, const QColor &fill, double opacity)
    {
        switch (kind) {
        case Fill: return push(new MCommandFillTile(document->parts(), 0, target, fill));
        case QuickFill: return push(new MCommandQuickFillTile(document->parts(), 0, target, buffer));
        default:
            return push(new MCommandUpdateTile(document->parts(), 0, target, source, opacity, kind == StrokeBlend,
                                               kind == Copy));
        }
    }

    // The tile of row 0 at a cell, holding seeded noise (also
    // put in pixels).
    MTextureTile *noisyTile(const QPointF &at, quint32 seed, QByteArray &pixels)
    {
        canvas->makeCurrent();
        MTextureTile *tile = tileOf(canvas->at(0), at);
        pixels = premultipliedNoise(seed, tile->byteSize());
        return tile->setData(pixels.constData()) ? tile : nullptr;
    }

    // A stroke of the brush through the points on row 0, pressed at the
    // first and released at the last.
    void strokeThrough(MBrush *brush, const QVector<QPointF> &points)
    {
        const MStrokePaint paint{brush, QColor(20, 90, 200), Qt::white};
        MEvent event;
        for (int i = 0; i <= points.size(); ++i) {
            event.type = i == 0 ? MEvent::Press : i < points.size() ? MEvent::Move : MEvent::Release;
            const QPointF at = points.at(qMin(i, points.size() - 1));
            event.inputs[MEnum::biPositionX] = at.x();
            event.inputs[MEnum::biPositionY] = at.y();
            canvas->stroke(&event, 0, paint);
        }
    }

    // The document as a painter sees it: the painted rectangle, then each
    // layer's properties and a digest of each of its tiles that holds paint.
    QStringList documentState() const
    {
        canvas->makeCurrent();
        static const QByteArray transparent(1048576, '\0');
        const QRectF r = canvas->paintedRect();
        QStringList lines{QStringLiteral("painted %1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())};
        for (int row = 0; row < canvas->count(); ++row) {
            MTextureLayer *layer = canvas->at(row);
            QStringList values;
            const QHash<QByteArray, QVariant> effectValues = layer->shaderValues()->values();
            for (auto it = effectValues.cbegin(); it != effectValues.cend(); ++it)
                values << QStringLiteral("%1=%2").arg(QString::fromLatin1(it.key()), it.value().toString());
            values.sort();
            lines << QStringLiteral("layer %1 \"%2\": opacity %3, visible %4, locked %5, mask %6, color %7, eraser %8, "
                                    "effect %9 %10 (%11)")
                         .arg(row)
                         .arg(layer->name())
                         .arg(layer->opacity())
                         .arg(layer->visible())
                         .arg(layer->locked())
                         .arg(layer->mask())
                         .arg(layer->color().name(QColor::HexArgb))
                         .arg(layer->eraserMode())
                         .arg(layer->shaderId())
                         .arg(layer->isShaderActive())
                         .arg(values.join(QLatin1Char(' ')));
            QStringList tiles;
            for (int i = 0; i < layer->tileCount(); ++i) {
                MTextureTile *tile = layer->tileAt(i);
                const QByteArray bytes = tile->isValid() ? tileBytes(tile) : QByteArray();
                if (bytes.isEmpty() || bytes == transparent)
                    continue;
                tiles << QStringLiteral("  tile %1 %2: %3 %4")
                             .arg(tile->rect().x())
                             .arg(tile->rect().y())
                             .arg(qHash(bytes, 1))
                             .arg(qHash(bytes, 2));
            }
            tiles.sort();
            lines += tiles;
        }
        return lines;
    }

    QStringList layerNames() const
    {
        QStringList names;
        for (int row = 0; row < canvas->count(); ++row)
            names << canvas->at(row)->name();
        return names;
    }

    // Layers "A", "B" and "C", each with paint of its own; "B" has every
    // property away from its default, an effect with a value of its own
    // included. The stack is empty and row 0 current.
    void threeLayers()
    {
        canvas->appendLayer();
        canvas->appendLayer();
        canvas->undoStack()->clear();
        canvas->makeCurrent();
        const QStringList names{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
        for (int row = 0; row < 3; ++row) {
            MTextureLayer *layer = canvas->at(row);
            layer->setName(names[row]);
            paintRect(layer, QRect(-40 + row * 30, -30 + row * 20, 90, 70), qRgba(60 * row, 200 - 50 * row, 90, 255));
        }
        MTextureLayer *b = canvas->at(1);
        b->setOpacity(0.5);
        b->setVisible(false);
        b->setLocked(true);
        b->set_mask(MLayer::AlphaMask);
        b->setColor(Qt::darkGreen);
        b->setEraserMode(true);
        b->set_shaderId(tintId);
        b->shaderValues()->setValue("color", QColor(Qt::red));
        b->set_isShaderActive(false);
        canvas->setCurrentRow(0);
    }

    // A seeded run of edits, undos and redos: the document after every undo
    // and redo is the one recorded after the push that led to that place in
    // the history. trace receives the document after every step.
    void runSequence(quint32 seed, int steps, QVector<QStringList> &trace, int &spilled)
    {
        canvas->reset();
        canvas->setPaintedRect(QRectF(-500, -500, 1000, 1000));
        canvas->undoStack()->clear();
        QUndoStack *stack = canvas->undoStack();
        QRandomGenerator random(seed);
        QVector<QStringList> states{documentState()};   // by stack index
        MBufferTile buffer(512, 6, 4);
        QVERIFY(buffer.allocate());

        for (int step = 0; step < steps; ++step) {
            const QString where = QStringLiteral("step %1").arg(step);
            const int action = random.bounded(100);
            const int indexBefore = stack->index();
            bool pushed = true;
            if (action < 15 && stack->canUndo()) {
                canvas->undo();
                pushed = false;
            } else if (action < 27 && stack->canRedo()) {
                canvas->redo();
                pushed = false;
            } else {
                edit(random, buffer);
            }
            if (pushed) {
                QVERIFY2(stack->index() == qMin(indexBefore + 1, stack->undoLimit()), qPrintable(where));
                states.resize(indexBefore + 1);
                states.append(documentState());
                // The undo limit drops the oldest commands.
                while (states.size() > stack->count() + 1)
                    states.removeFirst();
            } else {
                const QStringList now = documentState();
                const QStringList &expected = states.at(stack->index());
                QVERIFY2(now == expected, qPrintable(where + QStringLiteral(", ") + firstDifference(now, expected)));
            }
            trace << states.at(stack->index());
            if (random.bounded(3) == 0)
                QCoreApplication::processEvents();
        }
        waitForWorkers(stream());
        spilled = 0;
        for (const MCommandTile *command : tileCommandsOn(stack))
            for (const QString &id : {command->beforeId(), command->afterId()})
                spilled += stream()->isInMemory(id) ? 0 : 1;
    }

    // A stroke as the brush makes it: a macro of block updates on one or two
    // cells of row 0.
    void paintStroke(QRandomGenerator &random)
    {
        canvas->beginMacro(QStringLiteral("Brush stroke"));
        for (int n = 1 + random.bounded(2); n > 0; --n) {
            const QPointF at = cells[random.bounded(cells.size())];
            MTextureTile *target = tileOf(canvas->at(0), at);
            MTextureTile *source = tileOf(canvas->strokeLayer(), at);
            const QRect cellRect = target->rect();
            const QRect area(cellRect.x() + random.bounded(400), cellRect.y() + random.bounded(400),
                             10 + random.bounded(100), 10 + random.bounded(100));
            const QColor color(random.bounded(256), random.bounded(256), random.bounded(256), 255);
            const QByteArray strokeBytes = withRect(QByteArray(source->byteSize(), '\0'), source, area, premultiplied(color));
            source->setData(strokeBytes.constData());
            source->markSubTiles(QRectF(area));
            push(new MCommandUpdateTile(canvas->parts(), 0, target, source, 1.0, false, false));
        }
        canvas->endMacro();
    }

    // A fresh history of strokes under a memory limit, its records written
    // once it ends: the document at each index of the stack.
    QVector<QStringList> strokes(QRandomGenerator &random, int count, double limit)
    {
        canvas->setPaintedRect(QRectF(-500, -500, 1000, 1000));
        canvas->undoStack()->clear();
        canvas->undoStack()->setUndoLimit(0);
        setLimit(limit);
        QVector<QStringList> states{documentState()};
        for (int i = 0; i < count; ++i) {
            paintStroke(random);
            states << documentState();
            if (i % 7 == 0)
                QCoreApplication::processEvents();
        }
        waitForWorkers(stream());
        return states;
    }

    // One random edit of the document: paint, fills or a layer change.
    void edit(QRandomGenerator &random, MBufferTile &buffer)
    {
        const int row = qMax(0, canvas->currentRow());
        const int count = canvas->count();
        const QPointF cell = cells[random.bounded(cells.size())];
        const QColor color(random.bounded(256), random.bounded(256), random.bounded(256), random.bounded(256));
        int kind = count == 0 ? 3 + random.bounded(2) : random.bounded(10);
        // A few layers are enough; more would only slow the comparisons.
        if (count >= 4 && (kind == 3 || kind == 4))
            kind = 5;
        switch (kind) {
        case 0: {
            // A stroke: a macro of tile updates over one to three cells and a painted rectangle.
            canvas->beginMacro(QStringLiteral("Brush stroke"));
            for (int n = 1 + random.bounded(3); n > 0; --n) {
                const QPointF at = cells[random.bounded(cells.size())];
                MTextureTile *target = tileOf(canvas->at(row), at);
                MTextureTile *source = tileOf(canvas->strokeLayer(), at);
                const QRect cellRect = target->rect();
                const QRect area(cellRect.x() + random.bounded(450), cellRect.y() + random.bounded(450),
                                 1 + random.bounded(120), 1 + random.bounded(120));
                const QByteArray strokeBytes = withRect(QByteArray(source->byteSize(), '\0'), source, area,
                                                        premultiplied(color));
                source->setData(strokeBytes.constData());
                const int mode = random.bounded(3);
                // A copy replaces the whole tile, so it backs up the whole tile.
                if (mode != 1)
                    source->markSubTiles(QRectF(area));
                canvas->strokeLayer()->setOpacity(0.25 + random.bounded(4) * 0.25);
                push(new MCommandUpdateTile(canvas->parts(), row, target, source, 0.2 + random.bounded(5) * 0.2,
                                            mode == 2, mode == 1));
            }
            if (random.bounded(2))
                push(new MCommandSetPaintedRect(
                    canvas->parts(), canvas->paintedRect(),
                    canvas->paintedRect().adjusted(-random.bounded(9), 0, random.bounded(9), 1)));
            canvas->endMacro();
            break;
        }
        case 1:
            push(new MCommandFillTile(canvas->parts(), row, tileOf(canvas->at(row), cell), color));
            break;
        case 2: {
            const QByteArray pixels = premultipliedNoise(random.generate(), int(buffer.byteSize()));
            std::memcpy(buffer.data(), pixels.constData(), size_t(pixels.size()));
            push(new MCommandQuickFillTile(canvas->parts(), row, tileOf(canvas->at(row), cell), &buffer));
            break;
        }
        case 3:
            push(MCommandInsertLayer::append(canvas->parts()));
            break;
        case 4:
            push(MCommandInsertLayer::prepend(canvas->parts()));
            break;
        case 5:
            push(new MCommandRemoveLayer(canvas->parts(), random.bounded(count)));
            break;
        case 6:
            push(MCommandMoveLayer::up(canvas->parts(), random.bounded(count)));
            break;
        case 7:
            push(MCommandMoveLayer::down(canvas->parts(), random.bounded(count)));
            break;
        case 8: {
            MTextureLayer *layer = canvas->at(random.bounded(count));
            const MCommandUpdateLayerProperties::Values before{{"opacity", layer->opacity()},
                                                                {"visible", layer->visible()},
                                                                {"name", layer->name()}};
            const MCommandUpdateLayerProperties::Values after{{"opacity", random.bounded(11) / 10.0},
                                                               {"visible", random.bounded(2) == 1},
                                                               {"name", QStringLiteral("L%1").arg(random.bounded(100))}};
            push(new MCommandUpdateLayerProperties(canvas->parts(), canvas->indexOf(layer), before, after));
            break;
        }
        default:
            push(new MCommandSetPaintedRect(canvas->parts(), canvas->paintedRect(),
                                            QRectF(-random.bounded(600), -random.bounded(600),
                                                   1 + random.bounded(1200), 1 + random.bounded(1200))));
            break;
        }
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        auto *tint = new MTestEffect(tintId);
        tint->addParam("color", QColor(Qt::blue));
        MShaderList::instance()->append(tint);
        // One document for every case: making one costs the compilation of every program.
        canvas = createDocument(QSize(1000, 1000));
        QVERIFY(canvas);
    }

    void init()
    {
        setLimit(256.0);
        canvas->reset();
        canvas->strokeLayer()->setOpacity(1.0);
        canvas->strokeLayer()->setEraserMode(false);
    }

    // Whatever a case did, dropping the history leaves no backup in memory
    // and no file in the cache folder.
    void cleanup()
    {
        canvas->undoStack()->clear();
        canvas->undoStack()->setUndoLimit(MSettings::instance()->undoLimit());
        waitForWorkers(stream());
        QCOMPARE(stream()->memorySize(), qint64(0));
        QCOMPARE(cacheFiles(), QStringList());
        canvas->makeCurrent();
        QVERIFY_GL_CLEAN();
    }

    void cleanupTestCase()
    {
        dead.reset();
        canvas.reset();
        MShaderList::destroyInstance();
    }

    void tileCommands_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("blocks");
        QTest::addColumn<bool>("spill");
        QTest::addColumn<QString>("text");
        for (const bool spill : {false, true}) {
            const char *where = spill ? "spilled" : "in memory";
            QTest::addRow("blit, touched blocks, %s", where) << int(Blit) << true << spill << "Update tile";
            QTest::addRow("blit, no touched block, %s", where) << int(Blit) << false << spill << "Update tile";
            QTest::addRow("copy, %s", where) << int(Copy) << false << spill << "Update tile";
            QTest::addRow("stroke blend, touched blocks, %s", where) << int(StrokeBlend) << true << spill << "Update tile";
            QTest::addRow("fill, %s", where) << int(Fill) << false << spill << "Fill tile with color";
            QTest::addRow("quick fill, %s", where) << int(QuickFill) << false << spill << "Fill tile";
        }
    }

    // A tile command changes the tile once, as it is pushed (the stack's
    // first redo adds nothing); undo and redo then give back exactly the
    // pixels before and after, from memory or from the spill files.
    void tileCommands()
    {
        QFETCH(int, kind);
        QFETCH(bool, blocks);
        QFETCH(bool, spill);
        QFETCH(QString, text);
        QByteArray before;
        MTextureTile *target = noisyTile(cells[0], 1, before);
        QVERIFY(target);

        MTextureTile *source = tileOf(canvas->strokeLayer(), cells[0]);
        const QRect area(40, 70, 100, 130);
        const QByteArray sourceBytes = kind == Copy ? premultipliedNoise(2, source->byteSize())
                                                    : withRect(QByteArray(source->byteSize(), '\0'), source, area,
                                                               qRgba(90, 20, 50, 160));
        QVERIFY(source->setData(sourceBytes.constData()));
        if (blocks)
            source->markSubTiles(QRectF(area));
        const int touched = source->touchedBlocks().size();
        QCOMPARE(touched > 0, blocks);
        canvas->strokeLayer()->setOpacity(0.75);

        MBufferTile buffer(512, 6, 4);
        QVERIFY(buffer.allocate());
        const QByteArray bufferBytes = premultipliedNoise(3, int(buffer.byteSize()));
        std::memcpy(buffer.data(), bufferBytes.constData(), size_t(bufferBytes.size()));
        const QColor fill(30, 160, 240, 200);
        const double opacity = kind == StrokeBlend ? 0.75 : 0.6;

        if (spill)
            setLimit(0.0);
        const MTestLogWatch log;
        MCommandTile *command = tileCommand(canvas.get(), Kind(kind), target, source, &buffer, fill, 0.6);
        QVERIFY(command->isRecorded());
        QCOMPARE(canvas->undoStack()->count(), 1);
        QCOMPARE(canvas->undoStack()->text(0), text);
        QVERIFY(source->touchedBlocks().isEmpty());
        const QByteArray after = tileBytes(target);
        QVERIFY(after != before);
        const QByteArray expected = expectedAfter(Kind(kind), before, sourceBytes, opacity, premultiplied(fill), bufferBytes);
        // Rounding on the GPU may differ by one; a second application would not.
        QVERIFY2(maxDifference(after, expected) <= (kind == QuickFill ? 0 : 1),
                 qPrintable(QStringLiteral("off by %1").arg(maxDifference(after, expected))));

        if (spill) {
            waitForWorkers(stream());
            QVERIFY(!stream()->isInMemory(command->beforeId()));
            // Only the touched blocks are kept, or the whole tile when none is named.
            QCOMPARE(QFileInfo(MUndoStream::fileName(command->beforeId())).size(),
                     blocks ? 4 + touched * kBlockRecordPart : kWholeRecord);
        }
        for (int i = 0; i < 2; ++i) {
            canvas->undo();
            QVERIFY(tileBytes(target) == before);
            canvas->redo();
            QVERIFY(tileBytes(target) == after);
        }
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
    }

    void bucketFillUndoKeepsThePixelsBefore_data()
    {
        QTest::addColumn<QVector<int>>("filledCells");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("fills");
        QTest::addColumn<QString>("records");
        for (const char *records : {"made on demand", "made by the event loop", "made in another context", "spilled"}) {
            QTest::addRow("whole tile, %s", records) << QVector<int>{0} << QRect(-6, -6, 512, 512) << 1 << records;
            QTest::addRow("part of a tile, %s", records) << QVector<int>{0} << QRect(40, 70, 100, 130) << 1 << records;
            QTest::addRow("four tiles, %s", records) << QVector<int>{0, 1, 2, 3} << QRect(-200, -150, 400, 300) << 1
                                                     << records;
            QTest::addRow("two fills in a row, %s", records) << QVector<int>{0, 1} << QRect(-100, 20, 300, 40) << 2
                                                             << records;
        }
    }

    // The bucket's paste backs each tile up before uploading the filled
    // pixels; where that backup's read-back is only queued it must still
    // hold the pixels from before the upload, with more fills following
    // before the event loop runs: undo gives them back exactly, whether the
    // records are made on demand, by the event loop (in the document's
    // context or in another one sharing with it) or spilled to files.
    void bucketFillUndoKeepsThePixelsBefore()
    {
        QFETCH(QVector<int>, filledCells);
        QFETCH(QRect, area);
        QFETCH(int, fills);
        QFETCH(QString, records);
        const bool spill = records == QLatin1String("spilled");
        MTextureLayer *layer = canvas->at(0);
        QVector<MTextureTile *> tiles;
        QVector<QVector<QByteArray>> moments(1);
        for (int cell : filledCells) {
            QByteArray noise;
            tiles << noisyTile(cells[cell], quint32(10 + cell), noise);
            QVERIFY(tiles.last());
            moments[0] << noise;
        }
        if (spill)
            setLimit(0.0);
        const MTestLogWatch log;
        for (int f = 1; f <= fills; ++f) {
            const QRgb colour = f == 1 ? qRgba(40, 160, 90, 200) : qRgba(120, 20, 200, 230);
            MBufferLayer buffer;
            buffer.configure(layer);
            moments << QVector<QByteArray>();
            for (int i = 0; i < tiles.size(); ++i) {
                MBufferTile *pixels = buffer.tile(cells[filledCells[i]], canvas->gpuDevice(), layer);
                QVERIFY(pixels && pixels->byteSize() == tiles[i]->byteSize());
                QVERIFY(QByteArray(reinterpret_cast<const char *>(pixels->data()), int(pixels->byteSize()))
                        == moments[f - 1][i]);
                moments[f] << withRect(moments[f - 1][i], tiles[i], area, colour);
                std::memcpy(pixels->data(), moments[f][i].constData(), size_t(moments[f][i].size()));
            }
            QVERIFY(canvas->pasteBuffer(&buffer, 0, QStringLiteral("Fill")));
            QCOMPARE(canvas->undoStack()->count(), f);
            // The copy went into the history tile by tile.
            QCOMPARE(buffer.tileCount(), 0);
            for (int i = 0; i < tiles.size(); ++i)
                QVERIFY2(tileBytes(tiles[i]) == moments[f][i], qPrintable(QStringLiteral("fill %1, tile %2").arg(f).arg(i)));
        }
        const QList<const MCommandTile *> commands = tileCommandsOn(canvas->undoStack());
        QCOMPARE(commands.size(), fills * tiles.size());
        if (spill) {
            waitForWorkers(stream());
            // The after images, made from the buffer, go to the disk too.
            for (const MCommandTile *command : commands) {
                for (const QString &id : {command->beforeId(), command->afterId()}) {
                    QVERIFY(!stream()->isInMemory(id));
                    QCOMPARE(QFileInfo(MUndoStream::fileName(id)).size(), kWholeRecord);
                }
            }
            QCOMPARE(stream()->memorySize(), qint64(0));
        } else {
            // The before backups wait for their pixels; the after ones come
            // from the buffer and are counted at once.
            QCOMPARE(stream()->memorySize(), qint64(commands.size()) * kWholeRecord);
            if (records == QLatin1String("made by the event loop")) {
                QCoreApplication::processEvents();
                QCOMPARE(stream()->memorySize(), 2 * qint64(commands.size()) * kWholeRecord);
            } else if (records == QLatin1String("made in another context")) {
                // As when a view's context is current once the event loop runs.
                MTestGLContext view;
                QVERIFY(view.isValid() && QOpenGLContext::areSharing(view.context(), canvas->context()));
                QCoreApplication::processEvents();
                QCOMPARE(stream()->memorySize(), 2 * qint64(commands.size()) * kWholeRecord);
                QVERIFY_GL_CLEAN();
            }
        }

        for (int round = 0; round < 2; ++round) {
            for (int f = fills; f >= 1; --f) {
                canvas->undo();
                for (int i = 0; i < tiles.size(); ++i)
                    QVERIFY2(tileBytes(tiles[i]) == moments[f - 1][i],
                             qPrintable(QStringLiteral("round %1, undo of fill %2, tile %3").arg(round).arg(f).arg(i)));
            }
            for (int f = 1; f <= fills; ++f)
                canvas->redo();
            for (int i = 0; i < tiles.size(); ++i)
                QVERIFY(tileBytes(tiles[i]) == moments[fills][i]);
        }
        if (!spill)
            QCOMPARE(stream()->memorySize(), 2 * qint64(commands.size()) * kWholeRecord);
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
    }

    // Undoing after the layer lost the tile makes it again at the same cell.
    void undoRecreatesAMissingTile()
    {
        MTextureLayer *layer = canvas->at(0);
        QByteArray before;
        MTextureTile *tile = noisyTile(cells[1], 4, before);
        QVERIFY(tile);
        const QRect cell = tile->rect();
        push(new MCommandFillTile(canvas->parts(), 0, tile, QColor(10, 200, 30, 128)));
        const QByteArray after = tileBytes(tile);
        layer->clear();
        QCOMPARE(layer->tileCount(), 0);

        canvas->undo();
        auto *again = static_cast<MTextureTile *>(layer->tileAt(cells[1]));
        QVERIFY(again);
        QCOMPARE(again->rect(), cell);
        QVERIFY(tileBytes(again) == before);
        layer->clear();
        canvas->redo();
        again = static_cast<MTextureTile *>(layer->tileAt(cells[1]));
        QVERIFY(again);
        QVERIFY(tileBytes(again) == after);
    }

    void tileChangeThatCannotBeBackedUp_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("buffer");     // 0 a full one, 1 none, 2 one of another size
        QTest::addColumn<bool>("noContext");
        QTest::addColumn<QString>("text");
        QTest::newRow("update without a context") << int(Blit) << 0 << true << "Update tile";
        QTest::newRow("fill without a context") << int(Fill) << 0 << true << "Fill tile with color";
        QTest::newRow("quick fill without a context") << int(QuickFill) << 0 << true << "Fill tile";
        QTest::newRow("quick fill from an empty buffer") << int(QuickFill) << 1 << false << "Fill tile";
        QTest::newRow("quick fill from a smaller buffer") << int(QuickFill) << 2 << false << "Fill tile";
    }

    // A change whose backups cannot both be made is not recorded: it is
    // logged, the tile keeps its pixels and no backup is left behind.
    void tileChangeThatCannotBeBackedUp()
    {
        QFETCH(int, kind);
        QFETCH(int, buffer);
        QFETCH(bool, noContext);
        QFETCH(QString, text);
        QByteArray before;
        MTextureTile *target = noisyTile(cells[2], 5, before);
        QVERIFY(target);
        MTextureTile *source = tileOf(canvas->strokeLayer(), cells[2]);
        QVERIFY(source->setData(premultipliedNoise(6, source->byteSize()).constData()));
        MBufferTile pixels(buffer == 2 ? 256 : 512, 6, 4);
        if (buffer != 1)
            QVERIFY(pixels.allocate());

        // A document whose context is gone, with no other context current.
        if (noContext) {
            if (!dead) {
                dead.reset(new MCanvas(nullptr, MCanvas::ScratchDocument));
                dead->shutDown();
            }
            if (QOpenGLContext *current = QOpenGLContext::currentContext())
                current->doneCurrent();
        }
        MCanvas *document = noContext ? dead.get() : canvas.get();
        const MTestLogWatch log;
        MCommandTile *command = tileCommand(document, Kind(kind), target, source, &pixels, Qt::red, 1.0);
        QVERIFY(!command->isRecorded());
        QCOMPARE(document->undoStack()->count(), 0);
        QCOMPARE(log.count(QStringLiteral("System error: Unable to back up the tile at 0, -500: \"%1\" is not recorded")
                               .arg(text)),
                 1);
        // The command goes once control is back in the event loop.
        QCoreApplication::processEvents();
        QCOMPARE(document->undoStream()->memorySize(), qint64(0));
        canvas->makeCurrent();
        QVERIFY(tileBytes(target) == before);
    }

    // A command that failed as it ran is owned by its document: it goes once
    // control is back in the event loop, or with the document if that goes first.
    void aFailedCommandGoesWithItsDocument()
    {
        bool gone = false;
        push(new FailingCommand(canvas->history(), &gone));
        QVERIFY(!gone);
        QCoreApplication::processEvents();
        QVERIFY(gone);

        bool goneWithDocument = false;
        {
            MCanvas document(nullptr, MCanvas::ScratchDocument);
            push(new FailingCommand(document.history(), &goneWithDocument));
            QCOMPARE(document.undoStack()->count(), 0);
        }
        QVERIFY(goneWithDocument);
        canvas->makeCurrent();
    }

    void layerCommands_data()
    {
        QTest::addColumn<Build>("build");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("append") << Build([](MCanvas *c) { push(MCommandInsertLayer::append(c->parts())); }) << "Append a layer"
                                << QStringList{"A", "B", "C", "Layer 4"};
        QTest::newRow("prepend") << Build([](MCanvas *c) { push(MCommandInsertLayer::prepend(c->parts())); }) << "Prepend a layer"
                                 << QStringList{"Layer 4", "A", "B", "C"};
        QTest::newRow("remove the first") << Build([](MCanvas *c) { push(new MCommandRemoveLayer(c->parts(), 0)); }) << "Remove layer"
                                          << QStringList{"B", "C"};
        QTest::newRow("remove a middle one") << Build([](MCanvas *c) { push(new MCommandRemoveLayer(c->parts(), 1)); })
                                             << "Remove layer" << QStringList{"A", "C"};
        QTest::newRow("remove the last") << Build([](MCanvas *c) { push(new MCommandRemoveLayer(c->parts(), 2)); }) << "Remove layer"
                                         << QStringList{"A", "B"};
        QTest::newRow("up") << Build([](MCanvas *c) { push(MCommandMoveLayer::up(c->parts(), 0)); }) << "Layer up"
                            << QStringList{"B", "A", "C"};
        QTest::newRow("up from the top row") << Build([](MCanvas *c) { push(MCommandMoveLayer::up(c->parts(), 2)); }) << "Layer up"
                                             << QStringList{"A", "B", "C"};
        QTest::newRow("down") << Build([](MCanvas *c) { push(MCommandMoveLayer::down(c->parts(), 2)); }) << "Layer down"
                              << QStringList{"A", "C", "B"};
        QTest::newRow("down from row 0") << Build([](MCanvas *c) { push(MCommandMoveLayer::down(c->parts(), 0)); }) << "Layer down"
                                         << QStringList{"A", "B", "C"};
        QTest::newRow("painted rectangle")
            << Build([](MCanvas *c) { push(new MCommandSetPaintedRect(c->parts(), c->paintedRect(), QRectF(-960, -540, 1920, 1080))); })
            << "Resize painted rectangle: 1920, 1080" << QStringList{"A", "B", "C"};
        QTest::newRow("fractional painted rectangle")
            << Build([](MCanvas *c) { push(new MCommandSetPaintedRect(c->parts(), c->paintedRect(), QRectF(0.5, 0, 10.25, 3))); })
            << "Resize painted rectangle: 10.25, 3" << QStringList{"A", "B", "C"};
        QTest::newRow("layer properties")
            << Build([](MCanvas *c) {
                   const MLayer *b = c->at(1);
                   push(new MCommandUpdateLayerProperties(
                       c->parts(), 1,
                       {{"name", b->name()}, {"opacity", b->opacity()}, {"visible", b->visible()},
                        {"locked", b->locked()}, {"mask", b->mask()}},
                       {{"name", QStringLiteral("Ink")}, {"opacity", 0.25}, {"visible", true}, {"locked", false},
                        {"mask", int(MLayer::OneMinusAlphaMask)}}));
               })
            << "Layer property change" << QStringList{"A", "Ink", "C"};
    }

    // Layer-list, painted-rectangle and property commands change the
    // document as they are pushed; undo gives back the document exactly,
    // pixels and every layer property included, and redo the change again.
    void layerCommands()
    {
        QFETCH(Build, build);
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        threeLayers();
        const QStringList before = documentState();
        build(canvas.get());
        QCOMPARE(canvas->undoStack()->count(), 1);
        QCOMPARE(canvas->undoStack()->text(0), text);
        QCOMPARE(layerNames(), names);
        const QStringList after = documentState();
        for (int i = 0; i < 2; ++i) {
            // Undo works on rows, whichever row is current.
            canvas->setCurrentRow(0);
            canvas->undo();
            QCOMPARE(documentState(), before);
            canvas->redo();
            QCOMPARE(documentState(), after);
        }
    }

    // The removed layer is parked in the cache folder until the command goes.
    void removedLayerIsParkedOnDisk()
    {
        threeLayers();
        auto *command = push(new MCommandRemoveLayer(canvas->parts(), 1));
        QVERIFY(!command->keepsLayerInMemory());
        QVERIFY(!command->storedId().isEmpty());
        QCOMPARE(stream()->refCount(command->storedId()), 1);
        const QString file = MUndoStream::fileName(command->storedId());
        QVERIFY(QFile::exists(file));
        canvas->undo();
        canvas->redo();
        QVERIFY(QFile::exists(file));
        canvas->undoStack()->clear();
        QVERIFY(!QFile::exists(file));
    }

    void removedLayerStaysInMemoryWhenItCannotBeParked_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<bool>("undoneFirst");
        QTest::newRow("disk full, history dropped while removed") << true << false;
        QTest::newRow("disk full, history dropped once undone") << true << true;
        QTest::newRow("no cache folder, history dropped while removed") << false << false;
    }

    // A layer that cannot be parked on disk is kept by the command itself:
    // undo puts back the very layer, and dropping the history deletes it
    // only when it is out of the document.
    void removedLayerStaysInMemoryWhenItCannotBeParked()
    {
        QFETCH(bool, diskFull);
        QFETCH(bool, undoneFirst);
        threeLayers();
        const QStringList before = documentState();
        const QPointer<MTextureLayer> layer = canvas->at(1);
        const MTestLogWatch log;
        MCommandRemoveLayer *command = nullptr;
        {
            std::unique_ptr<MTestFileSizeLimit> full(diskFull ? new MTestFileSizeLimit(100000) : nullptr);
            std::unique_ptr<MTestBlockedCache> blocked(diskFull ? nullptr : new MTestBlockedCache());
            QVERIFY(diskFull ? full->isActive() : blocked->isActive());
            command = push(new MCommandRemoveLayer(canvas->parts(), 1));
        }
        QVERIFY(command->keepsLayerInMemory());
        QVERIFY(command->storedId().isEmpty());
        QCOMPARE(log.count(QStringLiteral("System error: Unable to park layer \"B\" on disk: it is kept in memory")), 1);
        QCOMPARE(layerNames(), QStringList({"A", "C"}));
        QVERIFY(layer);

        canvas->undo();
        QCOMPARE(canvas->at(1), layer.data());
        QCOMPARE(documentState(), before);
        canvas->redo();
        QCOMPARE(layerNames(), QStringList({"A", "C"}));
        if (undoneFirst)
            canvas->undo();
        canvas->undoStack()->clear();
        QCOMPARE(!layer, !undoneFirst);
        QCOMPARE(cacheFiles(), QStringList());
    }

    // Commands built as children of a parent run with it and are owned by it
    // alone.
    void childCommandsRunWithTheirParent()
    {
        canvas->makeCurrent();
        MTextureTile *tile = tileOf(canvas->at(0), cells[3]);
        const QStringList before = documentState();
        auto *parent = new QUndoCommand(QStringLiteral("Group"));
        new MCommandFillTile(canvas->parts(), 0, tile, QColor(200, 100, 0, 255), parent);
        MCommandInsertLayer::append(canvas->parts(), parent);
        QCOMPARE(canvas->undoStack()->count(), 0);
        QCOMPARE(parent->childCount(), 2);
        canvas->undoStack()->push(parent);
        QCOMPARE(canvas->count(), 2);
        const QStringList after = documentState();
        QVERIFY(after != before);
        canvas->undo();
        QCOMPARE(documentState(), before);
        canvas->redo();
        QCOMPARE(documentState(), after);
    }

    void strokeEndIsOneStep_data()
    {
        QTest::addColumn<bool>("eraser");
        QTest::addColumn<bool>("spill");
        QTest::addColumn<bool>("afterUndo");
        QTest::addColumn<bool>("lostRecord");
        QTest::newRow("paint, in memory") << false << false << false << false;
        QTest::newRow("paint, spilled") << false << true << false << false;
        QTest::newRow("erase, spilled") << true << true << false << false;
        QTest::newRow("paint where an undone stroke was") << false << false << true << false;
        QTest::newRow("one tile's record lost") << false << true << false << true;
    }

    // A stroke across four tiles ends as one step named after its brush and
    // colour, holding a record of each tile; undo gives every tile back as
    // it was, redo the stroke, from memory or from the spill files, and a
    // stroke painted after an undo takes the undone one's place. With one
    // tile's record lost the whole step restores nothing.
    void strokeEndIsOneStep()
    {
        QFETCH(bool, eraser);
        QFETCH(bool, spill);
        QFETCH(bool, afterUndo);
        QFETCH(bool, lostRecord);
        const QRectF painted(-500, -500, 1000, 1000);
        canvas->setPaintedRect(painted);
        QVector<MTextureTile *> tiles;
        QVector<QByteArray> before(cells.size());
        for (int i = 0; i < cells.size(); ++i) {
            tiles << noisyTile(cells[i], quint32(20 + i), before[i]);
            QVERIFY(tiles.last());
        }
        const auto tilesAre = [&tiles](const QVector<QByteArray> &bytes) {
            for (int i = 0; i < tiles.size(); ++i)
                if (tileBytes(tiles[i]) != bytes[i])
                    return false;
            return true;
        };
        MBrush brush;
        brush.setDescription(QStringLiteral("Round"));
        brush.setRadius(12.0);
        brush.setSpacingType(MEnum::ConstantSpacing);
        brush.setSpacing(3.0);
        brush.setOpacity(0.8);
        brush.setEraser(eraser);
        if (spill)
            setLimit(0.0);
        QUndoStack *stack = canvas->undoStack();
        if (afterUndo) {
            strokeThrough(&brush, {QPointF(-100, -50), QPointF(100, -50)});
            canvas->undo();
            QVERIFY(stack->canRedo());
        }
        const MTestLogWatch log;
        strokeThrough(&brush, {QPointF(-300, -200), QPointF(300, -200), QPointF(300, 200), QPointF(-300, 200)});

        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->text(0), QStringLiteral("Brush stroke: Round, #145ac8"));
        const auto *stroke = dynamic_cast<const MCommandStroke *>(stack->command(0));
        QVERIFY(stroke);
        // A record of each tile, none twice.
        QCOMPARE(stroke->tiles().size(), tiles.size());
        for (MTextureTile *tile : qAsConst(tiles))
            QCOMPARE(std::count_if(stroke->tiles().cbegin(), stroke->tiles().cend(),
                                   [tile](const MCommandTile *record) { return record->tileRect() == QRectF(tile->rect()); }),
                     1);
        QVector<QByteArray> after;
        for (int i = 0; i < tiles.size(); ++i) {
            after << tileBytes(tiles[i]);
            QVERIFY2(after[i] != before[i], qPrintable(QStringLiteral("tile %1").arg(i)));
        }
        if (spill) {
            waitForWorkers(stream());
            for (const MCommandTile *tile : stroke->tiles())
                QVERIFY(!stream()->isInMemory(tile->beforeId()));
        }
        if (lostRecord) {
            QSignalSpy told(canvas.get(), &MCanvas::messageForPainter);
            canvas->undo();
            QVERIFY(tilesAre(before));
            QVERIFY(QFile::remove(MUndoStream::fileName(stroke->tiles().at(2)->afterId())));
            canvas->redo();
            QCoreApplication::processEvents();
            QVERIFY(tilesAre(before));
            QCOMPARE(told.size(), 1);
            QVERIFY(!stack->canRedo());
            return;
        }
        for (int round = 0; round < 2; ++round) {
            canvas->undo();
            QVERIFY(tilesAre(before));
            QCOMPARE(canvas->paintedRect(), painted);
            canvas->redo();
            QVERIFY(tilesAre(after));
        }
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
    }

    // A tile of a stroke whose backup cannot be made (its layer's tile has no
    // texture: it awaits the pixels of a load) is left as it was, without a
    // record; the tiles before and after it merge, undo and redo as ever.
    void strokeTileThatCannotBeBackedUp()
    {
        const QPointF outside(750, 250);
        auto *waiting = static_cast<MTextureTile *>(canvas->at(0)->addTile(outside));
        waiting->awaitPixels();
        const QVector<QPointF> at{cells[0], outside, cells[1]};
        QVector<MTextureTile *> targets;
        QVector<QByteArray> before(at.size());
        auto *stroke = new MCommandStroke(canvas->parts(), QStringLiteral("Brush stroke"), QRectF(), QRectF());
        for (int i = 0; i < at.size(); ++i) {
            targets << (at[i] == outside ? waiting : noisyTile(at[i], quint32(30 + i), before[i]));
            MTextureTile *source = tileOf(canvas->strokeLayer(), at[i]);
            const QRect area(source->rect().x() + 40, source->rect().y() + 60, 200, 100);
            QVERIFY(source->setData(withRect(QByteArray(source->byteSize(), '\0'), source, area, qRgba(0, 90, 0, 180)).constData()));
            stroke->addTile(0, targets[i], source, 1.0, false);
        }

        const MTestLogWatch log;
        canvas->history()->pushRecorded(stroke);
        QCOMPARE(canvas->undoStack()->count(), 1);
        QCOMPARE(log.count(QStringLiteral("Unable to back up the tile at 500, 0: \"Update tile\" is not recorded")), 1);
        QCOMPARE(stroke->tiles().size(), 2);
        QCOMPARE(stroke->tiles().at(0)->tileRect(), QRectF(targets[0]->rect()));
        QCOMPARE(stroke->tiles().at(1)->tileRect(), QRectF(targets[2]->rect()));
        QVERIFY(!waiting->isValid() && waiting->awaitingPixels());
        const QByteArray after0 = tileBytes(targets[0]), after2 = tileBytes(targets[2]);
        QVERIFY(after0 != before[0] && after2 != before[2]);
        // The two tiles' records before and after, none of the third's.
        QCoreApplication::processEvents();
        QCOMPARE(stream()->memorySize(), 4 * kWholeRecord);

        for (int round = 0; round < 2; ++round) {
            canvas->undo();
            QVERIFY(tileBytes(targets[0]) == before[0] && tileBytes(targets[2]) == before[2]);
            QVERIFY(!waiting->isValid());
            canvas->redo();
            QVERIFY(tileBytes(targets[0]) == after0 && tileBytes(targets[2]) == after2);
        }
    }

    void droppedCommandsReleaseTheirBackups_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("undo limit") << "limit";
        QTest::newRow("new command after undos") << "branch";
        QTest::newRow("history cleared") << "clear";
    }

    // A command the stack drops releases its backups: memory, spill files
    // and parked layers; those of the commands it keeps stay.
    void droppedCommandsReleaseTheirBackups()
    {
        QFETCH(QString, how);
        QUndoStack *stack = canvas->undoStack();
        stack->setUndoLimit(4);
        threeLayers();
        setLimit(0.0);
        canvas->makeCurrent();
        QStringList ids;        // of the two oldest commands
        push(new MCommandRemoveLayer(canvas->parts(), 2));
        ids << static_cast<const MCommandRemoveLayer *>(stack->command(0))->storedId();
        push(new MCommandFillTile(canvas->parts(), 0, tileOf(canvas->at(0), cells[0]), Qt::blue));
        const auto *fill = static_cast<const MCommandTile *>(stack->command(1));
        ids << fill->beforeId() << fill->afterId();
        for (int i = 1; i < 3; ++i)
            push(new MCommandFillTile(canvas->parts(), 0, tileOf(canvas->at(0), cells[i]), Qt::green));
        waitForWorkers(stream());
        for (const QString &id : qAsConst(ids)) {
            QCOMPARE(stream()->refCount(id), 1);
            QVERIFY(QFile::exists(MUndoStream::fileName(id)));
        }
        QStringList kept;
        if (how == QLatin1String("limit")) {
            push(new MCommandFillTile(canvas->parts(), 0, tileOf(canvas->at(0), cells[3]), Qt::red));
            push(new MCommandFillTile(canvas->parts(), 0, tileOf(canvas->at(0), cells[3]), Qt::red));
            QCOMPARE(stack->count(), 4);
            const auto *last = static_cast<const MCommandTile *>(stack->command(3));
            kept << last->beforeId() << last->afterId();
        } else if (how == QLatin1String("branch")) {
            // Back to just after the layer removal: the fills go with the new branch.
            for (int i = 0; i < 3; ++i)
                canvas->undo();
            kept << ids.takeFirst();
            push(MCommandInsertLayer::append(canvas->parts()));
            QCOMPARE(stack->count(), 2);
        } else {
            stack->clear();
        }
        waitForWorkers(stream());
        for (const QString &id : qAsConst(ids)) {
            QCOMPARE(stream()->refCount(id), 0);
            QVERIFY(!stream()->isInMemory(id));
            QVERIFY(!QFile::exists(MUndoStream::fileName(id)));
        }
        for (const QString &id : qAsConst(kept)) {
            QCOMPARE(stream()->refCount(id), 1);
            QVERIFY(QFile::exists(MUndoStream::fileName(id)) || stream()->isInMemory(id));
        }
    }

    void lostSpillFilesRestoreNothingWrong_data()
    {
        QTest::addColumn<QString>("loss");
        QTest::addColumn<bool>("jump");
        QTest::newRow("spill folder removed, undo after undo") << "folder" << false;
        QTest::newRow("spill files cut short, undo after undo") << "cut" << false;
        QTest::newRow("spill folder removed, history panel's first line") << "folder" << true;
    }

    // Sixty strokes, the older ones' records on disk, and then the spill files
    // are lost (a cleaner, a full disk): undoing all the way, one undo at a
    // time or in one jump, never shows a document the history did not hold at
    // that place. The first undo that needs a lost record changes nothing,
    // the painter is told once, the steps before it leave the history, and
    // those after it redo exactly; new strokes spill and undo again.
    void lostSpillFilesRestoreNothingWrong()
    {
        QFETCH(QString, loss);
        QFETCH(bool, jump);
        QSignalSpy told(canvas.get(), &MCanvas::messageForPainter);
        QUndoStack *stack = canvas->undoStack();
        QRandomGenerator random(3960);
        const QVector<QStringList> states = strokes(random, 60, 1.5);
        // The newest stroke with a record before it on disk: its undo is the
        // first that cannot be made.
        int lost = 0, inMemory = 0;
        for (int i = 0; i < stack->count(); ++i)
            for (int c = 0; c < stack->command(i)->childCount(); ++c) {
                const auto *command = static_cast<const MCommandTile *>(stack->command(i)->child(c));
                const bool kept = stream()->isInMemory(command->beforeId());
                lost = kept ? lost : i + 1;
                inMemory += kept ? 1 : 0;
            }
        QVERIFY2(lost > 20 && lost < 60, qPrintable(QString::number(lost)));
        QVERIFY(inMemory > 2);

        const QString cache = MUtility::cacheDirectory();
        if (loss == QLatin1String("folder")) {
            QVERIFY(QDir(cache).removeRecursively());
        } else {
            for (const QString &name : cacheFiles()) {
                QFile file(cache + name);
                QVERIFY(file.resize(file.size() / 2));
            }
        }

        const MTestLogWatch log;
        int refusedAt = -1;
        if (jump) {
            stack->setIndex(0);
            QCoreApplication::processEvents();
            refusedAt = 60 - stack->count();
        }
        while (stack->canUndo()) {
            const int index = stack->index();
            canvas->undo();
            QCoreApplication::processEvents();
            const QStringList now = documentState();
            if (now == states.at(index - 1) && stack->index() == index - 1)
                continue;
            // Refused: the document as it was, nothing left to undo.
            QVERIFY2(now == states.at(index), qPrintable(QStringLiteral("undo from %1, %2").arg(index).arg(
                                                  firstDifference(now, states.at(index)))));
            refusedAt = index;
            QVERIFY(!stack->canUndo());
        }
        QCOMPARE(refusedAt, lost);
        QCOMPARE(documentState(), states.at(lost));
        QCOMPARE(stack->index(), 0);
        QCOMPARE(stack->count(), 60 - refusedAt);
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().at(1).toString().contains(QStringLiteral("\"Brush stroke\" cannot be undone")),
                 qPrintable(told.first().at(1).toString()));
        QCOMPARE(log.count(QStringLiteral("System error: Undo history broken at \"Brush stroke\"")), 1);

        for (int index = refusedAt + 1; index <= 60; ++index) {
            canvas->redo();
            QVERIFY2(documentState() == states.at(index), qPrintable(QStringLiteral("redo to %1").arg(index)));
        }
        QVERIFY(!stack->canRedo());

        // The cache folder comes back for the records made from now on.
        for (int i = 0; i < 8; ++i)
            paintStroke(random);
        waitForWorkers(stream());
        QVERIFY(!cacheFiles().isEmpty());
        for (int i = 0; i < 8; ++i)
            canvas->undo();
        QCOMPARE(documentState(), states.at(60));
        QCOMPARE(told.size(), 1);
    }

    void removedLayerWithoutItsFileStaysRemoved_data()
    {
        QTest::addColumn<bool>("withTiles");
        QTest::newRow("alone") << false;
        QTest::newRow("in a step that also paints") << true;
    }

    // A removed layer whose parked file is gone does not come back empty: the
    // step changes nothing at all, its other parts included, the painter is
    // told, and the steps after it still redo.
    void removedLayerWithoutItsFileStaysRemoved()
    {
        QFETCH(bool, withTiles);
        QSignalSpy told(canvas.get(), &MCanvas::messageForPainter);
        QUndoStack *stack = canvas->undoStack();
        threeLayers();
        canvas->makeCurrent();
        canvas->beginMacro(QStringLiteral("Merge"));
        if (withTiles)
            push(new MCommandFillTile(canvas->parts(), 0, tileOf(canvas->at(0), cells[1]), Qt::yellow));
        auto *remove = push(new MCommandRemoveLayer(canvas->parts(), 1));
        canvas->endMacro();
        const QString parked = MUndoStream::fileName(remove->storedId());
        const QStringList removed = documentState();
        push(new MCommandFillTile(canvas->parts(), 0, tileOf(canvas->at(0), cells[0]), Qt::blue));
        const QStringList filled = documentState();
        QVERIFY(QFile::remove(parked));

        const MTestLogWatch log;
        canvas->undo();
        canvas->undo();
        QCoreApplication::processEvents();
        QCOMPARE(documentState(), removed);
        QCOMPARE(layerNames(), QStringList({"A", "C"}));
        QVERIFY(!stack->canUndo());
        QCOMPARE(stack->count(), 1);
        QCOMPARE(log.count(QStringLiteral("its parked file ") + parked + QStringLiteral(" is gone")), 1);
        QCOMPARE(told.size(), 1);
        QVERIFY(told.first().at(1).toString().contains(QStringLiteral("\"Merge\" cannot be undone")));
        canvas->redo();
        QCOMPARE(documentState(), filled);
    }

    // A record lost while its step waits to be redone: the redo changes
    // nothing, the steps after it leave the history, and those before it
    // still undo exactly.
    void lostRedoRecordCutsTheStepsAfterIt()
    {
        QSignalSpy told(canvas.get(), &MCanvas::messageForPainter);
        QUndoStack *stack = canvas->undoStack();
        QRandomGenerator random(3961);
        const QVector<QStringList> states = strokes(random, 5, 0.0);
        for (int i = 0; i < 3; ++i)
            canvas->undo();
        waitForWorkers(stream());
        QCOMPARE(documentState(), states.at(2));
        // The third stroke's records after it are gone.
        QList<const MCommandTile *> third;
        for (const MCommandTile *command : tileCommandsOn(stack))
            third << command;
        const QUndoCommand *step = stack->command(2);
        for (const MCommandTile *command : qAsConst(third)) {
            bool inStep = false;
            for (int i = 0; i < step->childCount(); ++i)
                inStep = inStep || step->child(i) == command;
            if (inStep)
                QVERIFY(QFile::remove(MUndoStream::fileName(command->afterId())));
        }

        canvas->redo();
        QCoreApplication::processEvents();
        QCOMPARE(documentState(), states.at(2));
        QCOMPARE(stack->count(), 2);
        QVERIFY(!stack->canRedo());
        QCOMPARE(told.size(), 1);
        QVERIFY(told.first().at(1).toString().contains(QStringLiteral("cannot be redone")));
        canvas->undo();
        QCOMPARE(documentState(), states.at(1));
        canvas->undo();
        QCOMPARE(documentState(), states.at(0));
        canvas->redo();
        canvas->redo();
        QCOMPARE(documentState(), states.at(2));
    }

    void historyBreakIsToldWithoutABox_data()
    {
        QTest::addColumn<bool>("undoing");
        QTest::addColumn<QString>("said");
        QTest::newRow("undo of a removed layer whose file is gone") << true
                                                                    << "\"Remove layer\" cannot be undone";
        QTest::newRow("redo of a fill whose record is gone") << false << "\"Fill tile with color\" cannot be redone";
    }

    // A step that cannot be restored breaks the history. The document opens
    // no message box: it sends the painter's message, once, when control is
    // back in the event loop, for its window to show; trying again says
    // nothing more.
    void historyBreakIsToldWithoutABox()
    {
        QFETCH(bool, undoing);
        QFETCH(QString, said);
        MTestDialogScript dialogs;
        QSignalSpy told(canvas.get(), &MCanvas::messageForPainter);
        threeLayers();
        canvas->makeCurrent();
        const auto step = [this, undoing] { undoing ? canvas->undo() : canvas->redo(); };
        if (undoing) {
            auto *remove = push(new MCommandRemoveLayer(canvas->parts(), 1));
            QVERIFY(QFile::remove(MUndoStream::fileName(remove->storedId())));
        } else {
            setLimit(0.0);
            auto *fill = push(new MCommandFillTile(canvas->parts(), 0, tileOf(canvas->at(0), cells[0]), Qt::yellow));
            waitForWorkers(stream());
            canvas->undo();
            QVERIFY(QFile::remove(MUndoStream::fileName(fill->afterId())));
        }
        const QStringList before = documentState();
        step();
        QCOMPARE(documentState(), before);
        QCOMPARE(told.size(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(told.size(), 1);
        QCOMPARE(told.first().at(0).toString(), QStringLiteral("Undo history"));
        QVERIFY2(told.first().at(1).toString().contains(said), qPrintable(told.first().at(1).toString()));
        step();
        QCoreApplication::processEvents();
        QCOMPARE(documentState(), before);
        QCOMPARE(told.size(), 1);
        QCOMPARE(dialogs.requests().size(), 0);
    }

    // Several hundred seeded edits, undos and redos: every undo and redo
    // gives back the document recorded at that place in the history, and the
    // same run with its backups spilled to files gives the same documents.
    void randomSequence()
    {
        const int steps = 300;
        QVector<QStringList> inMemory, spilled;
        int spilledInMemoryRun = 0, spilledSpillRun = 0;
        runSequence(77, steps, inMemory, spilledInMemoryRun);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(spilledInMemoryRun, 0);
        canvas->undoStack()->clear();
        waitForWorkers(stream());

        setLimit(0.05);
        runSequence(77, steps, spilled, spilledSpillRun);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(spilledSpillRun > 0);
        QCOMPARE(spilled.size(), inMemory.size());
        for (int i = 0; i < steps; ++i)
            QVERIFY2(spilled[i] == inMemory[i],
                     qPrintable(QStringLiteral("step %1, %2").arg(i).arg(firstDifference(spilled[i], inMemory[i]))));
    }
};

QTEST_MAIN(TestMCommand)
#include "tst_mcommand.moc"
