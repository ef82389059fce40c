#include "mbrush.h"
#include "mbrushpreviewrenderer.h"
#include "mcanvas.h"
#include "mcurve.h"
#include "menum.h"
#include "mshaderprogramlist.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"

#include <QOpenGLShaderProgram>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using SetUp = std::function<void(MBrush *)>;
Q_DECLARE_METATYPE(SetUp)

namespace {
const QColor grey(128, 128, 128);

// The GL ids of the built-in programs the list has compiled so far.
QHash<QString, GLuint> programIds(MShaderProgramList *list)
{
    QHash<QString, GLuint> ids;
    for (const QString &name : list->builtInProgramNames()) {
        if (QOpenGLShaderProgram *program = list->program(name))
            ids.insert(name, program->programId());
    }
    return ids;
}

int alphaAt(const QImage &image, int x, int y)
{
    return qAlpha(image.pixel(x, y));
}

// Opaque pixels in a block of columns, counted in the upper and lower halves.
QPair<int, int> opaqueHalves(const QImage &image, int fromX, int toX)
{
    int upper = 0;
    int lower = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = fromX; x < toX; ++x)
            if (alphaAt(image, x, y) > 200)
                ++(y < image.height() / 2 ? upper : lower);
    return {upper, lower};
}
} // namespace

// A brush's picture: one sample stroke painted on a scratch document with the
// real stroke engine.
class TestMBrushPreviewRenderer : public QObject
{
    Q_OBJECT

private:
    MTestFolder folders;

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:

    void previewShowsTheStroke_data()
    {
        QTest::addColumn<SetUp>("setUp");
        QTest::newRow("round") << SetUp([](MBrush *b) { b->setHardness(1.0); });
        QTest::newRow("wide, drawn thinner") << SetUp([](MBrush *b) { b->setRadius(80); });
        QTest::newRow("pressure curve") << SetUp([](MBrush *b) {
            b->setRadius(6);
            MCurve *curve = b->addCurve(MEnum::bsRadius, MEnum::biPressure);
            curve->addRangePoint(0, 0.2);
            curve->addRangePoint(1, 1);
        });
        // Erasing, mixing or inheriting alpha on an empty document would
        // show nothing: the sample stroke paints plainly.
        QTest::newRow("eraser") << SetUp([](MBrush *b) { b->setEraser(true); });
        QTest::newRow("colour mixing") << SetUp([](MBrush *b) {
            b->setColorAbsorbtionRate(0.8);
            b->setColorFlowingRate(0.1);
        });
        QTest::newRow("inherits alpha") << SetUp([](MBrush *b) {
            b->setInheritAlphaCurrent(true);
            b->setInheritAlphaUnder(true);
        });
    }

    void previewShowsTheStroke()
    {
        QFETCH(SetUp, setUp);
        MBrush brush;
        brush.setFlow(1.0);
        brush.setOpacity(1.0);
        setUp(&brush);
        const QImage image = MBrushPreviewRenderer::render(&brush, grey, Qt::white);
        QCOMPARE(image.size(), QSize(150, 60));
        QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
        // Drawing leaves the brush's own picture alone.
        QVERIFY(brush.preview().isNull());

        // The frame of 5 pixels stays background.
        for (int x = 0; x < 150; ++x)
            for (int y : {0, 4, 55, 59})
                QCOMPARE(alphaAt(image, x, y), 0);
        for (int y = 0; y < 60; ++y)
            for (int x : {0, 4, 145, 149})
                QCOMPARE(alphaAt(image, x, y), 0);

        // One sine period, centred: through the middle, low on the left and
        // high on the right (image rows grow downwards).
        QVERIFY2(alphaAt(image, 75, 30) > 200, qPrintable(QString::number(alphaAt(image, 75, 30))));
        const QPair<int, int> left = opaqueHalves(image, 35, 65);
        const QPair<int, int> right = opaqueHalves(image, 85, 115);
        QVERIFY2(left.second > 0 && left.first < left.second / 4,
                 qPrintable(QStringLiteral("left %1/%2").arg(left.first).arg(left.second)));
        QVERIFY2(right.first > 0 && right.second < right.first / 4,
                 qPrintable(QStringLiteral("right %1/%2").arg(right.first).arg(right.second)));
        // Background away from the stroke: above the trough and below the crest.
        QCOMPARE(alphaAt(image, 50, 8), 0);
        QCOMPARE(alphaAt(image, 100, 51), 0);

        // Painted in the first colour.
        const QColor centre = QColor::fromRgba(image.pixel(75, 30));
        QVERIFY2(qAbs(centre.red() - 128) <= 3 && qAbs(centre.green() - 128) <= 3 && qAbs(centre.blue() - 128) <= 3,
                 qPrintable(centre.name(QColor::HexArgb)));
    }

    // Radii beyond 1 to 10 draw the stroke at the nearest bound; the brush
    // itself is left as it was.
    void radiusIsClampedForTheSample_data()
    {
        QTest::addColumn<double>("radius");
        QTest::addColumn<double>("drawnAs");
        QTest::newRow("large") << 30.0 << 10.0;
        QTest::newRow("tiny") << 0.5 << 1.0;
    }

    void radiusIsClampedForTheSample()
    {
        QFETCH(double, radius);
        QFETCH(double, drawnAs);
        MBrush brush;
        brush.setRadius(radius);
        MBrush twin;
        twin.setRadius(drawnAs);
        QSignalSpy changed(&brush, &MBrush::radiusChanged);
        const QImage image = MBrushPreviewRenderer::render(&brush, grey, Qt::white);
        QCOMPARE(brush.radius(), radius);
        QCOMPARE(changed.count(), 0);
        QString message;
        QVERIFY2(MTestGLContext::compareImages(image, MBrushPreviewRenderer::render(&twin, grey, Qt::white), 2, &message),
                 qPrintable(message));
    }

    // The list asks for a brush's picture each time it paints a row.
    void previewIsKeptUntilUpdated()
    {
        MBrush brush;
        QVERIFY(brush.preview().isNull());
        const QImage first = MBrushPreviewRenderer::preview(&brush);
        QCOMPARE(first.size(), QSize(150, 60));
        QVERIFY(alphaAt(first, 75, 30) > 0);
        QCOMPARE(brush.preview().cacheKey(), first.cacheKey());
        QCOMPARE(MBrushPreviewRenderer::preview(&brush).cacheKey(), first.cacheKey());
        brush.updatePreview();
        QVERIFY(brush.preview().cacheKey() != first.cacheKey());
        QCOMPARE(brush.preview(), first);
        // Other sizes and colours, as the settings dialogs draw them.
        const QImage wide = brush.drawPreview(300, 80, Qt::red, Qt::white);
        QCOMPARE(wide.size(), QSize(300, 80));
        const QRgb centre = wide.pixel(150, 40);
        QVERIFY2(qAlpha(centre) > 200 && qRed(centre) > 200 && qGreen(centre) < 10,
                 qPrintable(QColor::fromRgba(centre).name(QColor::HexArgb)));
        QCOMPARE(brush.createPreview(grey, Qt::white), first);
    }

    // Previews come in runs (a whole library at a time): each one must not
    // compile every GPU program again.
    void previewsShareTheirPrograms()
    {
        MBrush brush;
        MBrushPreviewRenderer::render(&brush, grey, Qt::white);
        MShaderProgramList *list = MShaderProgramList::scratchList();
        const QHash<QString, GLuint> compiled = programIds(list);
        QVERIFY(!compiled.isEmpty());
        brush.setHardness(0.2);
        const QImage second = MBrushPreviewRenderer::render(&brush, grey, Qt::white);
        QVERIFY(alphaAt(second, 75, 30) > 0);
        QCOMPARE(MShaderProgramList::scratchList(), list);
        QCOMPARE(programIds(list), compiled);

        MCanvas scratch(nullptr, MCanvas::ScratchDocument);
        MCanvas other(nullptr, MCanvas::ScratchDocument);
        QCOMPARE(scratch.shaderProgramList(), list);
        QCOMPARE(other.shaderProgramList(), list);
        QCOMPARE(programIds(list), compiled);
        // A user document keeps a list of its own, which it shuts down.
        MCanvas document;
        QVERIFY(document.shaderProgramList() != scratch.shaderProgramList());
        document.shutDown();
        QVERIFY(scratch.shaderProgramList()->isReady());
    }
};

QTEST_MAIN(TestMBrushPreviewRenderer)
#include "tst_mbrushpreviewrenderer.moc"
