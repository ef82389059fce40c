#include "msettings.h"

#include <QAction>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

// A German user: the modifier names of shortcuts are translated.
class GermanShortcuts : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QShortcut") == 0 && qstrcmp(sourceText, "Ctrl") == 0)
            return QStringLiteral("Strg");
        if (qstrcmp(context, "QShortcut") == 0 && qstrcmp(sourceText, "Del") == 0)
            return QStringLiteral("Entf");
        return QString();
    }
};

// Settings live in the isolated XDG_CONFIG_HOME of this test process.
class TestMSettings : public QObject
{
    Q_OBJECT

private:
    static void freshStore(bool clean = true)
    {
        MSettings::destroyInstance();
        QSettings store;
        store.clear();
        if (clean)
            store.setValue(QStringLiteral("clean"), true);
        store.sync();
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorel"));
        QCoreApplication::setApplicationName(QStringLiteral("KalmiDraw"));
    }

    void init() { freshStore(); }
    void cleanupTestCase() { MSettings::destroyInstance(); }

    void descriptionTable_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("category");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("enumName");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QVariant>("defaultValue");
        const QString u = "User", d = "Document", g = "Grid", s = "Display", e = "Editor";
        struct Row { const char *key; QString cat; int type; const char *en; double min, max; QVariant def; };
        const QList<Row> rows = {
            {"saveLayout", u, 1, "", -1, -1, true},
            {"userLangId", u, 10, "", -1, -1, QString("en")},
            {"translateCompositionModes", u, 1, "", -1, -1, true},
            {"showInstructions", u, 1, "", -1, -1, true},
            {"textDuration", u, 2, "", 1, 30, 5},
            {"openGlSdkUrl", u, 10, "", -1, -1, QVariant()},
            {"colorListLength", u, 2, "", -1, -1, 10},
            {"swatchSize", u, 2, "", 10, 60, 16},
            {"pointSize", u, 2, "", 5, 25, 12},
            {"defaultWidth", d, 2, "", -1, -1, 1000},
            {"defaultHeight", d, 2, "", -1, -1, 1000},
            {"paperType", d, 2, "PaperType", -1, -1, 1},
            {"paperColor", d, 67, "", -1, -1, QColor(255, 255, 255, 255)},
            {"paperName", d, 10, "", -1, -1, QString("paper-01.jpg")},
            {"showEmptyPaper", d, 1, "", -1, -1, true},
            {"resolutionUnit", d, 2, "ResolutionUnit", -1, -1, 0},
            {"undoLimit", d, 2, "", 8, 64, 32},
            {"undoMemoryMax", d, 6, "", 128, 1024, 256.0},
            {"autoExtent", d, 1, "", -1, -1, true},
            {"paintMargin", d, 2, "", 0, 1000, 20},
            {"widgetBackgroundColor", d, 67, "", -1, -1, QColor(Qt::darkGray)},
            {"gridSize", g, 2, "", 2, 10000, 30},
            {"showGrid", g, 1, "", -1, -1, false},
            {"gridColor", g, 67, "", -1, -1, QColor(200, 200, 200, 255)},
            {"alignToGrid", g, 1, "", -1, -1, true},
            {"alignToGridSize", g, 2, "", 2, 10000, 10},
            {"smoothPixels", s, 1, "", -1, -1, true},
            {"smoothMaxScale", s, 6, "", 1, 100, 6.0},
            {"showThumbnails", s, 1, "", -1, -1, true},
            {"showThumbnailsNamesOnly", s, 1, "", -1, -1, false},
            {"thumbnailSize", s, 6, "", 16, 128, 70},
            {"thumbnailOpacity", s, 6, "", 0.1, 1, 0.8},
            {"thumbnailColor", s, 67, "", -1, -1, QColor("#eeeeee")},
            {"thumbnailSelectionColor", s, 67, "", -1, -1, QColor("#ffffff")},
            {"thumbnailPosition", s, 2, "Edge", -1, -1, 0},
            {"showTiling", s, 1, "", -1, -1, false},
            {"editorTabSize", e, 2, "", 2, 10, 4},
            {"editorFontName", e, 64, "", -1, -1, QString("Courier new")},
            {"editorFontSize", e, 2, "", 5, 60, 11},
            {"editorSmartTab", e, 1, "", -1, -1, true},
        };
        QCOMPARE(rows.size(), 40);
        for (int i = 0; i < rows.size(); ++i) {
            const Row &r = rows.at(i);
            QTest::newRow(r.key) << i << QString(r.key) << r.cat << r.type << QString(r.en) << r.min << r.max << r.def;
        }
    }

    void descriptionTable()
    {
        QFETCH(int, row);
        QFETCH(QString, key);
        QFETCH(QString, category);
        QFETCH(int, type);
        QFETCH(QString, enumName);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QVariant, defaultValue);

        MSettings *settings = MSettings::instance();
        QCOMPARE(settings->items().size(), 40);
        const MSettingItem item = settings->items().at(row);
        QCOMPARE(item.key, key);
        QCOMPARE(item.category, category);
        QCOMPARE(item.type, type);
        QCOMPARE(item.enumName, enumName);
        QCOMPARE(item.minimum, minimum);
        QCOMPARE(item.maximum, maximum);
        QVERIFY(item.visible);
        QVERIFY(!item.label.isEmpty());
        QCOMPARE(settings->settingItem(key).key, key);

        // The getter of the row's key answers the default on an empty store.
        const QVariant actual = settings->property(qPrintable(key));
        QVERIFY2(actual.isValid(), qPrintable(key));
        if (defaultValue.isValid()) {
            if (defaultValue.userType() == QMetaType::Double)
                QCOMPARE(actual.toDouble(), defaultValue.toDouble());
            else
                QCOMPARE(actual, defaultValue);
        } else {
            QVERIFY(actual.toString().startsWith(QStringLiteral("http")));
        }
    }

    void categories()
    {
        MSettings *settings = MSettings::instance();
        QCOMPARE(settings->categoryCount(), 6);
        const QStringList expected = {"User", "Document", "Grid", "Display", "Editor", "Shortcuts"};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(settings->categoryAt(i).key, expected.at(i));
        for (const MSettingItem &item : settings->items())
            QVERIFY(item.category != QLatin1String("Shortcuts"));
    }

    void unknownKeyGivesDefaultRow()
    {
        const MSettingItem item = MSettings::instance()->settingItem(QStringLiteral("noSuchKey"));
        QVERIFY(item.key.isEmpty());
        QCOMPARE(item.type, 10);
        QVERIFY(item.visible);
        QCOMPARE(item.minimum, -1.0);
        QCOMPARE(item.maximum, -1.0);
    }

    void wrongTypesFallBackToDefaults_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("int from text") << "undoLimit" << QVariant("lots") << QVariant(32);
        QTest::newRow("int from number text") << "undoLimit" << QVariant("48") << QVariant(48);
        QTest::newRow("bool from junk") << "showGrid" << QVariant("maybe") << QVariant(false);
        QTest::newRow("bool from true text") << "showGrid" << QVariant("true") << QVariant(true);
        QTest::newRow("colour from junk") << "gridColor" << QVariant("not a colour") << QVariant(QColor(200, 200, 200));
        QTest::newRow("colour from name") << "gridColor" << QVariant("#102030") << QVariant(QColor("#102030"));
        QTest::newRow("double from text") << "undoMemoryMax" << QVariant("big") << QVariant(256.0);
        QTest::newRow("int from colour") << "textDuration" << QVariant(QColor(Qt::red)) << QVariant(5);
        QTest::newRow("float precision") << "smoothMaxScale" << QVariant(2.1) << QVariant(double(2.1f));
    }

    void wrongTypesFallBackToDefaults()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, expected);
        {
            QSettings store;
            store.setValue(key, stored);
        }
        const QVariant actual = MSettings::instance()->property(qPrintable(key));
        if (expected.userType() == QMetaType::Double)
            QCOMPARE(actual.toDouble(), expected.toDouble());
        else
            QCOMPARE(actual, expected);
    }

    void typedAccessDefaults()
    {
        MSettings *s = MSettings::instance();
        QCOMPARE(s->boolValue("Tool/absent", true), true);
        QCOMPARE(s->intValue("Tool/absent", 7), 7);
        QCOMPARE(s->doubleValue("Tool/absent", 0.5), 0.5);
        QCOMPARE(s->colorValue("Tool/absent", QColor(Qt::blue)), QColor(Qt::blue));
        QCOMPARE(s->stringValue("Tool/absent", "x"), QString("x"));
        s->setIntValue("Tool/size", 12);
        s->setColorValue("Tool/color", QColor(1, 2, 3, 4));
        QCOMPARE(s->intValue("Tool/size", 0), 12);
        QCOMPARE(s->colorValue("Tool/color", QColor()), QColor(1, 2, 3, 4));
    }

    void settersEmitOnlyOnChange()
    {
        MSettings *s = MSettings::instance();
        QSignalSpy memory(s, &MSettings::undoMemorySizeChanged);
        s->set_undoMemorySize(0.0);
        QCOMPARE(memory.count(), 0);
        s->set_undoMemorySize(12.5);
        QCOMPARE(memory.count(), 1);
        QCOMPARE(s->undoMemorySize(), 12.5);

        QSignalSpy grid(s, &MSettings::gridSizeChanged);
        s->setGridSize(30);
        QCOMPARE(grid.count(), 0);
        s->setGridSize(1);
        QCOMPARE(grid.count(), 1);
        QCOMPARE(grid.at(0).at(0).toInt(), 2);
        QCOMPARE(s->gridSize(), 2);

        s->set_alignToGridSize(0);
        QCOMPARE(s->alignToGridSize(), 2);

        QSignalSpy lang(s, &MSettings::userLangIdChanged);
        s->set_userLangId(QStringLiteral("fr"));
        s->set_userLangId(QStringLiteral("fr"));
        QCOMPARE(lang.count(), 1);

        s->set_recentFiles({"a.kxd", "b.kxd"});
        QCOMPARE(s->recentFiles(), QStringList({"a.kxd", "b.kxd"}));
    }

    void generateMipmapsForcedTrue()
    {
        {
            QSettings store;
            store.setValue("generateMipmaps", false);
        }
        MSettings::destroyInstance();
        QCOMPARE(MSettings::instance()->generateMipmaps(), true);
    }

    void keyCaseMigration()
    {
        freshStore(false);
        {
            QSettings store;
            store.setValue("perspective/LeftDistance", 42);
            store.setValue("UndoLimit", 16);
            store.setValue("DShader/geometry", "abc");
            store.setValue("mainWindow/Dock/State", "s");
            store.setValue("gridSize", 50);
        }
        MSettings *s = MSettings::instance();
        QSettings store;
        QCOMPARE(store.value("Perspective/leftDistance").toInt(), 42);
        QVERIFY(!store.contains("perspective/LeftDistance"));
        QCOMPARE(s->undoLimit(), 16);
        QVERIFY(!store.contains("UndoLimit"));
        QCOMPARE(store.value("MainWindow/Dock/state").toString(), QString("s"));
        QCOMPARE(s->gridSize(), 50);
        QVERIFY(store.childGroups().contains("Perspective"));
        QVERIFY(!store.childGroups().contains("DShader"));
        QCOMPARE(store.value("clean").toBool(), true);

        // The next start leaves the store alone.
        store.setValue("Zoom/Factor", 3);
        store.sync();
        MSettings::destroyInstance();
        MSettings::instance();
        QSettings again;
        QCOMPARE(again.value("Zoom/Factor").toInt(), 3);
    }

    void shortcutsRoundTrip()
    {
        QMainWindow window;
        auto *named = new QAction("Brush", &window);
        named->setObjectName("actionBrush");
        named->setShortcut(QKeySequence("B"));
        auto *other = new QAction("Zoom", &window);
        other->setObjectName("actionZoom");
        other->setShortcut(QKeySequence("Ctrl+Shift+Z"));
        auto *anonymous = new QAction("Anonymous", &window);
        anonymous->setShortcut(QKeySequence("Ctrl+J"));

        MSettings *s = MSettings::instance();
        s->loadShortcuts(&window);
        QCOMPARE(s->defaultShortcut(named), QString("B"));
        QCOMPARE(s->defaultShortcut(anonymous), QString());

        named->setShortcut(QKeySequence("Ctrl+Del"));
        other->setShortcut(QKeySequence());
        anonymous->setShortcut(QKeySequence("Ctrl+K"));
        s->saveShortcuts(&window);
        {
            QSettings store;
            QCOMPARE(store.value("Action/actionBrush").toString(), QString("Ctrl+Del"));
            QCOMPARE(store.value("Action/actionZoom").toString(), QString());
            store.beginGroup("Action");
            QCOMPARE(store.childKeys().size(), 2);
        }

        // The next start builds the actions with their built-in shortcuts again.
        QMainWindow next;
        auto *named2 = new QAction("Brush", &next);
        named2->setObjectName("actionBrush");
        named2->setShortcut(QKeySequence("B"));
        auto *other2 = new QAction("Zoom", &next);
        other2->setObjectName("actionZoom");
        other2->setShortcut(QKeySequence("Ctrl+Shift+Z"));
        GermanShortcuts german;
        QCoreApplication::installTranslator(&german);
        QCOMPARE(QKeySequence("Ctrl+Del").toString(QKeySequence::NativeText), QString("Strg+Entf"));
        MSettings::destroyInstance();
        MSettings::instance()->loadShortcuts(&next);
        QCoreApplication::removeTranslator(&german);
        QCOMPARE(named2->shortcut(), QKeySequence("Ctrl+Del"));
        // An empty stored value leaves the built-in shortcut.
        QCOMPARE(other2->shortcut(), QKeySequence("Ctrl+Shift+Z"));
        QCOMPARE(MSettings::instance()->defaultShortcut(named2), QString("B"));
    }
};

QTEST_MAIN(TestMSettings)
#include "tst_msettings.moc"
