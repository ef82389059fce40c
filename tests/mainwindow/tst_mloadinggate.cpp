#include "mcanvas.h"
#include "mloadinggate.h"
#include "mtestcanvas.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtexturetile.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <functional>
#include <memory>

// While a document's tiles come in, the painter's pointer moves and wheel go
// through at once; a press, a key or a drop first waits for the last tile.
class TestMLoadingGate : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    std::unique_ptr<MTestFolder> folder;
    QString path;

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
    }

    void cleanupTestCase() { canvas.reset(); }

    void inputWhileLoading_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("waits");
        QTest::newRow("pointer move") << int(QEvent::MouseMove) << false;
        QTest::newRow("wheel") << int(QEvent::Wheel) << false;
        QTest::newRow("press") << int(QEvent::MouseButtonPress) << true;
        QTest::newRow("double click") << int(QEvent::MouseButtonDblClick) << true;
        QTest::newRow("key") << int(QEvent::KeyPress) << true;
        QTest::newRow("shortcut check") << int(QEvent::ShortcutOverride) << true;
    }

    void inputWhileLoading()
    {
        QFETCH(int, type);
        QFETCH(bool, waits);
        QWidget target;
        target.resize(200, 200);
        QVERIFY(canvas->startLoading(path));
        QVERIFY(canvas->isLoading());
        MLoadingGate gate(canvas.get());
        const QPointF at(50, 50);
        const auto eventType = QEvent::Type(type);
        std::unique_ptr<QEvent> event;
        if (eventType == QEvent::Wheel)
            event.reset(new QWheelEvent(at, at, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                                        Qt::NoScrollPhase, false));
        else if (eventType == QEvent::KeyPress || eventType == QEvent::ShortcutOverride)
            event.reset(new QKeyEvent(eventType, Qt::Key_S, Qt::ControlModifier));
        else
            event.reset(new QMouseEvent(eventType, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QApplication::sendEvent(&target, event.get());
        QCOMPARE(canvas->isLoading(), !waits);
        QVERIFY(canvas->finishLoading());
    }
};

QTEST_MAIN(TestMLoadingGate)
#include "tst_mloadinggate.moc"
