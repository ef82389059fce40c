#include "mfontstyle.h"

#include <QSignalSpy>
#include <QTest>

class TestMFontStyle : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        MFontStyle style;
        const QFont arial(QStringLiteral("Arial"));
        QCOMPARE(style.fontColor(), QColor(Qt::black));
        QCOMPARE(style.fontName(), QStringLiteral("Arial"));
        QCOMPARE(style.size(), 12);
        QVERIFY(!style.bold() && !style.italic() && !style.underline() && !style.strikeOut());
        QCOMPARE(style.letterSpacing(), arial.letterSpacing());
        QCOMPARE(style.letterSpacingType(), int(arial.letterSpacingType()));
    }

    // Every property set through the meta-object reaches the font.
    void fontRoundTrip_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("strikeOut");
        QTest::addColumn<double>("spacing");
        QTest::addColumn<int>("spacingType");
        QTest::newRow("plain") << "Arial" << 12 << false << false << false << false << 0.0
                               << int(MFontStyle::PercentageSpacing);
        QTest::newRow("bold italic, wide") << "Serif" << 40 << true << true << false << false << 150.0
                                           << int(MFontStyle::PercentageSpacing);
        QTest::newRow("lines, absolute spacing") << "Monospace" << 7 << false << false << true << true << 3.5
                                                 << int(MFontStyle::AbsoluteSpacing);
    }

    void fontRoundTrip()
    {
        QFETCH(QString, family);
        QFETCH(int, size);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(bool, strikeOut);
        QFETCH(double, spacing);
        QFETCH(int, spacingType);
        MFontStyle style;
        QVERIFY(style.setProperty("fontName", family));
        QVERIFY(style.setProperty("size", size));
        QVERIFY(style.setProperty("bold", bold));
        QVERIFY(style.setProperty("italic", italic));
        QVERIFY(style.setProperty("underline", underline));
        QVERIFY(style.setProperty("strikeOut", strikeOut));
        QVERIFY(style.setProperty("letterSpacing", spacing));
        QVERIFY(style.setProperty("letterSpacingType", spacingType));
        const QFont font = style.font();
        QCOMPARE(font.family(), family);
        QCOMPARE(font.pixelSize(), size);
        QCOMPARE(font.weight(), bold ? 75 : 50);
        QCOMPARE(font.italic(), italic);
        QCOMPARE(font.underline(), underline);
        QCOMPARE(font.strikeOut(), strikeOut);
        QCOMPARE(font.letterSpacing(), spacing);
        QCOMPARE(int(font.letterSpacingType()), spacingType);
        QCOMPARE(font.styleStrategy(), QFont::PreferAntialias);
    }

    // The property's own signal first, then the style as a whole; nothing
    // when the value is already there.
    void signalsInOrder()
    {
        MFontStyle style;
        QStringList heard;
        connect(&style, &MFontStyle::boldChanged, this, [&](bool v) { heard << QStringLiteral("bold %1").arg(v); });
        connect(&style, &MFontStyle::sizeChanged, this, [&](int v) { heard << QStringLiteral("size %1").arg(v); });
        connect(&style, &MFontStyle::fontStyleChanged, this, [&](MFontStyle *s) {
            QCOMPARE(s, &style);
            heard << QStringLiteral("style");
        });
        style.set_bold(true);
        style.set_bold(true);
        style.set_size(12);
        style.set_size(30);
        QCOMPARE(heard, (QStringList{"bold 1", "style", "size 30", "style"}));
    }
};

QTEST_GUILESS_MAIN(TestMFontStyle)
#include "tst_mfontstyle.moc"
