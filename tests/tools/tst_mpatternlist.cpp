#include "mpatternlist.h"

#include <QSignalSpy>
#include <QTest>

class TestMPatternList : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { MPatternList::destroyInstance(); }

    void eightPatterns_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("0") << 0 << QStringLiteral("No pattern") << QString();
        QTest::newRow("1") << 1 << QStringLiteral("Diagonal 1") << QStringLiteral(":/icons/patterns/diagonal1.png");
        QTest::newRow("2") << 2 << QStringLiteral("Diagonal 2") << QStringLiteral(":/icons/patterns/diagonal2.png");
        QTest::newRow("3") << 3 << QStringLiteral("Diagonal 3") << QStringLiteral(":/icons/patterns/diagonal3.png");
        QTest::newRow("4") << 4 << QStringLiteral("Diagonal 4") << QStringLiteral(":/icons/patterns/diagonal4.png");
        QTest::newRow("5") << 5 << QStringLiteral("Hatch 1") << QStringLiteral(":/icons/patterns/hatch1.png");
        QTest::newRow("6") << 6 << QStringLiteral("Hatch 2") << QStringLiteral(":/icons/patterns/hatch2.png");
        QTest::newRow("7") << 7 << QStringLiteral("Chess board 2") << QStringLiteral(":/icons/patterns/chessboard2.png");
    }

    // Every built-in pattern is a real image: premultiplied, with both
    // covered and uncovered pixels, and unlike the others.
    void eightPatterns()
    {
        QFETCH(int, row);
        QFETCH(QString, name);
        QFETCH(QString, fileName);
        MPatternList *list = MPatternList::instance();
        QCOMPARE(list->rowCount(), 8);
        MPatternItem *item = list->at(row);
        QVERIFY(item);
        QCOMPARE(item->name(), name);
        QCOMPARE(item->fileName(), fileName);
        QVERIFY(!item->usePatternColor());
        QCOMPARE(list->data(list->index(row), list->roleOfProperty("name")).toString(), name);
        const QImage image = item->image();
        QCOMPARE(image.isNull(), row == 0);
        if (row == 0)
            return;
        QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
        int covered = 0, uncovered = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                covered += qAlpha(image.pixel(x, y)) == 255;
                uncovered += qAlpha(image.pixel(x, y)) == 0;
            }
        }
        QVERIFY(covered > 0);
        QVERIFY(uncovered > 0);
        for (int other = 1; other < list->count(); ++other)
            if (other != row)
                QVERIFY(list->at(other)->image() != image);
    }

    void rowsOutsideTheListHaveNoPattern()
    {
        QCOMPARE(MPatternList::instance()->at(8), nullptr);
        QCOMPARE(MPatternList::instance()->at(-1), nullptr);
    }

    // An image is always stored premultiplied and announced; the other
    // properties announce changes only.
    void itemProperties()
    {
        MPatternItem item;
        QSignalSpy images(&item, &MPatternItem::imageChanged);
        QSignalSpy names(&item, &MPatternItem::nameChanged);
        QSignalSpy colors(&item, &MPatternItem::usePatternColorChanged);
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(qRgba(255, 0, 0, 128));
        item.set_image(image);
        item.set_image(item.image());
        QCOMPARE(images.count(), 2);
        QCOMPARE(item.image().format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(qRed(item.image().pixel(0, 0)), 128);
        item.set_name(QStringLiteral("a"));
        item.set_name(QStringLiteral("a"));
        item.set_usePatternColor(false);
        item.set_usePatternColor(true);
        QCOMPARE(names.count(), 1);
        QCOMPARE(colors.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMPatternList)
#include "tst_mpatternlist.moc"
