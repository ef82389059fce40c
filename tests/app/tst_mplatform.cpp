#include "mplatform.h"

#include <QTest>

#include <unistd.h>

class TestMPlatform : public QObject
{
    Q_OBJECT

private slots:
    // What the image and export size checks weigh a size against: known on
    // this system, and never more than the machine holds.
    void availableMemory()
    {
        const qint64 available = MPlatform::availableMemory();
        const qint64 physical = qint64(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
        QVERIFY2(available > 0, qPrintable(QString::number(available)));
        QVERIFY2(available <= physical, qPrintable(QStringLiteral("%1 of %2").arg(available).arg(physical)));
    }
};

QTEST_GUILESS_MAIN(TestMPlatform)
#include "tst_mplatform.moc"
