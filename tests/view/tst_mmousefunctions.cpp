#include "mmousefunctions.h"

#include <QSettings>
#include <QLoggingCategory>
#include <QTest>

namespace {
const int view = MMouseFunctions::ViewTool;
const int wheel = MMouseFunctions::Wheel;
const int brushTool = 0;
const int none = Qt::NoModifier;
const int ctrl = Qt::ControlModifier;
const int shift = Qt::ShiftModifier;
const int alt = Qt::AltModifier;

QStringList traces;
void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    traces << message;
}

// Writes the user's rows as the settings store keeps them; an empty value
// leaves that key out.
void writeRows(const QVector<QVector<QVariant>> &rows)
{
    QSettings store;
    store.remove(QStringLiteral("MouseFunctions"));
    store.beginWriteArray(QStringLiteral("MouseFunctions"), rows.size());
    const QStringList keys = {QStringLiteral("tool"), QStringLiteral("button"), QStringLiteral("modifiers"),
                              QStringLiteral("function")};
    for (int i = 0; i < rows.size(); ++i) {
        store.setArrayIndex(i);
        for (int k = 0; k < keys.size(); ++k)
            if (rows[i][k].isValid())
                store.setValue(keys[k], rows[i][k]);
    }
    store.endArray();
}
} // namespace

class TestMMouseFunctions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The trace checked here is developer output, off by default.
        QLoggingCategory::setFilterRules(QStringLiteral("kalmi.*.debug=true"));
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorel"));
        QCoreApplication::setApplicationName(QStringLiteral("KalmiDraw"));
    }

    void cleanup()
    {
        QSettings().remove(QStringLiteral("MouseFunctions"));
    }

    void lookup_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("function");

        QTest::newRow("right drag pans") << view << int(Qt::RightButton) << none << int(MMouseFunctions::CanvasDrag);
        QTest::newRow("middle drag is free") << view << int(Qt::MiddleButton) << none << int(MMouseFunctions::NoFunction);
        QTest::newRow("left drag is the tool's") << view << int(Qt::LeftButton) << none << int(MMouseFunctions::NoFunction);
        QTest::newRow("right drag with ctrl is not a pan") << view << int(Qt::RightButton) << ctrl << int(MMouseFunctions::NoFunction);
        QTest::newRow("wheel zooms") << view << wheel << none << int(MMouseFunctions::CanvasScale);
        QTest::newRow("ctrl wheel rotates") << view << wheel << ctrl << int(MMouseFunctions::CanvasRotate);
        QTest::newRow("extra alt finds nothing") << view << wheel << (ctrl | alt) << int(MMouseFunctions::NoFunction);
        QTest::newRow("shift wheel scrolls vertically") << view << wheel << shift << int(MMouseFunctions::CanvasTranslateVertical);
        QTest::newRow("shift ctrl wheel scrolls horizontally") << view << wheel << (shift | ctrl) << int(MMouseFunctions::CanvasTranslateHorizontal);
        QTest::newRow("alt wheel goes to the tool") << view << wheel << alt << int(MMouseFunctions::NoFunction);
        QTest::newRow("brush alt wheel sizes") << brushTool << wheel << alt << int(MMouseFunctions::BrushRadius);
        QTest::newRow("brush plain wheel is not the view's") << brushTool << wheel << none << int(MMouseFunctions::NoFunction);
        QTest::newRow("brush left strokes") << brushTool << int(Qt::LeftButton) << none << int(MMouseFunctions::BrushStroke);
        QTest::newRow("brush ctrl left draws lines") << brushTool << int(Qt::LeftButton) << ctrl << int(MMouseFunctions::BrushLine);
        QTest::newRow("tool without rows") << 7 << wheel << alt << int(MMouseFunctions::NoFunction);
    }

    void lookup()
    {
        QFETCH(int, tool);
        QFETCH(int, button);
        QFETCH(int, modifiers);
        QFETCH(int, function);
        MMouseFunctions functions;
        QCOMPARE(functions.function(tool, button, modifiers), function);
        if (tool == view)
            QCOMPARE(functions.function(button, modifiers), function);
    }

    void addingARowTwiceKeepsTheFirst()
    {
        MMouseFunctions::Table table;
        MMouseFunctions::addFunction(table, 3, wheel, shift, MMouseFunctions::CanvasScale);
        traces.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collect);
        MMouseFunctions::addFunction(table, 3, wheel, shift, MMouseFunctions::CanvasRotate);
        MMouseFunctions::addFunction(table, 3, wheel, alt, MMouseFunctions::CanvasRotate);
        qInstallMessageHandler(previous);

        QCOMPARE(table.value(3).value(qMakePair(wheel, shift)), int(MMouseFunctions::CanvasScale));
        QCOMPARE(table.value(3).value(qMakePair(wheel, alt)), int(MMouseFunctions::CanvasRotate));
        QCOMPARE(traces.size(), 1);
        QVERIFY2(traces.first().startsWith(QStringLiteral("mmousefunctions::MMouseFunctions::addFunction")),
                 qPrintable(traces.first()));
        QVERIFY(traces.first().contains(QStringLiteral("combinaison déjà attribuée")));
        QVERIFY(traces.first().endsWith(QStringLiteral(" 3 -1 %1 %2").arg(shift).arg(int(MMouseFunctions::CanvasRotate))));
    }

    // The user's rows are kept apart: they never replace a built-in row.
    void storedRowsAreReadButNotLookedUp()
    {
        writeRows({{view, wheel, alt, int(MMouseFunctions::CanvasRotate)},
                   {view, wheel, alt, int(MMouseFunctions::CanvasScale)},
                   {view, int(Qt::RightButton), none, int(MMouseFunctions::CanvasScale)},
                   {QVariant(), QVariant(), QVariant(), int(MMouseFunctions::BrushRadius)}});
        MMouseFunctions functions;
        const MMouseFunctions::Table &stored = functions.storedFunctions();
        QCOMPARE(stored.value(view).size(), 2);
        QCOMPARE(stored.value(view).value(qMakePair(wheel, alt)), int(MMouseFunctions::CanvasRotate));
        QCOMPARE(stored.value(0).value(qMakePair(0, 0)), int(MMouseFunctions::BrushRadius));
        QCOMPARE(functions.function(wheel, alt), int(MMouseFunctions::NoFunction));
        QCOMPARE(functions.function(Qt::RightButton, none), int(MMouseFunctions::CanvasDrag));

        writeRows({});
        functions.readSettings();
        QVERIFY(functions.storedFunctions().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMMouseFunctions)
#include "tst_mmousefunctions.moc"
