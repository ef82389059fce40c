// A library effect, read from its file, drawn by the document's paint engine.

#include "mcanvas.h"
#include "mfolders.h"
#include "mlogger.h"
#include "mopengl.h"
#include "mparamlist.h"
#include "msettings.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mtestcanvas.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"

#include <QColor>
#include <QFile>
#include <QTest>

#include <memory>

using namespace MTestCanvas;

namespace {
const QString kEffectId = QStringLiteral("{0E2E0E2E-1111-4222-8333-444455556666}");
} // namespace

class TestEffectEndToEnd : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    MTestFolder folder;
    std::unique_ptr<MCanvas> canvas;

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());

        // The effect's texture: one colour on the left half, another on the right.
        QImage paint(8, 8, QImage::Format_ARGB32);
        paint.fill(qRgba(255, 128, 64, 255));
        for (int y = 0; y < 8; ++y)
            for (int x = 4; x < 8; ++x)
                paint.setPixel(x, y, qRgba(64, 255, 128, 255));
        const QString texturePath = folder.filePath(QStringLiteral("paint é.png"));
        QVERIFY(paint.save(texturePath));

        // A new user effect, saved and added to the library as the commands do;
        // then a fresh start reads it back from its file.
        auto *written = new MShader();
        written->set_id(kEffectId);
        written->set_group(QStringLiteral("tests"));
        written->set_description(QStringLiteral("tinted paint"));
        written->set_source(QStringLiteral("@params\n"
                                          "color tint = rgb(255, 0, 255) 'Tint';\n"
                                          "texture paint '%1' mag filter = nearest;\n"
                                          "@main\n"
                                          "vec4 layer = texture(f_currentLayerTexture, v_texCoords0);\n"
                                          "vec2 canvas = f_texturePos + v_texCoords0 * f_textureSize;\n"
                                          "vec2 at = vec2(canvas.x < 20.0 ? 0.25 : 0.75, 0.5);\n"
                                          "f_color = vec4(tint.rgb * texture(paint, at).rgb, 1.0) * layer.a;\n")
                               .arg(texturePath));
        QVERIFY(written->save());
        QVERIFY(QFile::exists(MFolders::shadersDirectory(MFolders::UserPath) + kEffectId.toLower() + ".kxs"));
        MShaderList::instance()->append(written);
        MShaderList::destroyInstance();
        MShader *read = MShaderList::instance()->find(kEffectId);
        QVERIFY(read);
        QCOMPARE(MParamList::itemFile(read).location, int(MFolders::UserPath));

        MSettings::instance()->set_showEmptyPaper(false);
        canvas.reset(new MCanvas());
        QVERIFY(canvas->isGlReady());
    }

    void cleanupTestCase()
    {
        canvas.reset();
        MShaderList::destroyInstance();
    }

    void drawnWithTheLayersValues()
    {
        canvas->reset();
        canvas->setPaperType(MEnum::Transparent);
        canvas->setPaintedRect(QRectF(0, 0, 40, 10));
        canvas->makeCurrent();
        MTextureLayer *layer = canvas->at(0);
        paintRect(layer, QRect(0, 0, 30, 10), qRgba(0, 0, 0, 255));
        layer->set_shaderId(kEffectId);
        QCOMPARE(layer->shaderId(), kEffectId);
        QCOMPARE(layer->shaderValues()->value("tint").value<QColor>(), QColor(255, 0, 255));

        // Left of x = 20 the first colour of the texture, right of it the
        // second, each tinted; nothing where the layer is empty.
        QImage image = canvas->flattenedImage(QStringLiteral("basic"));
        QCOMPARE(image.size(), QSize(40, 10));
        QCOMPARE(image.pixel(5, 5), qRgba(255, 0, 64, 255));
        QCOMPARE(image.pixel(25, 2), qRgba(64, 0, 128, 255));
        QCOMPARE(image.pixel(35, 5), qRgba(0, 0, 0, 0));
        QVERIFY(MShaderList::instance()->find(kEffectId)->isValid());

        // A new value shows in the next frame.
        layer->shaderValues()->setValue("tint", QColor(0, 255, 0));
        image = canvas->flattenedImage(QStringLiteral("basic"));
        QCOMPARE(image.pixel(5, 5), qRgba(0, 128, 0, 255));
        QCOMPARE(image.pixel(25, 2), qRgba(0, 255, 0, 255));
        QCOMPARE(image.pixel(35, 5), qRgba(0, 0, 0, 0));
    }
};

QTEST_MAIN(TestEffectEndToEnd)
#include "tst_effectendtoend.moc"
