#include "mbrushstyle.h"
#include "mbrushstyleaction.h"
#include "mbrushstylewidget.h"
#include "mstrokestyle.h"
#include "mstrokestyleaction.h"
#include "mstrokestylewidget.h"
#include "mtools.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

// The menu entries that hold a style editor: the editor is the entry's
// widget, opening the menu shows the style as it is now, and the editor
// goes with the entry.
namespace {
struct Case
{
    std::unique_ptr<QObject> style;
    QWidgetAction *action = nullptr;
    QPointer<QWidget> editor;
    // Changes the style behind the editor's back.
    std::function<void()> change;
    // What the editor shows of the changed value.
    std::function<QString()> shown;
};

Case makeCase(const QString &kind, QObject *parent)
{
    Case c;
    if (kind == QLatin1String("stroke")) {
        auto *style = new MStrokeStyle;
        auto *editor = new MStrokeStyleWidget;
        editor->setStyle(style);
        c.style.reset(style);
        c.editor = editor;
        c.action = new MStrokeStyleAction(editor, parent);
        c.change = [style]() { style->set_strokeSize(17.5); };
        c.shown = [editor]() {
            return QString::number(editor->findChild<QDoubleSpinBox *>(QStringLiteral("editStrokeSize"))->value());
        };
    } else {
        auto *style = new MBrushStyle;
        auto *editor = new MBrushStyleWidget;
        editor->setStyle(style);
        c.style.reset(style);
        c.editor = editor;
        c.action = new MBrushStyleAction(editor, parent);
        c.change = [style]() { style->set_gradientStyle(MBrushStyle::RadialGradient); };
        c.shown = [editor]() {
            return editor->findChild<QWidget *>(QStringLiteral("editGradientStyle"))
                ->findChild<QComboBox *>()
                ->currentText();
        };
    }
    return c;
}
} // namespace

class TestStyleActions : public QObject
{
    Q_OBJECT

private slots:
    void openingTheMenuShowsTheStyle_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stroke style") << "stroke" << "17.5";
        QTest::newRow("brush style") << "brush" << "Radial";
    }

    void openingTheMenuShowsTheStyle()
    {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        QWidget window;
        Case c = makeCase(kind, &window);
        QCOMPARE(c.action->defaultWidget(), c.editor.data());
        QCOMPARE(c.action->parent(), &window);
        QToolButton *button = MTools::createOptionMenuButton(&window, QStringLiteral(":/icons/stroke.ico"),
                                                             QStringLiteral("Stroke style"), c.action);
        c.change();
        QVERIFY(c.shown() != expected);
        emit button->menu()->aboutToShow();
        QCOMPARE(c.shown(), expected);
        delete c.action;
        QVERIFY(!c.editor);
    }
};

QTEST_MAIN(TestStyleActions)
#include "tst_styleactions.moc"
