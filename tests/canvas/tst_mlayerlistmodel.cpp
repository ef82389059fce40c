#include "mcanvas.h"
#include "mlayerlistmodel.h"
#include "mlayerstack.h"
#include "mshaderlist.h"
#include "mtestcanvas.h"
#include "mtestglcontext.h"
#include "mtestitem.h"

#include <QAbstractItemModel>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QUndoStack>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(std::function<void(MCanvas *)>)

namespace {
using Edit = std::function<void(MCanvas *)>;

QAbstractItemModel *layerModel(MCanvas *canvas)
{
    return canvas->layerModel();
}

// What a view attached to the layer list hears, in order: rows, resets,
// data changes (roles by property name), the current row and the count.
class ModelLog : public QObject
{
public:
    explicit ModelLog(QAbstractItemModel *model)
        : m_model(model)
        , m_log(new MTestSignalLog(model))
    {
        connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_log->entries.append("modelAboutToBeReset"); });
        connect(model, &QAbstractItemModel::modelReset, this, [this] { m_log->entries.append("modelReset"); });
    }

    ~ModelLog() override { delete m_log; }

    QStringList take()
    {
        QStringList entries = m_log->take();
        const QHash<int, QByteArray> names = m_model->roleNames();
        static const QRegularExpression dataChanged(QStringLiteral("^(dataChanged \\d+ \\d+ )\\[(\\d+)\\]$"));
        for (QString &entry : entries) {
            const QRegularExpressionMatch match = dataChanged.match(entry);
            if (match.hasMatch())
                entry = match.captured(1) + QString::fromUtf8(names.value(match.captured(2).toInt()));
        }
        return entries;
    }

private:
    QAbstractItemModel *m_model;
    MTestSignalLog *m_log;
};
} // namespace

class TestMLayerListModel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = MTestCanvas::createDocument(QSize(300, 200));
        QVERIFY(canvas);
    }

    void cleanupTestCase()
    {
        canvas.reset();
        MShaderList::destroyInstance();
    }

    // The stack deletes what it removes or clears and nothing else: a layer
    // taken out is the caller's, and one inserted twice is held once.
    void stackOwnsItsLayers()
    {
        auto stack = std::make_unique<MLayerStack>();
        QPointer<MTextureLayer> kept = new MTextureLayer;
        QPointer<MTextureLayer> removed = new MTextureLayer;
        QPointer<MTextureLayer> cleared = new MTextureLayer;
        stack->insertAt(0, kept);
        stack->insertAt(0, kept);
        QCOMPARE(stack->count(), 1);
        stack->insertAt(1, removed);
        stack->insertAt(5, cleared);
        QCOMPARE(stack->indexOf(cleared), 2);
        QCOMPARE(stack->currentRow(), 2);
        std::unique_ptr<MTextureLayer> taken(stack->takeAt(0));
        QCOMPARE(taken.get(), kept.data());
        stack->removeAt(0);
        QVERIFY(!removed);
        QCOMPARE(stack->current(), cleared.data());
        stack->clear();
        QVERIFY(!cleared);
        QVERIFY(kept);
        QCOMPARE(stack->count(), 0);
        QCOMPARE(stack->currentRow(), -1);
    }

    // Three layers, the last current; each edit is heard exactly as views
    // have always heard the layer list.
    void editsAreAnnounced_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("insert in the middle")
            << Edit([](MCanvas *c) { c->insertAt(1, c->createLayer()); })
            << QStringList{"rowsAboutToBeInserted 1 1", "rowsInserted 1 1", "currentRowChanged 1", "countChanged 4"};
        QTest::newRow("append layer")
            << Edit([](MCanvas *c) { c->appendLayer(); })
            << QStringList{"rowsAboutToBeInserted 3 3", "rowsInserted 3 3", "currentRowChanged 3", "countChanged 4", "dataChanged 3 0 name"};
        QTest::newRow("prepend layer")
            << Edit([](MCanvas *c) { c->prependLayer(); })
            << QStringList{"rowsAboutToBeInserted 0 0", "rowsInserted 0 0", "currentRowChanged 0", "countChanged 4", "dataChanged 0 0 name"};
        QTest::newRow("remove the current row")
            << Edit([](MCanvas *c) { c->removeLayer(2); })
            << QStringList{"rowsAboutToBeRemoved 2 2", "rowsRemoved 2 2", "currentRowChanged -1", "currentRowChanged 1", "countChanged 2"};
        QTest::newRow("remove below the current row")
            << Edit([](MCanvas *c) { c->removeAt(0); })
            << QStringList{"rowsAboutToBeRemoved 0 0", "rowsRemoved 0 0", "currentRowChanged -1", "currentRowChanged 1", "countChanged 2"};
        QTest::newRow("take out")
            << Edit([](MCanvas *c) { delete c->takeAt(1); })
            << QStringList{"rowsAboutToBeRemoved 1 1", "rowsRemoved 1 1", "currentRowChanged -1", "currentRowChanged 1", "countChanged 2"};
        QTest::newRow("move up")
            << Edit([](MCanvas *c) { c->moveUpLayer(0); })
            << QStringList{"rowsMoved 1 0", "currentRowChanged 0", "currentRowChanged 1"};
        QTest::newRow("move down")
            << Edit([](MCanvas *c) { c->moveDownLayer(2); })
            << QStringList{"rowsMoved 2 1", "currentRowChanged 1"};
        QTest::newRow("move past the top")
            << Edit([](MCanvas *c) { c->moveUp(0); })
            << QStringList{};
        QTest::newRow("move undone")
            << Edit([](MCanvas *c) {
                   c->moveUpLayer(1);
                   c->undo();
               })
            << QStringList{"rowsMoved 2 1", "currentRowChanged 1", "currentRowChanged 2", "rowsMoved 2 1", "currentRowChanged 1"};
        QTest::newRow("clear")
            << Edit([](MCanvas *c) { c->clear(); })
            << QStringList{"rowsAboutToBeRemoved 0 2", "rowsRemoved 0 2", "currentRowChanged -1", "countChanged 0"};
        QTest::newRow("remove every layer")
            << Edit([](MCanvas *c) { c->removeLayers(); })
            << QStringList{"modelAboutToBeReset", "modelReset", "currentRowChanged -1"};
        QTest::newRow("visibility")
            << Edit([](MCanvas *c) { c->at(1)->setVisible(false); })
            << QStringList{"dataChanged 1 0 visible"};
        QTest::newRow("name and opacity")
            << Edit([](MCanvas *c) {
                   c->at(0)->setName(QStringLiteral("ground"));
                   c->at(2)->setOpacity(0.5);
               })
            << QStringList{"dataChanged 0 0 name", "dataChanged 2 0 opacity"};
        QTest::newRow("property set through the model")
            << Edit([](MCanvas *c) {
                   QAbstractItemModel *model = layerModel(c);
                   const int role = model->roleNames().key("locked");
                   model->setData(model->index(1, 0), true, role);
               })
            << QStringList{"dataChanged 1 0 locked"};
        QTest::newRow("current row")
            << Edit([](MCanvas *c) { c->setCurrentRow(0); })
            << QStringList{"currentRowChanged 0"};
        QTest::newRow("current row out of range")
            << Edit([](MCanvas *c) { c->setCurrentRow(7); })
            << QStringList{"currentRowChanged -1"};
        QTest::newRow("next layer wraps")
            << Edit([](MCanvas *c) { c->nextLayer(); })
            << QStringList{"currentRowChanged 0"};
    }

    void editsAreAnnounced()
    {
        QFETCH(Edit, edit);
        QFETCH(QStringList, expected);
        canvas->reset();
        canvas->appendLayer();
        canvas->appendLayer();
        canvas->undoStack()->clear();
        QCOMPARE(canvas->count(), 3);
        QCOMPARE(canvas->currentRow(), 2);
        ModelLog log(layerModel(canvas.get()));
        edit(canvas.get());
        const QStringList heard = log.take();
        QCOMPARE(heard, expected);
        // What the model says afterwards is what the document holds.
        QAbstractItemModel *model = layerModel(canvas.get());
        const int nameRole = model->roleNames().key("name");
        QCOMPARE(model->rowCount(), canvas->count());
        for (int row = 0; row < canvas->count(); ++row)
            QCOMPARE(model->data(model->index(row, 0), nameRole).toString(), canvas->at(row)->name());
    }
};

QTEST_MAIN(TestMLayerListModel)
#include "tst_mlayerlistmodel.moc"
