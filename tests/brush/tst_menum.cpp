#include "menum.h"
#include "mfolders.h"
#include "mutility.h"

#include <QComboBox>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTest>

class TestMEnum : public QObject
{
    Q_OBJECT

private slots:
    void keysAndValues_data()
    {
        QTest::addColumn<QByteArray>("enumName");
        QTest::addColumn<QString>("keys");
        auto row = [](const char *name, const char *keys) { QTest::newRow(name) << QByteArray(name) << QString::fromLatin1(keys); };
        row("BrushInput", "biPressure 0, biTangentialPressure 1, biXTilt 2, biYTilt 3, biPositionX 4, biPositionY 5, "
                          "biDirectionX 6, biDirectionY 7, biSpeed 8, biTimeToPrevious 9, biTotalTime 10, "
                          "biDistanceToPrevious 11, biTotalDistance 12, biRandom 13, biCount 14");
        row("BrushShape", "EllipseShape 0, RectangleShape 1");
        row("AngleType", "ConstantAngle 0, FollowDirectionAngle 1");
        row("SpacingType", "AutoSpacing 0, RatioSpacing 1, ConstantSpacing 2");
        row("AntialiasingType", "Antialiasing 0, NoAntialiasing 1, Smoothing 2");
        row("BrushSetting", "bsRadius 0, bsSpacing 1, bsSpacingType 2, bsFlow 3, bsOpacity 4, bsHardness 5, "
                            "bsCompositionMode 6, bsAntialiasing 7, bsRatio 8, bsAngle 9, bsAngleType 10, bsMinDistance 11, "
                            "bsSmoothing 12, bsShape 13, bsOffsetX 14, bsOffsetY 15, bsNoise 16, bsDensity 17, "
                            "bsAccumulatorDistance 18, bsEraser 19, bsInheritAlphaUnder 20, bsInheritAlphaCurrent 21, "
                            "bsSourceRgbBlendMode 22, bsSourceAlphaBlendMode 23, bsDestinationRgbBlendMode 24, "
                            "bsDestinationAlphaBlendMode 25, bsRgbBlendEquation 26, bsAlphaBlendEquation 27, "
                            "bsColorAbsorbtionRate 28, bsColorFlowingRate 29, bsPreserveTextureColor 30, bsFactor 31, "
                            "bsUseBorderColor 32, bsBrushColorHue 33, bsBrushColorSaturation 34, bsBrushColorValue 35, "
                            "bsBorderColorHue 36, bsBorderColorSaturation 37, bsBorderColorValue 38, bsCount 39");
        row("TextureColor", "BrushTextureColor 0, TextureTextureColor 1, MixedTextureColor 2");
        row("PaperType", "Transparent 0, Colored 1, Paper 2");
        row("ResolutionUnit", "PixelsPerInch 0, PixelsPerCentimeter 1");
        row("ColorGenerator", "RandomOffsetGenerator 0, AnalogousGenerator 1, ComplementaryGenerator 2, "
                              "SplitComplementaryGenerator 3, TriadicGenerator 4, TetradicGenerator 5, MonochromeGenerator 6");
        row("CapStyle", "FlatCap 0, SquareCap 16, RoundCap 32");
        row("JoinStyle", "MiterJoin 0, BevelJoin 64, RoundJoin 128");
        row("PathType", "SystemPath 0, UserPath 1");
        row("Directory", "BrushDir 0, CacheDir 1, ModelDir 2, PaperDir 3, ShaderDir 4, ShapeDir 5, SnippetDir 6, "
                         "SwatchDir 7, TemplateDir 8, TextureDir 9");
        row("LightType", "AmbientLight 0, DirectionalLight 1, PointLight 2, SpotLight 3");
        row("UpdateType", "InteractiveUpdate 0, TransactionalUpdate 1");
        row("OpenGLFactor", "glZero 0, glOne 1, glSrcColor 768, glOneMinusSrcColor 769, glDstColor 774, "
                            "glOneMinusDstColor 775, glSrcAlpha 770, glOneMinusSrcAlpha 771, glDstAlpha 772, "
                            "glOneMinusDstAlpha 773, glConstantColor 32769, glOneMinusConstantColor 32770, "
                            "glConstantAlpha 32771, glOneMinusConstantAlpha 32772, glSrcAlphaSaturate 776");
        row("OpenGLEquation", "glAdd 32774, glSubtract 32778, glReverseSubtract 32779, glMin 32775, glMax 32776");
        row("Edge", "LeftEdge 0, TopEdge 1, RightEdge 2, BottomEdge 3");
        row("UndoType", "MixedUndo 0, MemoryOnlyUndo 1, FileOnlyUndo 2");
    }

    // Keys are stored in files and settings: every key, value and position counts.
    void keysAndValues()
    {
        QFETCH(QByteArray, enumName);
        QFETCH(QString, keys);
        const QMetaObject &meta = MEnum::staticMetaObject;
        const QMetaEnum enumerator = meta.enumerator(meta.indexOfEnumerator(enumName.constData()));
        QVERIFY(enumerator.isValid());
        const QStringList pairs = keys.split(QStringLiteral(", "));
        QCOMPARE(enumerator.keyCount(), pairs.size());
        for (int i = 0; i < pairs.size(); ++i) {
            const QStringList pair = pairs.at(i).split(QLatin1Char(' '));
            const QByteArray key = pair.at(0).toLatin1();
            const int value = pair.at(1).toInt();
            QCOMPARE(QByteArray(enumerator.key(i)), key);
            QCOMPARE(enumerator.value(i), value);
            QCOMPARE(MUtility::enumValueToKey(meta, enumName, value), key);
            QCOMPARE(MUtility::enumKeyToValue(meta, enumName, key), value);
            // Shown as words, never as the stored key.
            const QString shown = MUtility::translatedEnumKey(meta, enumName, value);
            QVERIFY2(!shown.isEmpty() && !shown.contains(QRegularExpression(QStringLiteral("[a-z][A-Z]"))),
                     qPrintable(shown));
        }
    }

    void folderNumbersMatchTheFolderHelpers()
    {
        QCOMPARE(MUtility::dataDirectory(MEnum::UserPath, MEnum::CacheDir), MUtility::cacheDirectory());
        QCOMPARE(MFolders::dataDirectory(MEnum::SystemPath, MEnum::BrushDir), MFolders::brushesDirectory(MFolders::SystemPath));
        QCOMPARE(MFolders::directoryName(MEnum::TextureDir), MFolders::directoryName(MFolders::TextureDir));
    }

    void unknownNamesResolveToNothing_data()
    {
        QTest::addColumn<QByteArray>("enumName");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("unknown key") << QByteArray("BrushShape") << QByteArray("TriangleShape") << 7;
        QTest::newRow("key of another enumeration") << QByteArray("BrushShape") << QByteArray("glOne") << -3;
        QTest::newRow("unknown enumeration") << QByteArray("NoSuchEnum") << QByteArray("EllipseShape") << 0;
    }

    void unknownNamesResolveToNothing()
    {
        QFETCH(QByteArray, enumName);
        QFETCH(QByteArray, key);
        QFETCH(int, value);
        QCOMPARE(MUtility::enumKeyToValue(MEnum::staticMetaObject, enumName, key), -1);
        QVERIFY(MUtility::enumValueToKey(MEnum::staticMetaObject, enumName, value).isEmpty());
        QVERIFY(MUtility::translatedEnumKey(MEnum::staticMetaObject, enumName, value).isEmpty());
    }

    void fillEnumCombo()
    {
        QComboBox combo;
        combo.addItem(QStringLiteral("stale"));
        QPixmap red(4, 4);
        red.fill(Qt::red);
        MUtility::fillEnumCombo(MEnum::staticMetaObject, "SpacingType", &combo, 2, {QIcon(red)});
        QCOMPARE(combo.count(), 3);
        QCOMPARE(combo.itemText(1), QStringLiteral("Ratio"));
        QCOMPARE(combo.itemData(2), QVariant(2));
        QVERIFY(!combo.itemIcon(0).isNull());
        QVERIFY(combo.itemIcon(1).isNull());
        QCOMPARE(combo.currentIndex(), 2);

        MUtility::fillEnumCombo(MEnum::staticMetaObject, "OpenGLEquation", &combo, 9);
        QCOMPARE(combo.count(), 5);
        QCOMPARE(combo.itemData(3), QVariant(32775));
        QCOMPARE(combo.currentIndex(), 0);
        MUtility::fillEnumCombo(MEnum::staticMetaObject, "OpenGLEquation", nullptr, 0);
    }
};

QTEST_MAIN(TestMEnum)
#include "tst_menum.moc"
