#include "mparamlist.h"
#include "mfolders.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {
QString uuid(int n)
{
    return QStringLiteral("{00000000-0000-4000-8000-%1}").arg(n, 12, 10, QLatin1Char('0'));
}

// Writes an effect file "<folder>/<lower-case id>.kxs" as another program
// would: group and description as given, the source in Base64.
QString writeEffect(const MTestFolder &root, const QString &folder, const QString &id, const QString &group,
                    const QString &description, const QString &source = QStringLiteral("@main"))
{
    const QJsonObject json{{QStringLiteral("id"), id},
                           {QStringLiteral("group"), group},
                           {QStringLiteral("description"), description},
                           {QStringLiteral("source"), QString::fromLatin1(source.toUtf8().toBase64())},
                           {QStringLiteral("type"), 0}};
    return root.writeFile(folder + QLatin1Char('/') + id.toLower() + QStringLiteral(".kxs"), QJsonDocument(json).toJson());
}

QString rows(const MShaderList &library)
{
    QStringList list;
    for (int row = 0; row < library.rowCount(); ++row)
        list << library.shaderAt(row)->group() + QLatin1Char('/') + library.shaderAt(row)->description();
    return list.join(QLatin1Char(','));
}

struct Library
{
    MTestFolder root;
    std::unique_ptr<MShaderList> list;

    Library()
    {
        QDir().mkpath(root.filePath(QStringLiteral("system")));
        QDir().mkpath(root.filePath(QStringLiteral("user")));
    }
    MShaderList &load()
    {
        list.reset(new MShaderList(root.filePath(QStringLiteral("system")), root.filePath(QStringLiteral("user"))));
        return *list;
    }
};
} // namespace

class TestMShaderList : public QObject
{
    Q_OBJECT

private slots:
    void rowsAreSortedByGroupThenDescription_data()
    {
        QTest::addColumn<QStringList>("system"); // "group/description"
        QTest::addColumn<QStringList>("user");
        QTest::addColumn<QString>("userIndex"); // null: none
        QTest::addColumn<QString>("rows");
        QTest::newRow("both folders") << QStringList{"color/tint", "filters/blur", "color/invert"}
                                      << QStringList{"color/grayscale", "brush engines/grain"} << QString()
                                      << "brush engines/grain,color/grayscale,color/invert,color/tint,filters/blur";
        QTest::newRow("names read in lower case") << QStringList{"Zeta/B", "alpha/a"} << QStringList() << QString()
                                                  << "alpha/a,zeta/b";
        QTest::newRow("empty names") << QStringList{"/x", "g/"} << QStringList() << QString()
                                     << "basics/x,g/brush shader";
        QTest::newRow("the order file chooses, the sort orders") << QStringList{"a/3", "a/2", "a/1"} << QStringList()
                                                                 << "%3\n%1\n" << "a/1,a/3";
    }

    void rowsAreSortedByGroupThenDescription()
    {
        QFETCH(QStringList, system);
        QFETCH(QStringList, user);
        QFETCH(QString, userIndex);
        QFETCH(QString, rows);
        Library fixture;
        int n = 0;
        for (const QString &entry : system)
            writeEffect(fixture.root, QStringLiteral("system"), uuid(++n), entry.section(QLatin1Char('/'), 0, 0),
                        entry.section(QLatin1Char('/'), 1));
        for (const QString &entry : user)
            writeEffect(fixture.root, QStringLiteral("user"), uuid(++n), entry.section(QLatin1Char('/'), 0, 0),
                        entry.section(QLatin1Char('/'), 1));
        if (!userIndex.isNull())
            fixture.root.writeFile(QStringLiteral("user/index.kxl"), QString(userIndex).replace(QStringLiteral("%1"), uuid(1)).replace(QStringLiteral("%3"), uuid(3)).toUtf8());
        const MTestLogWatch log;
        MShaderList &library = fixture.load();
        QCOMPARE(::rows(library), rows);
        QCOMPARE(library.currentRow(), 0);
        QCOMPARE(library.current(), library.shaderAt(0));
        QCOMPARE(log.count(QStringLiteral("Shaders loaded: %1 shaders.").arg(library.rowCount())), 1);
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
        QCOMPARE(library.mimeTypes(), QStringList{"application/vnd.vantorel.shader"});
    }

    void twoEmptyFolders()
    {
        Library fixture;
        const MTestLogWatch log;
        MShaderList &library = fixture.load();
        QCOMPARE(library.rowCount(), 1);
        MShader *shader = library.shaderAt(0);
        QCOMPARE(shader->description(), QStringLiteral("Default effect"));
        QCOMPARE(shader->group(), QStringLiteral("basic"));
        QCOMPARE(shader->source(), QStringLiteral("@main"));
        QVERIFY(shader != library.defaultShader());
        QCOMPARE(library.find(shader->id()), shader);
        QCOMPARE(library.currentRow(), 0);
        QCOMPARE(log.count(QStringLiteral(
                     "System error: Shader system and user directories are empty. Adding a default shader.")),
                 1);
        QCOMPARE(log.count(QStringLiteral("Shaders loaded: 1 shaders.")), 1);
        // The stand-in row is not saved.
        QCOMPARE(QDir(fixture.root.filePath(QStringLiteral("user"))).entryList(QDir::Files), QStringList());
    }

    void defaultItem()
    {
        Library fixture;
        const QString broken = fixture.root.writeFile(QStringLiteral("user/") + uuid(1).toLower() + ".kxs", "{ broken");
        const MTestLogWatch log;
        MShaderList &library = fixture.load();
        // An unreadable file is no row; the library is then empty.
        QCOMPARE(library.rowCount(), 0);
        QCOMPARE(log.count(QStringLiteral("System error: Unable to load shader ") + broken), 1);
        QCOMPARE(log.count(QStringLiteral("System error: Not an effect file: ") + broken), 1);
        MShader *fallback = library.defaultShader();
        QVERIFY(fallback);
        QCOMPARE(fallback->description(), QStringLiteral("Default effect"));
        QCOMPARE(fallback->group(), QStringLiteral("basic"));
        QCOMPARE(fallback->source(), QStringLiteral("@main"));
        QVERIFY(MParamList::isItemId(fallback->id()));
        QCOMPARE(library.current(), fallback);
        QVERIFY(!library.shaderAt(0));
        QVERIFY(!library.shaderAt(-1));
        // Callers that need a row get null; the table lookup stands in the default.
        QVERIFY(!library.find(uuid(1)));
        QVERIFY(!library.find(fallback->id()));
        QCOMPARE(library.findById(uuid(1)), fallback);
        QCOMPARE(library.rowOfId(fallback->id()), -1);
        QVERIFY(QFile::exists(broken));
    }

    void lookups_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("found");     // by find
        QTest::addColumn<bool>("foundInRow"); // by rowOfId and remove
        const QString id = uuid(7);
        QTest::newRow("as stored") << id << true << true;
        QTest::newRow("lower case") << id.toLower() << true << true;
        QTest::newRow("surrounding blanks") << " " + id.toLower() + "\t" << true << false;
        QTest::newRow("another id") << uuid(8) << false << false;
        QTest::newRow("empty") << "" << false << false;
    }

    void lookups()
    {
        QFETCH(QString, id);
        QFETCH(bool, found);
        QFETCH(bool, foundInRow);
        Library fixture;
        writeEffect(fixture.root, QStringLiteral("system"), uuid(1), QStringLiteral("a"), QStringLiteral("first"));
        const QString userFile = writeEffect(fixture.root, QStringLiteral("user"), uuid(7), QStringLiteral("b"),
                                             QStringLiteral("second"));
        MShaderList &library = fixture.load();
        MShader *shader = library.shaderAt(1);
        QCOMPARE(shader->description(), QStringLiteral("second"));
        QCOMPARE(library.find(id), found ? shader : nullptr);
        QCOMPARE(library.rowOfId(id), foundInRow ? 1 : -1);
        QCOMPARE(library.remove(id), foundInRow);
        QCOMPARE(library.rowCount(), foundInRow ? 1 : 2);
        QCOMPARE(QFile::exists(userFile), !foundInRow);
        QCOMPARE(rows(library), foundInRow ? QStringLiteral("a/first") : QStringLiteral("a/first,b/second"));
    }

    void removingASystemEffectKeepsItsFile()
    {
        Library fixture;
        const QString file = writeEffect(fixture.root, QStringLiteral("system"), uuid(1), QStringLiteral("a"),
                                         QStringLiteral("first"));
        MShaderList &library = fixture.load();
        QVERIFY(library.remove(uuid(1)));
        QCOMPARE(library.rowCount(), 0);
        QVERIFY(QFile::exists(file));
        QVERIFY(!library.remove(uuid(1)));
    }

    void systemEffectsWinOverUserFiles()
    {
        Library fixture;
        writeEffect(fixture.root, QStringLiteral("system"), uuid(1), QStringLiteral("color"), QStringLiteral("system tint"),
                    QStringLiteral("@main\nf_color = vec4(1.0);"));
        const QString userCopy = writeEffect(fixture.root, QStringLiteral("user"), uuid(1), QStringLiteral("color"),
                                             QStringLiteral("my tint"), QStringLiteral("@main\nf_color = vec4(0.5);"));
        writeEffect(fixture.root, QStringLiteral("user"), uuid(2), QStringLiteral("color"), QStringLiteral("my own"));
        const QByteArray userBytes = fixture.root.readFile(QStringLiteral("user/") + uuid(1).toLower() + ".kxs");
        const MTestLogWatch log;
        MShaderList &library = fixture.load();
        QCOMPARE(rows(library), QStringLiteral("color/my own,color/system tint"));
        QCOMPARE(library.find(uuid(1))->source(), QStringLiteral("@main\nf_color = vec4(1.0);"));
        QCOMPARE(MParamList::itemFile(library.find(uuid(1))).location, int(MFolders::SystemPath));
        // The user's file stays as it was, and the log says why it is not used.
        QCOMPARE(fixture.root.readFile(QStringLiteral("user/") + uuid(1).toLower() + ".kxs"), userBytes);
        QCOMPARE(log.count(QStringLiteral("The user file %1 has the id of a system shader and is not used.").arg(userCopy)), 1);
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
    }

    void idsOfFilesAreBracedUuids_data()
    {
        QTest::addColumn<QString>("idInFile");
        QTest::addColumn<QString>("id"); // of the row
        QTest::addColumn<int>("logged");
        QTest::newRow("braced UUID in lower case") << uuid(3).toLower() << uuid(3) << 0;
        QTest::newRow("no id") << "" << uuid(3) << 1;
        QTest::newRow("climbing out") << "../../x" << uuid(3) << 1;
        QTest::newRow("UUID without braces") << uuid(4).mid(1, 36) << uuid(3) << 1;
        QTest::newRow("another braced UUID") << uuid(4) << uuid(4) << 0;
    }

    void idsOfFilesAreBracedUuids()
    {
        QFETCH(QString, idInFile);
        QFETCH(QString, id);
        QFETCH(int, logged);
        Library fixture;
        const QString path = writeEffect(fixture.root, QStringLiteral("user"), uuid(3), QStringLiteral("g"),
                                         QStringLiteral("d"));
        QJsonObject json = QJsonDocument::fromJson(fixture.root.readFile(QStringLiteral("user/") + uuid(3).toLower() + ".kxs")).object();
        json.insert(QStringLiteral("id"), idInFile);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QJsonDocument(json).toJson());
        file.close();
        const MTestLogWatch log;
        MShaderList &library = fixture.load();
        QCOMPARE(library.rowCount(), 1);
        QCOMPARE(library.shaderAt(0)->id(), id);
        QCOMPARE(log.count(QStringLiteral("System error: Invalid id")), logged);
    }
};

QTEST_GUILESS_MAIN(TestMShaderList)
#include "tst_mshaderlist.moc"
