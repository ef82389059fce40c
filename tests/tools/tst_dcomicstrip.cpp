#include "dcomicstrip.h"
#include "mcanvas.h"
#include "mcomicstriptool.h"
#include "mtestglcontext.h"
#include "mtestmodaldriver.h"
#include "mtestview.h"
#include "mtools.h"
#include "mwidget.h"

#include <QMetaProperty>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <functional>
#include <memory>

// The grid settings dialog over the registry's comic-strip tool on a canvas
// view of 500 x 600 that is never shown.
namespace {
const char *const kProperties[] = {"topMargin", "leftMargin", "bottomMargin", "rightMargin",
                                   "rowGap",    "colGap",     "rows",         "columns"};
} // namespace

class TestDComicStrip : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MWidget> view;
    MComicStripTool *tool = nullptr;

    // Runs the dialog from the tool, as its bar's "Settings" does, with the
    // script playing the painter.
    void settings(const std::function<void(QDialog *)> &script)
    {
        bool ran = false;
        MTestModalDriver::onNextDialog("DComicStrip", script, &ran);
        tool->reset();
        QVERIFY(ran);
    }

    static QSpinBox *box(QDialog *dialog, const QString &name) { return dialog->findChild<QSpinBox *>(name); }
    static void press(QDialog *dialog, const char *button)
    {
        QTest::mouseClick(dialog->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
    }

    // One spy per change signal, in the order of kProperties.
    std::vector<std::unique_ptr<QSignalSpy>> spies() const
    {
        std::vector<std::unique_ptr<QSignalSpy>> list;
        for (const char *name : kProperties) {
            const QMetaProperty property = tool->metaObject()->property(tool->metaObject()->indexOfProperty(name));
            const QByteArray signal = "2" + property.notifySignal().methodSignature();
            list.emplace_back(new QSignalSpy(tool, signal.constData()));
        }
        return list;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MTestView::prepare(QSize(500, 600)));
        view.reset(new MWidget);
        view->resize(800, 800);
        MTools::instance()->set_widget(view.get());
        tool = new MComicStripTool(MTool::ComicStripTool, MTools::instance());
        MTools::instance()->setTool(tool);
    }

    void cleanupTestCase()
    {
        MTools::instance()->set_widget(nullptr);
        MTools::destroyInstance();
        view.reset();
    }

    // Back to the defaults and their 4 x 3 grid.
    void init()
    {
        tool->set_rows(4);
        tool->set_columns(3);
        for (const char *name : {"topMargin", "leftMargin", "bottomMargin", "rightMargin"})
            tool->setProperty(name, 100.0);
        tool->set_rowGap(30);
        tool->set_colGap(30);
        tool->setup();
        QCOMPARE(tool->cells().size(), 12);
    }

    void field_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("property"); // index in kProperties
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::newRow("top margin") << "editTopMargin" << 0 << 0 << 5000;
        QTest::newRow("left margin") << "editLeftMargin" << 1 << 0 << 5000;
        QTest::newRow("bottom margin") << "editBottomMargin" << 2 << 0 << 5000;
        QTest::newRow("right margin") << "editRightMargin" << 3 << 0 << 5000;
        QTest::newRow("row gap") << "editRowGap" << 4 << 0 << 5000;
        QTest::newRow("column gap") << "editColGap" << 5 << 0 << 5000;
        QTest::newRow("rows") << "editRows" << 6 << 1 << 100;
        QTest::newRow("columns") << "editColumns" << 7 << 1 << 100;
    }

    // Each box shows its property as a whole number, keeps to its range, and
    // Ok writes what the painter typed to that property alone.
    void field()
    {
        QFETCH(QString, box);
        QFETCH(int, property);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        const char *name = kProperties[property];
        tool->setProperty(name, 17.4);
        const auto spy = spies();
        int shown = -1, below = -1, above = -1;
        settings([&](QDialog *dialog) {
            QSpinBox *edit = ::TestDComicStrip::box(dialog, box);
            shown = edit->value();
            edit->setValue(minimum - 1);
            below = edit->value();
            edit->setValue(maximum + 1);
            above = edit->value();
            MTestModalDriver::typeOver(edit, QStringLiteral("23"));
            press(dialog, "btnOk");
        });
        QCOMPARE(shown, 17);
        QCOMPARE(below, minimum);
        QCOMPARE(above, maximum);
        QCOMPARE(tool->property(name).toDouble(), 23.0);
        for (int i = 0; i < int(spy.size()); ++i)
            QCOMPARE(spy.at(i)->count(), i == property ? 1 : 0);
    }

    // Cancel, after every box was changed, leaves the tool as it was.
    void cancelChangesNothing()
    {
        tool->select(true, -1);
        const QVector<MComicStripCell> cells = tool->cells();
        const auto spy = spies();
        QSignalSpy changed(tool, &MTool::toolChanged);
        QString title;
        settings([&](QDialog *dialog) {
            title = dialog->windowTitle();
            for (QSpinBox *edit : dialog->findChildren<QSpinBox *>())
                MTestModalDriver::typeOver(edit, QStringLiteral("7"));
            press(dialog, "btnCancel");
        });
        QCOMPARE(title, QStringLiteral("Comic strip"));
        for (const auto &s : spy)
            QCOMPARE(s->count(), 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(tool->rows(), 4);
        QCOMPARE(tool->topMargin(), 100.0);
        QCOMPARE(tool->cells().size(), cells.size());
        for (int i = 0; i < cells.size(); ++i) {
            QCOMPARE(tool->cells().at(i).rect, cells.at(i).rect);
            QVERIFY(tool->cells().at(i).selected);
        }
    }

    // Ok lays the grid out again from the new values, and the old cells'
    // selection goes with them.
    void okLaysTheGridOut()
    {
        tool->selectAll();
        QVERIFY(!view->canvas()->selectionPath().isEmpty());
        QSignalSpy changed(tool, &MTool::toolChanged);
        settings([&](QDialog *dialog) {
            const struct { const char *name; const char *value; } edits[] = {
                {"editTopMargin", "50"}, {"editLeftMargin", "20"}, {"editBottomMargin", "0"},
                {"editRightMargin", "80"}, {"editRowGap", "10"}, {"editColGap", "0"},
                {"editRows", "2"}, {"editColumns", "5"}};
            for (const auto &e : edits)
                MTestModalDriver::typeOver(box(dialog, QLatin1String(e.name)), QLatin1String(e.value));
            press(dialog, "btnOk");
        });
        QVERIFY(changed.count() > 0);
        // The layout area is 400 x 550: columns 80 wide, rows 275 high less the gap.
        const QPointF o = view->canvas()->paintedRect().topLeft();
        QCOMPARE(tool->cells().size(), 10);
        QCOMPARE(tool->cells().at(0).rect, QRectF(o + QPointF(20, 55), QSizeF(80, 265)));
        QCOMPARE(tool->cells().at(6).rect, QRectF(o + QPointF(100, 330), QSizeF(80, 265)));
        QCOMPARE(tool->cells().at(9).rect, QRectF(o + QPointF(340, 330), QSizeF(80, 265)));
        QCOMPARE(tool->verticalLines().size(), 10);
        QCOMPARE(tool->horizontalLines(), QVector<double>({o.y() + 55, o.y() + 320, o.y() + 330, o.y() + 595}));
        for (const MComicStripCell &cell : tool->cells())
            QVERIFY(!cell.selected);
        QVERIFY(view->canvas()->selectionPath().isEmpty());
    }
};

QTEST_MAIN(TestDComicStrip)
#include "tst_dcomicstrip.moc"
