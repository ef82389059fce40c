#include "mdialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestMDialog : public QObject
{
    Q_OBJECT

private:
    // Runs the box and, once it shows, does what the painter does.
    static int run(MDialog &dialog, const std::function<void(QMessageBox *)> &act)
    {
        QTimer::singleShot(0, [&dialog, act] {
            QTRY_VERIFY(dialog.box()->isVisible());
            act(dialog.box());
        });
        return dialog.exec();
    }

private slots:
    void result_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("result");
        QTest::newRow("first button") << "Save" << 1;
        QTest::newRow("second button") << "Discard" << 2;
        QTest::newRow("button of a second call") << "Later" << 3;
        QTest::newRow("escape") << "escape" << 0;
        QTest::newRow("close") << "close" << 0;
    }

    void result()
    {
        QFETCH(QString, action);
        QFETCH(int, result);
        MDialog dialog;
        dialog.setText("Save the brush?");
        dialog.setInformativeText("It was changed.");
        dialog.setButtons({"Save", "Discard"});
        dialog.setButtons({"Later"});
        QCOMPARE(dialog.buttons().size(), 3);
        QCOMPARE(dialog.box()->text(), QString("Save the brush?"));
        QCOMPARE(dialog.box()->informativeText(), QString("It was changed."));
        const int answer = run(dialog, [action](QMessageBox *box) {
            if (action == "escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else if (action == "close")
                box->close();
            else
                for (QAbstractButton *button : box->buttons())
                    if (button->text() == action)
                        QTest::mouseClick(button, Qt::LeftButton);
        });
        QCOMPARE(answer, result);
    }

    void onlyTheCallersButtonsShow()
    {
        MDialog dialog;
        dialog.setButtons({"One"});
        int visible = 0;
        run(dialog, [&visible](QMessageBox *box) {
            for (QAbstractButton *button : box->buttons())
                visible += button->isVisible();
            box->close();
        });
        QCOMPARE(visible, 1);
    }
};

QTEST_MAIN(TestMDialog)
#include "tst_mdialog.moc"
