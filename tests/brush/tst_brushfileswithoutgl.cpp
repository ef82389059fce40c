#include "mbrush.h"
#include "mbrushlist.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTest>

#include <memory>

// Brush files are read and written without drawing: this program has no GUI
// application, so no GL context can exist in it, and a brush picture asked for
// would be refused with a log line (before any scratch document is made).
class TestBrushFilesWithoutGl : public QObject
{
    Q_OBJECT

private slots:
    void libraryOfFiftyBrushesSavesAndLoads()
    {
        QVERIFY(!qobject_cast<QGuiApplication *>(QCoreApplication::instance()));
        MTestFolder root;
        QDir().mkpath(root.filePath(QStringLiteral("system")));
        QDir().mkpath(root.filePath(QStringLiteral("user")));
        QImage picture(150, 60, QImage::Format_ARGB32_Premultiplied);
        picture.fill(qRgba(0, 40, 0, 40));
        std::unique_ptr<MTestLogWatch> log;
        {
            // An empty library starts with a default brush, and says so.
            MBrushList library(root.filePath(QStringLiteral("system")), root.filePath(QStringLiteral("user")));
            log.reset(new MTestLogWatch);
            for (int n = 0; n < 50; ++n) {
                MBrush *brush = library.createBrushNamed(QStringLiteral("group"), QStringLiteral("brush %1").arg(n));
                brush->setRadius(n + 1);
                // Every other brush has a picture to keep; the rest have none.
                if (n % 2 == 0)
                    brush->setPreview(picture);
                QVERIFY(brush->save());
            }
        }

        MBrushList library(root.filePath(QStringLiteral("system")), root.filePath(QStringLiteral("user")));
        QCOMPARE(library.count(), 50);
        for (int n = 0; n < 50; ++n) {
            const MBrush *brush = library.brush(n);
            QCOMPARE(brush->description(), QStringLiteral("brush %1").arg(n));
            QCOMPARE(brush->radius(), double(n + 1));
            QCOMPARE(brush->preview(), n % 2 == 0 ? picture : QImage());
        }
        QCOMPARE(log->count(QStringLiteral("brush preview")), 0);
        QVERIFY2(log->count(QStringLiteral("System error")) == 0, qPrintable(log->lines().join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestBrushFilesWithoutGl)
#include "tst_brushfileswithoutgl.moc"
