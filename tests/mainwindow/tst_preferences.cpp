#include "deditshortcut.h"
#include "dsettings.h"
#include "maction.h"
#include "mactionlist.h"
#include "mapplication.h"
#include "mkeysequenceedit.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestscreenshot.h"
#include "mutility.h"
#include "mtestdialogscript.h"
#include "mtestmodaldriver.h"
#include "mtesturlcatcher.h"
#include "mtestwindowrun.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

// A painter opens the preferences from the real window, changes a setting
// and a command's shortcut, presses Ok, and the new shortcut works.
namespace {
void clickItem(QTreeWidget *tree, QTreeWidgetItem *item)
{
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualItemRect(item).center());
}
} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void changeSettingAndShortcut()
    {
        MTestUrlCatcher catcher;
        MTestDialogScript script;
        QString failure;
        auto check = [&failure](bool ok, const QString &what) {
            if (!ok && failure.isEmpty())
                failure = what;
        };
        bool gridBefore = false;
        bool shown = false;
        QList<QUrl> opened;
        const int result = runMainWindowOnce([&](MMainWindow *window) {
            MSettings::instance()->set_serverUrl("http://127.0.0.1:9");
            gridBefore = MSettings::instance()->showGrid();
            auto *preferences = window->findChild<QAction *>("actionEditSettings");
            check(preferences && preferences->isEnabled(), "the preferences command is usable");
            MTestModalDriver::onNextDialog("DSettings", [&](QDialog *dialog) {
                shown = true;
                auto *tree = dialog->findChild<QTreeWidget *>("treeWidget");
                auto *stack = dialog->findChild<QStackedWidget *>("stackedWidget");
                clickItem(tree, tree->topLevelItem(2)); // Grid
                check(stack->currentIndex() == 2, "the grid page shows");
                MTestModalDriver::click(dialog->findChild<QCheckBox *>("editshowGrid"));

                clickItem(tree, tree->topLevelItem(5)); // Shortcuts
                auto *view = dialog->findChild<QTableView *>("shortcutView");
                // Searched for and clicked, as a painter finds a command.
                MTestModalDriver::typeOver(dialog->findChild<QLineEdit *>("shortcutSearch"), "contact");
                QTest::keyClick(dialog->findChild<QLineEdit *>("shortcutSearch"), Qt::Key_Return);
                check(view->model()->rowCount() == 1, "the search finds the contact command");
                int firstShown = 0;
                while (view->isColumnHidden(firstShown))
                    ++firstShown;
                QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  view->visualRect(view->model()->index(0, firstShown)).center());
                auto *current = qobject_cast<MAction *>(static_cast<DSettings *>(dialog)->actionList()->currentItem());
                check(current && current->description() == "Contact us", "the contact command is selected");
                MTestModalDriver::onNextDialog("DEditShortcut", [&](QDialog *edit) {
                    QTest::keyClick(static_cast<DEditShortcut *>(edit)->keyEdit(), Qt::Key_F9,
                                    Qt::ControlModifier | Qt::ShiftModifier);
                    QTest::mouseClick(edit->findChild<QPushButton *>("btnOk"), Qt::LeftButton);
                });
                QTest::mouseClick(dialog->findChild<QPushButton *>("btnEditShortcut"), Qt::LeftButton);
                MTestScreenshot::keep(dialog->grab(), QStringLiteral("kalmidraw-preferences-shortcuts.png"));
                QTest::mouseClick(dialog->findChild<QPushButton *>("btnOk"), Qt::LeftButton);
            });
            preferences->trigger();
            // The new shortcut, typed in the window.
            QApplication::setActiveWindow(window);
            QTest::keyClick(window, Qt::Key_F9, Qt::ControlModifier | Qt::ShiftModifier);
            QTest::qWait(50);
            opened = catcher.urls;
        });

        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(result, 0);
        QVERIFY(shown);
        QSettings store;
        QCOMPARE(store.value("showGrid").toBool(), !gridBefore);
        QCOMPARE(store.value("Action/actionContact_us").toString(), QString("Ctrl+Shift+F9"));
        QCOMPARE(script.requests().size(), 0); // no restart asked for
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().toString(), QString("http://127.0.0.1:9/contact-us/"));
    }

    // A new language is offered a restart; declining it keeps the window.
    void languageAsksRestart()
    {
        MTestDialogScript script;
        script.answer(1); // "Don't restart"
        QString failure;
        QStringList made;
        QString chosen;
        const int result = runMainWindowOnce([&](MMainWindow *window) {
            // The translations the list needs, for this run only.
            for (const QString &id : {QString("en"), QString("fr")}) {
                const QString path = MUtility::translationFilePath(id);
                QFile file(path);
                if (!QFile::exists(path) && file.open(QIODevice::WriteOnly))
                    made.append(path);
            }
            MSettings::instance()->set_userLangId("en");
            MTestModalDriver::onNextDialog("DSettings", [&](QDialog *dialog) {
                auto *combo = dialog->findChild<QComboBox *>("edituserLangId");
                if (!combo || combo->count() != 2) {
                    failure = "both languages are offered";
                    return;
                }
                combo->setCurrentIndex(combo->findData("fr"));
                chosen = combo->currentText();
                QTest::mouseClick(dialog->findChild<QPushButton *>("btnOk"), Qt::LeftButton);
            });
            window->findChild<QAction *>("actionEditSettings")->trigger();
            for (const QString &path : made)
                QFile::remove(path);
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(result, 0);
        QCOMPARE(chosen, QString("French"));
        QCOMPARE(QSettings().value("userLangId").toString(), QString("fr"));
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QString("You must restart the application to apply these changes."));
        QCOMPARE(script.requests().first().buttons, QStringList({"Restart", "Don't restart"}));
    }
};

QTEST_APPLESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
