#include "mglobalshortcut.h"
#include "mtestxinput.h"

#include <QSignalSpy>
#include <QTest>

// Last: the X headers define names the framework's headers use.
#include <X11/keysym.h>

// The hot key's conversion to the Windows hot-key codes, and its
// registration on the X server the tests run on.
class TestMGlobalShortcut : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data()
    {
        QTest::addColumn<QKeySequence>("sequence");
        QTest::addColumn<uint>("key");
        QTest::addColumn<uint>("modifiers");
        QTest::newRow("ctrl+alt+F5") << QKeySequence("Ctrl+Alt+F5") << 116u << 3u;
        QTest::newRow("shift+meta+F24") << QKeySequence(Qt::SHIFT | Qt::META | Qt::Key_F24) << 135u << 12u;
        QTest::newRow("letter") << QKeySequence("Ctrl+K") << 75u << 2u;
        QTest::newRow("digit") << QKeySequence("Alt+7") << 55u << 1u;
        QTest::newRow("space") << QKeySequence("Ctrl+Space") << 32u << 2u;
        QTest::newRow("keypad star") << QKeySequence(Qt::CTRL | Qt::Key_Asterisk) << 106u << 2u;
        QTest::newRow("backtab") << QKeySequence(Qt::Key_Backtab) << 9u << 0u;
        QTest::newRow("enter") << QKeySequence(Qt::Key_Enter) << 13u << 0u;
        QTest::newRow("page down") << QKeySequence(Qt::Key_PageDown) << 34u << 0u;
        QTest::newRow("media next") << QKeySequence(Qt::Key_MediaNext) << 176u << 0u;
        QTest::newRow("volume mute") << QKeySequence(Qt::Key_VolumeMute) << 173u << 0u;
        QTest::newRow("bracket") << QKeySequence(Qt::CTRL | Qt::Key_BracketLeft) << 219u << 2u;
        QTest::newRow("no such key") << QKeySequence(Qt::Key_Launch0) << 0u << 0u;
    }
    void conversion()
    {
        QFETCH(QKeySequence, sequence);
        QFETCH(uint, key);
        QFETCH(uint, modifiers);
        const int combined = sequence[0];
        QCOMPARE(MGlobalShortcut::nativeKeycode(combined & ~int(Qt::KeyboardModifierMask)), quint32(key));
        QCOMPARE(MGlobalShortcut::nativeModifiers(Qt::KeyboardModifiers(combined & int(Qt::KeyboardModifierMask))),
                 quint32(modifiers));
    }

    void unsetNeverRegistered()
    {
        MGlobalShortcut shortcut;
        QVERIFY(!shortcut.unsetShortcut());
        QVERIFY(!shortcut.isRegistered());
        QVERIFY(!shortcut.setShortcut(QKeySequence()));
        QVERIFY(!shortcut.unsetShortcut());
    }

    void registration()
    {
        MGlobalShortcut first;
        QVERIFY(first.setShortcut(QKeySequence("Ctrl+Alt+F5")));
        QCOMPARE(first.id(), 119u);
        QCOMPARE(first.shortcut(), QKeySequence("Ctrl+Alt+F5"));
        QCOMPARE(MGlobalShortcut::registeredShortcut(116, 3), &first);
        // The same key is taken: refused, and the table keeps its holder.
        MGlobalShortcut second;
        QVERIFY(!second.setShortcut(QKeySequence("Ctrl+Alt+F5")));
        QVERIFY(!second.unsetShortcut());
        QCOMPARE(MGlobalShortcut::registeredShortcut(116, 3), &first);
        // A new key lets the old one go.
        QVERIFY(first.setShortcut(QKeySequence("Ctrl+Shift+K")));
        QCOMPARE(MGlobalShortcut::registeredShortcut(116, 3), nullptr);
        QVERIFY(second.setShortcut(QKeySequence("Ctrl+Alt+F5")));
        QVERIFY(first.unsetShortcut());
        QVERIFY(!first.isRegistered());
        QCOMPARE(MGlobalShortcut::registeredShortcut(75, 6), nullptr);
        QVERIFY(!first.unsetShortcut());
    }

    // The grabbed key pressed anywhere activates the shortcut, unless it is disabled.
    void activation()
    {
        MTestXInput keyboard;
        if (!keyboard.usable())
            QSKIP("no XTest on this X server");
        MGlobalShortcut shortcut;
        QVERIFY(shortcut.setShortcut(QKeySequence("Ctrl+Shift+F7")));
        QSignalSpy activated(&shortcut, &MGlobalShortcut::activated);
        keyboard.chord({XK_Control_L, XK_Shift_L, XK_F7});
        QTRY_COMPARE(activated.count(), 1);
        QCOMPARE(activated.first().first().value<MGlobalShortcut *>(), &shortcut);
        // Another modifier set is another key.
        keyboard.chord({XK_Control_L, XK_F7});
        QTest::qWait(200);
        QCOMPARE(activated.count(), 1);
        shortcut.setEnabled(false);
        keyboard.chord({XK_Control_L, XK_Shift_L, XK_F7});
        QTest::qWait(200);
        QCOMPARE(activated.count(), 1);
        shortcut.setEnabled(true);
        QVERIFY(shortcut.unsetShortcut());
        keyboard.chord({XK_Control_L, XK_Shift_L, XK_F7});
        QTest::qWait(200);
        QCOMPARE(activated.count(), 1);
    }

    void enabledFlag()
    {
        MGlobalShortcut shortcut;
        QSignalSpy changed(&shortcut, &MGlobalShortcut::enabledChanged);
        shortcut.setEnabled(true);
        QCOMPARE(changed.count(), 0);
        shortcut.setEnabled(false);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!shortcut.isRegistered());
    }
};

QTEST_MAIN(TestMGlobalShortcut)
#include "tst_mglobalshortcut.moc"
