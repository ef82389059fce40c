#include "msettings.h"

#include <QAction>
#include <QMetaProperty>
#include <QSet>
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
    static bool sameValue(const QVariant &a, const QVariant &b)
    {
        if (a.userType() == QMetaType::Double || b.userType() == QMetaType::Double)
            return qFuzzyCompare(1.0 + a.toDouble(), 1.0 + b.toDouble());
        return a == b;
    }

    // A value of the row's type, within its range, that is not its default.
    static QVariant otherValue(const MSettingItem &row)
    {
        const QVariant &d = row.defaultValue;
        const bool bounded = row.minimum != -1.0 || row.maximum != -1.0;
        switch (row.storageType()) {
        case QMetaType::Bool:
            return !d.toBool();
        case QMetaType::Int:
            return bounded ? int(d.toInt() == int(row.minimum) ? row.maximum : row.minimum) : d.toInt() + 1;
        case QMetaType::Double:
            return bounded ? (d.toDouble() == row.minimum ? row.maximum : row.minimum) : d.toDouble() + 0.5;
        case QMetaType::QColor:
            return QColor(1, 2, 3);
        case QMetaType::QStringList:
            return QStringList({QStringLiteral("a.kxd")});
        default:
            return QString(d.toString() + QStringLiteral("x"));
        }
    }

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

    // Every property of the settings has its row, of the property's type,
    // whose default is what the property answers on an empty store; every row
    // has its property.
    void tableMatchesProperties()
    {
        MSettings *settings = MSettings::instance();
        const QMetaObject *mo = &MSettings::staticMetaObject;
        QSet<QString> named;
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i) {
            const QMetaProperty property = mo->property(i);
            const QString key = QLatin1String(property.name());
            named.insert(key);
            const MSettingItem row = settings->settingItem(key);
            QVERIFY2(row.key == key, qPrintable(key + " has no row"));
            QVERIFY2(row.storageType() == property.userType(),
                     qPrintable(QStringLiteral("%1: row %2, property %3")
                                    .arg(key, QMetaType::typeName(row.type), property.typeName())));
            QVERIFY2(property.hasNotifySignal(), qPrintable(key + " announces no change"));
            const QVariant actual = property.read(settings);
            QVERIFY2(sameValue(actual, row.defaultValue),
                     qPrintable(QStringLiteral("%1: %2 against the row's %3")
                                    .arg(key, actual.toString(), row.defaultValue.toString())));
        }
        for (const MSettingItem &row : settings->table())
            QVERIFY2(named.contains(row.key), qPrintable(row.key + " has no property"));
        QCOMPARE(settings->table().size(), named.size());
    }

    // The dialog's rows are the table's rows that have a page, in table order.
    void dialogRows()
    {
        MSettings *settings = MSettings::instance();
        QCOMPARE(settings->items().size(), 40);
        int next = 0;
        for (const MSettingItem &row : settings->table()) {
            QCOMPARE(row.visible, !row.category.isEmpty());
            if (!row.visible)
                continue;
            const MSettingItem &item = settings->items().at(next++);
            QCOMPARE(item.key, row.key);
            QVERIFY(!item.label.isEmpty());
        }
        QCOMPARE(next, settings->items().size());
    }

    // Rows the dialog's editors depend on: ranges, enumerations, a font.
    void distinctiveRows_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("category");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("enumName");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::newRow("undoLimit") << "undoLimit" << "Document" << int(QMetaType::Int) << "" << 8.0 << 64.0 << QVariant(32);
        QTest::newRow("undoMemoryMax") << "undoMemoryMax" << "Document" << int(QMetaType::Double) << "" << 128.0
                                       << 1024.0 << QVariant(256.0);
        QTest::newRow("paperType") << "paperType" << "Document" << int(QMetaType::Int) << "PaperType" << -1.0 << -1.0
                                   << QVariant(1);
        QTest::newRow("gridSize") << "gridSize" << "Grid" << int(QMetaType::Int) << "" << 2.0 << 10000.0 << QVariant(30);
        QTest::newRow("thumbnailSize") << "thumbnailSize" << "Display" << int(QMetaType::Int) << "" << 16.0 << 128.0
                                       << QVariant(70);
        QTest::newRow("thumbnailPosition") << "thumbnailPosition" << "Display" << int(QMetaType::Int) << "Edge" << -1.0
                                           << -1.0 << QVariant(0);
        QTest::newRow("editorFontName") << "editorFontName" << "Editor" << int(QMetaType::QFont) << "" << -1.0 << -1.0
                                        << QVariant(QString("Courier new"));
        QTest::newRow("gridColor") << "gridColor" << "Grid" << int(QMetaType::QColor) << "" << -1.0 << -1.0
                                   << QVariant(QColor(200, 200, 200));
        QTest::newRow("serverUrl") << "serverUrl" << "" << int(QMetaType::QString) << "" << -1.0 << -1.0
                                   << QVariant(QString("https://www.vantorel.com"));
    }

    void distinctiveRows()
    {
        QFETCH(QString, key);
        QFETCH(QString, category);
        QFETCH(int, type);
        QFETCH(QString, enumName);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(QVariant, defaultValue);
        const MSettingItem row = MSettings::instance()->settingItem(key);
        QCOMPARE(row.key, key);
        QCOMPARE(row.category, category);
        QCOMPARE(row.type, type);
        QCOMPARE(row.enumName, enumName);
        QCOMPARE(row.minimum, minimum);
        QCOMPARE(row.maximum, maximum);
        QCOMPARE(row.defaultValue, defaultValue);
    }

    // Writing another value through the property stores it and announces it
    // once; writing it again announces nothing.
    void everySettingAnnouncesItsChange_data()
    {
        QTest::addColumn<QString>("key");
        for (const MSettingItem &row : MSettings::instance()->table())
            QTest::newRow(qPrintable(row.key)) << row.key;
    }

    void everySettingAnnouncesItsChange()
    {
        QFETCH(QString, key);
        MSettings *settings = MSettings::instance();
        const MSettingItem row = settings->settingItem(key);
        const QMetaObject *mo = &MSettings::staticMetaObject;
        const QMetaProperty property = mo->property(mo->indexOfProperty(qPrintable(key)));
        QSignalSpy spy(settings, property.notifySignal());
        const QVariant other = otherValue(row);
        QVERIFY(property.write(settings, other));
        QCOMPARE(spy.count(), 1);
        QVERIFY(sameValue(spy.at(0).at(0), other));
        QVERIFY(sameValue(property.read(settings), other));
        QVERIFY(property.write(settings, other));
        QCOMPARE(spy.count(), 1);
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
        QCOMPARE(item.type, int(QMetaType::QString));
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
        // An action the stored file has no entry for (older settings).
        auto *added = new QAction("Added", &next);
        added->setObjectName("actionAdded");
        added->setShortcut(QKeySequence("Ctrl+N"));
        GermanShortcuts german;
        QCoreApplication::installTranslator(&german);
        QCOMPARE(QKeySequence("Ctrl+Del").toString(QKeySequence::NativeText), QString("Strg+Entf"));
        MSettings::destroyInstance();
        MSettings::instance()->loadShortcuts(&next);
        QCoreApplication::removeTranslator(&german);
        QCOMPARE(named2->shortcut(), QKeySequence("Ctrl+Del"));
        // A cleared shortcut stays cleared; without an entry the built-in one stays.
        QCOMPARE(other2->shortcut(), QKeySequence());
        QCOMPARE(MSettings::instance()->defaultShortcut(other2), QString("Ctrl+Shift+Z"));
        QCOMPARE(added->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(MSettings::instance()->defaultShortcut(named2), QString("B"));
    }
};

QTEST_MAIN(TestMSettings)
#include "tst_msettings.moc"
