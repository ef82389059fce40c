#include "maction.h"
#include "mactionlist.h"
#include "mmenubutton.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWidget>

// The command rows of the shortcut editor and the menu button that keeps
// the last action chosen.
class TestMActionList : public QObject
{
    Q_OBJECT

private:
    static QAction *add(QWidget *owner, const QString &name, const QString &text, const QString &tip,
                        const QKeySequence &shortcut = QKeySequence())
    {
        auto *a = new QAction(text, owner);
        a->setObjectName(name);
        a->setToolTip(tip);
        a->setShortcut(shortcut);
        return a;
    }

private slots:
    void rowsFromTheNamedActions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<QString>("description"); // empty: no row
        QTest::addColumn<QString>("shortCut");
        QTest::newRow("tool tip first, trimmed, dots dropped")
            << "actionSaveAs" << "Save as" << "  Save file as...  " << QKeySequence(QStringLiteral("Ctrl+Shift+S"))
            << "Save file as" << "Ctrl+Shift+S";
        QTest::newRow("text when the tool tip is empty") << "actionOpen" << "Open file..." << ""
                                                         << QKeySequence() << "Open file" << "";
        QTest::newRow("only dots inside stay") << "actionMore" << "" << "More... or less" << QKeySequence()
                                               << "More... or less" << "";
        QTest::newRow("no object name") << "" << "Nameless" << "Nameless" << QKeySequence() << "" << "";
        QTest::newRow("nothing to describe") << "actionBlank" << "" << "" << QKeySequence() << "" << "";
        QTest::newRow("just dots") << "actionDots" << "" << "..." << QKeySequence() << "" << "";
    }

    void rowsFromTheNamedActions()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        QFETCH(QKeySequence, shortcut);
        QFETCH(QString, description);
        QFETCH(QString, shortCut);
        QWidget window;
        QAction *a = add(&window, name, text, tip, shortcut);
        // An empty tool tip falls back to the text inside the framework too;
        // only an explicit tool tip is taken as one.
        MActionList list;
        list.fromWidget(&window);
        if (description.isEmpty()) {
            QCOMPARE(list.count(), 0);
            return;
        }
        QCOMPARE(list.count(), 1);
        auto *row = qobject_cast<MAction *>(list.item(0));
        QVERIFY(row);
        QCOMPARE(row->description(), description);
        QCOMPARE(row->shortCut(), shortCut);
        QCOMPARE(row->action(), a);
        QCOMPARE(row->property("action").value<QAction *>(), a);
        QVERIFY(!row->parent() || row->parent() == &list);
        QCOMPARE(list.currentRow(), 0);
    }

    void aSecondReadingReplacesTheRows()
    {
        QWidget window;
        add(&window, QStringLiteral("actionOne"), QStringLiteral("One"), QString());
        add(&window, QStringLiteral("actionTwo"), QStringLiteral("Two"), QString());
        MActionList list;
        list.fromWidget(&window);
        QCOMPARE(list.count(), 2);
        QWidget other;
        QAction *three = add(&other, QStringLiteral("actionThree"), QStringLiteral("Three"), QString());
        list.fromWidget(&other);
        QCOMPARE(list.count(), 1);
        QCOMPARE(qobject_cast<MAction *>(list.item(0))->action(), three);
        QVERIFY(qobject_cast<MAction *>(list.createItem()));
        delete list.createItem();
    }

    // An editor window the window opened has its own Redo: the list shows
    // the window's commands, each once, with those of its menus.
    void childWindowsKeepTheirCommands()
    {
        QWidget window;
        QAction *redo = add(&window, QStringLiteral("actionRedo"), QStringLiteral("Redo"), QString(),
                            QKeySequence(QStringLiteral("Ctrl+Y")));
        auto *editor = new QWidget(&window, Qt::Window);
        add(editor, QStringLiteral("actionRedo"), QStringLiteral("Redo"), QString(), QKeySequence(QStringLiteral("Ctrl+Y")));
        auto *menu = new QMenu(&window);
        QAction *recent = add(menu, QStringLiteral("actionRecent"), QStringLiteral("Recent"), QString());
        auto *panel = new QWidget(&window);
        QAction *inPanel = add(panel, QStringLiteral("actionPanel"), QStringLiteral("Panel"), QString());
        MActionList list;
        list.fromWidget(&window);
        QList<QAction *> listed;
        for (int row = 0; row < list.count(); ++row)
            listed << qobject_cast<MAction *>(list.item(row))->action();
        QCOMPARE(listed.size(), 3);
        QVERIFY(listed.contains(redo));
        QVERIFY(listed.contains(recent));
        QVERIFY(listed.contains(inPanel));
    }

    // A hidden command gets no row (its key could do nothing); commands of
    // the same words in two bars are told apart by the bar, the others not.
    void hiddenAndLikeWordedCommands()
    {
        QWidget window;
        QToolBar shapes(QStringLiteral("Shapes toolbar"), &window);
        QToolBar text(QStringLiteral("Text toolbar"), &window);
        QAction *shapeSelect = add(&window, QStringLiteral("shapeSelect"), QStringLiteral("Select"),
                                   QStringLiteral("Transform as selection"));
        QAction *textSelect = add(&window, QStringLiteral("textSelect"), QStringLiteral("Select"),
                                  QStringLiteral("Transform as selection"));
        shapes.addAction(shapeSelect);
        text.addAction(textSelect);
        QAction *once = add(&window, QStringLiteral("actionOnce"), QStringLiteral("Once"), QString());
        shapes.addAction(once);
        add(&window, QStringLiteral("actionHidden"), QStringLiteral("Hidden"), QString())->setVisible(false);
        MActionList list;
        list.fromWidget(&window);
        QHash<QAction *, QString> rows;
        for (int row = 0; row < list.count(); ++row) {
            auto *command = qobject_cast<MAction *>(list.item(row));
            rows.insert(command->action(), command->description());
        }
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.value(shapeSelect), QStringLiteral("Transform as selection (Shapes toolbar)"));
        QCOMPARE(rows.value(textSelect), QStringLiteral("Transform as selection (Text toolbar)"));
        QCOMPARE(rows.value(once), QStringLiteral("Once"));
    }

    void anEmptyCommandRow()
    {
        MAction row;
        QSignalSpy description(&row, &MAction::descriptionChanged);
        QCOMPARE(row.description(), QString(""));
        QVERIFY(!row.description().isNull());
        QVERIFY(!row.shortCut().isNull());
        QVERIFY(!row.action());
        row.set_description(QString(""));
        QCOMPARE(description.count(), 0);
    }

    void menuButtonWithoutActions()
    {
        MMenuButton button;
        QCOMPARE(button.popupMode(), QToolButton::MenuButtonPopup);
        button.setActions({});
        QVERIFY(!button.menu());
        QVERIFY(!button.defaultAction());
    }

    void menuButtonRunsTheLastChoiceAgain()
    {
        QWidget owner;
        MMenuButton button(&owner);
        auto *apply = new QAction(QStringLiteral("Apply"), &owner);
        auto *applyNew = new QAction(QStringLiteral("Apply in new layer"), &owner);
        QSignalSpy first(apply, &QAction::triggered);
        QSignalSpy second(applyNew, &QAction::triggered);
        button.setActions({apply, applyNew});
        QVERIFY(button.menu());
        QCOMPARE(button.menu()->actions(), QList<QAction *>({apply, applyNew}));
        QCOMPARE(button.defaultAction(), apply);
        button.click();
        QCOMPARE(first.count(), 1);
        // Chosen from the menu: it runs and becomes the face of the button.
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QTimer::singleShot(0, &button, [&button]() {
            QMenu *menu = button.menu();
            QTRY_VERIFY(menu->isVisible());
            menu->setActiveAction(menu->actions().at(1));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        button.showMenu();
        QCOMPARE(second.count(), 1);
        QCOMPARE(button.defaultAction(), applyNew);
        button.click();
        QCOMPARE(second.count(), 2);
        QCOMPARE(first.count(), 1);
        // A new list builds a new menu whose first entry is the face again.
        QMenu *old = button.menu();
        button.setActions({applyNew, apply});
        QVERIFY(button.menu() != old);
        QCOMPARE(button.defaultAction(), applyNew);
    }
};

QTEST_MAIN(TestMActionList)
#include "tst_mactionlist.moc"
