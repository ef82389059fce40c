#include "mcanvas.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mtestwindowrun.h"
#include "mutility.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {
int countLines(const QString &text)
{
    return MTestLogWatch::fileMessages().filter(text).size();
}

QString fileMessage(const MTestDialogScript &script)
{
    for (const MUtility::DialogRequest &request : script.requests()) {
        if (request.kind == MUtility::MessageDialog)
            return request.text + QLatin1Char('\n') + request.informativeText;
    }
    return QString();
}
} // namespace

// Files the program cannot read are refused with the reason, in the real
// main window.
class TestFileRefusals : public QObject
{
    Q_OBJECT

private slots:
    // A name whose bytes are not UTF-8 is refused with the reason, and the
    // refusal is logged.
    void nameThatIsNotUtf8()
    {
        MTestFolder folder;
        const QByteArray bytes = QFile::encodeName(folder.path()) + QByteArray("pictur\xe9.png");
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QFile raw;
        const int descriptor = ::open(bytes.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(descriptor >= 0);
        QVERIFY(raw.open(descriptor, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        QVERIFY(image.save(&raw, "PNG"));
        raw.close();
        const QString path = QFile::decodeName(bytes);
        MTestDialogScript script;
        script.answerFile(path).answer(QMessageBox::Ok);
        runMainWindowOnce([](MMainWindow *window) { window->findChild<QAction *>("actionFileOpen")->trigger(); });
        const QString reason = QStringLiteral("Its name holds bytes that are not UTF-8 text: rename the file to open it.");
        QCOMPARE(fileMessage(script), QStringLiteral("Cannot open file %1.\n%2").arg(path, reason));
        QCOMPARE(countLines(reason), 1);
        // A name the temporary folder cannot spell either.
        QCOMPARE(::unlink(bytes.constData()), 0);
    }
};

QTEST_APPLESS_MAIN(TestFileRefusals)
#include "tst_filerefusals.moc"
