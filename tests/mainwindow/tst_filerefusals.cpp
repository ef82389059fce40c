#include "mcanvas.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestlogwatch.h"
#include "mtestmainwindow.h"
#include "mtestpng.h"
#include "mtestwindowrun.h"
#include "mutility.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QUndoStack>

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

    // An image whose header claims a million pixels a side, a few bytes on
    // disk or on the clipboard, opened as a document, imported or pasted:
    // refused with its size in words before a pixel is decoded, and the
    // document stays as it was.
    void imageBeyondTheMemory_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("open") << "actionFileOpen" << "Cannot open file %1.";
        QTest::newRow("import") << "actionImport_image_file" << "The image file \"huge.png\" cannot be read.";
        QTest::newRow("paste") << "actionPaste" << "The image on the clipboard cannot be pasted.";
        QTest::newRow("paste in a new layer") << "actionPasteInNewLayer" << "The image on the clipboard cannot be pasted.";
    }

    void imageBeyondTheMemory()
    {
        QFETCH(QString, command);
        QFETCH(QString, message);
        MTestFolder folder;
        const QByteArray huge = MTestPng::claiming(1000000, 1000000);
        const QString path = folder.writeFile(QStringLiteral("huge.png"), huge);
        const bool pasted = command.startsWith(QLatin1String("actionPaste"));
        MTestDialogScript script;
        if (!pasted)
            script.answerFile(path);
        script.answer(QMessageBox::Ok);
        bool enabled = false, unchanged = false;
        runMainWindowOnce([&](MMainWindow *window) {
            MCanvas *canvas = window->view()->canvas();
            auto state = [canvas]() {
                return QVariantList{canvas->count(), canvas->undoStack()->count(), canvas->paintedRect(),
                                    canvas->isModified()};
            };
            const QVariantList before = state();
            const QImage pixels = MTestMainWindow::layerPixels(canvas);
            const QString title = window->windowTitle();
            QAction *action = window->findChild<QAction *>(command);
            if (pasted) {
                // As another program offers an image: encoded, in an image format.
                auto *offered = new QMimeData;
                offered->setData(QStringLiteral("image/png"), huge);
                offered->setData(QStringLiteral("application/x-qt-image"), huge);
                QGuiApplication::clipboard()->setMimeData(offered);
            }
            enabled = action && QTest::qWaitFor([action]() { return action->isEnabled(); }, 10000);
            if (!enabled)
                return;
            action->trigger();
            unchanged = state() == before && MTestMainWindow::layerPixels(canvas) == pixels
                        && window->windowTitle() == title;
        });
        QVERIFY(enabled);
        const QString refusal = QStringLiteral("The image is 1000000 x 1000000 pixels: it needs about 19073487 MB of "
                                               "memory and only ");
        QCOMPARE(script.requests().size(), pasted ? 1 : 2);
        const MUtility::DialogRequest shown = script.requests().last();
        QCOMPARE(shown.text, message.arg(path));
        QVERIFY2(shown.informativeText.contains(refusal), qPrintable(shown.informativeText));
        QCOMPARE(countLines(refusal), 1);
        QVERIFY(unchanged);
    }
};

QTEST_APPLESS_MAIN(TestFileRefusals)
#include "tst_filerefusals.moc"
