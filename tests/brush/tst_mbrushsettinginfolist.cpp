#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "menum.h"
#include "msettingcategory.h"

#include <QFile>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

class TestMBrushSettingInfoList : public QObject
{
    Q_OBJECT

private slots:
    // Each row of the setting table, as written there, against the field the
    // list makes of it, the brush property of its name and the stamping
    // program's uniform.
    void everySettingRow_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QByteArray>("enumName");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("defaultValue");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("step");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QByteArray>("flags");
#define TEST_ROW(Id, Key, name, Type, label, description, enumName, minimum, defaultValue, maximum, step, unit, flags) \
    QTest::newRow(#name) << int(MEnum::bs##Key) << QByteArray("bs" #Key) << QByteArray(#name) << qMetaTypeId<Type>()    \
                         << QString::fromLatin1(label) << QString::fromLatin1(description) << QByteArray(enumName)     \
                         << double(minimum) << double(defaultValue) << double(maximum) << double(step)                \
                         << QString::fromLatin1(unit) << QByteArray(flags);
        M_BRUSH_SETTINGS(TEST_ROW)
#undef TEST_ROW
    }

    void everySettingRow()
    {
        QFETCH(int, id);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, name);
        QFETCH(int, type);
        QFETCH(QString, label);
        QFETCH(QString, description);
        QFETCH(QByteArray, enumName);
        QFETCH(double, minimum);
        QFETCH(double, defaultValue);
        QFETCH(double, maximum);
        QFETCH(double, step);
        QFETCH(QString, unit);
        QFETCH(QByteArray, flags);
        MBrushSettingInfoList *list = MBrushSettingInfoList::instance();
        // Files and editors know a setting by the name of its key.
        QCOMPARE(QByteArray(QMetaEnum::fromType<MEnum::BrushSetting>().valueToKey(id)), key);
        QCOMPARE(MEnum::settingName(id), name);
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
        QCOMPARE(field->singleStep(), step);
        QCOMPARE(field->suffix(), unit);
        QCOMPARE(field->isLogarithmic(), flags.contains('l'));
        QCOMPARE(field->isPercentage(), flags.contains('p'));
        QCOMPARE(field->isDynamic(), flags.contains('d'));
        QCOMPARE(field->isVisible(), flags.contains('v'));
        QCOMPARE(list->uniformSettings().contains(id), flags.contains('u'));
        QVERIFY(!field->hasNoIndex());
        // The default is kept in the setting's type and must survive it: a
        // fraction in an int row or a 2 in a bool row would be lost.
        QCOMPARE(field->value().userType(), type);
        QCOMPARE(field->value().toDouble(), defaultValue);
        if (enumName.isEmpty())
            QVERIFY2(minimum <= defaultValue && defaultValue <= maximum, qPrintable(QString::number(defaultValue)));

        // The brush's property of the name: of the row's type, starting at the default.
        const QMetaObject &meta = MBrush::staticMetaObject;
        const QMetaProperty property = meta.property(meta.indexOfProperty(name.constData()));
        QVERIFY(property.isValid());
        QCOMPARE(property.userType(), type);
        MBrush brush;
        QCOMPARE(property.read(&brush).toDouble(), defaultValue);

        // The stamping program declares each uniform it is handed, of a type
        // the value fits.
        static const QString header = [] {
            QFile file(QStringLiteral(":/shaders/std_brush_header_frag.glsl"));
            file.open(QIODevice::ReadOnly);
            return QString::fromUtf8(file.readAll());
        }();
        QVERIFY(!header.isEmpty());
        const QRegularExpression declared(QStringLiteral("uniform\\s+(\\w+)\\s+f_%1\\b").arg(QString::fromLatin1(name)));
        const QRegularExpressionMatch match = declared.match(header);
        if (flags.contains('u')) {
            QVERIFY2(match.hasMatch(), name.constData());
            const QString glslType = type == QMetaType::Double ? QStringLiteral("float")
                                     : type == QMetaType::Bool ? QStringLiteral("bool")
                                                               : QStringLiteral("int");
            QCOMPARE(match.captured(1), glslType);
        }
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
