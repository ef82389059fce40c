#include "dsave.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

// The caller of the save question runs exec() and reads the answer from the
// standard button code it returns.
class TestDSave : public QObject
{
    Q_OBJECT

private slots:
    // The codes are the standard buttons Ok, Ignore and Cancel, never the
    // dialog's own accepted and rejected codes.
    void answers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("code");
        QTest::newRow("save") << "btnSave" << 1024;
        QTest::newRow("don't save") << "btnDoNotSave" << 1048576;
        QTest::newRow("cancel") << "btnCancel" << 4194304;
        QTest::newRow("return takes the default") << "Return" << 1024;
        // Leaving the question unanswered must not throw the document away.
        QTest::newRow("escape") << "Escape" << 4194304;
        QTest::newRow("window closed") << "close" << 4194304;
    }

    void answers()
    {
        QFETCH(QString, action);
        QFETCH(int, code);

        DSave dialog;
        bool acted = false;
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            acted = true;
            if (action == QLatin1String("Return"))
                QTest::keyClick(&dialog, Qt::Key_Return);
            else if (action == QLatin1String("Escape"))
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else if (action == QLatin1String("close"))
                dialog.close();
            else if (QPushButton *button = dialog.findChild<QPushButton *>(action))
                QTest::mouseClick(button, Qt::LeftButton);
            // A missing button leaves the dialog open: end it with a code
            // no row expects.
            if (dialog.isVisible())
                dialog.done(-1);
        });
        const int result = dialog.exec();

        QVERIFY(acted);
        QCOMPARE(result, code);
        QCOMPARE(dialog.result(), code);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestDSave)
#include "tst_dsave.moc"
