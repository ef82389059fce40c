#include "ddynadial.h"
#include "mfield.h"
#include "mintspinbox.h"
#include "mtestmodaldriver.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

class TestDDynaDial : public QObject
{
    Q_OBJECT

private slots:
    void okWritesBackCancelKeeps_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("compact");
        QTest::newRow("ok") << true << 7 << true;
        QTest::newRow("cancel") << false << 2 << false;
    }

    void okWritesBackCancelKeeps()
    {
        QFETCH(bool, accept);
        QFETCH(int, rows);
        QFETCH(bool, compact);
        DDynaDial dialog;
        dialog.addIntField("rows", "Rows", 2, 1, 100, 1);
        dialog.addBoolField("compact", "Compact", false);
        QCOMPARE(dialog.value("rows"), QVariant());
        MTestModalDriver::onNextDialog("DDynaDial", [&](QDialog *) {
            QTRY_VERIFY(dialog.editor("compact"));
            QCOMPARE(dialog.findChildren<QLabel *>().size(), 2);
            QCOMPARE(dialog.editor("rows")->property("VanFieldPanelProperty").toByteArray(), QByteArray("rows"));
            auto *spin = qobject_cast<MIntSpinBox *>(dialog.editor("rows"));
            QCOMPARE(spin->value(), 2);
            spin->set_value(7);
            MTestModalDriver::click(dialog.editor("compact"));
            QTest::mouseClick(dialog.findChild<QPushButton *>(accept ? "okBtn" : "cancelBtn"), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), accept ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(dialog.value("rows"), QVariant(rows));
        QCOMPARE(dialog.value("compact"), QVariant(compact));
        QCOMPARE(dialog.value("unknown"), QVariant());
    }

    void spinBoxKeepsTheFieldRange_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::newRow("1 to 20") << 1 << 20;
        // Above the descriptor's default maximum of 1.
        QTest::newRow("5 to 9") << 5 << 9;
    }

    void spinBoxKeepsTheFieldRange()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        DDynaDial dialog;
        MField *field = dialog.addIntField("count", "Count", minimum, minimum, maximum, 1);
        QCOMPARE(field->minimum(), double(minimum));
        QCOMPARE(field->maximum(), double(maximum));
        dialog.show();
        QTRY_VERIFY(dialog.editor("count"));
        auto *spin = dialog.editor("count")->findChild<QSpinBox *>();
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), minimum);
        QCOMPARE(spin->maximum(), maximum);
        spin->setValue(maximum + 50);
        QCOMPARE(spin->value(), maximum);
    }

    void noFieldsNoForm()
    {
        DDynaDial dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.findChildren<QLabel *>().size(), 0);
        QCOMPARE(dialog.value("anything"), QVariant());
    }
};

QTEST_MAIN(TestDDynaDial)
#include "tst_ddynadial.moc"
