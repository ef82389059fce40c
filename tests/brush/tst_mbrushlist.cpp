#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushstream.h"
#include "mcurve.h"
#include "menum.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mutility.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {
// Brush ids by letter, so that the cases read short.
QString brushId(QChar letter)
{
    return QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964F%1}").arg(letter.toUpper());
}

// "{A}" stands for the id of brush A, "{a}" for it lower-cased.
QString withIds(QString text)
{
    for (QChar letter : QStringLiteral("ABCDE")) {
        text.replace(QStringLiteral("{%1}").arg(letter), brushId(letter));
        text.replace(QStringLiteral("{%1}").arg(letter.toLower()), brushId(letter).toLower());
    }
    return text;
}

// Writes a brush file in the fixture; the radius tells copies apart.
QString writeBrush(const MTestFolder &root, const QString &file, QChar letter, const QString &description,
                   double radius = 30)
{
    MBrush brush;
    brush.setId(brushId(letter));
    brush.setGroup(QStringLiteral("tests"));
    brush.setDescription(description);
    brush.setRadius(radius);
    QDir().mkpath(QFileInfo(root.filePath(file)).absolutePath());
    MBrushStream(&brush).saveToJsonFile(root.filePath(file));
    return root.filePath(file);
}

// Each entry is "A=description": brush A in its usual file (the lower-cased
// id); "A^=..." writes the file name upper-cased; "=!" an unreadable file.
void writeBrushes(const MTestFolder &root, const QString &folder, const QStringList &entries)
{
    QDir().mkpath(root.filePath(folder));
    for (const QString &entry : entries) {
        const QChar letter = entry.at(0);
        const QString id = entry.at(1) == QLatin1Char('^') ? brushId(letter) : brushId(letter).toLower();
        const QString file = folder + QLatin1Char('/') + id + QStringLiteral(".kxb");
        const QString description = entry.section(QLatin1Char('='), 1);
        if (description == QLatin1String("!"))
            root.writeFile(file, "{ \"broken\": ");
        else
            writeBrush(root, file, letter, description);
    }
}

struct Library : MBrushList
{
    explicit Library(const MTestFolder &root)
        : MBrushList(root.filePath(QStringLiteral("system")), root.filePath(QStringLiteral("user")))
    {
    }
    QString descriptions() const
    {
        QStringList list;
        for (int row = 0; row < count(); ++row)
            list.append(brush(row)->description());
        return list.join(QLatin1Char(','));
    }
};
} // namespace

class TestMBrushList : public QObject
{
    Q_OBJECT

private slots:
    void loadsInTheSavedOrder_data()
    {
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QStringList>("user");
        QTest::addColumn<QString>("systemIndex"); // null: no order file
        QTest::addColumn<QString>("userIndex");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("failures");

        const QStringList abc{"A=sys a", "B=sys b", "C=sys c"};
        QTest::newRow("no order file: user files, then system files")
            << QStringList{"B=sys b", "C=sys c"} << QStringList{"D=user d", "A=user a"} << QString() << QString()
            << "user a,user d,sys b,sys c" << 0;
        QTest::newRow("user file hides the system file, whatever the case of its name")
            << abc << QStringList{"B^=user b"} << QString() << QString() << "user b,sys a,sys c" << 0;
        QTest::newRow("system order") << abc << QStringList() << "{C}\n{a}\n" << QString() << "sys c,sys a" << 0;
        QTest::newRow("user order before the system order")
            << abc << QStringList{"A=user a"} << "{C}\n{B}\n" << "{A} # tests/user a\n{C}\n" << "user a,sys c" << 0;
        QTest::newRow("comments, blank lines, blanks and case")
            << abc << QStringList() << QString() << "  {b}   # brushes/soft\n\n# a comment only\n   \n{A}\n"
            << "sys b,sys a" << 0;
        QTest::newRow("system order when the user's names nothing")
            << abc << QStringList() << "{B}\n" << "# nothing\n\n" << "sys b" << 0;
        QTest::newRow("ids without a file are skipped")
            << abc << QStringList() << QString() << "{E}\n{C}\n../{C}\n" << "sys c" << 0;
        QTest::newRow("an unreadable file is left out")
            << QStringList{"A=sys a", "B=!", "C=sys c"} << QStringList() << QString() << QString() << "sys a,sys c" << 1;
    }

    void loadsInTheSavedOrder()
    {
        QFETCH(QStringList, system);
        QFETCH(QStringList, user);
        QFETCH(QString, systemIndex);
        QFETCH(QString, userIndex);
        QFETCH(QString, rows);
        QFETCH(int, failures);
        MTestFolder root;
        writeBrushes(root, QStringLiteral("system"), system);
        writeBrushes(root, QStringLiteral("user"), user);
        if (!systemIndex.isNull())
            root.writeFile(QStringLiteral("system/index.kxl"), withIds(systemIndex).toUtf8());
        if (!userIndex.isNull())
            root.writeFile(QStringLiteral("user/index.kxl"), withIds(userIndex).toUtf8());
        const MTestLogWatch log;

        Library library(root);
        QCOMPARE(library.descriptions(), rows);
        QCOMPARE(library.currentRow(), 0);
        QCOMPARE(library.currentBrush(), library.brush(0));
        QCOMPARE(log.count(QStringLiteral("System error: Unable to load brush ") + root.path()), failures);
        QCOMPARE(log.count(QStringLiteral("Brushes loaded: %1 brushes.").arg(library.count())), 1);
        QCOMPARE(log.count(QStringLiteral("System error")), failures);
        for (int row = 0; row < library.count(); ++row) {
            QVERIFY(MParamList::isItemId(library.brush(row)->id()));
            QCOMPARE(library.brush(row)->parent(), &library);
        }
    }

    void emptyFoldersGiveTheDefaultBrush_data()
    {
        QTest::addColumn<QString>("userIndex");
        QTest::addColumn<QStringList>("system");
        QTest::newRow("both folders empty") << QString() << QStringList();
        QTest::newRow("order of missing files") << "{A}\n{B}\n" << QStringList();
        QTest::newRow("only unreadable files") << QString() << QStringList{"A=!"};
    }

    void emptyFoldersGiveTheDefaultBrush()
    {
        QFETCH(QString, userIndex);
        QFETCH(QStringList, system);
        MTestFolder root;
        writeBrushes(root, QStringLiteral("system"), system);
        if (!userIndex.isNull())
            root.writeFile(QStringLiteral("user/index.kxl"), withIds(userIndex).toUtf8());
        const MTestLogWatch log;
        Library library(root);
        QCOMPARE(library.count(), 1);
        QCOMPARE(library.brush(0)->description(), QStringLiteral("Default brush"));
        QCOMPARE(library.brush(0)->group(), QStringLiteral("basic"));
        QCOMPARE(library.currentBrush(), library.brush(0));
        const QStringList lines = log.lines();
        const int empty = lines.indexOf(QRegularExpression(
            QStringLiteral(".*System error: Brush system and user directories are empty. Adding a default brush.$")));
        QVERIFY(empty >= 0);
        QVERIFY(lines.indexOf(QRegularExpression(QStringLiteral(".*: Brushes loaded: 1 brushes.$"))) > empty);
        // The default row has no file until something saves it.
        QVERIFY(QDir(root.filePath(QStringLiteral("user"))).entryList({QStringLiteral("*.kxb")}).isEmpty());
    }

    void rowsAndIds()
    {
        MTestFolder root;
        writeBrushes(root, QStringLiteral("system"), {"A=sys a", "B=sys b"});
        writeBrushes(root, QStringLiteral("user"), {"B=user b"});
        Library library(root);
        QCOMPARE(library.count(), 2);
        // Rows that do not exist give the default brush, never null.
        MBrush *fallback = library.brush(-1);
        QVERIFY(fallback);
        QCOMPARE(library.brush(library.count()), fallback);
        QCOMPARE(fallback->description(), QStringLiteral("Default brush"));
        QCOMPARE(fallback->group(), QStringLiteral("basic"));
        QVERIFY(library.indexOf(fallback) < 0);

        QCOMPARE(library.indexOfBrushId(brushId('a').toLower()), 1);
        QCOMPARE(library.indexOfBrushId(brushId('A')), 1);
        QCOMPARE(library.indexOfBrushId(brushId('E')), -1);
        QVERIFY(!library.removeBrushById(brushId('E')));
        QCOMPARE(library.count(), 2);

        library.setCurrentRow(1);
        library.currentBrush()->setRadius(17);
        QCOMPARE(library.brushValue(MEnum::bsRadius), 17.0);
        library.setCurrentRow(-1);
        QCOMPARE(library.brushValue(MEnum::bsRadius), fallback->radius());

        // Removing deletes the user file and keeps the system file.
        QVERIFY(library.removeBrushById(brushId('b')));
        QCOMPARE(library.descriptions(), QStringLiteral("sys a"));
        QVERIFY(!QFile::exists(root.filePath(QStringLiteral("user/") + brushId('b').toLower() + QStringLiteral(".kxb"))));
        QVERIFY(QFile::exists(root.filePath(QStringLiteral("system/") + brushId('b').toLower() + QStringLiteral(".kxb"))));
    }

    void unknownIdsOfANewOrderAreLogged()
    {
        MTestFolder root;
        writeBrushes(root, QStringLiteral("system"), {"A=sys a", "B=sys b", "C=sys c"});
        Library library(root);
        const MTestLogWatch log;
        QVERIFY(library.setOrder({brushId('C'), brushId('E'), brushId('A')}));
        library.reorder();
        QCOMPARE(library.descriptions(), QStringLiteral("sys c,sys a"));
        QCOMPARE(log.count(QStringLiteral("System error: Object id not found in list: ") + brushId('E')), 1);
        QCOMPARE(QString::fromUtf8(root.readFile(QStringLiteral("user/index.kxl"))),
                 withIds(QStringLiteral("{C} # tests/sys c\n{E}\n{A} # tests/sys a\n")));
    }

    void createBrush_data()
    {
        QTest::addColumn<bool>("fromSource");
        QTest::newRow("copy of a brush") << true;
        QTest::newRow("new brush") << false;
    }

    void createBrush()
    {
        QFETCH(bool, fromSource);
        MTestFolder root;
        writeBrushes(root, QStringLiteral("system"), {"A=sys a"});
        Library library(root);
        MBrush *source = library.brush(0);
        source->setRadius(4.5);
        source->addCurve(MEnum::bsFlow, MEnum::biPressure)->setPoints({{0, 0.5}, {1, 1}});
        source->setQuickSettings({MEnum::bsNoise});

        MBrush *created = fromSource ? library.createBrush(source, QStringLiteral("Inks"), QStringLiteral("Wet Ink"))
                                     : library.createBrushNamed(QStringLiteral("Inks"), QStringLiteral("Wet Ink"));
        QVERIFY(MParamList::isItemId(created->id()));
        QVERIFY(created->id() != source->id());
        QCOMPARE(created->group(), QStringLiteral("Inks"));
        QCOMPARE(created->description(), QStringLiteral("Wet Ink"));
        QCOMPARE(library.count(), 2);
        QCOMPARE(library.brush(1), created);
        QCOMPARE(library.currentBrush(), created);
        QCOMPARE(created->radius(), fromSource ? 4.5 : 30.0);
        QCOMPARE(created->settingHasCurve(MEnum::bsFlow), fromSource);

        // Its user file, named by the lower-cased id, holds the brush.
        const QString file = root.filePath(QStringLiteral("user/") + created->id().toLower() + QStringLiteral(".kxb"));
        QCOMPARE(created->userFilePath(), file);
        MBrush read;
        QVERIFY(MBrushStream(&read).loadFromJsonFile(file));
        QCOMPARE(read.id(), created->id());
        QCOMPARE(read.description(), QStringLiteral("wet ink"));
        QCOMPARE(read.radius(), created->radius());
        QCOMPARE(read.quickSettings(), created->quickSettings());
        // Its id joins the saved order with its group and description.
        QCOMPARE(library.order().last(), created->id());
        QVERIFY(QString::fromUtf8(root.readFile(QStringLiteral("user/index.kxl")))
                    .endsWith(created->id() + QStringLiteral(" # Inks/Wet Ink\n")));

        // A new library finds it where the order puts it.
        Library again(root);
        QCOMPARE(again.descriptions(), QStringLiteral("sys a,wet ink"));
    }

    void filePaths()
    {
        MTestFolder root;
        writeBrushes(root, QStringLiteral("system"), {"A^=sys a", "B=sys b"});
        writeBrushes(root, QStringLiteral("user"), {"A^=user a"});
        Library library(root);
        MBrush *a = library.brush(library.indexOfBrushId(brushId('A')));
        MBrush *b = library.brush(library.indexOfBrushId(brushId('B')));
        // Files are found under the names they have on disk.
        QCOMPARE(a->userFilePath(), root.filePath(QStringLiteral("user/") + brushId('A') + QStringLiteral(".kxb")));
        QCOMPARE(a->systemFilePath(), root.filePath(QStringLiteral("system/") + brushId('A') + QStringLiteral(".kxb")));
        QVERIFY(a->systemFileExists());
        QCOMPARE(b->userFilePath(), root.filePath(QStringLiteral("user/") + brushId('b').toLower() + QStringLiteral(".kxb")));
        QVERIFY(b->systemFileExists());

        // A brush of no file goes by its id, trimmed and lower-cased.
        MBrush *loose = library.createBrushNamed(QString(), QStringLiteral("loose"));
        loose->setId(QStringLiteral("  ") + brushId('C') + QStringLiteral(" "));
        QCOMPARE(loose->userFilePath(), root.filePath(QStringLiteral("user/") + brushId('c').toLower() + QStringLiteral(".kxb")));
        QCOMPARE(loose->systemFilePath(), root.filePath(QStringLiteral("system/") + brushId('c').toLower() + QStringLiteral(".kxb")));
        QVERIFY(!loose->systemFileExists());
        // An id that is no file name names no file, and nothing is written.
        loose->setId(QStringLiteral("../../x"));
        QCOMPARE(loose->userFilePath(), QString());
        QVERIFY(!loose->systemFileExists());
        const MTestLogWatch log;
        QVERIFY(!loose->save());
        QCOMPARE(log.count(QStringLiteral("System error: Unable to save brush ../../x")), 1);
        QVERIFY(!QFile::exists(root.filePath(QStringLiteral("x.kxb"))));
    }

    void loadFromFileAnnouncesEverySetting()
    {
        MTestFolder root;
        writeBrushes(root, QStringLiteral("system"), {"A=sys a"});
        Library library(root);
        MBrush *brush = library.brush(0);
        QSignalSpy radius(brush, &MBrush::radiusChanged);
        QSignalSpy eraser(brush, &MBrush::eraserChanged);
        QSignalSpy angleType(brush, &MBrush::angleTypeChanged);
        QSignalSpy description(brush, &MBrush::descriptionChanged);

        QVERIFY(!brush->loadFromFile(root.filePath(QStringLiteral("system/missing.kxb"))));
        QVERIFY(!brush->loadFromFile(QString()));
        QCOMPARE(radius.count() + eraser.count() + angleType.count() + description.count(), 0);

        // Every setting is announced, changed or not.
        QVERIFY(brush->loadFromFile(writeBrush(root, QStringLiteral("other.kxb"), 'A', QStringLiteral("other"), 8)));
        QCOMPARE(radius.count(), 2);
        QCOMPARE(radius.last().at(0).toDouble(), 8.0);
        QCOMPARE(eraser.count(), 1);
        QCOMPARE(angleType.count(), 1);
        QCOMPARE(description.count(), 1);

        // An unreadable file fails, and still announces.
        QVERIFY(!brush->loadFromFile(root.writeFile(QStringLiteral("broken.kxb"), "{")));
        QCOMPARE(radius.count(), 3);
        QCOMPARE(brush->description(), QStringLiteral("other"));
    }

    void saveReloadAndRestore()
    {
        MTestFolder root;
        writeBrush(root, QStringLiteral("system/") + brushId('A').toLower() + QStringLiteral(".kxb"), 'A',
                   QStringLiteral("System A"), 10);
        Library library(root);
        MBrush *brush = library.brush(0);
        const QString userFile = root.filePath(QStringLiteral("user/") + brushId('a').toLower() + QStringLiteral(".kxb"));

        // No user file: reload reads the system file.
        brush->setRadius(55);
        brush->reload();
        QCOMPARE(brush->radius(), 10.0);

        // A saved brush reloads from its user file.
        brush->setRadius(20);
        brush->setDescription(QStringLiteral("Mine"));
        QVERIFY(brush->save());
        brush->setRadius(1);
        brush->reload();
        QCOMPARE(brush->radius(), 20.0);
        QVERIFY(brush->load());
        QCOMPARE(brush->description(), QStringLiteral("mine"));

        // Restoring puts the system brush back, in the user file too.
        brush->restore();
        QCOMPARE(brush->radius(), 10.0);
        QCOMPARE(brush->description(), QStringLiteral("system a"));
        const QJsonObject user = QJsonDocument::fromJson(root.readFile(QStringLiteral("user/") + brushId('a').toLower()
                                                                       + QStringLiteral(".kxb")))
                                     .object();
        QCOMPARE(user.value(QStringLiteral("version")).toInt(), 100);
        QCOMPARE(user.value(QStringLiteral("description")).toString(), QStringLiteral("system a"));
        QCOMPARE(user.value(QStringLiteral("group")).toString(), QStringLiteral("tests"));
        QCOMPARE(user.value(QStringLiteral("radius")).toObject().value(QStringLiteral("value")).toDouble(), 10.0);
        QVERIFY(QFile::exists(userFile));

        // A user file that cannot be replaced fails the save.
        QFile::remove(userFile);
        QDir().mkpath(userFile);
        QVERIFY(!brush->save());
    }

    void previewKeepsWhatItHas()
    {
        MBrush brush;
        QImage picture(150, 60, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        brush.setPreview(picture);
        QCOMPARE(brush.preview().format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(brush.preview().pixel(3, 3), QColor(Qt::blue).rgba());
        brush.setPreview(QImage());
        QCOMPARE(brush.preview().size(), QSize(150, 60));
        // A new picture replaces it: the frame around the sample stroke is clear.
        brush.updatePreview();
        QCOMPARE(brush.preview().size(), QSize(150, 60));
        QCOMPARE(brush.preview().pixel(3, 3), qRgba(0, 0, 0, 0));
    }
};

QTEST_MAIN(TestMBrushList)
#include "tst_mbrushlist.moc"
