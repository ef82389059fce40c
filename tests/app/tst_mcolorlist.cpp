#include "mcolorlist.h"
#include "msettings.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {
// Colour names as QColor reads them: "#rrggbb", or "#aarrggbb" for a colour
// with alpha.
QList<QColor> colors(const QStringList &names)
{
    QList<QColor> list;
    for (const QString &name : names)
        list.append(QColor(name));
    return list;
}

QList<QColor> historyOf(const MColorList *list)
{
    QList<QColor> history;
    for (int i = 0; i < list->count(); ++i)
        history.append(list->colorAt(i));
    return history;
}

QList<QColor> spiedColors(const QSignalSpy &spy)
{
    QList<QColor> list;
    for (const QList<QVariant> &arguments : spy)
        list.append(arguments.at(0).value<QColor>());
    return list;
}

// "#000001", "#000002"... all distinct.
QStringList distinct(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(QColor::fromRgb(0, 0, i).name());
    return names;
}
} // namespace

class TestMColorList : public QObject
{
    Q_OBJECT

private:
    // A new instance reading the given history length, as at a fresh start.
    static MColorList *freshList(int historyLength)
    {
        MSettings::instance()->set_colorListLength(historyLength);
        MColorList::destroyInstance();
        return MColorList::instance();
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<Qt::KeyboardModifiers>();
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorel"));
        QCoreApplication::setApplicationName(QStringLiteral("KalmiDraw"));
    }

    void cleanupTestCase()
    {
        MColorList::destroyInstance();
        MSettings::destroyInstance();
    }

    void startsBlackOnWhiteWithTheDefaultLength()
    {
        QSettings().remove(QStringLiteral("colorListLength"));
        MSettings::destroyInstance();
        MColorList::destroyInstance();
        MColorList *list = MColorList::instance();
        QCOMPARE(list->currentColor(), QColor(Qt::black));
        QCOMPARE(list->secondColor(), QColor(Qt::white));
        QCOMPARE(list->count(), 0);
        const QStringList eleven = distinct(11);
        for (const QColor &color : colors(eleven))
            list->updateColorList(color);
        QCOMPARE(historyOf(list), colors(QStringList(eleven.mid(1))));
    }

    void setColorTargetsByModifier_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QColor>("foreground");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("emitted");
        const QColor black(Qt::black), white(Qt::white), red(Qt::red);
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        QTest::newRow("no modifier: foreground") << red << none << red << white << true;
        QTest::newRow("shift: background") << red << Qt::KeyboardModifiers(Qt::ShiftModifier) << black << red << true;
        QTest::newRow("ctrl: background") << red << Qt::KeyboardModifiers(Qt::ControlModifier) << black << red << true;
        QTest::newRow("alt: background") << red << Qt::KeyboardModifiers(Qt::AltModifier) << black << red << true;
        QTest::newRow("several: background")
            << red << (Qt::ShiftModifier | Qt::ControlModifier) << black << red << true;
        QTest::newRow("foreground already held") << black << none << black << white << false;
        QTest::newRow("background already held")
            << white << Qt::KeyboardModifiers(Qt::ShiftModifier) << black << white << false;
        QTest::newRow("background colour into the foreground") << white << none << white << white << true;
        QTest::newRow("foreground colour into the background")
            << black << Qt::KeyboardModifiers(Qt::ShiftModifier) << black << black << true;
        QTest::newRow("alpha differs") << QColor(0, 0, 0, 128) << none << QColor(0, 0, 0, 128) << white << true;
        // Exact equality: the same black in another colour model is a change.
        QTest::newRow("black in hsv") << QColor::fromHsv(0, 0, 0) << none << QColor::fromHsv(0, 0, 0) << white
                                      << true;
        QTest::newRow("invalid colour") << QColor() << none << black << white << false;
        QTest::newRow("invalid colour, shift")
            << QColor() << Qt::KeyboardModifiers(Qt::ShiftModifier) << black << white << false;
    }

    void setColorTargetsByModifier()
    {
        QFETCH(QColor, color);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QColor, foreground);
        QFETCH(QColor, background);
        QFETCH(bool, emitted);

        MColorList *list = freshList(10);
        QSignalSpy changed(list, &MColorList::colorChanged);
        QSignalSpy added(list, &MColorList::colorAdded);
        list->setColor(color, modifiers);

        QCOMPARE(list->currentColor(), foreground);
        QCOMPARE(list->secondColor(), background);
        QCOMPARE(changed.count(), emitted ? 1 : 0);
        if (emitted) {
            QCOMPARE(changed.at(0).at(0).value<QColor>(), color);
            QCOMPARE(changed.at(0).at(1).value<Qt::KeyboardModifiers>(), modifiers);
        }
        // Choosing a colour is not painting with it.
        QCOMPARE(list->count(), 0);
        QCOMPARE(added.count(), 0);
    }

    void setColorWithoutModifiersIsTheForeground()
    {
        MColorList *list = freshList(10);
        list->setColor(Qt::white, Qt::ShiftModifier);
        QSignalSpy changed(list, &MColorList::colorChanged);
        list->setColor(QColor(Qt::blue));
        list->setColor(QColor(Qt::blue));
        QCOMPARE(list->currentColor(), QColor(Qt::blue));
        QCOMPARE(list->secondColor(), QColor(Qt::white));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::NoModifier));
    }

    void historyRule_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("painted");
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QStringList>("announced");

        const QStringList eleven = distinct(11);
        const QStringList fifteen = distinct(15);
        const QString r = "#ff0000", g = "#00ff00", b = "#0000ff", y = "#ffff00";

        QTest::newRow("oldest first") << 10 << QStringList{r, g, b} << QStringList{r, g, b} << QStringList{r, g, b};
        QTest::newRow("eleventh drops the oldest") << 10 << eleven << QStringList(eleven.mid(1)) << eleven;
        QTest::newRow("known colour is not moved")
            << 10 << QStringList{r, g, b, r, g} << QStringList{r, g, b} << QStringList{r, g, b};
        QTest::newRow("known colour twice in a row") << 10 << QStringList{r, r, r} << QStringList{r} << QStringList{r};
        QTest::newRow("known oldest colour in a full list stays")
            << 3 << QStringList{r, g, b, r} << QStringList{r, g, b} << QStringList{r, g, b};
        QTest::newRow("full list rolls on")
            << 3 << QStringList{r, g, b, y, r} << QStringList{b, y, r} << QStringList{r, g, b, y, r};
        QTest::newRow("length one") << 1 << QStringList{r, g, g, b} << QStringList{b} << QStringList{r, g, b};
        QTest::newRow("length 0 keeps every colour") << 0 << fifteen << fifteen << fifteen;
        QTest::newRow("negative length keeps every colour") << -1 << fifteen << fifteen << fifteen;
        QTest::newRow("alpha makes another colour") << 10 << QStringList{r, "#80ff0000"}
                                                    << QStringList{r, "#80ff0000"} << QStringList{r, "#80ff0000"};
        QTest::newRow("invalid colour is not recorded")
            << 10 << QStringList{r, "not a colour"} << QStringList{r} << QStringList{r};
    }

    void historyRule()
    {
        QFETCH(int, length);
        QFETCH(QStringList, painted);
        QFETCH(QStringList, history);
        QFETCH(QStringList, announced);

        MColorList *list = freshList(length);
        QSignalSpy added(list, &MColorList::colorAdded);
        QSignalSpy changed(list, &MColorList::colorChanged);
        for (const QColor &color : colors(painted))
            list->updateColorList(color);

        QCOMPARE(historyOf(list), colors(history));
        QCOMPARE(spiedColors(added), colors(announced));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(list->currentColor(), QColor(Qt::black));
    }

    void colorAtOutsideTheHistoryIsBlack_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("index");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("empty history") << 0 << 0 << QColor(Qt::black);
        QTest::newRow("negative") << 3 << -1 << QColor(Qt::black);
        QTest::newRow("one past the end") << 3 << 3 << QColor(Qt::black);
        QTest::newRow("far past the end") << 3 << 100 << QColor(Qt::black);
        QTest::newRow("first") << 3 << 0 << QColor(distinct(3).at(0));
        QTest::newRow("last") << 3 << 2 << QColor(distinct(3).at(2));
    }

    void colorAtOutsideTheHistoryIsBlack()
    {
        QFETCH(int, entries);
        QFETCH(int, index);
        QFETCH(QColor, expected);
        MColorList *list = freshList(10);
        for (const QColor &color : colors(distinct(entries)))
            list->updateColorList(color);
        QCOMPARE(list->colorAt(index), expected);
    }

    void clear_data()
    {
        QTest::addColumn<QColor>("foreground");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("emitted");
        QTest::newRow("red foreground, history") << QColor(Qt::red) << 4 << true;
        QTest::newRow("red foreground, empty history") << QColor(Qt::red) << 0 << true;
        QTest::newRow("black foreground") << QColor(Qt::black) << 4 << false;
        QTest::newRow("black foreground, empty history") << QColor(Qt::black) << 0 << false;
        QTest::newRow("translucent black") << QColor(0, 0, 0, 10) << 2 << true;
    }

    void clear()
    {
        QFETCH(QColor, foreground);
        QFETCH(int, entries);
        QFETCH(bool, emitted);

        MColorList *list = freshList(10);
        list->setColor(foreground);
        list->setColor(Qt::yellow, Qt::ShiftModifier);
        for (const QColor &color : colors(distinct(entries)))
            list->updateColorList(color);
        QSignalSpy changed(list, &MColorList::colorChanged);
        QSignalSpy added(list, &MColorList::colorAdded);

        list->clear();

        QCOMPARE(list->count(), 0);
        QCOMPARE(list->colorAt(0), QColor(Qt::black));
        QCOMPARE(list->currentColor(), QColor(Qt::black));
        QCOMPARE(list->secondColor(), QColor(Qt::yellow));
        QCOMPARE(changed.count(), emitted ? 1 : 0);
        if (emitted) {
            QCOMPARE(changed.at(0).at(0).value<QColor>(), QColor(Qt::black));
            QCOMPARE(changed.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::NoModifier));
        }
        QCOMPARE(added.count(), 0);

        // The history fills again after a clear, including with earlier colours.
        list->updateColorList(QColor(distinct(1).at(0)));
        QCOMPARE(list->count(), 1);
        QCOMPARE(added.count(), 1);
    }

    void lengthIsReadOnceAtCreation()
    {
        MColorList *list = freshList(2);
        MSettings::instance()->set_colorListLength(5);
        for (const QColor &color : colors(distinct(4)))
            list->updateColorList(color);
        QCOMPARE(historyOf(list), colors(QStringList(distinct(4).mid(2))));
    }
};

QTEST_GUILESS_MAIN(TestMColorList)
#include "tst_mcolorlist.moc"
