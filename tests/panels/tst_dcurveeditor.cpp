#include "dcurveeditor.h"

#include "mbrush.h"
#include "mcurve.h"
#include "mcurvewidget.h"
#include "menum.h"
#include "mtestdialogscript.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(QVector<QPointF>)

namespace {
// The plot of a 216 x 216 widget is 200 x 200 pixels from (8, 8).
QPoint pixel(const QPointF &point)
{
    return QPoint(int(8 + 200 * point.x()), int(8 + 200 * (1.0 - point.y())));
}

void mouse(QWidget *widget, QEvent::Type type, const QPoint &pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The editor's controls, found by name.
struct Form
{
    explicit Form(QWidget *editor)
        : listWidget(editor->findChild<QListWidget *>("listWidget")),
          widget(editor->findChild<MCurveWidget *>("widget")),
          addCurveBtn(editor->findChild<QPushButton *>("addCurveBtn")),
          removeCurveBtn(editor->findChild<QPushButton *>("removeCurveBtn")),
          invertYBtn(editor->findChild<QPushButton *>("invertYBtn")),
          okBtn(editor->findChild<QPushButton *>("okBtn")),
          formulaComboBox(editor->findChild<QComboBox *>("formulaComboBox")),
          xMinSpinBox(editor->findChild<QDoubleSpinBox *>("xMinSpinBox")),
          xMaxSpinBox(editor->findChild<QDoubleSpinBox *>("xMaxSpinBox")),
          yMinSpinBox(editor->findChild<QDoubleSpinBox *>("yMinSpinBox")),
          yMaxSpinBox(editor->findChild<QDoubleSpinBox *>("yMaxSpinBox")),
          moduloSpinBox(editor->findChild<QDoubleSpinBox *>("moduloSpinBox"))
    {
    }
    QListWidget *listWidget;
    MCurveWidget *widget;
    QPushButton *addCurveBtn, *removeCurveBtn, *invertYBtn, *okBtn;
    QComboBox *formulaComboBox;
    QDoubleSpinBox *xMinSpinBox, *xMaxSpinBox, *yMinSpinBox, *yMaxSpinBox, *moduloSpinBox;
};

const int kSetting = MEnum::bsOpacity;
const int kInput = MEnum::biSpeed;
} // namespace

// The curve graph whose points are dragged, and the editor of a setting's
// input curves with its closing question.
class TestDCurveEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<MCurve *>(); }

    // A point dragged past its neighbour stays the dragged point; the order
    // comes back on release, and the plot's edges hold the point inside.
    void dragKeepsThePointUntilRelease()
    {
        MCurve curve;
        curve.setPoints({{0, 0}, {0.3, 0.3}, {0.6, 0.6}, {1, 1}});
        MCurveWidget widget;
        widget.resize(216, 216);
        widget.setCurve(&curve);
        QSignalSpy moved(&widget, &MCurveWidget::pointMoved);

        mouse(&widget, QEvent::MouseButtonPress, pixel({0.3, 0.3}) + QPoint(3, -2));
        QCOMPARE(widget.selected(), 1);
        mouse(&widget, QEvent::MouseMove, pixel({0.8, 0.2}));
        mouse(&widget, QEvent::MouseMove, pixel({0.9, 0.1}));
        QCOMPARE(moved.count(), 2);
        QCOMPARE(moved.last().first().toInt(), 1);
        QCOMPARE(curve.point(1), QPointF(0.9, 0.1));
        QCOMPARE(curve.point(2), QPointF(0.6, 0.6));
        mouse(&widget, QEvent::MouseMove, QPoint(500, 400));
        QCOMPARE(curve.point(1), QPointF(1.0, 0.0));

        mouse(&widget, QEvent::MouseMove, pixel({0.9, 0.1}));
        mouse(&widget, QEvent::MouseButtonRelease, pixel({0.9, 0.1}));
        QCOMPARE(curve.points(), (QVector<QPointF>{{0, 0}, {0.6, 0.6}, {0.9, 0.1}, {1, 1}}));
        QVERIFY(!widget.dragging());

        // A press on no point drags nothing.
        mouse(&widget, QEvent::MouseButtonPress, pixel({0.1, 0.9}));
        mouse(&widget, QEvent::MouseMove, pixel({0.5, 0.5}));
        mouse(&widget, QEvent::MouseButtonRelease, pixel({0.5, 0.5}));
        QCOMPARE(widget.selected(), -1);
        QCOMPARE(curve.points(), (QVector<QPointF>{{0, 0}, {0.6, 0.6}, {0.9, 0.1}, {1, 1}}));
    }

    void pointLimits_data()
    {
        QTest::addColumn<QVector<QPointF>>("points");
        QTest::addColumn<bool>("add");
        QTest::addColumn<QVector<QPointF>>("expected");

        const QVector<QPointF> six{{0, 0}, {0.2, 0.2}, {0.4, 0.4}, {0.6, 0.6}, {0.8, 0.8}, {1, 1}};
        QTest::newRow("add to an empty curve") << QVector<QPointF>{} << true << QVector<QPointF>{{0.5, 0.5}};
        QTest::newRow("add to one point") << QVector<QPointF>{{0, 1}} << true
                                          << QVector<QPointF>{{0, 1}, {0.25, 0.75}};
        QTest::newRow("add between the first two") << QVector<QPointF>{{0, 0}, {0.5, 1}, {1, 0}} << true
                                                   << QVector<QPointF>{{0, 0}, {0.25, 0.5}, {0.5, 1}, {1, 0}};
        QTest::newRow("a sixth point is the last") << six.mid(0, 5) << true
                                                   << QVector<QPointF>{{0, 0}, {0.1, 0.1}, {0.2, 0.2}, {0.4, 0.4},
                                                                       {0.6, 0.6}, {0.8, 0.8}};
        QTest::newRow("no seventh point") << six << true << six;
        QTest::newRow("remove the second point") << QVector<QPointF>{{0, 0}, {0.5, 1}, {1, 0}} << false
                                                 << QVector<QPointF>{{0, 0}, {1, 0}};
        QTest::newRow("two points stay") << QVector<QPointF>{{0, 0}, {1, 1}} << false
                                         << QVector<QPointF>{{0, 0}, {1, 1}};
    }

    void pointLimits()
    {
        QFETCH(QVector<QPointF>, points);
        QFETCH(bool, add);
        QFETCH(QVector<QPointF>, expected);

        MCurve curve;
        curve.setPoints(points);
        MCurveWidget widget;
        widget.setCurve(&curve);
        QSignalSpy changed(&widget, &MCurveWidget::curveChanged);
        add ? widget.addPoint() : widget.removePoint();
        QCOMPARE(curve.points(), expected);
        QCOMPARE(changed.count(), expected == points ? 0 : 1);
    }

    // An input without a curve offers only "Add curve" and shows the empty
    // values; adding one enables its editors; with no input chosen nothing
    // can be done.
    void controlsFollowTheCurrentInput()
    {
        MBrush brush;
        DCurveEditor editor(&brush, kSetting);
        Form form(&editor);
        Form *ui = &form;
        QList<QWidget *> curveControls{ui->widget,      ui->removeCurveBtn, ui->yMinSpinBox,
                                       ui->yMaxSpinBox, ui->moduloSpinBox,  ui->formulaComboBox};
        QCOMPARE(ui->listWidget->count(), int(MEnum::biCount));
        QCOMPARE(ui->listWidget->item(kInput)->text(), QStringLiteral("Speed"));
        QVERIFY(!ui->addCurveBtn->isEnabled());
        for (QWidget *control : curveControls)
            QVERIFY(!control->isEnabled());

        ui->listWidget->setCurrentRow(kInput);
        QVERIFY(ui->addCurveBtn->isEnabled());
        for (QWidget *control : curveControls)
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QCOMPARE(ui->xMinSpinBox->value(), 0.0);
        QCOMPARE(ui->xMaxSpinBox->value(), 1.0);
        QCOMPARE(ui->yMinSpinBox->value(), 0.0);
        QCOMPARE(ui->yMaxSpinBox->value(), 1.0);
        QCOMPARE(ui->moduloSpinBox->value(), 0.0);
        QCOMPARE(ui->formulaComboBox->currentText(), QStringLiteral("Multiply"));
        QVERIFY(!ui->xMinSpinBox->isEnabled());

        QTest::mouseClick(ui->addCurveBtn, Qt::LeftButton);
        QVERIFY(editor.currentCurve());
        QVERIFY(editor.workingBrush()->hasCurve(kSetting, kInput));
        QVERIFY(!brush.hasCurve(kSetting, kInput));
        QVERIFY(!ui->addCurveBtn->isEnabled());
        for (QWidget *control : curveControls)
            QVERIFY(control->isEnabled());
        QCOMPARE(ui->widget->curve(), editor.currentCurve());
        QCOMPARE(ui->listWidget->item(kInput)->background().color(), QColor(255, 220, 200));

        ui->yMaxSpinBox->setValue(0.5);
        QCOMPARE(editor.currentCurve()->yMax(), 0.5);
        ui->listWidget->setCurrentRow(0);
        QVERIFY(!ui->widget->curve());
        QCOMPARE(ui->yMaxSpinBox->value(), 1.0);
        ui->listWidget->setCurrentRow(kInput);
        QCOMPARE(ui->yMaxSpinBox->value(), 0.5);

        QTest::mouseClick(ui->removeCurveBtn, Qt::LeftButton);
        QVERIFY(!editor.workingBrush()->hasCurve(kSetting, kInput));
        QVERIFY(ui->addCurveBtn->isEnabled());
        QCOMPARE(ui->listWidget->item(kInput)->background().color(), QColor(Qt::white));
    }

    void closing_data()
    {
        QTest::addColumn<bool>("change");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("copied");

        QTest::newRow("nothing changed") << false << QList<int>{} << 0 << true << false << false;
        QTest::newRow("save") << true << QList<int>{0} << 1 << true << true << true;
        QTest::newRow("don't save") << true << QList<int>{1} << 1 << true << false << false;
        QTest::newRow("cancel") << true << QList<int>{2} << 1 << false << true << false;
        // The window's own close button on the question is a Cancel too.
        QTest::newRow("question closed") << true << QList<int>{-1} << 1 << false << true << false;
        QTest::newRow("cancel, then save") << true << QList<int>{2, 0} << 2 << true << true << true;
    }

    // Each close of the editor asks while there are changes; Ok copies them.
    void closing()
    {
        QFETCH(bool, change);
        QFETCH(QList<int>, answers);
        QFETCH(int, questions);
        QFETCH(bool, closed);
        QFETCH(bool, modified);
        QFETCH(bool, copied);

        MTestDialogScript script;
        for (int answer : answers)
            script.answer(answer);
        MBrush brush;
        DCurveEditor editor(&brush, kSetting);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        Form(&editor).listWidget->setCurrentRow(kInput);
        if (change)
            Form(&editor).addCurveBtn->click();
        for (int i = 0; i < answers.size() || i == 0; ++i)
            editor.close();
        QCOMPARE(script.requests().size(), questions);
        if (questions > 0) {
            QCOMPARE(script.requests().first().text, QStringLiteral("Close"));
            QCOMPARE(script.requests().first().informativeText, QStringLiteral("Do you want to save modifications?"));
            QCOMPARE(script.requests().first().buttons, (QStringList{"Save", "Don't save", "Cancel"}));
        }
        QCOMPARE(editor.isVisible(), !closed);
        QCOMPARE(editor.modified(), modified);
        QCOMPARE(brush.hasCurve(kSetting, kInput), copied);
    }

    void okCopiesTheWork()
    {
        MBrush brush;
        brush.addCurve(kSetting, MEnum::biPressure)->setPoints({{0, 1}, {1, 0}});
        DCurveEditor editor(&brush, kSetting);
        QCOMPARE(Form(&editor).listWidget->item(MEnum::biPressure)->background().color(), QColor(255, 220, 200));
        Form(&editor).listWidget->setCurrentRow(MEnum::biPressure);
        Form(&editor).invertYBtn->click();
        QCOMPARE(brush.curve(kSetting, MEnum::biPressure)->point(0), QPointF(0, 1));
        Form(&editor).okBtn->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(brush.curve(kSetting, MEnum::biPressure)->point(0), QPointF(0, 0));
    }
};

QTEST_MAIN(TestDCurveEditor)
#include "tst_dcurveeditor.moc"
