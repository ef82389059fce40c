#include "dquicksettings.h"
#include "mbrush.h"
#include "mbrushsettinginfolist.h"
#include "menum.h"
#include "mtestdialogscript.h"
#include "mtestscreenshot.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <algorithm>

// The quick-settings dialog as a painter uses it: which settings are chosen,
// in which order, and what it refuses.
namespace {
constexpr int kSettingRole = 256;

QVector<int> ids(const QListWidget *list)
{
    QVector<int> result;
    for (int row = 0; row < list->count(); ++row)
        result.append(list->item(row)->data(kSettingRole).toInt());
    return result;
}

QListWidgetItem *itemOf(QListWidget *list, int id)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->data(kSettingRole).toInt() == id)
            return list->item(row);
    }
    return nullptr;
}

QVector<int> allSettings()
{
    QVector<int> all;
    for (int id = 0; id < MBrushSettingInfoList::instance()->count(); ++id)
        all.append(id);
    return all;
}
} // namespace

class TestDQuickSettings : public QObject
{
    Q_OBJECT

private slots:
    void opensInSettingOrder()
    {
        DQuickSettings dialog;
        dialog.setSettings({MEnum::bsOpacity, MEnum::bsRadius, MEnum::bsHardness});
        QVector<int> expected{MEnum::bsOpacity, MEnum::bsRadius, MEnum::bsHardness};
        std::sort(expected.begin(), expected.end());
        QCOMPARE(ids(dialog.chosenList()), expected);
        QCOMPARE(dialog.settings(), expected);
        // Every other setting is on offer, once, in id order, under its label.
        QVector<int> others = allSettings();
        others.erase(std::remove_if(others.begin(), others.end(), [&](int id) { return expected.contains(id); }),
                     others.end());
        QCOMPARE(ids(dialog.otherList()), others);
        QCOMPARE(dialog.otherList()->item(0)->text(), MBrushSettingInfoList::instance()->info(others.first())->label());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Quick settings"));
        dialog.show();
        MTestScreenshot::keep(dialog.grab(), QStringLiteral("dquicksettings.png"));
    }

    // Each step is "<button> [id]": the id's item is made current first (in
    // the list that holds it); "dbl <id>" double-clicks it.
    void editing_data()
    {
        QTest::addColumn<QVector<int>>("start");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QVector<int>>("chosen");
        QTest::addColumn<int>("lastOther");
        QTest::addColumn<QStringList>("messages");

        const int a = MEnum::bsRadius, b = MEnum::bsFlow, c = MEnum::bsNoise, d = MEnum::bsEraser;
        QTest::newRow("remove goes to the end of the others")
            << QVector<int>{a, b, c} << QStringList{"btnRemove " + QString::number(b)} << QVector<int>{a, c} << b
            << QStringList();
        QTest::newRow("add goes to the end of the chosen")
            << QVector<int>{c} << QStringList{"btnAdd " + QString::number(a)} << QVector<int>{c, a} << -1
            << QStringList();
        QTest::newRow("double clicks add and remove")
            << QVector<int>{a, c} << QStringList{"dbl " + QString::number(a), "dbl " + QString::number(d)}
            << QVector<int>{c, d} << a << QStringList();
        QTest::newRow("moves keep their item current")
            << QVector<int>{a, b, c}
            << QStringList{"btnMoveAtTop " + QString::number(c), "btnMoveDown", "btnMoveDown", "btnMoveUp",
                           "btnMoveAtBottom " + QString::number(a)}
            << QVector<int>{c, b, a} << -1 << QStringList();
        QTest::newRow("moves stop at the ends")
            << QVector<int>{a, b} << QStringList{"btnMoveUp " + QString::number(a), "btnMoveDown " + QString::number(b)}
            << QVector<int>{a, b} << -1 << QStringList();
        QTest::newRow("remove all") << QVector<int>{b} << QStringList{"btnRemoveAll"} << QVector<int>{}
                                                  << allSettings().last() << QStringList();
        QTest::newRow("add all") << QVector<int>{} << QStringList{"btnAddAll"} << allSettings() << -1 << QStringList();
        QTest::newRow("nothing current to add") << QVector<int>{a} << QStringList{"btnAdd"} << QVector<int>{a} << -1
                                                << QStringList{"Please select an item to add."};
        QTest::newRow("nothing current to remove") << QVector<int>{a} << QStringList{"btnRemove"} << QVector<int>{a}
                                                   << -1 << QStringList{"Please select an item to remove."};
        QTest::newRow("nothing left to add")
            << QVector<int>{} << QStringList{"btnAddAll", "btnAdd"} << allSettings() << -1
            << QStringList{"There is no more setting to add."};
        QTest::newRow("nothing left to remove") << QVector<int>{} << QStringList{"btnRemove"} << QVector<int>{} << -1
                                                << QStringList{"There is no more setting to remove."};
    }

    void editing()
    {
        QFETCH(QVector<int>, start);
        QFETCH(QStringList, steps);
        QFETCH(QVector<int>, chosen);
        QFETCH(int, lastOther);
        QFETCH(QStringList, messages);

        MTestDialogScript script;
        DQuickSettings dialog;
        dialog.setSettings(start);
        QListWidget *current = nullptr;
        for (const QString &step : steps) {
            const QString button = step.section(QLatin1Char(' '), 0, 0);
            const QString id = step.section(QLatin1Char(' '), 1);
            QListWidgetItem *item = nullptr;
            if (!id.isEmpty()) {
                item = itemOf(dialog.chosenList(), id.toInt());
                current = dialog.chosenList();
                if (!item) {
                    item = itemOf(dialog.otherList(), id.toInt());
                    current = dialog.otherList();
                }
                QVERIFY(item);
                current->setCurrentItem(item);
            }
            if (button == QLatin1String("dbl")) {
                emit current->itemDoubleClicked(item);
                continue;
            }
            auto *push = dialog.findChild<QPushButton *>(button);
            QVERIFY2(push, qPrintable(button));
            const int currentId = dialog.chosenList()->currentItem()
                                      ? dialog.chosenList()->currentItem()->data(kSettingRole).toInt()
                                      : -1;
            push->click();
            if (button.startsWith(QLatin1String("btnMove")))
                QCOMPARE(dialog.chosenList()->currentItem()->data(kSettingRole).toInt(), currentId);
        }
        QCOMPARE(dialog.settings(), chosen);
        if (lastOther >= 0)
            QCOMPARE(ids(dialog.otherList()).last(), lastOther);
        // Chosen and offered together always hold every setting once.
        QVector<int> both = ids(dialog.chosenList()) + ids(dialog.otherList());
        std::sort(both.begin(), both.end());
        QCOMPARE(both, allSettings());
        QStringList shown;
        for (const MUtility::DialogRequest &request : script.requests()) {
            shown.append(request.text);
            QCOMPARE(request.title, QStringLiteral("Quick settings"));
            QCOMPARE(request.icon, QMessageBox::Critical);
        }
        QCOMPARE(shown, messages);
    }

    void defaultAndButtons()
    {
        DQuickSettings dialog;
        dialog.setSettings({MEnum::bsNoise});
        dialog.findChild<QPushButton *>("btnDefault")->click();
        QVector<int> expected = MBrush::defaultQuickSettings();
        std::sort(expected.begin(), expected.end());
        QCOMPARE(dialog.settings(), expected);

        dialog.findChild<QPushButton *>("btnOk")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        dialog.findChild<QPushButton *>("btnCancel")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestDQuickSettings)
#include "tst_dquicksettings.moc"
