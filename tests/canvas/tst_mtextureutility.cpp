#include "mmath.h"
#include "mtestglcontext.h"
#include "mtextureutility.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLTexture>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <memory>
#include <vector>

class TestMTextureUtility : public QObject
{
    Q_OBJECT

private:
    MTestGLContext gl;
    QOpenGLFunctions_3_3_Core *f = nullptr;

    int levelParameter(QOpenGLTexture *texture, int level, GLenum parameter)
    {
        GLint value = -1;
        texture->bind();
        f->glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
        texture->release();
        return value;
    }

    std::vector<uchar> levelBytes(QOpenGLTexture *texture, int level)
    {
        const int width = levelParameter(texture, level, GL_TEXTURE_WIDTH);
        const int height = levelParameter(texture, level, GL_TEXTURE_HEIGHT);
        std::vector<uchar> bytes(size_t(width * height * 4));
        texture->bind();
        f->glPixelStorei(GL_PACK_ALIGNMENT, 1);
        f->glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
        texture->release();
        return bytes;
    }

    static QImage single(QRgb pixel, QImage::Format format = QImage::Format_ARGB32_Premultiplied)
    {
        QImage image(1, 1, format);
        image.setPixel(0, 0, pixel);
        return image;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(gl.isValid());
        f = gl.context()->versionFunctions<QOpenGLFunctions_3_3_Core>();
        QVERIFY(f && f->initializeOpenGLFunctions());
    }

    void mipmapLevels_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("levels");
        QTest::newRow("300 x 200") << QSize(300, 200) << 9;
        QTest::newRow("one pixel") << QSize(1, 1) << 1;
        QTest::newRow("tile") << QSize(512, 512) << 10;
        QTest::newRow("just over a power of two") << QSize(257, 3) << 9;
        QTest::newRow("tall strip") << QSize(1, 1000) << 10;
    }

    void mipmapLevels()
    {
        QFETCH(QSize, size);
        QFETCH(int, levels);
        QImage image(size, QImage::Format_ARGB32);
        image.fill(qRgba(10, 200, 30, 255));
        std::unique_ptr<QOpenGLTexture> texture(createMipmappedTexture(image));
        QVERIFY(texture);
        QCOMPARE(texture->mipLevels(), levels);
        QCOMPARE(levelParameter(texture.get(), 0, GL_TEXTURE_INTERNAL_FORMAT), int(GL_RGBA8));
        QCOMPARE(levelParameter(texture.get(), levels - 1, GL_TEXTURE_WIDTH), 1);
        QCOMPARE(levelParameter(texture.get(), levels - 1, GL_TEXTURE_HEIGHT), 1);
        // The chain is generated: the last level carries the image's colour.
        const std::vector<uchar> last = levelBytes(texture.get(), levels - 1);
        QCOMPARE(int(last[1]), 200);
        QCOMPARE(int(last[3]), 255);
        QVERIFY_GL_CLEAN();
    }

    void mipmappedTextureHoldsPremultipliedColours_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::newRow("straight alpha") << single(qRgba(255, 0, 100, 128), QImage::Format_ARGB32);
        QTest::newRow("premultiplied") << single(qRgba(128, 0, 50, 128));
        QTest::newRow("already RGBA premultiplied")
            << single(qRgba(128, 0, 50, 128)).convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        QTest::newRow("indexed") << single(qRgba(255, 0, 100, 128), QImage::Format_ARGB32).convertToFormat(QImage::Format_Indexed8);
    }

    void mipmappedTextureHoldsPremultipliedColours()
    {
        QFETCH(QImage, image);
        const QRgb expected = image.convertToFormat(QImage::Format_ARGB32_Premultiplied).pixel(0, 0);
        // The texture of one level holds the same colours.
        for (bool mipmapped : {true, false}) {
            std::unique_ptr<QOpenGLTexture> texture(mipmapped ? createMipmappedTexture(image) : createTexture(image));
            QVERIFY(texture);
            const std::vector<uchar> bytes = levelBytes(texture.get(), 0);
            QCOMPARE(int(bytes[0]), qRed(expected));
            QCOMPARE(int(bytes[1]), qGreen(expected));
            QCOMPARE(int(bytes[2]), qBlue(expected));
            QCOMPARE(int(bytes[3]), qAlpha(expected));
        }
        QVERIFY_GL_CLEAN();
    }

    void singleLevelTexture()
    {
        QImage image(16, 8, QImage::Format_RGB32);
        image.fill(qRgb(10, 200, 30));
        std::unique_ptr<QOpenGLTexture> texture(createTexture(image));
        QVERIFY(texture);
        QCOMPARE(texture->mipLevels(), 1);
        QCOMPARE(levelParameter(texture.get(), 0, GL_TEXTURE_INTERNAL_FORMAT), int(GL_RGBA8));
        QCOMPARE(levelParameter(texture.get(), 0, GL_TEXTURE_WIDTH), 16);
        QCOMPARE(levelParameter(texture.get(), 0, GL_TEXTURE_HEIGHT), 8);
        QCOMPARE(createTexture(QImage()), nullptr);
        QVERIFY_GL_CLEAN();
    }

    void emptyTexture_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("levels");
        QTest::newRow("2 x 2") << QSize(2, 2) << 2;
        QTest::newRow("tile") << QSize(512, 512) << 10;
        QTest::newRow("odd, wide") << QSize(37, 5) << 6;
    }

    void emptyTexture()
    {
        QFETCH(QSize, size);
        QFETCH(int, levels);
        std::unique_ptr<QOpenGLTexture> texture(createEmptyTexture(size.width(), size.height()));
        QVERIFY(texture);
        QCOMPARE(texture->width(), size.width());
        QCOMPARE(texture->mipLevels(), levels);
        QCOMPARE(levelParameter(texture.get(), 0, GL_TEXTURE_INTERNAL_FORMAT), int(GL_RGBA8));
        // Every level is transparent, down to the last one.
        for (int level = 0; level < levels; ++level) {
            for (uchar byte : levelBytes(texture.get(), level))
                QCOMPARE(int(byte), 0);
        }
        QVERIFY_GL_CLEAN();
    }

    void noTextureFromNothing()
    {
        QCOMPARE(createMipmappedTexture(QImage()), nullptr);
        QCOMPARE(createEmptyTexture(0, 4), nullptr);
        QVERIFY_GL_CLEAN();
    }

    void colorToAlpha_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QRgb>("expected");    // premultiplied
        QTest::newRow("the colour itself vanishes") << single(qRgba(255, 255, 255, 255)) << QColor(Qt::white) << qRgba(0, 0, 0, 0);
        QTest::newRow("black stays against white") << single(qRgba(0, 0, 0, 255)) << QColor(Qt::white) << qRgba(0, 0, 0, 255);
        QTest::newRow("grey against black turns half white") << single(qRgba(128, 128, 128, 255)) << QColor(Qt::black)
                                                             << qRgba(128, 128, 128, 128);
        QTest::newRow("transparent stays transparent") << single(qRgba(0, 0, 0, 0)) << QColor(Qt::red) << qRgba(0, 0, 0, 0);
        QTest::newRow("colour alpha is ignored") << single(qRgba(255, 255, 255, 255)) << QColor(255, 255, 255, 0)
                                                 << qRgba(0, 0, 0, 0);
        QTest::newRow("channels at both ends") << single(qRgba(255, 0, 0, 255)) << QColor(0, 255, 0) << qRgba(255, 0, 0, 255);
        QTest::newRow("equal channels at the ends") << single(qRgba(0, 255, 0, 255)) << QColor(0, 255, 0) << qRgba(0, 0, 0, 0);
        QTest::newRow("translucent keeps its share") << single(qRgba(0, 0, 0, 128)) << QColor(Qt::white)
                                                     << qRgba(0, 0, 0, 128);
        QTest::newRow("straight alpha input") << single(qRgba(0, 0, 0, 128), QImage::Format_ARGB32) << QColor(Qt::white)
                                              << qRgba(0, 0, 0, 128);
    }

    void colorToAlpha()
    {
        QFETCH(QImage, image);
        QFETCH(QColor, color);
        QFETCH(QRgb, expected);
        const QImage result = ::colorToAlpha(image, color);
        QCOMPARE(result.format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(result.size(), image.size());
        const QRgb pixel = result.pixel(0, 0);
        QVERIFY2(std::abs(qRed(pixel) - qRed(expected)) <= 1 && std::abs(qGreen(pixel) - qGreen(expected)) <= 1
                     && std::abs(qBlue(pixel) - qBlue(expected)) <= 1 && std::abs(qAlpha(pixel) - qAlpha(expected)) <= 1,
                 qPrintable(QStringLiteral("#%1").arg(pixel, 8, 16, QLatin1Char('0'))));
    }

    // Laid back over the removed colour, the result gives the input again.
    void colorToAlphaUnblends()
    {
        QRandomGenerator random(7);
        QImage image(64, 64, QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgba(random.bounded(256), random.bounded(256), random.bounded(256), 255));
        for (const QColor &color : {QColor(Qt::white), QColor(Qt::black), QColor(40, 180, 220), QColor(255, 0, 128)}) {
            const QImage result = ::colorToAlpha(image, color);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb r = result.pixel(x, y);
                    const QRgb in = image.pixel(x, y);
                    const double rest = 1.0 - qAlpha(r) / 255.0;
                    const int back[3] = {qRound(qRed(r) + rest * color.red()), qRound(qGreen(r) + rest * color.green()),
                                         qRound(qBlue(r) + rest * color.blue())};
                    const int original[3] = {qRed(in), qGreen(in), qBlue(in)};
                    for (int k = 0; k < 3; ++k)
                        QVERIFY2(std::abs(back[k] - original[k]) <= 3,
                                 qPrintable(QStringLiteral("(%1, %2) channel %3: %4 for %5")
                                                .arg(x).arg(y).arg(k).arg(back[k]).arg(original[k])));
                }
        }
    }

    void angleTable()
    {
        MMath *math = MMath::instance();
        QCOMPARE(math->count(), 29u);
        const std::vector<double> &table = math->table();
        QCOMPARE(table.size(), size_t(30));
        QCOMPARE(table.front(), 0.0);
        QCOMPARE(table.back(), M_PI / 4);
        // Interpolating between neighbours stays within the table's tolerance.
        for (int k = 0; k <= 1000; ++k) {
            const double x = k / 1000.0;
            const double position = x * math->count();
            const int i = std::min(int(position), int(math->count()) - 1);
            const double interpolated = table[size_t(i)] + (table[size_t(i) + 1] - table[size_t(i)]) * (position - i);
            QVERIFY2(std::abs(interpolated - std::atan(x)) < math->maxError(), qPrintable(QString::number(x)));
        }
        MMath::destroyInstance();
    }
};

QTEST_MAIN(TestMTextureUtility)
#include "tst_mtextureutility.moc"
