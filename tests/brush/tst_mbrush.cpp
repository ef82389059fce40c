#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "mcurve.h"
#include "menum.h"
#include "mfield.h"
#include "mvalues.h"

#include <QMetaProperty>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

class TestMBrush : public QObject
{
    Q_OBJECT

private:
    static QMetaProperty settingProperty(int setting)
    {
        const QByteArray name = MBrushSettingInfoList::instance()->name(setting);
        return MBrush::staticMetaObject.property(MBrush::staticMetaObject.indexOfProperty(name.constData()));
    }

    // Every signal of the brush, counted by name.
    struct SignalCounter
    {
        explicit SignalCounter(MBrush *brush)
        {
            const QMetaObject *meta = brush->metaObject();
            for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
                const QMetaMethod method = meta->method(i);
                if (method.methodType() == QMetaMethod::Signal)
                    spies.append(new QSignalSpy(brush, QByteArray("2" + method.methodSignature()).constData()));
            }
        }
        ~SignalCounter() { qDeleteAll(spies); }
        int total() const
        {
            int n = 0;
            for (QSignalSpy *spy : spies)
                n += spy->count();
            return n;
        }
        QList<QSignalSpy *> spies;
    };

private slots:
    void defaults()
    {
        MBrush brush;
        QVERIFY(QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"))
                    .match(brush.id()).hasMatch());
        QVERIFY(MBrush().id() != brush.id());
        QCOMPARE(brush.description(), QStringLiteral("New brush"));
        QCOMPARE(brush.group(), QStringLiteral("system"));
        QCOMPARE(brush.version(), 1);
        QCOMPARE(brush.borderColor(), QColor(Qt::white));
        QCOMPARE(brush.quickSettings(), (QVector<int>{MEnum::bsRadius, MEnum::bsHardness, MEnum::bsFlow, MEnum::bsOpacity}));
        QVERIFY(brush.texture().isNull());
        QVERIFY(brush.shaderId().isEmpty());
        for (int setting = 0; setting < MEnum::bsCount; ++setting) {
            QVERIFY(!brush.settingHasCurve(setting));
            const MField *info = MBrushSettingInfoList::instance()->info(setting);
            QCOMPARE(brush.value(setting), info->value().toDouble());
        }
        QCOMPARE(brush.radius(), 30.0);
        QCOMPARE(brush.spacing(), 7.0);
        QCOMPARE(brush.hardness(), 0.8);
        QCOMPARE(brush.sourceAlphaBlendMode(), 771);
        QCOMPARE(brush.rgbBlendEquation(), 32774);
    }

    // Panels bind to settings by name: each setting is a property of its
    // name, of its declared type, with a change signal, in the setting order.
    void everySettingIsAProperty_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("type");
        // The type each setting's row in the setting table gives.
        for (int setting = 0; setting < MEnum::bsCount; ++setting) {
            const int type = MBrushSettingInfoList::instance()->info(setting)->type();
            QTest::newRow(MBrushSettingInfoList::instance()->name(setting).constData()) << setting << type;
        }
    }

    void everySettingIsAProperty()
    {
        QFETCH(int, setting);
        QFETCH(int, type);
        const QMetaProperty property = settingProperty(setting);
        QVERIFY(property.isValid());
        QCOMPARE(property.userType(), type);
        QVERIFY(property.isWritable());
        QVERIFY(property.hasNotifySignal());
        QCOMPARE(property.notifySignal().name(), property.name() + QByteArray("Changed"));
    }

    void propertyOrder()
    {
        const QMetaObject &meta = MBrush::staticMetaObject;
        QStringList names;
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
            names << QString::fromLatin1(meta.property(i).name());
        QCOMPARE(names.mid(0, 6), QStringList({"borderColor", "preview", "id", "group", "description", "version"}));
        QCOMPARE(names.size(), 45);
        const int radius = names.indexOf(QStringLiteral("radius"));
        QCOMPARE(names.mid(radius + 22, 4), QStringList({"sourceRgbBlendMode", "destinationRgbBlendMode",
                                                          "sourceAlphaBlendMode", "destinationAlphaBlendMode"}));
        QCOMPARE(names.last(), QStringLiteral("borderColorValue"));
    }

    void settersStoreAndSignalOnce_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("double") << QByteArray("radius") << QVariant(12.5);
        QTest::newRow("int") << QByteArray("shape") << QVariant(1);
        QTest::newRow("bool") << QByteArray("eraser") << QVariant(true);
        // Settings of more than two values or of a rate must not pass through a bool.
        QTest::newRow("three-value") << QByteArray("antialiasing") << QVariant(int(MEnum::Smoothing));
        QTest::newRow("rate") << QByteArray("smoothing") << QVariant(0.35);
        QTest::newRow("colour") << QByteArray("borderColor") << QVariant(QColor(Qt::red));
        QTest::newRow("text") << QByteArray("description") << QVariant(QStringLiteral("Chalk"));
        QTest::newRow("version") << QByteArray("version") << QVariant(7);
    }

    void settersStoreAndSignalOnce()
    {
        QFETCH(QByteArray, property);
        QFETCH(QVariant, value);
        MBrush brush;
        SignalCounter signals_(&brush);
        QSignalSpy changed(&brush, QByteArray("2" + property + "Changed(" + QByteArray(value.typeName()) + ")").constData());
        QVERIFY(changed.isValid());
        QVERIFY(brush.setProperty(property.constData(), value));
        QCOMPARE(brush.property(property.constData()), value);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first(), value);
        QVERIFY(brush.setProperty(property.constData(), value));
        QCOMPARE(changed.count(), 1);
        // Nothing else announced, but the value map's own change.
        QCOMPARE(signals_.total(), 1);
    }

    void storedTypeFollowsTheProperty()
    {
        MBrush brush;
        brush.setShape(1);
        QCOMPARE(brush.settingValues()->value("shape").userType(), int(QMetaType::Int));
        brush.setEraser(true);
        QCOMPARE(brush.settingValues()->value("eraser").userType(), int(QMetaType::Bool));
        brush.setRadius(4);
        QCOMPARE(brush.settingValues()->value("radius").userType(), int(QMetaType::Double));
    }

    void boolSetterComparesByTruth()
    {
        MBrush brush;
        brush.settingValues()->setValue("eraser", 1.0);
        QSignalSpy changed(&brush, &MBrush::eraserChanged);
        brush.setEraser(true);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(brush.value(MEnum::bsEraser), 1.0);
        brush.setEraser(false);
        QCOMPARE(changed.count(), 1);
    }

    void baseValuesAreDoubles()
    {
        MBrush brush;
        QSignalSpy changed(&brush, &MBrush::angleTypeChanged);
        brush.setBaseValue(MEnum::bsAngleType, 1.0);
        QCOMPARE(brush.settingValues()->value("angleType").userType(), int(QMetaType::Double));
        QCOMPARE(brush.angleType(), 1);
        QCOMPARE(brush.value(MEnum::bsAngleType), 1.0);
        QCOMPARE(changed.count(), 1);
        brush.setBaseValue(MEnum::bsAngleType, 1.0);
        QCOMPARE(changed.count(), 1);
        brush.setBaseValue(MEnum::bsRadius, 0.25);
        QCOMPARE(brush.value(MEnum::bsRadius), 0.25);
    }

    // A brush keeps its settings under their names, whatever their type in a
    // file: each reads back as its property's type.
    void settingValuesGoByName_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("property");
        QTest::addColumn<double>("value");
        QTest::newRow("double") << int(MEnum::bsRadius) << QByteArray("radius") << QVariant(12.75) << QVariant(12.75) << 12.75;
        QTest::newRow("int") << int(MEnum::bsSpacingType) << QByteArray("spacingType") << QVariant(2) << QVariant(2) << 2.0;
        QTest::newRow("bool") << int(MEnum::bsEraser) << QByteArray("eraser") << QVariant(true) << QVariant(true) << 1.0;
        QTest::newRow("zero") << int(MEnum::bsMinDistance) << QByteArray("minDistance") << QVariant(0.0) << QVariant(0.0) << 0.0;
        QTest::newRow("not a number") << int(MEnum::bsAngle) << QByteArray("angle") << QVariant(QStringLiteral("wide"))
                                      << QVariant(0.0) << 0.0;
    }

    void settingValuesGoByName()
    {
        QFETCH(int, setting);
        QFETCH(QByteArray, name);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, property);
        QFETCH(double, value);
        MBrush brush;
        brush.settingValues()->setValue(name, stored);
        QCOMPARE(settingProperty(setting).read(&brush), property);
        QCOMPARE(brush.value(setting), value);
    }

    void unknownSettingsStoreNothingAndReadAsZero()
    {
        MBrush brush;
        const auto before = brush.settingValues()->values();
        for (int setting : {int(MEnum::bsCount), -1}) {
            brush.setBaseValue(setting, 5.0);
            QCOMPARE(brush.value(setting), 0.0);
        }
        QCOMPARE(brush.settingValues()->values(), before);
    }

    void applySettingAnnouncesOnly_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<double>("value");
        QTest::addColumn<QVariant>("announced");
        QTest::newRow("int truncated") << int(MEnum::bsAngleType) << 1.9 << QVariant(1);
        QTest::newRow("int negative truncated toward zero") << int(MEnum::bsShape) << -1.7 << QVariant(-1);
        QTest::newRow("bool from a fraction") << int(MEnum::bsEraser) << 0.5 << QVariant(true);
        QTest::newRow("bool from zero") << int(MEnum::bsSmoothing) << 0.0 << QVariant(false);
        QTest::newRow("double") << int(MEnum::bsRadius) << 3.25 << QVariant(3.25);
    }

    void applySettingAnnouncesOnly()
    {
        QFETCH(int, setting);
        QFETCH(double, value);
        QFETCH(QVariant, announced);
        MBrush brush;
        const QMetaProperty property = settingProperty(setting);
        QSignalSpy changed(&brush, QByteArray("2" + property.notifySignal().methodSignature()).constData());
        const double before = brush.value(setting);
        brush.applySetting(setting, value);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first(), announced);
        QCOMPARE(brush.value(setting), before);
    }

    void textureSetsTheRatio()
    {
        MBrush brush;
        QSignalSpy ratio(&brush, &MBrush::ratioChanged);
        QImage image(200, 100, QImage::Format_ARGB32);
        image.fill(qRgba(10, 20, 30, 255));
        brush.setTexture(image);
        QCOMPARE(brush.ratio(), 0.5);
        QCOMPARE(ratio.count(), 1);
        QCOMPARE(brush.texture().format(), QImage::Format_RGBA8888_Premultiplied);
        QCOMPARE(brush.texture().pixelColor(5, 5), QColor(10, 20, 30));
        brush.setTexture(QImage());
        QVERIFY(brush.texture().isNull());
        QCOMPARE(brush.ratio(), 0.5);
        QCOMPARE(ratio.count(), 1);
    }

    void curves()
    {
        MBrush brush;
        MCurve *curve = brush.addCurve(MEnum::bsAngle, MEnum::biPressure);
        QVERIFY(curve);
        QCOMPARE(brush.addCurve(MEnum::bsAngle, MEnum::biPressure), curve);
        QCOMPARE(curve->interpolationType(), int(MCurve::Add));
        QCOMPARE(curve->parent(), nullptr);
        MCurve *second = brush.addCurve(MEnum::bsAngle, MEnum::biSpeed);
        brush.addCurve(MEnum::bsRadius, MEnum::biPressure);
        QCOMPARE(brush.curve(MEnum::bsAngle, MEnum::biSpeed), second);
        QCOMPARE(brush.curve(MEnum::bsFlow, MEnum::biSpeed), nullptr);
        QVERIFY(brush.hasCurve(MEnum::bsRadius, MEnum::biPressure));
        QVERIFY(brush.settingHasCurve(MEnum::bsAngle));
        QVERIFY(!brush.settingHasCurve(MEnum::bsFlow));
        QCOMPARE(brush.curves(MEnum::bsAngle).size(), 2);
        QVERIFY(brush.curves(MEnum::bsAngle).contains(curve));
        QVERIFY(brush.removeCurve(MEnum::bsAngle, MEnum::biPressure));
        QVERIFY(!brush.removeCurve(MEnum::bsAngle, MEnum::biPressure));
        QCOMPARE(brush.curves(MEnum::bsAngle), QList<MCurve *>{second});
    }

    void autoSpacingCurve()
    {
        MBrush brush;
        MCurve *curve = brush.autoSpacingCurve();
        QCOMPARE(curve->interpolationType(), int(MCurve::Multiply));
        QCOMPARE(curve->pointCount(), 6);
        QCOMPARE(curve->xMax(), 500.0);
        QCOMPARE(curve->yMax(), 50.0);
        QCOMPARE(curve->point(2), QPointF(2.0 / 500.0, 1.5 / 50.0));
        QVERIFY(qAbs(curve->mappedValue(30) - 3.0) < 1e-6);
        QVERIFY(qAbs(curve->mappedValue(500) - 50.0) < 1e-6);
        brush.resetValues();
        QCOMPARE(brush.autoSpacingCurve()->pointCount(), 6);
    }

    void quickSettings()
    {
        MBrush brush;
        brush.addQuickSetting(MEnum::bsFlow);
        QCOMPARE(brush.quickSettings(), MBrush::defaultQuickSettings());
        brush.addQuickSetting(MEnum::bsAngle);
        QCOMPARE(brush.quickSettings().last(), int(MEnum::bsAngle));
        brush.setQuickSettings({MEnum::bsAngle, MEnum::bsAngle, MEnum::bsNoise});
        QCOMPARE(brush.quickSettings(), (QVector<int>{MEnum::bsAngle, MEnum::bsAngle, MEnum::bsNoise}));
        brush.clearQuickSettings();
        QVERIFY(brush.quickSettings().isEmpty());
        brush.resetQuickSettings();
        QCOMPARE(brush.quickSettings(), MBrush::defaultQuickSettings());
    }

    void resetValuesRestoresDefaultsSilently()
    {
        MBrush brush;
        brush.setRadius(3);
        brush.setEraser(true);
        brush.addCurve(MEnum::bsRadius, MEnum::biPressure);
        SignalCounter signals_(&brush);
        QSignalSpy values(brush.settingValues(), &MValues::valueChanged);
        brush.resetValues();
        QCOMPARE(signals_.total(), 0);
        QCOMPARE(values.count(), 2);
        QCOMPARE(brush.radius(), 30.0);
        QVERIFY(!brush.eraser());
        QVERIFY(!brush.settingHasCurve(MEnum::bsRadius));
    }

    void copyFrom()
    {
        MBrush source;
        source.setDescription(QStringLiteral("Ink"));
        source.setGroup(QStringLiteral("pens"));
        source.setVersion(4);
        source.set_borderColor(Qt::blue);
        source.setQuickSettings({MEnum::bsNoise});
        source.setRadius(9);
        source.setShape(1);
        source.setTexture(QImage(40, 10, QImage::Format_ARGB32));
        source.setRatio(3.0); // not recomputed by the copy
        MCurve *curve = source.addCurve(MEnum::bsFlow, MEnum::biSpeed);
        curve->setPoint(1, QPointF(0.5, 0.9), true);

        MBrush target;
        const QString targetId = target.id();
        target.addCurve(MEnum::bsHardness, MEnum::biPressure);
        SignalCounter signals_(&target);
        target.copyFrom(&source);
        QCOMPARE(signals_.total(), 0);
        QCOMPARE(target.id(), targetId);
        QCOMPARE(target.description(), QStringLiteral("Ink"));
        QCOMPARE(target.group(), QStringLiteral("pens"));
        QCOMPARE(target.version(), 4);
        QCOMPARE(target.borderColor(), QColor(Qt::blue));
        QCOMPARE(target.quickSettings(), QVector<int>{MEnum::bsNoise});
        QCOMPARE(target.radius(), 9.0);
        QCOMPARE(target.shape(), 1);
        QCOMPARE(target.ratio(), 3.0);
        QCOMPARE(target.texture().size(), QSize(40, 10));
        QVERIFY(!target.hasCurve(MEnum::bsHardness, MEnum::biPressure));
        MCurve *copied = target.curve(MEnum::bsFlow, MEnum::biSpeed);
        QVERIFY(copied && copied != curve);
        QCOMPARE(copied->points(), curve->points());
        // The copy is deep: changing the source later leaves it alone.
        source.setRadius(1);
        curve->setPoint(1, QPointF(0.5, 0.1), true);
        QCOMPARE(target.radius(), 9.0);
        QCOMPARE(copied->point(1), QPointF(0.5, 0.9));
    }
};

QTEST_GUILESS_MAIN(TestMBrush)
#include "tst_mbrush.moc"
