#include "deditshortcut.h"
#include "dsettings.h"
#include "maction.h"
#include "mactionlist.h"
#include "mkeysequenceedit.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestmodaldriver.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTreeWidget>
#include <QTest>

// The shortcuts page, the shortcut dialog and the key recorder, over a
// small window of four named commands.
namespace {
struct Window
{
    QMainWindow window;
    QAction *alpha;
    QAction *beta;
    QAction *gamma;
    QAction *delta;

    Window()
    {
        alpha = add("actionAlpha", "Alpha", QKeySequence("Ctrl+A"));
        beta = add("actionBeta", "Beta...", QKeySequence("Ctrl+B"));
        gamma = add("actionGamma", "Gamma", QKeySequence());
        delta = add("actionDelta", "Delta", QKeySequence("F7"));
        MSettings::instance()->loadShortcuts(&window);
    }
    QAction *add(const char *name, const QString &text, const QKeySequence &shortcut)
    {
        auto *action = new QAction(text, &window);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        window.addAction(action);
        return action;
    }
};

MAction *row(DSettings &dialog, int index)
{
    return qobject_cast<MAction *>(dialog.actionList()->item(index));
}

int rowOf(DSettings &dialog, QAction *action)
{
    for (int i = 0; i < dialog.actionList()->count(); ++i) {
        if (row(dialog, i)->action() == action)
            return i;
    }
    return -1;
}

// Edits the current row's shortcut in its dialog by typing the keys.
void typeShortcut(DSettings &dialog, const std::function<void(QWidget *)> &keys, bool ok = true)
{
    bool done = false;
    MTestModalDriver::onNextDialog("DEditShortcut", [&](QDialog *edit) {
        keys(static_cast<DEditShortcut *>(edit)->keyEdit());
        QTest::mouseClick(edit->findChild<QPushButton *>(ok ? "btnOk" : "btnCancel"), Qt::LeftButton);
    }, &done);
    dialog.editShortcut();
    QVERIFY(done);
}

QStringList actionKeys()
{
    QSettings store;
    store.beginGroup("Action");
    return store.allKeys();
}
} // namespace

class TestShortcuts : public QObject
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

    void rowsOfTheWindow()
    {
        Window w;
        DSettings dialog(&w.window);
        QCOMPARE(dialog.actionList()->count(), 4);
        MAction *beta = row(dialog, rowOf(dialog, w.beta));
        QCOMPARE(beta->description(), QString("Beta"));
        QCOMPARE(beta->shortCut(), QString("Ctrl+B"));
        // Without a window there is nothing to list.
        DSettings alone;
        QCOMPARE(alone.actionList()->count(), 0);
    }

    void conflict_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("replace") << int(QMessageBox::Ok);
        QTest::newRow("keep") << int(QMessageBox::Cancel);
    }
    void conflict()
    {
        QFETCH(int, answer);
        Window w;
        DSettings dialog(&w.window);
        MTestDialogScript script;
        script.answer(answer);
        dialog.actionList()->setCurrentRow(rowOf(dialog, w.alpha));
        typeShortcut(dialog, [](QWidget *keys) { QTest::keyClick(keys, Qt::Key_B, Qt::ControlModifier); });
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().title, QString("Shortcut"));
        QCOMPARE(script.requests().first().text,
                 QString("The shortcut Ctrl+B already exists for action 'Beta'. Do you want to replace it?"));
        const bool replaced = answer == QMessageBox::Ok;
        QCOMPARE(row(dialog, rowOf(dialog, w.alpha))->shortCut(), QString(replaced ? "Ctrl+B" : "Ctrl+A"));
        QCOMPARE(row(dialog, rowOf(dialog, w.beta))->shortCut(), QString(replaced ? "" : "Ctrl+B"));
        // Nothing reaches the commands before Ok.
        QCOMPARE(w.alpha->shortcut(), QKeySequence("Ctrl+A"));
    }

    void noQuestion_data()
    {
        QTest::addColumn<bool>("clear");
        QTest::newRow("its own shortcut") << false;
        QTest::newRow("cleared") << true;
    }
    void noQuestion()
    {
        QFETCH(bool, clear);
        Window w;
        w.gamma->setShortcut(QKeySequence()); // two commands without a shortcut
        DSettings dialog(&w.window);
        MTestDialogScript script;
        dialog.actionList()->setCurrentRow(rowOf(dialog, w.beta));
        typeShortcut(dialog, [clear](QWidget *keys) {
            if (clear)
                QMetaObject::invokeMethod(keys, "slotClearShortcut");
            else
                QTest::keyClick(keys, Qt::Key_B, Qt::ControlModifier);
        });
        QCOMPARE(script.requests().size(), 0);
        QCOMPARE(row(dialog, rowOf(dialog, w.beta))->shortCut(), QString(clear ? "" : "Ctrl+B"));
    }

    void editCancelledOrWithoutRow()
    {
        Window w;
        DSettings dialog(&w.window);
        dialog.actionList()->setCurrentRow(rowOf(dialog, w.alpha));
        typeShortcut(dialog, [](QWidget *keys) { QTest::keyClick(keys, Qt::Key_F9); }, false);
        QCOMPARE(row(dialog, rowOf(dialog, w.alpha))->shortCut(), QString("Ctrl+A"));
        dialog.actionList()->setCurrentRow(-1);
        dialog.editShortcut(); // no dialog, no change
        dialog.resetShortcut();
    }

    // The first and the last row of the list, as any other.
    void reset()
    {
        Window w;
        DSettings dialog(&w.window);
        const int last = dialog.actionList()->count() - 1;
        const QStringList defaults{row(dialog, 0)->shortCut(), row(dialog, last)->shortCut()};
        row(dialog, 0)->set_shortCut("F11");
        row(dialog, last)->set_shortCut("F12");
        dialog.actionList()->setCurrentRow(0);
        dialog.resetShortcut();
        QCOMPARE(row(dialog, 0)->shortCut(), defaults.at(0));
        QCOMPARE(row(dialog, last)->shortCut(), QString("F12"));
        dialog.actionList()->setCurrentRow(last);
        dialog.resetShortcut();
        QCOMPARE(row(dialog, last)->shortCut(), defaults.at(1));

        for (int i = 0; i <= last; ++i)
            row(dialog, i)->set_shortCut("Ctrl+Q");
        dialog.resetAllShortcuts();
        QCOMPARE(row(dialog, rowOf(dialog, w.alpha))->shortCut(), QString("Ctrl+A"));
        QCOMPARE(row(dialog, rowOf(dialog, w.gamma))->shortCut(), QString());
    }

    // The built-in shortcut is the one the window had before the stored
    // ones were applied.
    void defaultSurvivesStoredShortcut()
    {
        QSettings().setValue("Action/actionAlpha", "Ctrl+J");
        Window w;
        QCOMPARE(w.alpha->shortcut(), QKeySequence("Ctrl+J"));
        DSettings dialog(&w.window);
        dialog.actionList()->setCurrentRow(rowOf(dialog, w.alpha));
        dialog.resetShortcut();
        QCOMPARE(row(dialog, rowOf(dialog, w.alpha))->shortCut(), QString("Ctrl+A"));
        bool done = false;
        MTestModalDriver::onNextDialog("DEditShortcut", [&](QDialog *edit) {
            QTest::mouseClick(edit->findChild<QPushButton *>("btnDefault"), Qt::LeftButton);
            QCOMPARE(static_cast<DEditShortcut *>(edit)->shortcut(), QString("Ctrl+A"));
            QTest::keyClick(static_cast<DEditShortcut *>(edit)->keyEdit(), Qt::Key_F3);
            QTest::mouseClick(edit->findChild<QPushButton *>("btnReset"), Qt::LeftButton);
            QCOMPARE(static_cast<DEditShortcut *>(edit)->shortcut(), QString("Ctrl+A"));
            QTest::mouseClick(edit->findChild<QPushButton *>("btnCancel"), Qt::LeftButton);
        }, &done);
        dialog.editShortcut();
        QVERIFY(done);
    }

    void okAppliesAndStoresCancelDrops_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void okAppliesAndStoresCancelDrops()
    {
        QFETCH(bool, ok);
        Window w;
        DSettings dialog(&w.window);
        row(dialog, rowOf(dialog, w.gamma))->set_shortCut("Ctrl+G");
        row(dialog, rowOf(dialog, w.delta))->set_shortCut(QString());
        QTest::mouseClick(dialog.findChild<QPushButton *>(ok ? "btnOk" : "BtnCancel"), Qt::LeftButton);
        QCOMPARE(w.gamma->shortcut(), ok ? QKeySequence("Ctrl+G") : QKeySequence());
        QCOMPARE(w.delta->shortcut(), ok ? QKeySequence() : QKeySequence("F7"));
        QCOMPARE(w.alpha->shortcut(), QKeySequence("Ctrl+A"));
        QStringList stored = actionKeys();
        stored.sort();
        QCOMPARE(stored, ok ? QStringList({"actionDelta", "actionGamma"}) : QStringList());
        if (ok) {
            QCOMPARE(QSettings().value("Action/actionGamma").toString(), QString("Ctrl+G"));
            // The next start: the cleared one stays cleared, an unchanged one
            // keeps its built-in shortcut.
            Window again;
            QCOMPARE(again.gamma->shortcut(), QKeySequence("Ctrl+G"));
            QCOMPARE(again.delta->shortcut(), QKeySequence());
            QCOMPARE(again.alpha->shortcut(), QKeySequence("Ctrl+A"));
        }
    }

    // Return in the search field filters the list and opens nothing.
    void search()
    {
        Window w;
        DSettings dialog(&w.window);
        auto *tree = dialog.findChild<QTreeWidget *>("treeWidget");
        tree->setCurrentItem(tree->topLevelItem(5)); // the page the painter searches on
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *field = dialog.findChild<QLineEdit *>("shortcutSearch");
        auto *view = dialog.shortcutView();
        field->setText("  AMM ");
        QCOMPARE(view->model()->rowCount(), 1);
        dialog.actionList()->setCurrentRow(rowOf(dialog, w.gamma));
        bool opened = false;
        MTestModalDriver::onNextDialog("QDialog", [&](QDialog *) { opened = true; });
        QTest::keyClick(field, Qt::Key_Return);
        QTest::qWait(100);
        QVERIFY(!opened);
        QVERIFY(dialog.isVisible());
        QCOMPARE(view->model()->rowCount(), 1);
        field->clear();
        QCOMPARE(view->model()->rowCount(), 4);
    }

    void copy()
    {
        Window w;
        DSettings dialog(&w.window);
        dialog.copyShortcuts();
        QString expected;
        for (int i = 0; i < dialog.actionList()->count(); ++i) {
            if (!row(dialog, i)->shortCut().isEmpty())
                expected += row(dialog, i)->description() + "\t" + row(dialog, i)->shortCut() + "\n";
        }
        QCOMPARE(expected.count('\n'), 3);
        QCOMPARE(QApplication::clipboard()->text(), expected);
        for (int i = 0; i < dialog.actionList()->count(); ++i)
            row(dialog, i)->set_shortCut(QString());
        dialog.copyShortcuts();
        QCOMPARE(QApplication::clipboard()->text(), QString());
    }

    void keyRules_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << "" << 0;
        QTest::newRow("control alone") << int(Qt::Key_Control) << int(Qt::ControlModifier) << "" << 0;
        QTest::newRow("altgr alone") << int(Qt::Key_AltGr) << 0 << "" << 0;
        QTest::newRow("shift+1 types !") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << "!" << int(Qt::Key_Exclam);
        QTest::newRow("shift+a keeps shift") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A"
                                             << int(Qt::SHIFT | Qt::Key_A);
        QTest::newRow("shift+space keeps shift") << int(Qt::Key_Space) << int(Qt::ShiftModifier) << " "
                                                 << int(Qt::SHIFT | Qt::Key_Space);
        QTest::newRow("shift+F5 keeps shift") << int(Qt::Key_F5) << int(Qt::ShiftModifier) << ""
                                              << int(Qt::SHIFT | Qt::Key_F5);
        QTest::newRow("ctrl+alt+meta") << int(Qt::Key_K) << int(Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
                                       << "" << int(Qt::CTRL | Qt::ALT | Qt::META | Qt::Key_K);
        QTest::newRow("keypad dropped") << int(Qt::Key_5) << int(Qt::KeypadModifier | Qt::ControlModifier) << "5"
                                        << int(Qt::CTRL | Qt::Key_5);
    }
    void keyRules()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(MKeySequenceEdit::translateKey(key, Qt::KeyboardModifiers(modifiers), text), expected);
    }

    void recordsUpToFourKeys()
    {
        MKeySequenceEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QSignalSpy changed(&edit, &MKeySequenceEdit::keySequenceChanged);
        QTest::keyClick(&edit, Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(changed.count(), 0);
        QTest::keyClick(&edit, Qt::Key_K, Qt::ControlModifier);
        QTest::keyClick(&edit, Qt::Key_1);
        QTest::keyClick(&edit, Qt::Key_2);
        QTest::keyClick(&edit, Qt::Key_3);
        QCOMPARE(edit.keySequence(), QKeySequence(Qt::CTRL | Qt::Key_K, Qt::Key_1, Qt::Key_2, Qt::Key_3));
        QTest::keyClick(&edit, Qt::Key_F4);
        QCOMPARE(edit.keySequence(), QKeySequence(Qt::Key_F4));
        QCOMPARE(changed.count(), 5);
        QCOMPARE(edit.lineEdit()->text(), QKeySequence(Qt::Key_F4).toString(QKeySequence::NativeText));
        // Setting a sequence says nothing; clearing it does.
        edit.setKeySequence(QKeySequence("Ctrl+X"));
        QCOMPARE(changed.count(), 5);
        QMetaObject::invokeMethod(&edit, "slotClearShortcut");
        QCOMPARE(changed.count(), 6);
        QVERIFY(edit.keySequence().isEmpty());
        QMetaObject::invokeMethod(&edit, "slotClearShortcut");
        QCOMPARE(changed.count(), 6);
    }

    // While the recorder has focus the window's shortcuts do not fire.
    void swallowsApplicationShortcuts()
    {
        Window w;
        auto *edit = new MKeySequenceEdit(&w.window);
        w.window.setCentralWidget(edit);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QApplication::setActiveWindow(&w.window);
        QSignalSpy triggered(w.alpha, &QAction::triggered);
        // Elsewhere in the window the shortcut works.
        w.window.setFocus();
        QTest::keyClick(&w.window, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(triggered.count(), 1);
        edit->setFocus();
        QTest::keyClick(edit->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(triggered.count(), 1);
        QCOMPARE(edit->keySequence(), QKeySequence("Ctrl+A"));
    }
};

QTEST_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
