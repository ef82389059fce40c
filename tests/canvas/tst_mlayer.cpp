#include "mdocumentfile.h"
#include "mlayerfile.h"
#include "mlogger.h"
#include "mshaderlist.h"
#include "mtestfolder.h"
#include "mtesteffect.h"
#include "mtestglcontext.h"
#include "mtestpixels.h"
#include "mtexturelayer.h"
#include "mtexturetile.h"
#include "mundolayer.h"
#include "mutility.h"

#include <QDataStream>
#include <QFile>
#include <QMetaProperty>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString blurId = QStringLiteral("{0F6B6C2E-1D3A-4E55-8A1B-3C9D2E7F4A10}");
const QString tintId = QStringLiteral("{7A2C1E90-55B3-4C8D-9F0E-6B4D3A2C1E88}");

bool isGuid(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"));
    return form.match(text).hasMatch();
}

QHash<QByteArray, QVariant> valuesOf(const MShaderObject &object)
{
    return object.shaderValues()->values();
}

} // namespace

class TestMLayer : public QObject
{
    Q_OBJECT

private:
    MTestEffect *blur = nullptr;
    MTestEffect *tint = nullptr;
    std::unique_ptr<MTestGLContext> gl;

    // A texture layer with three tiles of distinct random pixels.
    void paint(MTextureLayer &layer, quint32 seed)
    {
        QRandomGenerator random(seed);
        for (const QPointF &at : {QPointF(10, 10), QPointF(-700, 1200), QPointF(5000, -3)}) {
            auto *tile = static_cast<MTextureTile *>(layer.addTile(at));
            QVERIFY(tile->ensureTexture());
            QByteArray pixels(tile->byteSize(), Qt::Uninitialized);
            for (char &byte : pixels)
                byte = char(random.bounded(256));
            QVERIFY(tile->setData(pixels.constData()));
        }
    }

    static QByteArray pixelsOf(MTextureLayer &layer, int i) { return MTestPixels::tileBytes(layer.tileAt(i)); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        blur = new MTestEffect(blurId);
        blur->addParam("radius", 4.0);
        blur->addParam("strength", 0.5);
        tint = new MTestEffect(tintId);
        tint->addParam("color", QColor(Qt::blue));
        MShaderList::instance()->append(blur);
        MShaderList::instance()->append(tint);
        gl.reset(new MTestGLContext());
        QVERIFY(gl->isValid());
    }

    void cleanupTestCase()
    {
        gl.reset();
        MShaderList::destroyInstance();
    }

    void newLayer()
    {
        MTextureLayer layer;
        QCOMPARE(layer.name(), QStringLiteral("Layer"));
        QCOMPARE(layer.opacity(), 1.0);
        QVERIFY(layer.visible());
        QVERIFY(!layer.locked());
        QCOMPARE(layer.color(), QColor(Qt::red));
        QCOMPARE(layer.mask(), int(MLayer::NoMask));
        QCOMPARE(layer.type(), MLayer::OpenGLLayer);
        QVERIFY(!layer.eraserMode());
        QVERIFY(layer.thumbnail().isNull());
        QVERIFY(isGuid(layer.imageGuid()));
        QVERIFY(layer.shaderId().isEmpty());
        QVERIFY(layer.isShaderActive());
        QVERIFY(layer.isEmpty());
        QCOMPARE(layer.tileSize(), 512);
        QCOMPARE(layer.border(), 6);
        QCOMPARE(layer.bytesPerPixel(), 4);
        QVERIFY(MTextureLayer().imageGuid() != layer.imageGuid());
    }

    // Writing a property emits its notify signal once, and nothing when the value is unchanged.
    void properties_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("mask") << QByteArray("mask") << QVariant(int(MLayer::AlphaMask));
        QTest::newRow("name") << QByteArray("name") << QVariant(QStringLiteral("Ink"));
        QTest::newRow("opacity") << QByteArray("opacity") << QVariant(0.25);
        QTest::newRow("opacity, a hair off") << QByteArray("opacity") << QVariant(1.0 - 1e-15);
        QTest::newRow("locked") << QByteArray("locked") << QVariant(true);
        QTest::newRow("visible") << QByteArray("visible") << QVariant(false);
        QTest::newRow("color") << QByteArray("color") << QVariant(QColor(10, 20, 30));
        QTest::newRow("image id") << QByteArray("imageGuid") << QVariant(QStringLiteral("{X}"));
        QTest::newRow("eraser") << QByteArray("eraserMode") << QVariant(true);
        QTest::newRow("effect active") << QByteArray("isShaderActive") << QVariant(false);
    }

    void properties()
    {
        QFETCH(QByteArray, name);
        QFETCH(QVariant, value);
        MTextureLayer layer;
        const QMetaObject *meta = layer.metaObject();
        const QMetaProperty property = meta->property(meta->indexOfProperty(name.constData()));
        QVERIFY(property.isValid() && property.hasNotifySignal());
        QSignalSpy spy(&layer, property.notifySignal());
        QVERIFY(property.write(&layer, value));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(property.read(&layer), value);
        QCOMPARE(spy.at(0).at(0), value);
        QVERIFY(property.write(&layer, value));
        QCOMPARE(spy.count(), 1);
    }

    void propertyOrder()
    {
        // The layer list's roles follow this order.
        const QStringList expected = {"mask", "name", "opacity", "locked", "visible", "color",
                                      "type", "thumbnail", "imageGuid", "eraserMode"};
        const QMetaObject &meta = MLayer::staticMetaObject;
        QStringList names;
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
            names << QString::fromLatin1(meta.property(i).name());
        QCOMPARE(names, expected);
    }

    void thumbnailAlwaysRenewsTheImageId()
    {
        MTextureLayer layer;
        QSignalSpy thumbnails(&layer, &MLayer::thumbnailChanged);
        QSignalSpy guids(&layer, &MLayer::imageGuidChanged);
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::green);
        QStringList seen = {layer.imageGuid()};
        for (int i = 0; i < 2; ++i) {
            layer.setThumbnail(image);
            QVERIFY(isGuid(layer.imageGuid()));
            QVERIFY(!seen.contains(layer.imageGuid()));
            seen << layer.imageGuid();
        }
        QCOMPARE(thumbnails.count(), 2);
        QCOMPARE(guids.count(), 2);
        QCOMPARE(layer.thumbnail(), image);
    }

    void effectIds_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("notifications");
        QTest::newRow("known effect") << QString() << blurId << blurId << 1;
        QTest::newRow("id in other case") << QString() << blurId.toLower() << blurId.toLower() << 1;
        QTest::newRow("another effect") << tintId << blurId << blurId << 1;
        QTest::newRow("unknown id") << blurId << QStringLiteral("{00000000-0000-0000-0000-000000000000}") << QString() << 1;
        QTest::newRow("unknown id, none before") << QString() << QStringLiteral("nothing") << QString() << 1;
        QTest::newRow("empty id") << blurId << QString() << QString() << 1;
        QTest::newRow("same id") << blurId << blurId << blurId << 0;
    }

    void effectIds()
    {
        QFETCH(QString, before);
        QFETCH(QString, id);
        QFETCH(QString, stored);
        QFETCH(int, notifications);
        MTextureLayer layer;
        layer.set_shaderId(before);
        QSignalSpy spy(&layer, &MShaderObject::shaderIdChanged);
        layer.set_shaderId(id);
        QCOMPARE(layer.shaderId(), stored);
        QCOMPARE(layer.hasShader(), !stored.isEmpty());
        QCOMPARE(spy.count(), notifications);
        if (notifications)
            QCOMPARE(spy.at(0).at(0).toString(), stored);
        if (stored.isEmpty())
            QVERIFY(valuesOf(layer).isEmpty());
        else
            QVERIFY(!valuesOf(layer).isEmpty());
    }

    void choosingAnEffectLoadsItsDefaults()
    {
        MTextureLayer layer;
        layer.set_isShaderActive(false);
        QSignalSpy active(&layer, &MShaderObject::isShaderActiveChanged);
        layer.set_shaderId(blurId);
        QCOMPARE(valuesOf(layer), (QHash<QByteArray, QVariant>{{"radius", 4.0}, {"strength", 0.5}}));
        QVERIFY(layer.isShaderActive());
        QCOMPARE(active.count(), 1);

        layer.shaderValues()->setValue("radius", 9.0);
        layer.set_shaderId(tintId);
        QCOMPARE(valuesOf(layer), (QHash<QByteArray, QVariant>{{"color", QColor(Qt::blue)}}));
    }

    void sameEffectKeepsTheUsersValues()
    {
        MTextureLayer layer;
        layer.set_shaderId(blurId);
        layer.shaderValues()->setValue("radius", 9.0);
        // The effect is edited: one parameter gone, one new.
        blur->clearParams();
        blur->addParam("radius", 4.0);
        blur->addParam("angle", 30);
        layer.set_shaderId(blurId);
        QCOMPARE(valuesOf(layer), (QHash<QByteArray, QVariant>{{"radius", 9.0}, {"angle", 30}}));

        // Parameters that no longer parse do not cost the user the values.
        blur->setParses(false);
        layer.set_shaderId(blurId);
        QCOMPARE(valuesOf(layer), (QHash<QByteArray, QVariant>{{"radius", 9.0}, {"angle", 30}}));
        blur->setParses(true);
        blur->clearParams();
        blur->addParam("radius", 4.0);
        blur->addParam("strength", 0.5);
    }

    void copying()
    {
        MTextureLayer source;
        source.set_shaderId(blurId);
        source.shaderValues()->setValue("strength", 0.9);
        source.set_isShaderActive(false);
        source.setName(QStringLiteral("Ink"));
        source.setOpacity(0.3);
        source.setLocked(true);
        source.setVisible(false);
        source.setColor(Qt::cyan);
        source.set_mask(MLayer::OneMinusAlphaMask);
        source.setEraserMode(true);
        source.setThumbnail(QImage(2, 2, QImage::Format_ARGB32));

        MTextureLayer copy;
        QSignalSpy names(&copy, &MLayer::nameChanged);
        QSignalSpy ids(&copy, &MShaderObject::shaderIdChanged);
        copy.copyProperties(&source);
        QCOMPARE(copy.name(), source.name());
        QCOMPARE(copy.opacity(), 0.3);
        QVERIFY(copy.locked());
        QVERIFY(!copy.visible());
        QCOMPARE(copy.color(), QColor(Qt::cyan));
        QCOMPARE(copy.mask(), int(MLayer::OneMinusAlphaMask));
        QVERIFY(copy.eraserMode());
        QCOMPARE(copy.shaderId(), blurId);
        QVERIFY(!copy.isShaderActive());
        QCOMPARE(valuesOf(copy), valuesOf(source));
        // Thumbnail and image id stay the copy's own; nothing is signalled.
        QVERIFY(copy.thumbnail().isNull());
        QVERIFY(copy.imageGuid() != source.imageGuid());
        QCOMPARE(names.count(), 0);
        QCOMPARE(ids.count(), 0);

        MUndoLayer undo;
        copy.copyProperties(&undo);
        QCOMPARE(copy.type(), MLayer::UndoLayer);
    }

    void parkedLayerComesBack()
    {
        QVERIFY(gl->makeCurrent());
        MTextureLayer layer;
        layer.setName(QStringLiteral("Sky"));
        layer.setOpacity(0.75);
        layer.setLocked(true);
        layer.setVisible(false);
        layer.set_shaderId(tintId);
        paint(layer, 21);
        const QString parked = MLayerFile::park(&layer);
        QVERIFY(isGuid(parked));
        QVERIFY(QFile::exists(MUtility::cacheDirectory() + parked.toLower() + QStringLiteral(".data")));

        MTextureLayer restored;
        QVERIFY(MLayerFile::unpark(parked, &restored));
        QCOMPARE(restored.name(), QStringLiteral("Sky"));
        QCOMPARE(restored.opacity(), 0.75);
        QVERIFY(restored.locked());
        QVERIFY(!restored.visible());
        QCOMPARE(restored.shaderId(), tintId);
        QCOMPARE(restored.tileCount(), layer.tileCount());
        for (int i = 0; i < layer.tileCount(); ++i) {
            QCOMPARE(restored.tile(i)->rect(), layer.tile(i)->rect());
            QCOMPARE(pixelsOf(restored, i), pixelsOf(layer, i));
        }
        // Parking again gives a new id.
        const QString again = MLayerFile::park(&layer);
        QVERIFY(isGuid(again));
        QVERIFY(again != parked);
        layer.clear();
        restored.clear();
        QVERIFY_GL_CLEAN();
    }

    void failedParkingKeepsTheLayer()
    {
        QVERIFY(gl->makeCurrent());
        MTextureLayer layer;
        paint(layer, 22);
        QVERIFY(isGuid(MLayerFile::park(&layer)));
        // A tile without a texture cannot be read back.
        layer.addTile(QPointF(-9000, -9000));
        QVERIFY(MLayerFile::park(&layer).isEmpty());
        QCOMPARE(layer.tileCount(), 4);

        MTextureLayer other;
        QVERIFY(!MLayerFile::unpark(QStringLiteral("{11111111-2222-3333-4444-555555555555}"), &other));
        QCOMPARE(other.tileCount(), 0);
        layer.clear();
        QVERIFY_GL_CLEAN();
    }

    void damagedLayerFiles_data()
    {
        QTest::addColumn<int>("damage");
        QTest::addColumn<int>("result");
        QTest::newRow("wrong magic") << 0 << 2;
        QTest::newRow("cut inside a tile") << 1 << 3;
        QTest::newRow("tile byte size not a whole tile") << 2 << 3;
        QTest::newRow("border eating the tile") << 3 << 3;
        QTest::newRow("cut in the header") << 4 << 3;
        QTest::newRow("cell far beyond the canvas") << 5 << 3;
    }

    void damagedLayerFiles()
    {
        QFETCH(int, damage);
        QFETCH(int, result);
        QVERIFY(gl->makeCurrent());
        MTestFolder folder;
        const QString path = folder.filePath(QStringLiteral("layer.data"));
        MTextureLayer layer;
        paint(layer, 23);
        QCOMPARE(MLayerFile::writeLayerFile(path, &layer).code, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        // After the magic (16) and format (4): name, opacity (8), two bools, the
        // empty effect id (4), then tile size, border, bytes per pixel, count, tile bytes.
        const int sizes = 16 + 4 + 4 + 2 * layer.name().size() + 8 + 2 + 4;
        auto putInt = [&bytes](int at, qint32 value) {
            QByteArray raw;
            QDataStream(&raw, QIODevice::WriteOnly) << value;
            bytes.replace(at, 4, raw);
        };
        switch (damage) {
        case 0: bytes[3] = char(bytes[3] ^ 0x40); break;
        case 1: bytes.chop(1000); break;
        case 2: putInt(sizes + 16, 512 * 512 * 3); break;
        case 3: putInt(sizes + 4, 256); break;
        case 4: bytes.truncate(sizes + 6); break;
        case 5: putInt(sizes + 20, 2000000000); putInt(sizes + 28, 2000000499); break;
        }
        file.resize(0);
        file.write(bytes);
        file.close();

        MTextureLayer target;
        QCOMPARE(MLayerFile::readLayerFile(path, &target).code, result);
        QCOMPARE(target.tileSize(), 512);
        QCOMPARE(target.border(), 6);
        QCOMPARE(MLayerFile::readLayerFile(folder.filePath(QStringLiteral("missing.data")), &target).code, 1);
        target.clear();
        layer.clear();
        QVERIFY_GL_CLEAN();
    }
};

QTEST_MAIN(TestMLayer)
#include "tst_mlayer.moc"
