#include "mlistpanel.h"
#include "mlistpaneldelegate.h"
#include "mlistwidget.h"
#include "mtablemodel.h"
#include "mtestitem.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {
class TestModel : public MTableModel
{
public:
    explicit TestModel(int rows)
    {
        setMetaObject(MTestItem::staticMetaObject);
        for (int row = 0; row < rows; ++row)
            append(new MTestItem(QString::number(row), QString::number(row)));
        setCurrentRow(-1);
    }
    QObject *createItem() override { return new MTestItem; }
};

// Records the rows it is asked to paint: "row:top" with "*" for the current one.
class RecordingDelegate : public MListPanelDelegate
{
public:
    QStringList rows;
    QList<QRectF> rects;
    MTableModel *model = nullptr;

    void paint(QPainter *painter, QObject *item, const QRectF &rect, bool current) override
    {
        painter->fillRect(rect, Qt::blue);
        rows << QStringLiteral("%1:%2%3").arg(model->indexOf(item)).arg(rect.top()).arg(current ? "*" : "");
        rects << rect;
    }
};

// A shown list widget of rows 25 high (pitch 28) in a panel 150 high.
struct Fixture
{
    explicit Fixture(int rows) : model(rows)
    {
        delegate.model = &model;
        list.setDelegate(&delegate);
        list.setSourceModel(&model);
        list.resize(200, 150);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
    }
    MListPanel *panel() const { return list.panel(); }

    TestModel model;
    RecordingDelegate delegate;
    MListWidget list;
};

void wheel(QWidget *widget, int delta)
{
    QWheelEvent event(QPointF(10, 10), QPointF(widget->mapToGlobal(QPoint(10, 10))), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}
} // namespace

// The list panel's own scroll arithmetic: content height, the offset kept
// within it by keys, wheel and scroll bar, rows painted from the offset
// down, rows chosen by the mouse and the current row brought into view.
class TestListWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<MTableModel *>(); }

    void emptyModel()
    {
        Fixture fixture(0);
        QCOMPARE(fixture.panel()->height(), 150);
        QCOMPARE(fixture.list.scrollBar()->minimum(), 0);
        QCOMPARE(fixture.list.scrollBar()->maximum(), 0);
        const QImage image = fixture.panel()->grab().toImage();
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), QColor(Qt::white));
        QVERIFY(fixture.delegate.rows.isEmpty());
        QTest::keyClick(fixture.panel(), Qt::Key_PageDown);
        QCOMPARE(fixture.panel()->firstY(), 0);
    }

    void geometry()
    {
        Fixture fixture(20);
        // The rows take the panel's width; the scroll bar sits 3 pixels beside it.
        QCOMPARE(fixture.list.itemWidth(), double(fixture.panel()->width()));
        QCOMPARE(fixture.panel()->width() + 3 + fixture.list.scrollBar()->width(), 200);
        // 20 rows of 28 and 20 below: 580, of which 150 are shown.
        QCOMPARE(fixture.list.contentHeight(), 580.0);
        QCOMPARE(fixture.list.scrollBar()->maximum(), 430);
        QCOMPARE(fixture.list.scrollBar()->pageStep(), 125);

        fixture.list.resize(300, 400);
        QTRY_COMPARE(fixture.panel()->height(), 400);
        QCOMPARE(fixture.list.itemWidth(), double(fixture.panel()->width()));
        QCOMPARE(fixture.list.scrollBar()->maximum(), 180);
        QCOMPARE(fixture.list.scrollBar()->pageStep(), 375);

        // More rows, more to scroll.
        fixture.model.append(new MTestItem(QStringLiteral("x"), QStringLiteral("x")));
        QCOMPARE(fixture.list.scrollBar()->maximum(), 208);
    }

    void scrolling_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("firstY");

        QTest::newRow("down a row") << 20 << 0 << "Down" << 28;
        QTest::newRow("up a row") << 20 << 100 << "Up" << 72;
        QTest::newRow("up past the top") << 20 << 10 << "Up" << 0;
        QTest::newRow("page down") << 20 << 0 << "PageDown" << 50;
        QTest::newRow("page down past the end") << 20 << 400 << "PageDown" << 430;
        QTest::newRow("page up") << 20 << 400 << "PageUp" << 350;
        QTest::newRow("wheel towards the user") << 20 << 0 << "wheel -120" << 50;
        QTest::newRow("wheel away") << 20 << 100 << "wheel 120" << 50;
        QTest::newRow("sideways wheel") << 20 << 100 << "wheel 0" << 100;
        QTest::newRow("other key") << 20 << 100 << "Home" << 100;
        QTest::newRow("short content, key") << 3 << 0 << "PageDown" << 0;
        QTest::newRow("short content, wheel") << 3 << 0 << "wheel -120" << 0;
        QTest::newRow("short content, down") << 3 << 0 << "Down" << 0;
    }

    void scrolling()
    {
        QFETCH(int, rows);
        QFETCH(int, from);
        QFETCH(QString, input);
        QFETCH(int, firstY);

        Fixture fixture(rows);
        fixture.list.scrollBar()->setValue(from);
        QCOMPARE(fixture.panel()->firstY(), from);
        QSignalSpy changes(fixture.panel(), &MListPanel::firstYChanged);

        if (input.startsWith(QLatin1String("wheel"))) {
            wheel(fixture.panel(), input.section(QLatin1Char(' '), 1).toInt());
        } else {
            const QHash<QString, Qt::Key> keys{{"Up", Qt::Key_Up},
                                               {"Down", Qt::Key_Down},
                                               {"PageUp", Qt::Key_PageUp},
                                               {"PageDown", Qt::Key_PageDown},
                                               {"Home", Qt::Key_Home}};
            QTest::keyClick(fixture.panel(), keys.value(input));
        }
        QCOMPARE(fixture.panel()->firstY(), firstY);
        QCOMPARE(fixture.list.scrollBar()->value(), firstY);
        QCOMPARE(changes.count(), firstY == from ? 0 : 1);
    }

    void painting_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("firstY");
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("painted");

        // Pitch 28, panel 150: the row starting below 150 is the last painted.
        QTest::newRow("from the top")
            << 20 << 0 << 1 << QStringList{"0:0", "1:28*", "2:56", "3:84", "4:112", "5:140", "6:168"};
        QTest::newRow("scrolled into a row")
            << 20 << 40 << -1 << QStringList{"1:-12", "2:16", "3:44", "4:72", "5:100", "6:128", "7:156"};
        QTest::newRow("scrolled to the end")
            << 20 << 430 << 19 << QStringList{"15:-10", "16:18", "17:46", "18:74", "19:102*"};
        QTest::newRow("fewer rows than fit") << 2 << 0 << 0 << QStringList{"0:0*", "1:28"};
    }

    void painting()
    {
        QFETCH(int, rows);
        QFETCH(int, firstY);
        QFETCH(int, current);
        QFETCH(QStringList, painted);

        Fixture fixture(rows);
        fixture.list.scrollBar()->setValue(firstY);
        fixture.model.setCurrentRow(current);
        fixture.list.scrollBar()->setValue(firstY);
        fixture.delegate.rows.clear();
        fixture.delegate.rects.clear();
        const QImage image = fixture.panel()->grab().toImage();

        QCOMPARE(fixture.delegate.rows, painted);
        for (const QRectF &rect : qAsConst(fixture.delegate.rects)) {
            QCOMPARE(rect.left(), 0.0);
            QCOMPARE(rect.width(), fixture.list.itemWidth());
            QCOMPARE(rect.height(), 28.0);
        }
        // Below the last row the panel stays white.
        if (rows * 28 - firstY < 150)
            QCOMPARE(image.pixelColor(5, rows * 28 - firstY + 2), QColor(Qt::white));
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::blue));
    }

    void clicks_data()
    {
        QTest::addColumn<int>("firstY");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<int>("current");

        // 5 rows of 28 with 20 below: 160 of content in a panel of 150.
        QTest::newRow("first row") << 0 << 3 << false << 0;
        QTest::newRow("last pixel of a row's pitch") << 0 << 55 << false << 1;
        QTest::newRow("scrolled") << 10 << 50 << false << 2;
        QTest::newRow("double click") << 0 << 90 << true << 3;
        QTest::newRow("below the last row") << 0 << 145 << false << -1;
        QTest::newRow("double click below the last row") << 0 << 145 << true << -1;
    }

    void clicks()
    {
        QFETCH(int, firstY);
        QFETCH(int, y);
        QFETCH(bool, doubleClick);
        QFETCH(int, current);

        Fixture fixture(5);
        fixture.list.scrollBar()->setValue(firstY);
        QCOMPARE(fixture.panel()->firstY(), firstY);
        QSignalSpy clicks(&fixture.list, &MListWidget::click);
        QSignalSpy doubleClicks(&fixture.list, &MListWidget::doubleClick);
        if (doubleClick)
            QTest::mouseDClick(fixture.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(20, y));
        else
            QTest::mouseClick(fixture.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(20, y));

        QCOMPARE(fixture.model.currentRow(), current);
        const int chosen = current >= 0 ? 1 : 0;
        QCOMPARE(clicks.count(), doubleClick ? 0 : chosen);
        QCOMPARE(doubleClicks.count(), doubleClick ? chosen : 0);
    }

    void currentRowBroughtIntoView_data()
    {
        QTest::addColumn<int>("firstY");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("expected");

        // 20 rows of 28 in a panel 150 high: at most 430 down.
        QTest::newRow("fully shown") << 0 << 2 << 0;
        QTest::newRow("fully shown at the bottom") << 0 << 4 << 0;
        QTest::newRow("partly hidden at the bottom") << 0 << 5 << 140;
        QTest::newRow("above the panel") << 200 << 3 << 84;
        QTest::newRow("partly hidden at the top") << 200 << 7 << 196;
        QTest::newRow("last row, as far as the content goes") << 0 << 19 << 430;
        QTest::newRow("no current row") << 200 << -1 << 200;
    }

    void currentRowBroughtIntoView()
    {
        QFETCH(int, firstY);
        QFETCH(int, row);
        QFETCH(int, expected);

        Fixture fixture(20);
        fixture.list.scrollBar()->setValue(firstY);
        fixture.model.setCurrentRow(row);
        QCOMPARE(fixture.panel()->firstY(), expected);
        QCOMPARE(fixture.list.scrollBar()->value(), expected);
    }

    void sourceModelReplaced()
    {
        Fixture fixture(20);
        QSignalSpy changes(&fixture.list, &MListWidget::sourceModelChanged);
        fixture.list.setSourceModel(&fixture.model);
        QCOMPARE(changes.count(), 0);

        TestModel shorter(2);
        fixture.delegate.model = &shorter;
        fixture.list.scrollBar()->setValue(300);
        fixture.list.setSourceModel(&shorter);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(fixture.list.scrollBar()->maximum(), 0);
        QCOMPARE(fixture.panel()->firstY(), 0);

        // The old model no longer moves the list.
        fixture.model.setCurrentRow(19);
        QCOMPARE(fixture.panel()->firstY(), 0);

        // A model that goes away leaves an empty list.
        {
            TestModel shortLived(30);
            fixture.delegate.model = &shortLived;
            fixture.list.setSourceModel(&shortLived);
            QCOMPARE(fixture.list.rowCount(), 30);
        }
        QCOMPARE(fixture.list.sourceModel(), nullptr);
        QCOMPARE(fixture.list.rowCount(), 0);
        fixture.panel()->grab();
    }
};

QTEST_MAIN(TestListWidget)
#include "tst_listwidget.moc"
