#include "dsettings.h"
#include "mcoloredit.h"
#include "mfolders.h"
#include "msettings.h"
#include "mtestscreenshot.h"
#include "mutility.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFile>
#include <QFontComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

// The preferences dialog over the real settings table: the editors it
// makes, what Ok writes and what Cancel does not.
namespace {
using Snapshot = QMap<QString, QVariant>;

Snapshot storedSettings()
{
    QSettings store;
    Snapshot snapshot;
    for (const QString &key : store.allKeys())
        snapshot.insert(key, store.value(key));
    return snapshot;
}

QStringList differences(const Snapshot &before, const Snapshot &after)
{
    QStringList keys;
    QSet<QString> all;
    for (const QString &key : before.keys() + after.keys())
        all.insert(key);
    for (const QString &key : all) {
        if (before.value(key) != after.value(key))
            keys.append(key);
    }
    keys.sort();
    return keys;
}

// Translation files exist only while the guard lives.
class TranslationFiles
{
public:
    explicit TranslationFiles(const QStringList &ids)
    {
        for (const QString &id : ids) {
            const QString path = MUtility::translationFilePath(id);
            if (QFile::exists(path))
                continue;
            MFolders::ensureDirectory(MUtility::translationsDirectory());
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                m_made.append(path);
        }
    }
    ~TranslationFiles()
    {
        for (const QString &path : m_made)
            QFile::remove(path);
    }

private:
    QStringList m_made;
};
} // namespace

class TestDSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Vantorel");
        QCoreApplication::setApplicationName("KalmiDraw");
    }

    void init()
    {
        QSettings().clear();
    }

    void editors_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("className");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::newRow("bool") << "showGrid" << "QCheckBox" << 0.0 << 0.0;
        QTest::newRow("int with range") << "textDuration" << "QSpinBox" << 1.0 << 30.0;
        QTest::newRow("int without range") << "colorListLength" << "QSpinBox" << 0.0 << 999999999.0;
        QTest::newRow("whole pixels") << "thumbnailSize" << "QSpinBox" << 16.0 << 128.0;
        QTest::newRow("enum") << "paperType" << "QComboBox" << 0.0 << 0.0;
        QTest::newRow("double cut to whole bounds") << "thumbnailOpacity" << "QDoubleSpinBox" << 0.0 << 1.0;
        QTest::newRow("double") << "undoMemoryMax" << "QDoubleSpinBox" << 128.0 << 1024.0;
        QTest::newRow("text") << "paperName" << "QLineEdit" << 0.0 << 0.0;
        QTest::newRow("font") << "editorFontName" << "QFontComboBox" << 0.0 << 0.0;
        QTest::newRow("colour") << "paperColor" << "MColorEdit" << 0.0 << 0.0;
        QTest::newRow("language") << "userLangId" << "QComboBox" << 0.0 << 0.0;
    }
    void editors()
    {
        QFETCH(QString, key);
        QFETCH(QString, className);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        DSettings dialog;
        QWidget *editor = dialog.findChild<QWidget *>("edit" + key);
        QVERIFY2(editor, qPrintable(key));
        QVERIFY(dialog.findChild<QWidget *>("label" + key));
        QCOMPARE(QString(editor->metaObject()->className()), className);
        if (auto *spin = qobject_cast<QSpinBox *>(editor)) {
            QCOMPARE(spin->minimum(), int(minimum));
            QCOMPARE(spin->maximum(), int(maximum));
        }
        if (auto *spin = qobject_cast<QDoubleSpinBox *>(editor)) {
            QCOMPARE(spin->minimum(), minimum);
            QCOMPARE(spin->maximum(), maximum);
        }
    }

    void pagesFollowTheTree()
    {
        DSettings dialog;
        auto *tree = dialog.findChild<QTreeWidget *>("treeWidget");
        auto *stack = dialog.findChild<QStackedWidget *>("stackedWidget");
        QCOMPARE(tree->topLevelItemCount(), 6);
        QCOMPARE(stack->count(), 6);
        QCOMPARE(tree->topLevelItem(5)->text(0), QString("Shortcuts"));
        // The grid page holds the grid settings only.
        QVERIFY(stack->widget(2)->findChild<QWidget *>("editgridSize"));
        QVERIFY(!stack->widget(2)->findChild<QWidget *>("editshowTiling"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        tree->setFocus();
        tree->setCurrentItem(tree->topLevelItem(0));
        QTest::keyClick(tree, Qt::Key_Down);
        QCOMPARE(stack->currentIndex(), 1);
        MTestScreenshot::keep(dialog.grab(), QStringLiteral("kalmidraw-preferences-document.png"));
        QTest::keyClick(tree, Qt::Key_End);
        QCOMPARE(stack->currentIndex(), 5);
    }

    // Ok writes what the painter changed, as the enumeration's value for a
    // list, and nothing else: a value the editor would round, a font it
    // cannot show and a language it does not offer stay as stored.
    void okWritesOnlyChanges()
    {
        MSettings *settings = MSettings::instance();
        settings->set_smoothMaxScale(2.375);
        settings->set_editorFontName("No Such Font Family");
        settings->set_userLangId("xx");
        settings->set_paperType(1);
        settings->set_textDuration(99); // out of its editor's range
        const Snapshot before = storedSettings();

        DSettings dialog;
        QSignalSpy changed(&dialog, &DSettings::settingsChanged);
        qobject_cast<QCheckBox *>(dialog.editor("showGrid"))->setChecked(!settings->showGrid());
        auto *paper = qobject_cast<QComboBox *>(dialog.editor("paperType"));
        QCOMPARE(paper->currentData().toInt(), 1);
        paper->setCurrentIndex(paper->findData(2));
        qobject_cast<QSpinBox *>(dialog.editor("gridSize"))->setValue(64);
        qobject_cast<QDoubleSpinBox *>(dialog.editor("undoMemoryMax"))->setValue(300.5);
        qobject_cast<QLineEdit *>(dialog.editor("paperName"))->setText("A4");
        qobject_cast<MColorEdit *>(dialog.editor("gridColor"))->setColor(QColor("#123456"));
        QTest::mouseClick(dialog.findChild<QPushButton *>("btnOk"), Qt::LeftButton);

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!dialog.needRestart());
        QCOMPARE(differences(before, storedSettings()),
                 QStringList({"gridColor", "gridSize", "paperName", "paperType", "showGrid", "undoMemoryMax"}));
        QCOMPARE(settings->paperType(), 2);
        QCOMPARE(settings->gridSize(), 64);
        QCOMPARE(settings->undoMemoryMax(), 300.5);
        QCOMPARE(settings->gridColor(), QColor("#123456"));
        QCOMPARE(settings->smoothMaxScale(), 2.375);
        QCOMPARE(settings->textDuration(), 99);
    }

    void okWithoutChange()
    {
        const Snapshot before = storedSettings();
        DSettings dialog;
        QSignalSpy changed(&dialog, &DSettings::settingsChanged);
        QTest::mouseClick(dialog.findChild<QPushButton *>("btnOk"), Qt::LeftButton);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!dialog.needRestart());
        QCOMPARE(differences(before, storedSettings()), QStringList());
    }

    void cancelWritesNothing()
    {
        const Snapshot before = storedSettings();
        DSettings dialog;
        QSignalSpy changed(&dialog, &DSettings::settingsChanged);
        qobject_cast<QCheckBox *>(dialog.editor("showTiling"))->setChecked(true);
        qobject_cast<QSpinBox *>(dialog.editor("editorTabSize"))->setValue(7);
        QTest::mouseClick(dialog.findChild<QPushButton *>("BtnCancel"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(differences(before, storedSettings()), QStringList());
    }

    void languages_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QString>("current");
        QTest::newRow("none installed") << QStringList() << "en" << QStringList() << QString();
        QTest::newRow("french only") << QStringList({"fr"}) << "en" << QStringList({"French"}) << "fr";
        QTest::newRow("both, stored upper case") << QStringList({"en", "fr"}) << "FR" << QStringList({"English", "French"})
                                                 << "fr";
    }
    void languages()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, stored);
        QFETCH(QStringList, offered);
        QFETCH(QString, current);
        // Only the files of the row exist (none is shipped).
        for (const QString &id : {QString("en"), QString("fr")})
            QVERIFY2(!QFile::exists(MUtility::translationFilePath(id)), "a translation file is installed");
        TranslationFiles files(installed);
        MSettings::instance()->set_userLangId(stored);
        DSettings dialog;
        auto *combo = qobject_cast<QComboBox *>(dialog.editor("userLangId"));
        QStringList names;
        for (int i = 0; i < combo->count(); ++i)
            names.append(combo->itemText(i));
        QCOMPARE(names, offered);
        QCOMPARE(combo->currentData().toString(), current);
        QTest::mouseClick(dialog.findChild<QPushButton *>("btnOk"), Qt::LeftButton);
        QCOMPARE(MSettings::instance()->userLangId(), stored);
        QVERIFY(!dialog.needRestart());
    }

    void languageChangeNeedsRestart()
    {
        TranslationFiles files({"en", "fr"});
        MSettings::instance()->set_userLangId("en");
        DSettings dialog;
        auto *combo = qobject_cast<QComboBox *>(dialog.editor("userLangId"));
        combo->setCurrentIndex(combo->findData("fr"));
        QVERIFY(!dialog.needRestart());
        QTest::mouseClick(dialog.findChild<QPushButton *>("btnOk"), Qt::LeftButton);
        QVERIFY(dialog.needRestart());
        QCOMPARE(MSettings::instance()->userLangId(), QString("fr"));
    }
};

QTEST_MAIN(TestDSettings)
#include "tst_dsettings.moc"
