#include "mcanvas.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestglcontext.h"

#include <QGuiApplication>
#include <QTest>

// On a screen that scales its pixels, images rendered off screen (export,
// printing) are still drawn one image pixel per canvas pixel, the
// checkerboard of a transparent paper included.
class TestOffscreenPixelRatio : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        qputenv("QT_SCALE_FACTOR", "2");
        MTestGLContext::prepareSharedContexts();
    }

private slots:
    void checkerboardKeepsItsPlace()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        MSettings::instance()->set_defaultWidth(64);
        MSettings::instance()->set_defaultHeight(40);
        MSettings::instance()->set_showEmptyPaper(true);
        MCanvas canvas;
        canvas.setPaperType(MEnum::Transparent);
        const QImage image = canvas.flattenedImage(QStringLiteral("basic"));
        QCOMPARE(image.size(), QSize(64, 40));
        QImage expected(64, 40, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 64; ++x)
                expected.setPixel(x, y, ((x / 8) + (y / 8)) % 2 == 0 ? qRgb(255, 255, 255) : qRgb(204, 204, 204));
        QString message;
        QVERIFY2(MTestGLContext::compareImages(image, expected, 0, &message), qPrintable(message));
    }
};

QTEST_MAIN(TestOffscreenPixelRatio)
#include "tst_offscreenpixelratio.moc"
