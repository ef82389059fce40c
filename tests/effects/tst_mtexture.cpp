#include "mtexture.h"

#include <QOpenGLContext>
#include <QTest>

class TestMTexture : public QObject
{
    Q_OBJECT

private slots:
    void filterMap_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("gl");
        QTest::newRow("nearest") << 0 << 0x2600;
        QTest::newRow("linear") << 1 << 0x2601;
        QTest::newRow("nearestmipmapnearest") << 2 << 0x2700;
        QTest::newRow("nearestmipmaplinear") << 3 << 0x2702;
        QTest::newRow("linearmipmapnearest") << 4 << 0x2701;
        QTest::newRow("linearmipmaplinear") << 5 << 0x2703;
        QTest::newRow("just past the table") << 6 << 0x2601;
        QTest::newRow("seven") << 7 << 0x2601;
        QTest::newRow("negative") << -1 << 0x2601;
    }
    void filterMap()
    {
        QFETCH(int, index);
        QFETCH(int, gl);
        QCOMPARE(filterToGl(index), gl);
    }

    void wrapMap_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("gl");
        QTest::newRow("repeat") << 0 << 0x2901;
        QTest::newRow("mirroredrepeat") << 1 << 0x8370;
        QTest::newRow("clamptoedge") << 2 << 0x812F;
        QTest::newRow("clamptoborder") << 3 << 0x812D;
        QTest::newRow("mirrorclamptoedge is clamp to edge") << 4 << 0x812F;
        QTest::newRow("just past the table") << 5 << 0x812F;
        QTest::newRow("negative") << -1 << 0x812F;
    }
    void wrapMap()
    {
        QFETCH(int, index);
        QFETCH(int, gl);
        QCOMPARE(wrapModeToGl(index), gl);
    }

    void filterWithoutMipmaps_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<int>("without");
        QTest::newRow("nearest") << GL_NEAREST << GL_NEAREST;
        QTest::newRow("linear") << GL_LINEAR << GL_LINEAR;
        QTest::newRow("nearest mipmap nearest") << GL_NEAREST_MIPMAP_NEAREST << GL_NEAREST;
        QTest::newRow("nearest mipmap linear") << GL_NEAREST_MIPMAP_LINEAR << GL_NEAREST;
        QTest::newRow("linear mipmap nearest") << GL_LINEAR_MIPMAP_NEAREST << GL_LINEAR;
        QTest::newRow("linear mipmap linear") << GL_LINEAR_MIPMAP_LINEAR << GL_LINEAR;
    }
    void filterWithoutMipmaps()
    {
        QFETCH(int, filter);
        QFETCH(int, without);
        QCOMPARE(::filterWithoutMipmaps(filter), without);
    }

    void newTexture()
    {
        const MTexture texture;
        QCOMPARE(texture.textureId(), 0u);
        QCOMPARE(filterToGl(texture.minFilter()), GL_LINEAR_MIPMAP_LINEAR);
        QCOMPARE(filterToGl(texture.magFilter()), GL_LINEAR);
        QCOMPARE(wrapModeToGl(texture.wrapS()), GL_CLAMP_TO_EDGE);
        QCOMPARE(wrapModeToGl(texture.wrapT()), GL_CLAMP_TO_EDGE);
        QCOMPARE(QSize(texture.width(), texture.height()), QSize(512, 512));
        QVERIFY(texture.name().isEmpty());
        QVERIFY(texture.fileName().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestMTexture)
#include "tst_mtexture.moc"
