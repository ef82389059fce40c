#include "menumlabels.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

// The words a painter reads for stored enumeration keys, and their way
// through the translations.
namespace {
// A translation that marks every text of the context "Enum".
class MarkingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "Enum") != 0)
            return QString();
        return QStringLiteral("<%1>").arg(QString::fromUtf8(sourceText));
    }
};
} // namespace

class TestMEnumLabels : public QObject
{
    Q_OBJECT

private slots:
    void words_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QString>("word");
        QTest::newRow("generator") << QByteArray("RandomOffsetGenerator") << "Random offset";
        QTest::newRow("selection mode") << QByteArray("ReplaceSelectionMode") << "Replace";
        QTest::newRow("selection shape") << QByteArray("RectangleSelection") << "Rectangle";
        QTest::newRow("line type") << QByteArray("SingleLineType") << "Single line";
        QTest::newRow("spread") << QByteArray("PadSpread") << "Pad";
        QTest::newRow("wand layer") << QByteArray("CurrentLayer") << "Current layer";
        QTest::newRow("mask") << QByteArray("NoMask") << "None";
        QTest::newRow("spacing") << QByteArray("AutoSpacing") << "Automatic";
        QTest::newRow("edge") << QByteArray("LeftEdge") << "Left";
        QTest::newRow("blend factor") << QByteArray("glOneMinusSrcAlpha") << "One minus source alpha";
        // Keys without words of their own are split after their capitals.
        QTest::newRow("setting without a word") << QByteArray("bsColorFlowingRate") << "Color flowing rate";
        QTest::newRow("input without a word") << QByteArray("biTangentialPressure") << "Tangential pressure";
        QTest::newRow("plain word") << QByteArray("Portrait") << "Portrait";
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void words()
    {
        QFETCH(QByteArray, key);
        QFETCH(QString, word);
        QCOMPARE(MEnumLabels::label(key), word);
    }

    // The words, not the keys, are what translators translate.
    void translatedInTheContextEnum()
    {
        MarkingTranslator translator;
        QCoreApplication::installTranslator(&translator);
        const QString shown = MEnumLabels::label("PadSpread");
        const QString split = MEnumLabels::label("bsColorFlowingRate");
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(shown, QStringLiteral("<Pad>"));
        QCOMPARE(split, QStringLiteral("<Color flowing rate>"));
        QCOMPARE(MEnumLabels::sourceText("PadSpread"), QStringLiteral("Pad"));
    }
};

QTEST_GUILESS_MAIN(TestMEnumLabels)
#include "tst_menumlabels.moc"
