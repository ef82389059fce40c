#include "dgrabwidget.h"

#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {
class MTestToolBar : public QToolBar
{
    Q_OBJECT
public:
    using QToolBar::QToolBar;
};

const QRgb red = qRgb(255, 0, 0);
const QRgb green = qRgb(0, 255, 0);
const QRgb border = QColor(Qt::darkGray).rgb();
} // namespace

// The square is driven by the events a real pointer sends; they are sent
// straight to it here, so no test moves the shared display's pointer.
class TestDGrabWidget : public QObject
{
    Q_OBJECT

private:
    QMainWindow m_window;
    QToolBar *m_toolBar = nullptr;
    QToolBar *m_ownToolBar = nullptr;
    QDockWidget *m_dock = nullptr;

    static void sendMouse(DGrabWidget &square, QEvent::Type type, const QPoint &global,
                          Qt::MouseButton button = Qt::NoButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
        QMouseEvent event(type, square.mapFromGlobal(global), global, button, held, Qt::NoModifier);
        QApplication::sendEvent(&square, &event);
    }

    static void activateEvent(DGrabWidget &square)
    {
        QEvent event(QEvent::WindowActivate);
        QApplication::sendEvent(&square, &event);
    }

    static bool holds(const DGrabWidget &square)
    {
        return QWidget::mouseGrabber() == &square && square.cursor().shape() == Qt::CrossCursor
            && square.hasMouseTracking();
    }

    static bool lets(const DGrabWidget &square)
    {
        return QWidget::mouseGrabber() != &square && square.cursor().shape() == Qt::ArrowCursor
            && !square.hasMouseTracking() && !square.isVisible();
    }

    // The fill at the centre and the border at the four corners.
    static QString look(DGrabWidget &square)
    {
        const QImage image = square.grab().toImage();
        if (image.size() != QSize(50, 50))
            return QStringLiteral("size %1 x %2").arg(image.width()).arg(image.height());
        for (const QPoint corner : {QPoint(0, 0), QPoint(49, 0), QPoint(0, 49), QPoint(49, 49)})
            if (image.pixel(corner) != border)
                return QStringLiteral("no border at %1, %2").arg(corner.x()).arg(corner.y());
        if (image.pixel(1, 1) != image.pixel(25, 25) || image.pixel(48, 48) != image.pixel(25, 25))
            return QStringLiteral("border thicker than a pixel");
        const QRgb fill = image.pixel(25, 25);
        return fill == red ? QStringLiteral("red") : fill == green ? QStringLiteral("green") : QStringLiteral("other");
    }

    // A global point over each kind of place, and the widget found there
    // (none over the desktop).
    QPair<QPoint, QWidget *> place(const QString &name)
    {
        QWidget *widget = nullptr;
        QPoint local;
        if (name == QLatin1String("tool bar")) {
            widget = m_toolBar;
            local = QPoint(m_toolBar->width() - 10, m_toolBar->height() / 2);
        } else if (name == QLatin1String("derived tool bar")) {
            widget = m_ownToolBar;
            local = QPoint(m_ownToolBar->width() - 10, m_ownToolBar->height() / 2);
        } else if (name == QLatin1String("menu bar")) {
            widget = m_window.menuBar();
            local = QPoint(m_window.menuBar()->width() - 10, m_window.menuBar()->height() / 2);
        } else if (name == QLatin1String("dock")) {
            widget = m_dock->widget();
            local = widget->rect().center();
        } else if (name == QLatin1String("canvas")) {
            widget = m_window.centralWidget();
            local = widget->rect().center();
        } else {
            return {m_window.geometry().bottomRight() + QPoint(100, 100), nullptr};
        }
        return {widget->mapToGlobal(local), widget};
    }

    QPoint point(const QString &name) { return place(name).first; }

private slots:
    void initTestCase()
    {
        m_window.setGeometry(40, 40, 700, 480);
        m_window.menuBar()->addMenu(QStringLiteral("File"));
        m_toolBar = m_window.addToolBar(QStringLiteral("Tools"));
        m_toolBar->addAction(QStringLiteral("Brush"));
        m_toolBar->setMinimumWidth(240);
        m_ownToolBar = new MTestToolBar(QStringLiteral("Own"), &m_window);
        m_ownToolBar->setMinimumWidth(240);
        m_window.addToolBar(Qt::BottomToolBarArea, m_ownToolBar);
        m_dock = new QDockWidget(QStringLiteral("Colors"), &m_window);
        m_dock->setWidget(new QLabel(QStringLiteral("swatches")));
        m_window.addDockWidget(Qt::RightDockWidgetArea, m_dock);
        m_window.setCentralWidget(new QLabel(QStringLiteral("canvas")));
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }

    void cleanup()
    {
        if (QWidget *grabber = QWidget::mouseGrabber())
            grabber->releaseMouse();
    }

    void construction()
    {
        DGrabWidget square(&m_window);
        QVERIFY(!square.isVisible());
        QCOMPARE(square.objectName(), QStringLiteral("DGrabWidget"));
        QCOMPARE(square.windowTitle(), QStringLiteral("Dialog"));
        QVERIFY(square.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(square.isWindow());
        QCOMPARE(square.size(), QSize(50, 50));
        QCOMPARE(square.minimumSize(), QSize(50, 50));
        QCOMPARE(square.maximumSize(), QSize(50, 50));
        QCOMPARE(look(square), QStringLiteral("red"));
    }

    void activateShowsBesideTheCursor()
    {
        DGrabWidget square(&m_window);
        const QPoint cursor = QCursor::pos();
        square.activate();
        QVERIFY(square.isVisible());
        QCOMPARE(square.pos(), cursor + QPoint(10, 10));
        QCOMPARE(square.size(), QSize(50, 50));
        QVERIFY(!holds(square));
        activateEvent(square);
        QVERIFY(holds(square));
        sendMouse(square, QEvent::MouseButtonRelease, cursor, Qt::LeftButton);
        QVERIFY(lets(square));

        // Each activation holds the mouse anew.
        square.activate();
        activateEvent(square);
        QVERIFY(holds(square));
        sendMouse(square, QEvent::MouseButtonRelease, cursor, Qt::LeftButton);
        QVERIFY(lets(square));
    }

    void colourFollowsEveryMove_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QStringList>("colours");
        QTest::newRow("tool bar") << QStringList{"tool bar"} << QStringList{"green"};
        QTest::newRow("derived tool bar") << QStringList{"derived tool bar"} << QStringList{"green"};
        QTest::newRow("menu bar") << QStringList{"menu bar"} << QStringList{"red"};
        QTest::newRow("dock") << QStringList{"dock"} << QStringList{"red"};
        QTest::newRow("canvas") << QStringList{"canvas"} << QStringList{"red"};
        QTest::newRow("desktop") << QStringList{"desktop"} << QStringList{"red"};
        QTest::newRow("on and off tool bars")
            << QStringList{"tool bar", "menu bar", "derived tool bar", "dock", "tool bar", "desktop"}
            << QStringList{"green", "red", "green", "red", "green", "red"};
    }

    void colourFollowsEveryMove()
    {
        QFETCH(QStringList, path);
        QFETCH(QStringList, colours);

        DGrabWidget square(&m_window);
        square.activate();
        activateEvent(square);
        for (int i = 0; i < path.size(); ++i) {
            const QPoint global = point(path.at(i));
            QCOMPARE(QApplication::widgetAt(global), place(path.at(i)).second);
            sendMouse(square, QEvent::MouseMove, global);
            QCOMPARE(square.pos(), global + QPoint(10, 10));
            QCOMPARE(square.size(), QSize(50, 50));
            QCOMPARE(look(square), colours.at(i));
            QVERIFY(holds(square));
        }
        sendMouse(square, QEvent::MouseButtonRelease, point(path.last()), Qt::LeftButton);
        QVERIFY(lets(square));
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ends");
        QTest::newRow("escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("return") << int(Qt::Key_Return) << false;
        QTest::newRow("enter") << int(Qt::Key_Enter) << false;
        QTest::newRow("space") << int(Qt::Key_Space) << false;
        QTest::newRow("letter") << int(Qt::Key_A) << false;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(bool, ends);

        DGrabWidget square(&m_window);
        square.activate();
        activateEvent(square);
        QTest::keyClick(&square, Qt::Key(key));
        if (ends) {
            QVERIFY(lets(square));
        } else {
            QVERIFY(square.isVisible());
            QVERIFY(holds(square));
            QTest::keyClick(&square, Qt::Key_Escape);
            QVERIFY(lets(square));
        }
    }

    void modalRun_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("release") << "release";
        QTest::newRow("escape") << "escape";
    }

    // Run as the help editor runs it: a held button does not end the loop,
    // the release does wherever it happens, and so does Escape.
    void modalRun()
    {
        QFETCH(QString, end);

        DGrabWidget square;
        const QPoint far = point(QStringLiteral("desktop"));
        bool stayedOpen = false;
        QTimer::singleShot(0, &square, [&] {
            activateEvent(square);
            sendMouse(square, QEvent::MouseButtonPress, far, Qt::LeftButton);
            sendMouse(square, QEvent::MouseMove, point(QStringLiteral("tool bar")));
            QTest::keyClick(&square, Qt::Key_Return);
            stayedOpen = square.isVisible() && holds(square);
            if (end == QLatin1String("escape"))
                QTest::keyClick(&square, Qt::Key_Escape);
            else
                sendMouse(square, QEvent::MouseButtonRelease, far, Qt::LeftButton);
            if (square.isVisible())
                square.done(99);
        });
        const int result = square.exec();
        QVERIFY(stayedOpen);
        QVERIFY(result != 99);
        QVERIFY(lets(square));
    }
};

QTEST_MAIN(TestDGrabWidget)
#include "tst_dgrabwidget.moc"
