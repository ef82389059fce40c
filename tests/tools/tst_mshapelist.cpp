#include "mshape.h"
#include "mshapelist.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

namespace {
QString uuid(int n)
{
    return QStringLiteral("{00000000-0000-4000-8000-%1}").arg(n, 12, 10, QLatin1Char('0'));
}

QString shapeJson(const QString &description, const QString &id = QString())
{
    const QString idMember = id.isEmpty() ? QString() : QStringLiteral("\"id\": \"%1\", ").arg(id);
    return QStringLiteral("{%1\"description\": \"%2\", \"items\": [{\"instruction\": \"PathEllipse\", \"x1\": \"W\", \"y1\": \"H\"}]}")
        .arg(idMember, description);
}

QString descriptions(const MShapeList &library)
{
    QStringList list;
    for (int row = 0; row < library.rowCount(); ++row)
        list << library.shapeAt(row)->description();
    return list.join(QLatin1Char(','));
}
} // namespace

class TestMShapeList : public QObject
{
    Q_OBJECT

private slots:
    void emptyFolders()
    {
        MTestFolder root;
        QDir().mkpath(root.filePath(QStringLiteral("system")));
        QDir().mkpath(root.filePath(QStringLiteral("user")));
        MTestLogWatch log;
        MShapeList library(root.filePath(QStringLiteral("system")), root.filePath(QStringLiteral("user")));
        QCOMPARE(library.rowCount(), 1);
        MShape *shape = library.shapeAt(0);
        QCOMPARE(shape->description(), QStringLiteral("Default shape"));
        QCOMPARE(shape->group(), QStringLiteral("basic"));
        QCOMPARE(shape->buildPath(QRectF(1, 2, 30, 40)).boundingRect(), QRectF(1, 2, 30, 40));
        QCOMPARE(log.count(QStringLiteral("System error: Shape system and user directories are empty. Adding a default shape")), 1);
        QCOMPARE(log.count(QStringLiteral("Shapes loaded: 1 shapes")), 1);
        QCOMPARE(library.currentShape(), shape);
    }

    // The library draws each preview as it loads the shape, so that a view
    // sizing its columns finds them drawn: the drawing's clamp is logged at
    // the load, before anything asks for a preview.
    void previewsDrawnWithTheLibrary()
    {
        MTestFolder root;
        root.writeFile(QStringLiteral("system/") + uuid(1).toLower() + QStringLiteral(".kxh"),
                       R"({"items": [{"instruction": "DrawEllispe", "height": "8888888888"}]})");
        QDir().mkpath(root.filePath(QStringLiteral("user")));
        MTestLogWatch log;
        MShapeList library(root.filePath(QStringLiteral("system")), root.filePath(QStringLiteral("user")));
        QCOMPARE(library.rowCount(), 1);
        QCOMPARE(log.count(QStringLiteral("coordinates beyond 16777216 pixels clamped")), 1);
    }

    // Good and broken files: the broken ones are logged and skipped, the
    // index decides the order, and a file without an id takes its name's id.
    void fixtureFolder()
    {
        MTestFolder root;
        const QString system = QStringLiteral("system/");
        root.writeFile(system + uuid(1).toLower() + QStringLiteral(".kxh"), shapeJson(QStringLiteral("oval"), uuid(1)).toUtf8());
        root.writeFile(system + uuid(2).toLower() + QStringLiteral(".kxh"), "not a shape at all");
        root.writeFile(system + uuid(3).toLower() + QStringLiteral(".kxh"), shapeJson(QStringLiteral("nameless")).toUtf8());
        root.writeFile(system + uuid(4).toLower() + QStringLiteral(".kxh"), "[\"an array\"]");
        root.writeFile(system + QStringLiteral("index.kxl"),
                       (uuid(3) + "\n" + uuid(2) + "\n" + uuid(9) + "\n" + uuid(1) + "\n" + uuid(4) + "\n").toUtf8());
        QDir().mkpath(root.filePath(QStringLiteral("user")));
        MTestLogWatch log;
        MShapeList library(root.filePath(QStringLiteral("system")), root.filePath(QStringLiteral("user")));
        QCOMPARE(descriptions(library), QStringLiteral("nameless,oval"));
        QCOMPARE(library.shapeAt(0)->id(), uuid(3));
        QCOMPARE(library.shapeAt(1)->id(), uuid(1));
        QCOMPARE(log.count(QStringLiteral("System error: Unable to load shape ")), 2);
        QCOMPARE(log.count(uuid(2).toLower() + QStringLiteral(".kxh")), 1);
        QCOMPARE(log.count(uuid(4).toLower() + QStringLiteral(".kxh")), 1);
        QCOMPARE(log.count(QStringLiteral("Invalid id")), 0);
        QCOMPARE(log.count(QStringLiteral("Shapes loaded: 2 shapes")), 1);
        QCOMPARE(library.currentShape(), library.shapeAt(0));

        QCOMPARE(library.shapeAt(1)->property("preview").value<QImage>().size(), QSize(50, 50));

        // Rows out of range and no current row give the default shape.
        library.setCurrentRow(-1);
        QCOMPARE(library.currentShape(), library.defaultShape());
        QCOMPARE(library.currentShape()->description(), QStringLiteral("Default shape"));
    }

    // The shipped folder loads whole, in its index's order.
    void shippedShapes()
    {
        const QString shipped = QStringLiteral(KALMI_TEST_DATA_DIR "/../../resources/datas/shapes");
        MTestFolder user;
        MTestLogWatch log;
        MShapeList library(shipped, user.path());
        QVERIFY(library.rowCount() > 5);
        QCOMPARE(log.count(QStringLiteral("System error")), 0);
        QCOMPARE(library.shapeAt(0)->description(), QStringLiteral("rectangle"));
        for (int row = 0; row < library.rowCount(); ++row) {
            MShape *shape = library.shapeAt(row);
            QVERIFY2(!shape->items().isEmpty(), qPrintable(shape->description()));
            const QRectF bounds = shape->buildPath(QRectF(0, 0, shape->width(), shape->height())).boundingRect();
            QVERIFY2(QRectF(-0.5, -0.5, shape->width() + 1, shape->height() + 1).contains(bounds), qPrintable(shape->description()));
            QVERIFY2(bounds.width() > shape->width() / 2, qPrintable(shape->description()));
        }
    }
};

QTEST_MAIN(TestMShapeList)
#include "tst_mshapelist.moc"
