#include "mbrushsettinginfolist.h"
#include "menum.h"
#include "msettingcategory.h"

#include <QSignalSpy>
#include <QTest>

class TestMBrushSettingInfoList : public QObject
{
    Q_OBJECT

private slots:
    void everySettingRow_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("enumName");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("step");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("logarithmic");
        QTest::addColumn<bool>("percentage");
        QTest::addColumn<bool>("dynamic");
        QTest::addColumn<bool>("visible");
        auto row = [](int id, const char *key, const char *name, const char *label, const char *description, int type,
                      const char *enumName, double minimum, const QVariant &defaultValue, double maximum, double step,
                      const char *unit, bool logarithmic, bool percentage, bool dynamic, bool visible) {
            QTest::newRow(key) << id << QByteArray(key) << QByteArray(name) << QString::fromLatin1(label)
                               << QString::fromLatin1(description) << type << QByteArray(enumName) << minimum << defaultValue
                               << maximum << step << QString::fromLatin1(unit) << logarithmic << percentage << dynamic << visible;
        };
        row(0, "bsRadius", "radius", "Radius", "Brush radius in pixels", QMetaType::Double, "", 0.1, QVariant(30.0), 1000, 0.1, "pix", true, false, true, true);
        row(1, "bsSpacing", "spacing", "Spacing", "Brush spacing. The unit depend on spacing type.", QMetaType::Double, "", 0.01, QVariant(7), 500, 1, "", true, false, true, true);
        row(2, "bsSpacingType", "spacingType", "Spacing type", "Spacing type.", QMetaType::Int, "SpacingType", 0, QVariant(0), 1, 0.1, "", false, false, true, true);
        row(3, "bsFlow", "flow", "Flow", "Brush flow.", QMetaType::Double, "", 0, QVariant(1.0), 1, 0.1, "%", false, true, true, true);
        row(4, "bsOpacity", "opacity", "Opacity", "Brush opacity.", QMetaType::Double, "", 0, QVariant(1.0), 1, 0.1, "%", false, true, false, true);
        row(5, "bsHardness", "hardness", "Hardness", "Brush hardness.", QMetaType::Double, "", 0, QVariant(0.8), 1, 0.1, "%", false, true, true, true);
        row(6, "bsCompositionMode", "compositionMode", "Mode", "Composition mode.", QMetaType::Int, "CompositionMode", 0, QVariant(0), 1, 0.1, "", false, false, true, true);
        row(7, "bsAntialiasing", "antialiasing", "Antialiasing", "Brush Antialiasing.", QMetaType::Int, "AntialiasingType", 0, QVariant(0), 1, 0.1, "", false, false, true, true);
        row(8, "bsRatio", "ratio", "Ratio", "Brush shape ratio width/height.", QMetaType::Double, "", 0.001, QVariant(1.0), 100, 0.1, "", false, false, true, true);
        row(9, "bsAngle", "angle", "Angle", "Brush angle in degrees.", QMetaType::Double, "", -180, QVariant(0.0), 180, 5, "deg", false, false, true, true);
        row(10, "bsAngleType", "angleType", "Angle type", "Angle of the brush: constant or follow direction of the stylus.", QMetaType::Int, "AngleType", 0, QVariant(0), 1, 0.1, "", false, false, true, true);
        row(11, "bsMinDistance", "minDistance", "Minimal distance", "Minimal distance between two moves (in pixels).", QMetaType::Double, "", 0.2, QVariant(0.2), 30, 0.1, "pix", false, false, true, true);
        row(12, "bsSmoothing", "smoothing", "Smoothing", "Brush smoothing rate.", QMetaType::Double, "", 0, QVariant(0.5), 0.7, 0.1, "%", false, true, true, true);
        row(13, "bsShape", "shape", "Shape", "Brush shape.", QMetaType::Int, "BrushShape", 0, QVariant(0), 1, 0.1, "", false, false, true, true);
        row(14, "bsOffsetX", "offsetX", "Offset x", "Offset x (% of the brush radius).", QMetaType::Double, "", 0, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(15, "bsOffsetY", "offsetY", "Offset y", "Offset y (% of the brush radius).", QMetaType::Double, "", 0, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(16, "bsNoise", "noise", "Opacity noise", "Opacity noise.", QMetaType::Double, "", 0, QVariant(0.0), 1, 0.1, "%", false, true, true, true);
        row(17, "bsDensity", "density", "Pixels density", "Pixels density.", QMetaType::Double, "", 0, QVariant(1.0), 1, 0.1, "%", false, true, true, true);
        row(18, "bsAccumulatorDistance", "accumulatorDistance", "Accumulator Distance", "Accumulator distance.", QMetaType::Double, "", 0, QVariant(0.0), 500, 1, "pix", true, false, true, true);
        row(19, "bsEraser", "eraser", "Brush eraser mode", "Brush eraser mode.", QMetaType::Bool, "", 0, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(20, "bsInheritAlphaUnder", "inheritAlphaUnder", "Inherit transp. of layer under", "Brush alpha component is inherited from the layer under the current layer.", QMetaType::Bool, "", 0, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(21, "bsInheritAlphaCurrent", "inheritAlphaCurrent", "Inherit transp. of current layer", "Brush alpha component is inherited from the current layer.", QMetaType::Bool, "", 0, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(22, "bsSourceRgbBlendMode", "sourceRgbBlendMode", "Source rgb blend mode", "Source (foreground) rgb blend mode.", QMetaType::Int, "OpenGLFactor", 0, QVariant(1), 1, 0.1, "", false, false, true, false);
        row(23, "bsSourceAlphaBlendMode", "sourceAlphaBlendMode", "Source alpha blend mode", "Source (foreground) alpha blend mode.", QMetaType::Int, "OpenGLFactor", 0, QVariant(771), 1, 0.1, "", false, false, true, false);
        row(24, "bsDestinationRgbBlendMode", "destinationRgbBlendMode", "Destination rgb blend mode", "Destination (background) rgb blend mode.", QMetaType::Int, "OpenGLFactor", 0, QVariant(1), 1, 0.1, "", false, false, true, false);
        row(25, "bsDestinationAlphaBlendMode", "destinationAlphaBlendMode", "Destination alpha blend mode", "Destination (foreground) alpha blend mode.", QMetaType::Int, "OpenGLFactor", 0, QVariant(771), 1, 0.1, "", false, false, true, false);
        row(26, "bsRgbBlendEquation", "rgbBlendEquation", "Rgb blend equation", "Rgb blend equation.", QMetaType::Int, "OpenGLEquation", 0, QVariant(32774), 1, 0.1, "", false, false, true, false);
        row(27, "bsAlphaBlendEquation", "alphaBlendEquation", "Alpha blend equation", "Alpha blend equation.", QMetaType::Int, "OpenGLEquation", 0, QVariant(32774), 1, 0.1, "", false, false, true, false);
        row(28, "bsColorAbsorbtionRate", "colorAbsorbtionRate", "Color absorbtion rate", "Color absorbtion rate", QMetaType::Double, "", 0, QVariant(0.0), 1, 0.1, "%", false, true, true, true);
        row(29, "bsColorFlowingRate", "colorFlowingRate", "Color flow rate", "Color flow rate", QMetaType::Double, "", 0, QVariant(1.0), 1, 0.1, "%", false, true, true, true);
        row(30, "bsPreserveTextureColor", "preserveTextureColor", "Texture color", "Texture color", QMetaType::Int, "TextureColor", 0, QVariant(0), 1, 0.1, "", false, false, true, true);
        row(31, "bsFactor", "factor", "Factor", "Factor", QMetaType::Double, "", 0, QVariant(1.0), 1, 0.1, "%", false, true, true, true);
        row(32, "bsUseBorderColor", "useBorderColor", "Use border color", "Use border color", QMetaType::Bool, "", 0, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(33, "bsBrushColorHue", "brushColorHue", "Hue", "Color hue", QMetaType::Double, "", -1, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(34, "bsBrushColorSaturation", "brushColorSaturation", "Saturation", "Color saturation", QMetaType::Double, "", -1, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(35, "bsBrushColorValue", "brushColorValue", "Value", "Color value", QMetaType::Double, "", -1, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(36, "bsBorderColorHue", "borderColorHue", "Border hue", "Border color hue", QMetaType::Double, "", -1, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(37, "bsBorderColorSaturation", "borderColorSaturation", "Border saturation", "Border color saturation", QMetaType::Double, "", -1, QVariant(0.0), 1, 0.1, "", false, false, true, true);
        row(38, "bsBorderColorValue", "borderColorValue", "Border value", "Border color value", QMetaType::Double, "", -1, QVariant(0.0), 1, 0.1, "", false, false, true, true);
    }

    void everySettingRow()
    {
        QFETCH(int, id);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, name);
        QFETCH(QString, label);
        QFETCH(QString, description);
        QFETCH(int, type);
        QFETCH(QByteArray, enumName);
        QFETCH(double, minimum);
        QFETCH(QVariant, defaultValue);
        QFETCH(double, maximum);
        QFETCH(double, step);
        QFETCH(QString, unit);
        QFETCH(bool, logarithmic);
        QFETCH(bool, percentage);
        QFETCH(bool, dynamic);
        QFETCH(bool, visible);
        MBrushSettingInfoList *list = MBrushSettingInfoList::instance();
        QCOMPARE(QByteArray(QMetaEnum::fromType<MEnum::BrushSetting>().valueToKey(id)), key);
        const MField *field = list->info(id);
        QCOMPARE(field->index(), id);
        QCOMPARE(field->name(), name);
        QCOMPARE(list->name(id), name);
        QCOMPARE(list->info(name), field);
        QCOMPARE(field->label(), label);
        QCOMPARE(field->description(), description);
        QCOMPARE(field->type(), type);
        QCOMPARE(field->enumName(), enumName);
        QCOMPARE(field->minimum(), minimum);
        QCOMPARE(field->maximum(), maximum);
        // The stored type counts: readers of the spacing default get an int.
        QCOMPARE(field->value().userType(), defaultValue.userType());
        QCOMPARE(field->value(), defaultValue);
        QCOMPARE(field->singleStep(), step);
        QCOMPARE(field->suffix(), unit);
        QCOMPARE(field->isLogarithmic(), logarithmic);
        QCOMPARE(field->isPercentage(), percentage);
        QCOMPARE(field->isDynamic(), dynamic);
        QCOMPARE(field->isVisible(), visible);
        QVERIFY(!field->hasNoIndex());
    }

    void tableHoldsThirtyNineSettings()
    {
        QCOMPARE(MBrushSettingInfoList::instance()->count(), 39);
        QCOMPARE(int(MEnum::bsCount), 39);
    }

    void unknownSettingsGiveTheFallback_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("count marker") << int(MEnum::bsCount);
        QTest::newRow("negative") << -1;
        QTest::newRow("far out") << 1000;
    }

    void unknownSettingsGiveTheFallback()
    {
        QFETCH(int, id);
        MBrushSettingInfoList *list = MBrushSettingInfoList::instance();
        const MField *field = list->info(id);
        QVERIFY(field);
        QCOMPARE(field->index(), -1);
        QCOMPARE(field->type(), int(QMetaType::Double));
        QCOMPARE(field->maximum(), 1.0);
        QVERIFY(list->name(id).isEmpty());
        QCOMPARE(list->info(QByteArray("noSuchSetting")), field);
        QCOMPARE(list->info(QByteArray("Radius")), field);
    }

    void categories_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QVector<int>>("settings");
        QTest::newRow("size") << 0 << "Size" << QVector<int>{0, 1, 2, 11, 18, 14, 15};
        QTest::newRow("opacity") << 1 << "Opacity" << QVector<int>{3, 4, 5, 17, 7, 19};
        QTest::newRow("shape") << 2 << "Shape" << QVector<int>{13, 8, 9, 10};
        QTest::newRow("color") << 3 << "Color" << QVector<int>{28, 29, 30, 32, 33, 34, 35, 36, 37, 38};
        QTest::newRow("composition") << 4 << "Composition" << QVector<int>{6, 21, 20, 22, 23, 24, 25, 26, 27, 31};
    }

    void categories()
    {
        QFETCH(int, index);
        QFETCH(QString, description);
        QFETCH(QVector<int>, settings);
        MBrushSettingInfoList *list = MBrushSettingInfoList::instance();
        QCOMPARE(list->categories().size(), 5);
        const MSettingCategory *category = list->categories().at(index);
        QCOMPARE(category->description(), description);
        QCOMPARE(category->settings(), settings);
        const QVector<MField *> fields = list->categorySettings(index);
        QCOMPARE(fields.size(), settings.size());
        for (int i = 0; i < settings.size(); ++i)
            QCOMPARE(fields.at(i)->index(), settings.at(i));
    }

    void settingsOutsideEveryCategory()
    {
        MBrushSettingInfoList *list = MBrushSettingInfoList::instance();
        QVector<int> listed;
        for (const MSettingCategory *category : list->categories())
            listed += category->settings();
        for (int id = 0; id < MEnum::bsCount; ++id)
            QCOMPARE(listed.count(id), (id == MEnum::bsSmoothing || id == MEnum::bsNoise) ? 0 : 1);
        QVERIFY(list->categorySettings(5).isEmpty());
        QVERIFY(list->categorySettings(-1).isEmpty());
    }

    void setSettingIdNamesARecord()
    {
        MBrushSettingInfoList list;
        MField record;
        list.setSettingId(&record, MEnum::bsMinDistance);
        QCOMPARE(record.index(), int(MEnum::bsMinDistance));
        QCOMPARE(record.name(), QByteArray("minDistance"));
        list.setSettingId(&record, MEnum::bsCount);
        QCOMPARE(record.index(), int(MEnum::bsCount));
        QVERIFY(record.name().isEmpty());
    }

    void categoryKeepsEachSettingOnce()
    {
        MSettingCategory category;
        QSignalSpy settings(&category, &MSettingCategory::settingsChanged);
        QSignalSpy descriptions(&category, &MSettingCategory::descriptionChanged);
        category.addSetting(4);
        category.addSetting(4);
        category.addSetting(2);
        QCOMPARE(category.settings(), (QVector<int>{4, 2}));
        QCOMPARE(settings.count(), 2);
        category.setDescription(QStringLiteral("Size"));
        category.setDescription(QStringLiteral("Size"));
        QCOMPARE(descriptions.count(), 1);
        const QString id = category.id();
        QVERIFY(!id.isEmpty());
        category.clear();
        QVERIFY(category.settings().isEmpty());
        QVERIFY(category.id() != id);
    }
};

QTEST_GUILESS_MAIN(TestMBrushSettingInfoList)
#include "tst_mbrushsettinginfolist.moc"
