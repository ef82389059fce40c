#include "dsortlist.h"
#include "mapplication.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistwidget.h"
#include "mbrushwidget.h"
#include "mfolders.h"
#include "mmainwindow.h"
#include "mtestdialogscript.h"
#include "mtestwindowrun.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <vector>

// A painter sorts the brushes through the real application: the command
// opens the sort dialog, a brush is moved down and another left out, Ok
// writes the order, the offered restart is taken, and the restarted window's
// brush list follows the new order.
namespace {
QStringList descriptions(MBrushList *brushes)
{
    QStringList list;
    for (int row = 0; row < brushes->rowCount(); ++row)
        list.append(brushes->brush(row)->description());
    return list;
}

// Clicks a row of a list widget where the painter sees it.
void clickRow(QListWidget *list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}
} // namespace

class TestSortBrushes : public QObject
{
    Q_OBJECT

private slots:
    void sortMoveLeaveOutAndRestart()
    {
        MTestDialogScript script;
        script.answer(0); // "Restart"
        QString failure;
        auto check = [&failure](bool ok, const QString &what) {
            if (!ok && failure.isEmpty())
                failure = what;
        };
        QStringList before;
        QStringList shownInDialog;
        QString indexFile;
        QByteArray written;
        int runs = 0;
        const int result = runApplication({}, [&](int number, MMainWindow *window) {
            MBrushList *brushes = MBrushList::instance();
            if (number == 1) {
                before = descriptions(brushes);
                check(before.size() >= 4, "the shipped brushes are loaded");
                indexFile = brushes->indexFileName(MFolders::UserPath);
                auto *action = window->findChild<QAction *>("actionSortBrushes");
                check(action && action->isEnabled(), "the sort command is usable");
                check(!MMainWindow::pendingCommands().contains("actionSortBrushes"), "the sort command is built");
                // Should a step below fail, the dialog must not wait for ever.
                QTimer::singleShot(30000, window, [] {
                    if (QWidget *modal = QApplication::activeModalWidget())
                        modal->close();
                });
                // The dialog runs modally: act on it once it shows.
                QTimer::singleShot(0, [&] {
                    DSortList *dialog = nullptr;
                    QTRY_VERIFY((dialog = qobject_cast<DSortList *>(QApplication::activeModalWidget())));
                    QTRY_VERIFY(dialog->isVisible());
                    QListWidget *list = dialog->orderList();
                    for (int row = 0; row < list->count(); ++row)
                        shownInDialog.append(list->item(row)->text());
                    // The first brush one down, the last one left out.
                    clickRow(list, 0);
                    QTest::mouseClick(dialog->findChild<QToolButton *>("btnDown"), Qt::LeftButton);
                    clickRow(list, list->count() - 1);
                    QTest::mouseClick(dialog->findChild<QPushButton *>("removeBtn"), Qt::LeftButton);
                    QTest::mouseClick(dialog->findChild<QPushButton *>("btnOk"), Qt::LeftButton);
                });
                action->trigger();
                check(!shownInDialog.isEmpty(), "the dialog was shown");
                check(script.requests().size() == 1, "one question asked");
                QFile file(indexFile);
                check(file.open(QIODevice::ReadOnly), "the order file is written");
                written = file.readAll();
                // The rows stay as they are until the restart.
                check(descriptions(brushes) == before, "the library is not reordered by the dialog");
                // The restart, if the script did not take it.
                QTimer::singleShot(0, window, [window] { window->close(); });
            } else {
                QStringList expected = before;
                expected.swapItemsAt(0, 1);
                expected.removeLast();
                check(descriptions(brushes) == expected,
                      "restarted brush list: " + descriptions(brushes).join(", ") + " instead of "
                          + expected.join(", "));
                // The brush panel shows the library's rows.
                check(window->brushWidget()->brushListWidget()->rowCount() == expected.size(),
                      "the brush panel shows the reloaded library");
                window->close();
            }
        }, &runs);

        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(runs, 2);
        QCOMPARE(result, 0);
        QCOMPARE(script.requests().first().text, QString("You must restart the application to apply these changes."));
        QCOMPARE(script.requests().first().buttons, QStringList({"Restart", "Don't restart"}));

        // The order file: one line per kept brush, in the new order.
        QStringList lines = QString::fromUtf8(written).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), before.size() - 1);
        QStringList order;
        for (const QString &line : lines)
            order.append(line.section('#', 1).section('/', 1).trimmed());
        QStringList expected = before;
        expected.swapItemsAt(0, 1);
        expected.removeLast();
        QCOMPARE(order, expected);
        QCOMPARE(shownInDialog.size(), before.size());
    }
};

QTEST_APPLESS_MAIN(TestSortBrushes)
#include "tst_sortbrushes.moc"
