#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "mbrushstream.h"
#include "mcurve.h"
#include "menum.h"
#include "mfield.h"
#include "mshaderlist.h"
#include "mtesteffect.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mutility.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaProperty>
#include <QTest>

#include <algorithm>

namespace {
const QString kId = QStringLiteral("{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
const QString kEngine = QStringLiteral("{0B5E2C7A-3D41-4E8F-9A6B-1C2D3E4F5A6B}");

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

// JSON text written with single quotes.
QByteArray json(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

QString pngBase64(const QImage &image)
{
    return MUtility::imageToJson(image).toString();
}

// One aspect of a brush as text, named as in the expectations of the
// reading table: "description", "quick", "value:radius",
// "curve:radius/pressure", "shaderValues", "texture"...
QString aspect(const MBrush &brush, const QString &key)
{
    if (key == QLatin1String("description"))
        return brush.description();
    if (key == QLatin1String("group"))
        return brush.group();
    if (key == QLatin1String("version"))
        return QString::number(brush.version());
    if (key == QLatin1String("id"))
        return brush.id();
    if (key == QLatin1String("shaderId"))
        return brush.shaderId();
    if (key == QLatin1String("quick")) {
        QStringList names;
        for (int setting : brush.quickSettings())
            names.append(QString::fromLatin1(MEnum::settingName(setting)));
        return names.join(QLatin1Char(','));
    }
    if (key == QLatin1String("curves")) {
        int curves = 0;
        for (int setting = 0; setting < MEnum::bsCount; ++setting)
            curves += brush.curves(setting).size();
        return QString::number(curves);
    }
    if (key.startsWith(QLatin1String("value:"))) {
        const MField *info = MBrushSettingInfoList::instance()->info(key.mid(6).toLatin1());
        return number(brush.value(info->index()));
    }
    if (key.startsWith(QLatin1String("curve:"))) {
        const QStringList names = key.mid(6).split(QLatin1Char('/'));
        const int setting = MBrushSettingInfoList::instance()->info(names.at(0).toLatin1())->index();
        int input = 0;
        while (input < MEnum::biCount && MEnum::inputName(input) != names.at(1).toLatin1())
            ++input;
        const MCurve *curve = brush.curve(setting, input);
        if (!curve)
            return QStringLiteral("none");
        QStringList points;
        for (const QPointF &point : curve->points())
            points.append(QStringLiteral("(%1,%2)").arg(number(point.x()), number(point.y())));
        return QStringLiteral("%1;%2;%3-%4;%5")
            .arg(curve->interpolationType())
            .arg(number(curve->modulo()), number(curve->yMin()), number(curve->yMax()), points.join(QLatin1Char(' ')));
    }
    if (key == QLatin1String("shaderValues")) {
        QStringList values;
        const QHash<QByteArray, QVariant> all = brush.shaderValues()->values();
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            const QVariant &value = it.value();
            const QString text = value.userType() == QMetaType::QColor ? value.value<QColor>().name() : value.toString();
            values.append(QStringLiteral("%1=%2:%3").arg(QString::fromLatin1(it.key()), QString::fromLatin1(value.typeName()), text));
        }
        std::sort(values.begin(), values.end());
        return values.join(QLatin1Char(','));
    }
    if (key == QLatin1String("texture") || key == QLatin1String("preview")) {
        const QImage image = key == QLatin1String("texture") ? brush.texture() : brush.preview();
        return image.isNull() ? QStringLiteral("null") : QStringLiteral("%1x%2").arg(image.width()).arg(image.height());
    }
    return QStringLiteral("unknown aspect ") + key;
}

// The brush a read starts from: whatever a read does not set must show.
void prepare(MBrush &brush)
{
    brush.setId(kId);
    brush.setDescription(QStringLiteral("untouched"));
    brush.setRadius(12);
    brush.addCurve(MEnum::bsFlow, MEnum::biSpeed);
    brush.setQuickSettings({MEnum::bsNoise});
}
} // namespace

class TestMBrushStream : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A brush engine with one parameter of every type a brush file holds.
        auto *engine = new MTestEffect(kEngine);
        engine->set_type(MShader::BrushShader);
        engine->addParam("on", false);
        engine->addParam("steps", 3);
        engine->addParam("strength", 0.5);
        engine->addParam("label", QStringLiteral("a"));
        engine->addParam("scale", 1.5f);
        engine->addParam("tint", QColor(Qt::red));
        MShaderList::instance()->append(engine);
    }

    // Everything a brush holds survives a write and a read: the second
    // write gives the very same document as the first.
    void writeThenReadGivesTheSameBrush()
    {
        MTestFolder folder;
        MBrush written;
        written.setId(kId);
        written.setGroup(QStringLiteral(" Inks "));
        written.setDescription(QStringLiteral("Soft Round "));
        written.set_shaderId(kEngine);
        MValues *values = written.shaderValues();
        values->setValue("on", true);
        values->setValue("steps", 7);
        values->setValue("strength", 0.125);
        values->setValue("label", QStringLiteral("grain"));
        values->setValue("scale", 2.5f);
        values->setValue("tint", QColor(10, 200, 30));
        QImage texture(8, 4, QImage::Format_RGBA8888_Premultiplied);
        for (int i = 0; i < 32; ++i)
            texture.setPixel(i % 8, i / 8, qRgba(i * 8, i * 8, i * 8, i * 8));
        written.setTexture(texture);
        QImage preview(150, 60, QImage::Format_ARGB32_Premultiplied);
        preview.fill(qRgba(0, 0, 90, 90));
        written.setPreview(preview);
        // A value other than its default in every setting, of the property's type.
        for (int setting = 0; setting < MEnum::bsCount; ++setting) {
            const QMetaProperty property = written.metaObject()->property(
                written.metaObject()->indexOfProperty(MEnum::settingName(setting).constData()));
            const double value = property.userType() == QMetaType::Bool ? 1.0
                                 : property.userType() == QMetaType::Int ? 40.0 + setting
                                                                         : 0.25 + setting;
            QVERIFY(property.write(&written, property.userType() == QMetaType::Bool ? QVariant(true)
                                             : property.userType() == QMetaType::Int ? QVariant(int(value))
                                                                                     : QVariant(value)));
        }
        MCurve *radius = written.addCurve(MEnum::bsRadius, MEnum::biPressure);
        radius->setPoints({{0, 0.2}, {0.4, 0.9}, {1, 0.5}});
        radius->setYMax(3);
        radius->setYMin(1.5);
        radius->setModulo(0.25);
        written.addCurve(MEnum::bsRadius, MEnum::biSpeed)->setInterpolationType(MCurve::Sinus);
        MCurve *angle = written.addCurve(MEnum::bsAngle, MEnum::biRandom);
        angle->setYMin(-180);
        angle->setYMax(180);
        written.addCurve(MEnum::bsOpacity, MEnum::biTotalDistance)->setPoints({{0, 1}, {1, 0}});
        written.setQuickSettings({MEnum::bsNoise, MEnum::bsRadius, MEnum::bsEraser});

        const QString path = folder.filePath(QStringLiteral("brush.kxb"));
        QVERIFY(MBrushStream(&written).saveToJsonFile(path));
        MBrush read;
        QVERIFY(MBrushStream(&read).loadFromJsonFile(path));

        QCOMPARE(read.id(), kId);
        QCOMPARE(read.description(), QStringLiteral("soft round"));
        QCOMPARE(read.group(), QStringLiteral("inks"));
        QCOMPARE(read.version(), 100);
        QCOMPARE(read.shaderId(), kEngine);
        for (int setting = 0; setting < MEnum::bsCount; ++setting)
            QCOMPARE(read.value(setting), written.value(setting));
        for (const char *name : {"curve:radius/pressure", "curve:radius/speed", "curve:angle/random",
                                 "curve:opacity/totalDistance", "curves", "quick", "shaderValues"})
            QCOMPARE(aspect(read, QString::fromLatin1(name)), aspect(written, QString::fromLatin1(name)));
        QCOMPARE(aspect(read, QStringLiteral("curve:radius/pressure")),
                 QStringLiteral("1;0.25;1.5-3;(0,0.2) (0.4,0.9) (1,0.5)"));
        QCOMPARE(aspect(read, QStringLiteral("shaderValues")),
                 QStringLiteral("label=QString:grain,on=bool:true,scale=float:2.5,steps=int:7,strength=double:0.125,"
                                "tint=QColor:#0ac81e"));
        QCOMPARE(read.texture(), texture);
        QCOMPARE(read.ratio(), written.ratio());
        QCOMPARE(read.preview(), preview);

        // The engine values, compared above, come in the order of a hash.
        QJsonObject again = MBrushStream(&read).toJson();
        QJsonObject first = MBrushStream(&written).toJson();
        again.remove(QStringLiteral("shaderValues"));
        first.remove(QStringLiteral("shaderValues"));
        QCOMPARE(again, first);
    }

    void writtenDocument()
    {
        MBrush brush;
        brush.setQuickSettings({MEnum::bsRadius, 99, MEnum::bsFlow});
        brush.shaderValues()->setValue("place", QPointF(1, 2));
        const QJsonObject json = MBrushStream(&brush).toJson();
        QCOMPARE(json.value(QStringLiteral("version")).toInt(), 100);
        QCOMPARE(json.value(QStringLiteral("quickSettings")).toArray(), (QJsonArray{"radius", "flow"}));
        // No value of a type the file cannot hold: no member at all.
        QVERIFY(!json.contains(QStringLiteral("shaderValues")));
        QCOMPARE(json.value(QStringLiteral("texture")).toString(), QString());
        int settings = 0;
        for (int setting = 0; setting < MEnum::bsCount; ++setting)
            settings += json.value(QString::fromLatin1(MEnum::settingName(setting))).toObject().contains(QStringLiteral("value"));
        QCOMPARE(settings, int(MEnum::bsCount));
        QCOMPARE(json.value(QStringLiteral("eraser")).toObject().value(QStringLiteral("value")), QJsonValue(0));
    }

    void failedWritesKeepTheOldFile()
    {
        MTestFolder folder;
        MBrush brush;
        QVERIFY(!MBrushStream(&brush).saveToJsonFile(folder.filePath(QStringLiteral("missing/brush.kxb"))));
        QVERIFY(!MBrushStream(&brush).saveToJsonFile(QString()));
        QDir().mkpath(folder.filePath(QStringLiteral("folder.kxb")));
        QVERIFY(!MBrushStream(&brush).saveToJsonFile(folder.filePath(QStringLiteral("folder.kxb"))));
    }

    void lenientReading_data()
    {
        QTest::addColumn<QByteArray>("file");     // null: no file
        QTest::addColumn<QString>("expected");    // "aspect=text" pairs joined by " | "
        const QString defaults = QStringLiteral("description=brush | group=basics | quick=radius,hardness,flow,opacity | "
                                                "curves=0 | shaderId= | shaderValues= | value:radius=30 | texture=null");
        const QString red = pngBase64([] {
            QImage image(4, 2, QImage::Format_ARGB32);
            image.fill(Qt::red);
            return image;
        }());

        QTest::newRow("version only") << json("{'version': 100}") << defaults + " | version=100 | id=" + kId;
        QTest::newRow("not an object") << QByteArray("[1, 2]") << defaults + " | version=0";
        QTest::newRow("not JSON") << json("{ 'version': 100") << "result=false | description=untouched | value:radius=12 | quick=noise";
        QTest::newRow("empty file") << QByteArray("") << "result=false | description=untouched";
        QTest::newRow("no file") << QByteArray() << "result=false | description=untouched | curves=1";
        QTest::newRow("names lower-cased") << json("{'description': 'Soft ROUND', 'group': 'My Group'}")
                                           << "description=soft round | group=my group";
        QTest::newRow("names of the wrong type") << json("{'description': 12, 'group': ['x'], 'version': '100'}")
                                                 << "description=brush | group=basics | version=0";
        QTest::newRow("setting without value") << json("{'radius': {}, 'hardness': {'value': 0.25}}")
                                               << "value:radius=30 | value:hardness=0.25";
        QTest::newRow("setting of the wrong type") << json("{'radius': 5, 'flow': {'value': 'big'}}")
                                                   << "value:radius=30 | value:flow=1";
        QTest::newRow("capitalised member") << json("{'Radius': {'value': 5}}") << "value:radius=5";
        QTest::newRow("unknown members") << json("{'radiuss': {'value': 5}, '': 1, 'extra': null}")
                                         << "value:radius=30";
        QTest::newRow("value beyond an int") << json("{'angleType': {'value': -1e300}, 'spacing': {'value': 1e300}}")
                                             << "value:angleType=-2147483648 | value:spacing=2147483647";
        QTest::newRow("number out of range") << json("{'radius': {'value': 1e999}}") << "result=false | value:radius=12";
        QTest::newRow("quick settings: twice and unknown") << json("{'quickSettings': ['radius', 'radius', 'nothing']}")
                                                           << "quick=radius";
        QTest::newRow("quick settings capitalised") << json("{'quickSettings': ['Noise', 'flow', 3, null]}")
                                                    << "quick=noise,flow";
        QTest::newRow("quick settings empty") << json("{'quickSettings': []}") << "quick=radius,hardness,flow,opacity";
        QTest::newRow("quick settings not an array") << json("{'quickSettings': 'radius'}")
                                                     << "quick=radius,hardness,flow,opacity";
        QTest::newRow("curve with equal range ends") << json("{'radius': {'pressure': {'yMin': 0.5, 'yMax': 0.5}}}")
                                                     << "curve:radius/pressure=1;0;0.5-0.51;(0,0) (0.33,0.33) (0.66,0.66) (1,1)";
        QTest::newRow("curve range above one") << json("{'radius': {'pressure': {'yMin': 1.5, 'yMax': 3}}}")
                                               << "curve:radius/pressure=1;0;1.5-3;(0,0) (0.33,0.33) (0.66,0.66) (1,1)";
        QTest::newRow("curve range inverted") << json("{'radius': {'pressure': {'yMin': 0.8, 'yMax': 0.2}}}")
                                              << "curve:radius/pressure=1;0;0.2-0.8;(0,0) (0.33,0.33) (0.66,0.66) (1,1)";
        QTest::newRow("curve point clamped") << json("{'radius': {'pressure': {'points': [[2, -1]]}}}")
                                             << "curve:radius/pressure=1;0;0-1;(1,0) | curves=1";
        QTest::newRow("curve points sorted, duplicates kept")
            << json("{'flow': {'speed': {'points': [[0.5, 0.2], [0.5, 0.8], [0, 0]], 'modulo': 2}}}")
            << "curve:flow/speed=1;2;0-1;(0,0) (0.5,0.2) (0.5,0.8)";
        QTest::newRow("curve points of the wrong shape") << json("{'flow': {'speed': {'points': [5, 'x', [0.5]]}}}")
                                                         << "curve:flow/speed=1;0;0-1;(0,0) (0,0) (0.5,0)";
        QTest::newRow("curve types") << json("{'angle': {'random': {}, 'speed': {'interpolationType': 2}, 'pressure': {'interpolationType': 7}}}")
                                     << "curve:angle/random=1;0;0-1;(0,0) (0.33,0.33) (0.66,0.66) (1,1) | "
                                        "curve:angle/speed=2;0;0-1;(0,0) (0.33,0.33) (0.66,0.66) (1,1) | "
                                        "curve:angle/pressure=7;0;0-1;(0,0) (0.33,0.33) (0.66,0.66) (1,1)";
        QTest::newRow("curve of an unknown input") << json("{'radius': {'Pressure': {}, 'pressur': {}}}") << "curves=0";
        QTest::newRow("curve not an object") << json("{'radius': {'pressure': 3}}")
                                             << "curve:radius/pressure=1;0;0-1;(0,0) (0.33,0.33) (0.66,0.66) (1,1)";
        QTest::newRow("braced id, any case") << json("{'id': '  {6f9619ff-8b86-d011-b42d-00c04fc964ee} '}")
                                             << "id={6F9619FF-8B86-D011-B42D-00C04FC964EE}";
        QTest::newRow("id with a path") << json("{'id': '../../x'}") << "id=" + kId + " | logged=1";
        QTest::newRow("id without braces") << json("{'id': '6f9619ff-8b86-d011-b42d-00c04fc964ee'}")
                                           << "id=" + kId + " | logged=1";
        QTest::newRow("id of the wrong type") << json("{'id': 42}") << "id=" + kId + " | logged=1";
        QTest::newRow("unknown brush engine")
            << json("{'shaderId': '{00000000-0000-0000-0000-000000000001}', 'shaderValues': [{'paramName': 'steps', 'paramValue': 2}]}")
            << "shaderId= | shaderValues=";
        QTest::newRow("brush engine values")
            << json("{'shaderId': '") + kEngine.toLower().toLatin1()
                   + json("', 'shaderValues': [{'paramName': 'steps', 'paramValue': 2},"
                          " {'paramName': 'strength', 'paramValue': 'much'}, {'paramName': 'tint', 'paramValue': '#0000ff'},"
                          " {'paramName': 'undeclared', 'paramValue': 1}, {'paramName': 'on', 'paramValue': 1},"
                          " {'paramName': 'label', 'paramValue': 5}, 7, 'x']}")
            << "shaderId=" + kEngine
                   + " | shaderValues=label=QString:5,on=bool:true,scale=float:1.5,steps=int:2,strength=double:0.5,"
                     "tint=QColor:#0000ff";
        QTest::newRow("brush engine colour not a colour")
            << json("{'shaderId': '") + kEngine.toLatin1()
                   + json("', 'shaderValues': [{'paramName': 'tint', 'paramValue': 'nope'}]}")
            << "shaderValues=label=QString:a,on=bool:false,scale=float:1.5,steps=int:3,strength=double:0.5,tint=QColor:#ff0000";
        QTest::newRow("texture") << json("{'texture': '") + red.toLatin1() + json("'}") << "texture=4x2 | value:ratio=0.5";
        QTest::newRow("texture and ratio") << json("{'ratio': {'value': 3}, 'texture': '") + red.toLatin1() + json("'}")
                                           << "texture=4x2 | value:ratio=3";
        // A preview that cannot be read is dropped: the list draws one when it
        // shows the brush.
        QTest::newRow("texture not a PNG") << json("{'texture': 'bm90IGEgcG5n', 'preview': 3}")
                                           << "texture=null | preview=null | value:ratio=1";
        QTest::newRow("preview") << json("{'preview': '") + red.toLatin1() + json("'}") << "preview=4x2 | texture=null";
    }

    void lenientReading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        MTestFolder folder;
        const QString path = file.isNull() ? folder.filePath(QStringLiteral("missing.kxb"))
                                           : folder.writeFile(QStringLiteral("brush.kxb"), file);
        MBrush brush;
        prepare(brush);
        const MTestLogWatch log;
        const bool result = MBrushStream(&brush).loadFromJsonFile(path);
        for (const QString &pair : expected.split(QStringLiteral(" | "))) {
            const QString key = pair.section(QLatin1Char('='), 0, 0);
            const QString value = pair.section(QLatin1Char('='), 1);
            if (key == QLatin1String("result"))
                QCOMPARE(QString::fromLatin1(result ? "true" : "false"), value);
            else if (key == QLatin1String("logged"))
                QCOMPARE(log.count(QStringLiteral("System error: Invalid id")), value.toInt());
            else
                QCOMPARE(aspect(brush, key), value);
        }
        if (!expected.contains(QLatin1String("result=")))
            QVERIFY(result);
    }

    // A read resets what the file does not hold: nothing of the brush's
    // earlier settings, curves or engine values is left over.
    void readingResetsTheBrush()
    {
        MTestFolder folder;
        MBrush brush;
        brush.set_shaderId(kEngine);
        brush.setEraser(true);
        brush.addCurve(MEnum::bsRadius, MEnum::biPressure);
        brush.setTexture(QImage(2, 2, QImage::Format_ARGB32));
        QVERIFY(MBrushStream(&brush).loadFromJsonFile(folder.writeFile(QStringLiteral("a.kxb"), "{}")));
        QCOMPARE(brush.eraser(), false);
        QCOMPARE(aspect(brush, QStringLiteral("curves")), QStringLiteral("0"));
        QVERIFY(brush.shaderId().isEmpty());
        QVERIFY(brush.shaderValues()->values().isEmpty());
        QVERIFY(brush.texture().isNull());
    }
};

QTEST_MAIN(TestMBrushStream)
#include "tst_mbrushstream.moc"
