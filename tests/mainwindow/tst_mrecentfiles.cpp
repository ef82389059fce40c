#include "mrecentfiles.h"
#include "msettings.h"
#include "mtestfolder.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {
// Names prefixed with "missing:" stand for files that do not exist.
QString pathIn(const MTestFolder &folder, const QString &name)
{
    if (name.startsWith(QStringLiteral("missing:")))
        return folder.filePath(name.mid(8));
    if (name.isEmpty())
        return QString();
    return folder.writeFile(name, QByteArrayLiteral("x"));
}

QStringList pathsIn(const MTestFolder &folder, const QStringList &names)
{
    QStringList paths;
    for (const QString &name : names)
        paths.append(pathIn(folder, name));
    return paths;
}

QStringList numbered(int first, int last, const QString &suffix)
{
    QStringList names;
    for (int i = first; i <= last; ++i)
        names.append(QStringLiteral("f%1").arg(i) + suffix);
    return names;
}

QStringList reversed(QStringList names)
{
    std::reverse(names.begin(), names.end());
    return names;
}

// What the menu shows, position by position: the text of a visible entry,
// "-" for a hidden one.
QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts.append(action->isVisible() ? action->text() : QStringLiteral("-"));
    return texts;
}
} // namespace

class TestMRecentFiles : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        MSettings::instance()->remove(QStringLiteral("recentFiles"));
    }

    // The stored list after the files were recorded one after the other.
    void setCurrentFile_data()
    {
        QTest::addColumn<QStringList>("stored"); // before
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QStringList>("recorded");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first file") << QStringList() << 10 << QStringList{"a.kxd"} << QStringList{"a.kxd"};
        QTest::newRow("same file twice stays once") << QStringList() << 10 << QStringList{"a.kxd", "a.kxd"}
                                                     << QStringList{"a.kxd"};
        QTest::newRow("reopened file moves to the front")
            << QStringList() << 10 << QStringList{"a.kxd", "b.png", "c.kxd", "a.kxd"}
            << QStringList{"a.kxd", "c.kxd", "b.png"};
        QTest::newRow("duplicates already stored are all removed")
            << QStringList{"b.kxd", "a.kxd", "b.kxd"} << 10 << QStringList{"b.kxd"} << QStringList{"b.kxd", "a.kxd"};
        QTest::newRow("names differing in case are different files")
            << QStringList() << 10 << QStringList{"b.kxd", "B.kxd"} << QStringList{"B.kxd", "b.kxd"};
        QTest::newRow("eleventh file pushes the oldest out")
            << QStringList() << 10 << numbered(1, 11, ".kxd") << reversed(numbered(2, 11, ".kxd"));
        QTest::newRow("tenth file keeps them all") << QStringList() << 10 << numbered(1, 10, ".kxd")
                                                   << reversed(numbered(1, 10, ".kxd"));
        QTest::newRow("a longer stored list is cut to the maximum")
            << numbered(1, 12, ".png") << 10 << QStringList{"new.kxd"}
            << (QStringList{"new.kxd"} + numbered(1, 9, ".png"));
        QTest::newRow("maximum of two") << QStringList() << 2 << QStringList{"a.kxd", "b.kxd", "c.kxd"}
                                        << QStringList{"c.kxd", "b.kxd"};
        QTest::newRow("no name is not recorded") << QStringList() << 10 << QStringList{"a.kxd", QString()}
                                                 << QStringList{"a.kxd"};
    }

    void setCurrentFile()
    {
        QFETCH(QStringList, stored);
        QFETCH(int, maximum);
        QFETCH(QStringList, recorded);
        QFETCH(QStringList, expected);
        const MTestFolder folder;
        MSettings::instance()->set_recentFiles(pathsIn(folder, stored));
        QMenu menu;
        MRecentFiles recent(&menu, maximum);
        for (const QString &name : recorded)
            recent.setCurrentFile(pathIn(folder, name));
        QCOMPARE(MSettings::instance()->recentFiles(), pathsIn(folder, expected));
        // The menu follows at once.
        QCOMPARE(menuTexts(&menu).first(), QStringLiteral("&1 ") + expected.first());
    }

    // The entries shown for a stored list, numbered by position.
    void menu_data()
    {
        QTest::addColumn<QVariant>("stored"); // names, or an invalid variant for no value
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QStringList>("shown");
        QStringList hidden10;
        for (int i = 0; i < 10; ++i)
            hidden10.append(QStringLiteral("-"));
        QTest::newRow("no value") << QVariant() << 10 << hidden10;
        QTest::newRow("empty list") << QVariant(QStringList()) << 10 << hidden10;
        QTest::newRow("two files") << QVariant(QStringList{"a.kxd", "b.png"}) << 3
                                   << QStringList{"&1 a.kxd", "&2 b.png", "-"};
        QTest::newRow("a missing file leaves a gap in the numbering")
            << QVariant(QStringList{"a.kxd", "missing:gone.kxd", "c.png"}) << 4
            << QStringList{"&1 a.kxd", "-", "&3 c.png", "-"};
        QTest::newRow("every file missing") << QVariant(QStringList{"missing:a.kxd", "missing:b.kxd"}) << 2
                                            << QStringList{"-", "-"};
        QStringList tenth = numbered(1, 10, ".kxd");
        QStringList tenthShown;
        for (int i = 0; i < 10; ++i)
            tenthShown.append(QStringLiteral("&%1 f%2.kxd").arg(i + 1).arg(i + 1));
        QTest::newRow("tenth entry") << QVariant(tenth) << 10 << tenthShown;
        QTest::newRow("more stored than shown") << QVariant(numbered(1, 4, ".png")) << 2
                                                << QStringList{"&1 f1.png", "&2 f2.png"};
        QTest::newRow("a single text is a list of one") << QVariant(QStringLiteral("a.kxd")) << 2
                                                         << QStringList{"&1 a.kxd", "-"};
        QTest::newRow("no entries") << QVariant(QStringList{"a.kxd"}) << 0 << QStringList();
    }

    void menu()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, maximum);
        QFETCH(QStringList, shown);
        const MTestFolder folder;
        QStringList paths;
        if (stored.type() == QVariant::String) {
            paths = pathsIn(folder, {stored.toString()});
            MSettings::instance()->setValue(QStringLiteral("recentFiles"), paths.first());
        } else if (stored.isValid()) {
            paths = pathsIn(folder, stored.toStringList());
            MSettings::instance()->set_recentFiles(paths);
        }
        QMenu menu;
        MRecentFiles recent(&menu, maximum);
        QCOMPARE(recent.actions().size(), maximum);
        QCOMPARE(menu.actions().toVector(), recent.actions());
        QCOMPARE(menuTexts(&menu), shown);
        for (int i = 0; i < shown.size(); ++i) {
            if (shown.at(i) != QStringLiteral("-"))
                QCOMPARE(menu.actions().at(i)->data().toString(), paths.at(i));
        }
    }

    // Choosing an entry asks for its file only while the file is there.
    void chooseEntry()
    {
        const MTestFolder folder;
        const QString kept = folder.writeFile(QStringLiteral("kept.kxd"), QByteArrayLiteral("x"));
        const QString gone = folder.writeFile(QStringLiteral("gone.png"), QByteArrayLiteral("x"));
        MSettings::instance()->set_recentFiles({gone, kept});
        QMenu menu;
        MRecentFiles recent(&menu, 10);
        QSignalSpy opened(&recent, &MRecentFiles::openRecentFile);
        QVERIFY(recent.actions().at(0)->isVisible());
        QVERIFY(QFile::remove(gone));
        recent.actions().at(0)->trigger();
        QCOMPARE(opened.count(), 0);
        recent.actions().at(1)->trigger();
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), kept);
    }

    void setMaxRecentFiles()
    {
        const MTestFolder folder;
        const QStringList paths = pathsIn(folder, numbered(1, 5, ".kxd"));
        MSettings::instance()->set_recentFiles(paths);
        QMenu menu;
        MRecentFiles recent(&menu, 5);
        QSignalSpy changed(&recent, &MRecentFiles::maxRecentFilesChanged);
        QSignalSpy opened(&recent, &MRecentFiles::openRecentFile);

        recent.setMaxRecentFiles(5);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(menu.actions().size(), 5);

        recent.setMaxRecentFiles(3);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 3);
        QCOMPARE(menuTexts(&menu), (QStringList{"&1 f1.kxd", "&2 f2.kxd", "&3 f3.kxd"}));
        // The stored list waits for the next recorded file to be cut.
        QCOMPARE(MSettings::instance()->recentFiles(), paths);
        // The new entries still open their files.
        recent.actions().at(2)->trigger();
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), paths.at(2));

        recent.setCurrentFile(paths.at(4));
        QCOMPARE(MSettings::instance()->recentFiles(), (QStringList{paths.at(4), paths.at(0), paths.at(1)}));

        recent.setMaxRecentFiles(6);
        QCOMPARE(menuTexts(&menu), (QStringList{"&1 f5.kxd", "&2 f1.kxd", "&3 f2.kxd", "-", "-", "-"}));
    }
};

QTEST_MAIN(TestMRecentFiles)
#include "tst_mrecentfiles.moc"
