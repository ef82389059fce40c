#include "mbrush.h"
#include "mbrushlist.h"
#include "mparamlist.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestlogwatch.h"
#include "mutility.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTest>

#include <functional>

// The brushes a first start offers: those shipped next to the program.
namespace {
QString shippedFolder()
{
    return QStringLiteral(KALMI_BIN_DIR "/datas/brushes/");
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject readObject(const QString &path)
{
    return QJsonDocument::fromJson(readBytes(path)).object();
}

struct Kind
{
    const char *name;
    std::function<bool(const MBrush *)> is;
};

const Kind kKinds[] = {
    {"round brush", [](const MBrush *b) { return b->hardness() >= 0.5 && b->settingHasCurve(MEnum::bsRadius) && !b->eraser(); }},
    {"soft airbrush", [](const MBrush *b) { return b->hardness() > 0.0 && b->hardness() <= 0.5 && b->flow() < 0.5; }},
    {"hard pencil", [](const MBrush *b) { return b->hardness() == 1.0 && b->radius() <= 2.0; }},
    {"eraser", [](const MBrush *b) { return b->eraser(); }},
    {"textured brush", [](const MBrush *b) { return !b->texture().isNull(); }},
    {"colour mixing brush", [](const MBrush *b) { return b->colorAbsorbtionRate() > 0.0; }},
};
} // namespace

class TestSystemBrushes : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void shippedBrushesLoadCleanly()
    {
        MTestFolder user;
        const MTestLogWatch log;
        MBrushList library(shippedFolder(), user.path());
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
        QStringList lines;
        QVERIFY(MUtility::readLines(lines, shippedFolder() + QStringLiteral("index.kxl"), true, true));
        QCOMPARE(library.count(), lines.size());
        QCOMPARE(library.count(), QDir(shippedFolder()).entryList({QStringLiteral("*.kxb")}, QDir::Files).size());
        QSet<QString> ids;
        for (int row = 0; row < library.count(); ++row) {
            const MBrush *brush = library.brush(row);
            QVERIFY(MParamList::isItemId(brush->id()));
            QCOMPARE(QFileInfo(MParamList::itemFile(brush).path).fileName(), brush->id().toLower() + QStringLiteral(".kxb"));
            QCOMPARE(lines.at(row), brush->id() + QStringLiteral(" # ") + brush->group() + QLatin1Char('/') + brush->description());
            ids.insert(brush->id());
        }
        QCOMPARE(ids.size(), library.count());
        // Nothing of the installation goes into the user folder by loading.
        QVERIFY(QDir(user.path()).entryList(QDir::Files).isEmpty());
    }

    // A stamp's alpha is scaled by the hardness, so a brush can be made that
    // leaves nothing: none of those may ship.
    void everyShippedBrushLeavesPaint()
    {
        MTestGLContext gl;
        MTestFolder user;
        MBrushList library(shippedFolder(), user.path());
        QVERIFY(library.count() > 0);
        for (int row = 0; row < library.count(); ++row) {
            MBrush *brush = library.brush(row);
            const QImage image = brush->createPreview(Qt::black, Qt::white);
            int painted = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    painted += qAlpha(image.pixel(x, y)) > 24 ? 1 : 0;
            QVERIFY2(painted > 150, qPrintable(QStringLiteral("%1: %2 pixels").arg(brush->description()).arg(painted)));
        }
    }

    void everyKindIsOffered_data()
    {
        QTest::addColumn<int>("kind");
        for (int i = 0; i < int(sizeof(kKinds) / sizeof(kKinds[0])); ++i)
            QTest::newRow(kKinds[i].name) << i;
    }

    void everyKindIsOffered()
    {
        QFETCH(int, kind);
        MTestFolder user;
        MBrushList library(shippedFolder(), user.path());
        int found = 0;
        for (int row = 0; row < library.count(); ++row)
            found += kKinds[kind].is(library.brush(row));
        QVERIFY(found > 0);
    }

    // The shipped files are what the generator makes: a change of the brush
    // writer or of the brushes must come with new files.
    void generatorMakesTheShippedFiles()
    {
        MTestFolder made;
        QProcess generator;
        generator.start(QStringLiteral(KALMI_BIN_DIR "/makebrushes"), {made.path()});
        QVERIFY(generator.waitForFinished(60000));
        QCOMPARE(generator.exitCode(), 0);

        const QStringList names = QDir(made.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(QDir(shippedFolder()).entryList(QDir::Files, QDir::Name), names);
        QCOMPARE(made.readFile(QStringLiteral("index.kxl")), readBytes(shippedFolder() + QStringLiteral("index.kxl")));
        for (const QString &name : names) {
            if (!name.endsWith(QLatin1String(".kxb")))
                continue;
            QJsonObject expected = readObject(made.filePath(name));
            QJsonObject shipped = readObject(shippedFolder() + name);
            QVERIFY(!expected.isEmpty());
            // Images compare by their pixels: their PNG bytes may differ.
            for (const QString &image : {QStringLiteral("texture"), QStringLiteral("preview")}) {
                QCOMPARE(MUtility::imageFromJson(shipped.take(image)), MUtility::imageFromJson(expected.take(image)));
            }
            QCOMPARE(shipped, expected);
        }
    }
};

QTEST_MAIN(TestSystemBrushes)
#include "tst_systembrushes.moc"
