#include "mcanvas.h"
#include "mloadinggate.h"
#include "mtestcanvas.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtexturetile.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QShortcutEvent>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <atomic>
#include <climits>
#include <functional>
#include <memory>

namespace {

// Writes down the input it gets, by kind.
class Recorder : public QWidget
{
public:
    QStringList got;

protected:
    void mousePressEvent(QMouseEvent *) override { got << QStringLiteral("press"); }
    void mouseMoveEvent(QMouseEvent *) override { got << QStringLiteral("move"); }
    void mouseReleaseEvent(QMouseEvent *) override { got << QStringLiteral("release"); }
    void keyPressEvent(QKeyEvent *event) override { got << QStringLiteral("key ") + event->text(); }
    void wheelEvent(QWheelEvent *) override { got << QStringLiteral("wheel"); }
};

void send(QWidget *target, QEvent::Type type, const QPointF &at = QPointF(50, 50))
{
    if (type == QEvent::KeyPress) {
        QKeyEvent event(type, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(target, &event);
    } else if (type == QEvent::Wheel) {
        QWheelEvent event(at, target->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    } else {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, target->mapToGlobal(at.toPoint()), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

void shortcut(QAction *action)
{
    QShortcutEvent event(action->shortcut(), 0);
    QApplication::sendEvent(action, &event);
}

} // namespace

// While a document's tiles come in the painter's input goes through at once;
// only while a command waits for the last tiles is input to the window held,
// then given back in the order it came, or dropped with a load given up.
class TestMLoadingGate : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    std::unique_ptr<MTestFolder> folder;
    QString path;
    // Tiles at or past this place in the load's order are not read yet.
    std::atomic<int> readable{INT_MAX};
    std::unique_ptr<QMainWindow> window;
    Recorder *target = nullptr;
    QAction *undo = nullptr;
    QAction *quit = nullptr;
    QStringList triggered;

    // Opens the fixture with its reads held after the first few tiles.
    bool startHeldLoad()
    {
        readable = 4;
        return canvas->startLoading(path) && canvas->isLoading();
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = MTestCanvas::createDocument(QSize(3000, 2000));
        QVERIFY(canvas);
        canvas->makeCurrent();
        canvas->appendLayer();
        // Two full layers: more tiles than load at once.
        for (int row = 0; row < 2; ++row)
            MTestCanvas::paintRect(canvas->at(row), canvas->paintedRect().toRect(), qRgba(20, 40 * row, 60, 255));
        folder.reset(new MTestFolder());
        path = folder->filePath(QStringLiteral("gate.kxd"));
        QVERIFY(canvas->saveToFile(path));
        // A test that never lets the reads go on fails, rather than hangs, once
        // a minute has passed.
        auto since = std::make_shared<QElapsedTimer>();
        since->start();
        canvas->setLoadingReadHold([this, since](int index) { return index < readable || since->elapsed() > 60000; });
    }

    void init()
    {
        window.reset(new QMainWindow());
        target = new Recorder();
        target->resize(200, 200);
        window->setCentralWidget(target);
        // Commands belong to the window, as the window's form makes them.
        undo = new QAction(QStringLiteral("Undo"), window.get());
        quit = new QAction(QStringLiteral("Quit"), window.get());
        window->menuBar()->addMenu(QStringLiteral("Edit"))->addAction(undo);
        window->menuBar()->addMenu(QStringLiteral("File"))->addAction(quit);
        triggered.clear();
        connect(undo, &QAction::triggered, this, [this] { triggered << QStringLiteral("undo"); });
        connect(quit, &QAction::triggered, this, [this] { triggered << QStringLiteral("quit"); });
        auto *gate = new MLoadingGate(canvas->storage(), window.get());
        gate->letThrough(quit);
        window->resize(300, 300);
    }

    void cleanup()
    {
        canvas->cancelLoading();
        window.reset();
    }

    void cleanupTestCase() { canvas.reset(); }

    // Nothing waits: press, keys and commands act at once and leave the tiles coming.
    void inputGoesThroughWhileLoading_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("got");
        QTest::newRow("press") << int(QEvent::MouseButtonPress) << QStringLiteral("press");
        QTest::newRow("pointer move") << int(QEvent::MouseMove) << QStringLiteral("move");
        QTest::newRow("key") << int(QEvent::KeyPress) << QStringLiteral("key a");
        QTest::newRow("wheel") << int(QEvent::Wheel) << QStringLiteral("wheel");
    }

    void inputGoesThroughWhileLoading()
    {
        QFETCH(int, type);
        QFETCH(QString, got);
        QVERIFY(startHeldLoad());
        send(target, QEvent::Type(type));
        shortcut(undo);
        QCOMPARE(target->got, QStringList{got});
        QCOMPARE(triggered, QStringList{QStringLiteral("undo")});
        QVERIFY(canvas->isLoading());
    }

    // A command waits for the last tiles: what the painter does meanwhile
    // comes after it, in order, while the commands let through and the
    // menus act at once, and the window says that it waits.
    void heldWhileACommandWaitsThenGivenBackInOrder()
    {
        QVERIFY(startHeldLoad());
        bool checked = false;
        QTimer::singleShot(0, this, [&] {
            send(target, QEvent::MouseButtonPress);
            send(target, QEvent::MouseMove, QPointF(60, 60));
            shortcut(undo);
            send(target, QEvent::MouseButtonRelease, QPointF(60, 60));
            send(target, QEvent::KeyPress);
            send(target, QEvent::Wheel);
            shortcut(quit);
            QCOMPARE(target->got, QStringList{QStringLiteral("wheel")});
            QCOMPARE(triggered, QStringList{QStringLiteral("quit")});
            QCOMPARE(window->statusBar()->currentMessage(),
                     QStringLiteral("Waiting for the document to finish loading..."));
            QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor);
            checked = true;
            readable = INT_MAX;
        });
        QVERIFY(canvas->finishLoading());
        QVERIFY(checked);
        QVERIFY(!canvas->isLoading());
        QTRY_COMPARE(triggered, (QStringList{QStringLiteral("quit"), QStringLiteral("undo")}));
        QCOMPARE(target->got, (QStringList{QStringLiteral("wheel"), QStringLiteral("press"), QStringLiteral("move"),
                                           QStringLiteral("release"), QStringLiteral("key a")}));
        QVERIFY(window->statusBar()->currentMessage().isEmpty());
        QVERIFY(!QApplication::overrideCursor());
        // Input after it goes through at once again.
        send(target, QEvent::KeyPress);
        QCOMPARE(target->got.last(), QStringLiteral("key a"));
        QCOMPARE(target->got.size(), 6);
    }

    // A load given up while a command waits (a close, another document):
    // the command is told, and the input meant for that document is dropped.
    void droppedWhenTheLoadIsGivenUp()
    {
        QVERIFY(startHeldLoad());
        QTimer::singleShot(0, this, [&] {
            send(target, QEvent::MouseButtonPress);
            shortcut(undo);
            send(target, QEvent::MouseButtonRelease);
            canvas->cancelLoading();
        });
        QVERIFY(!canvas->finishLoading());
        QVERIFY(!canvas->isLoading());
        QTest::qWait(50);
        QVERIFY(target->got.isEmpty());
        QVERIFY(triggered.isEmpty());
        send(target, QEvent::MouseButtonPress);
        QCOMPARE(target->got, QStringList{QStringLiteral("press")});
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestMLoadingGate)
#include "tst_mloadinggate.moc"
