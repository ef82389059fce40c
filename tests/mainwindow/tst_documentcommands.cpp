#include "dexport.h"
#include "dpaper.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "mfolders.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "mopengl.h"
#include "mrecentfiles.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QPrinter>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>

#include <memory>

using namespace MTestCanvas;

namespace {
constexpr int W = 300;
constexpr int H = 200;
const QRgb red = qRgba(200, 20, 20, 255);
const QRgb blue = qRgba(20, 30, 210, 255);

// An undo step that changes nothing: it only makes the document modified.
class UndoStep : public QUndoCommand
{
public:
    UndoStep()
        : QUndoCommand(QStringLiteral("step"))
    {
    }
};

// What a file dialog showed when it was asked, read while it still existed.
struct FileDialogView
{
    QString title;
    QString folder;
    QString fileName;
    QString defaultSuffix;
    QStringList filters;
    bool save = false;
    bool confirmOverwrite = false;
    bool busy = false;
};

enum Step { Choice, File, Message };

Step stepOf(const MUtility::DialogRequest &request)
{
    if (request.kind == MUtility::FileDialog)
        return File;
    return request.kind == MUtility::ChoiceDialog ? Choice : Message;
}
} // namespace

Q_DECLARE_METATYPE(QList<int>)

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;
    std::unique_ptr<MTestFolder> folder;
    QList<FileDialogView> fileDialogs;

    MCanvas *canvas() const { return window->view()->canvas(); }

    template <class T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    void makeWindow()
    {
        window.reset(new MMainWindow());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(canvas()->isGlReady());
        QVERIFY(canvas()->makeCurrent());
    }

    // Red over the left third of the first layer, blue over a corner of a
    // second one: two layers whose order and content a reload must keep.
    void paintTwoLayers()
    {
        MCanvas *c = canvas();
        QVERIFY(c->makeCurrent());
        const QRect area = c->paintedRect().toRect();
        paintRect(c->at(0), QRect(area.left(), area.top(), W / 3, H), red);
        c->appendLayer();
        QCOMPARE(c->count(), 2);
        paintRect(c->at(1), QRect(area.right() - 49, area.bottom() - 39, 50, 40), blue);
        // Painted straight into the tiles: only the added layer made a step.
        c->undoStack()->clear();
    }

    QList<QImage> layerImages() const
    {
        QList<QImage> images;
        canvas()->makeCurrent();
        for (int row = 0; row < canvas()->count(); ++row)
            images.append(layerImage(canvas()->at(row), canvas()->paintedRect().toRect()));
        return images;
    }

    void modify() { canvas()->undoStack()->push(new UndoStep); }

    // A script that also notes what each file dialog showed.
    void watchFileDialogs(MTestDialogScript &script)
    {
        fileDialogs.clear();
        script.observe([this](const MUtility::DialogRequest &request) {
            if (request.kind != MUtility::FileDialog || !request.fileDialog)
                return;
            QFileDialog *dialog = request.fileDialog;
            FileDialogView view;
            view.title = dialog->windowTitle();
            view.folder = QDir(dialog->directory()).canonicalPath() + QLatin1Char('/');
            view.fileName = QFileInfo(dialog->selectedFiles().value(0)).fileName();
            view.defaultSuffix = dialog->defaultSuffix();
            view.filters = dialog->nameFilters();
            view.save = dialog->acceptMode() == QFileDialog::AcceptSave;
            view.confirmOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            view.busy = QApplication::overrideCursor() != nullptr;
            fileDialogs.append(view);
        });
    }

    // A saved two-layer document in the folder, and its layers' pixels.
    QString savedDocument(const QString &name, QList<QImage> *images = nullptr)
    {
        paintTwoLayers();
        const QString path = folder->filePath(name);
        if (!canvas()->saveToFile(path))
            return QString();
        if (images)
            *images = layerImages();
        return path;
    }

    QString title() const { return window->windowTitle(); }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
    }

    void init()
    {
        MSettings *settings = MSettings::instance();
        settings->clear();
        settings->set_textDuration(0);
        settings->set_defaultWidth(W);
        settings->set_defaultHeight(H);
        folder.reset(new MTestFolder);
        QVERIFY(folder->isValid());
        QGuiApplication::clipboard()->clear();
        // Building a window takes a second; a test starts from a fresh
        // document in the window the last one left open.
        if (!window) {
            makeWindow();
            return;
        }
        MCanvas *c = canvas();
        QVERIFY(c->makeCurrent());
        c->reset();
        c->setIsNew(true);
        c->setFileName(QString());
        window->updateWindowTitle();
    }

    void cleanup()
    {
        if (window && window->isVisible())
            canvas()->undoStack()->clear();
        else
            window.reset();
        folder.reset();
    }

    void cleanupTestCase() { window.reset(); }

    // ------------------------------------------------------------ the save question

    void saveQuestion_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("named");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveTo");          // the file chosen in the save dialog; empty: cancelled
        QTest::addColumn<QList<int>>("steps");        // the dialogs asked, in order
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<bool>("written");

        const QList<int> question{Choice};
        const QList<int> questionAndFile{Choice, File};
        QTest::newRow("unmodified: no question") << false << false << 0 << "" << QList<int>() << true << false;
        QTest::newRow("save: new document asks for a name") << true << false << 0 << "picture.kxd" << questionAndFile
                                                           << true << true;
        QTest::newRow("save: named document is written at once") << true << true << 0 << "" << question << true << true;
        QTest::newRow("save: name dialog cancelled") << true << false << 0 << "" << questionAndFile << false << false;
        QTest::newRow("save: the write fails") << true << false << 0 << "no/such/folder/picture.kxd"
                                               << QList<int>{Choice, File, Message} << false << false;
        QTest::newRow("don't save") << true << false << 1 << "" << question << true << false;
        QTest::newRow("cancel") << true << false << 2 << "" << question << false << false;
        QTest::newRow("closed without an answer") << true << false << -1 << "" << question << false << false;
        QTest::newRow("closed without an answer, named") << true << true << -1 << "" << question << false << false;
    }

    void saveQuestion()
    {
        QFETCH(bool, modified);
        QFETCH(bool, named);
        QFETCH(int, answer);
        QFETCH(QString, saveTo);
        QFETCH(QList<int>, steps);
        QFETCH(bool, goOn);
        QFETCH(bool, written);

        paintTwoLayers();
        const QString namedPath = folder->filePath(QStringLiteral("named.kxd"));
        if (named) {
            QVERIFY(canvas()->saveToFile(namedPath));
            QFile::remove(namedPath);
        }
        if (modified)
            modify();
        const QString fileName = canvas()->fileName();
        const QString chosen = saveTo.isEmpty() ? QString() : folder->filePath(saveTo);
        const QString target = named ? namedPath : chosen;

        MTestDialogScript script;
        watchFileDialogs(script);
        script.answer(answer);
        if (!chosen.isEmpty())
            script.answerFile(chosen);
        QCOMPARE(window->maybeSave(), goOn);

        QList<int> asked;
        for (const MUtility::DialogRequest &request : script.requests())
            asked.append(stepOf(request));
        QCOMPARE(asked, steps);
        if (!steps.isEmpty()) {
            const MUtility::DialogRequest &question = script.requests().first();
            QCOMPARE(question.text, QString("Close"));
            QCOMPARE(question.informativeText, QString("Do you want to save modifications?"));
            QCOMPARE(question.buttons, QStringList({"Save", "Don't save", "Cancel"}));
        }
        for (const FileDialogView &view : qAsConst(fileDialogs))
            QVERIFY2(!view.busy, "the save dialog was shown under the busy cursor");

        QCOMPARE(QFileInfo::exists(target), written);
        // Whatever was not written stays modified, so a later close asks again.
        QCOMPARE(canvas()->isModified(), modified && !written);
        QCOMPARE(canvas()->fileName(), written ? target : fileName);
        if (steps.contains(Message)) {
            const MUtility::DialogRequest &message = script.requests().last();
            QCOMPARE(message.icon, QMessageBox::Critical);
            QCOMPARE(message.text, QString("Cannot save file %1.").arg(chosen));
            QVERIFY2(message.informativeText.contains(chosen), qPrintable(message.informativeText));
            QVERIFY(canvas()->isNew());
            QVERIFY(!MSettings::instance()->recentFiles().contains(chosen));
        }
    }

    void saveOfANamedDocumentThatFailsIsShown()
    {
        const QString path = savedDocument(QStringLiteral("kept.kxd"));
        QVERIFY(!path.isEmpty());
        modify();
        // A folder where the file was: the document cannot be written there.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
        MTestDialogScript script;
        QCOMPARE(window->save(), int(QMessageBox::Cancel));
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
        QVERIFY(!script.requests().first().informativeText.isEmpty());
        QVERIFY(canvas()->isModified());
    }

    void saveCommandOnANewDocumentGoesThroughSaveAs()
    {
        paintTwoLayers();
        modify();
        MTestDialogScript script;
        watchFileDialogs(script);
        const QString path = folder->filePath(QStringLiteral("first.kxd"));
        script.answerFile(path);
        child<QAction>("actionFileSave")->trigger();
        QCOMPARE(fileDialogs.size(), 1);
        QVERIFY(!fileDialogs.first().busy);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!canvas()->isNew());
        QVERIFY(!canvas()->isModified());
        QCOMPARE(title(), QString("KalmiDraw - first"));

        // Saved once, the next save writes without asking, and the title
        // loses its mark.
        modify();
        window->updateWindowTitle();
        QCOMPARE(title(), QString("KalmiDraw - first - Modified"));
        child<QAction>("actionFileSave")->trigger();
        QCOMPARE(script.requests().size(), 1);
        QVERIFY(!canvas()->isModified());
        QCOMPARE(title(), QString("KalmiDraw - first"));
    }

    // ------------------------------------------------------------ save as

    void saveAsProposal_data()
    {
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("lastFolderSet");
        QTest::newRow("new document, last folder") << false << true;
        QTest::newRow("new document, no last folder") << false << false;
        QTest::newRow("named document") << true << true;
    }

    void saveAsProposal()
    {
        QFETCH(bool, named);
        QFETCH(bool, lastFolderSet);
        MTestFolder last, elsewhere;
        paintTwoLayers();
        QString expectedFolder = QDir(MFolders::userDocumentsPath()).canonicalPath() + QLatin1Char('/');
        QString expectedName = QStringLiteral("new-document.kxd");
        if (lastFolderSet) {
            MSettings::instance()->set_lastFilesDir(last.path());
            expectedFolder = QDir(last.path()).canonicalPath() + QLatin1Char('/');
        }
        if (named) {
            QVERIFY(canvas()->saveToFile(elsewhere.filePath(QStringLiteral("sketch.kxd"))));
            expectedFolder = QDir(elsewhere.path()).canonicalPath() + QLatin1Char('/');
            expectedName = QStringLiteral("sketch.kxd");
        }
        MTestDialogScript script;
        watchFileDialogs(script);
        const QString chosen = folder->filePath(QStringLiteral("chosen.kxd"));
        script.answerFile(chosen);
        QCOMPARE(window->saveAs(), int(QMessageBox::Ok));

        QCOMPARE(fileDialogs.size(), 1);
        const FileDialogView view = fileDialogs.first();
        QCOMPARE(view.folder, expectedFolder);
        QCOMPARE(view.fileName, expectedName);
        QCOMPARE(view.title, QString("KalmiDraw files"));
        QCOMPARE(view.defaultSuffix, QString("kxd"));
        QCOMPARE(view.filters, MUtility::documentFileFilters());
        QVERIFY(view.save);
        QVERIFY(view.confirmOverwrite);

        QVERIFY(QFileInfo::exists(chosen));
        QCOMPARE(canvas()->fileName(), chosen);
        QCOMPARE(MSettings::instance()->lastFilesDir(), MUtility::fileDirectory(chosen));
        QCOMPARE(MSettings::instance()->recentFiles().value(0), chosen);
        QCOMPARE(title(), QString("KalmiDraw - chosen"));
    }

    void saveAsCancelledChangesNothing()
    {
        paintTwoLayers();
        modify();
        MSettings::instance()->set_lastFilesDir(folder->path());
        MTestDialogScript script;
        QCOMPARE(window->saveAs(), int(QMessageBox::Cancel));
        QCOMPARE(script.requests().size(), 1);
        QVERIFY(canvas()->isNew());
        QVERIFY(canvas()->isModified());
        QVERIFY(QDir(folder->path()).entryList(QDir::Files).isEmpty());
        QVERIFY(MSettings::instance()->recentFiles().isEmpty());
    }

    // ------------------------------------------------------------ open

    void openMissingFile()
    {
        modify();
        const QString missing = folder->filePath(QStringLiteral("gone.kxd"));
        MTestDialogScript script;
        QVERIFY(!window->openFile(missing));
        QCOMPARE(script.requests().size(), 1);
        const MUtility::DialogRequest message = script.requests().first();
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.title, QString("Open file"));
        QCOMPARE(message.text, QString("Cannot open file %1.").arg(missing));
        // Nothing was asked about the modified document: nothing changes.
        QVERIFY(canvas()->isModified());
        QVERIFY(MSettings::instance()->recentFiles().isEmpty());
    }

    void openDocumentBySuffix_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("lower case") << "drawing.kxd";
        QTest::newRow("upper case") << "drawing.KXD";
        QTest::newRow("mixed case") << "drawing.Kxd";
    }

    void openDocumentBySuffix()
    {
        QFETCH(QString, name);
        QList<QImage> expected;
        const QString path = savedDocument(name, &expected);
        QVERIFY(!path.isEmpty());
        window.reset();
        makeWindow();
        QCOMPARE(canvas()->count(), 1);

        MTestDialogScript script;
        QVERIFY(window->openFile(path));
        QVERIFY(script.requests().isEmpty());
        QCOMPARE(canvas()->count(), 2);
        QCOMPARE(layerImages(), expected);
        QCOMPARE(canvas()->fileName(), path);
        QVERIFY(!canvas()->isNew());
        QVERIFY(!canvas()->isModified());
        QCOMPARE(title(), QString("KalmiDraw - drawing"));
        QCOMPARE(MSettings::instance()->recentFiles(), QStringList{path});
    }

    void openImageAsOneLayer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << "photo.png" << QByteArray("PNG");
        QTest::newRow("upper-case PNG") << "photo.PNG" << QByteArray("PNG");
        QTest::newRow("bmp") << "photo.bmp" << QByteArray("BMP");
    }

    void openImageAsOneLayer()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QImage image(120, 70, QImage::Format_ARGB32_Premultiplied);
        image.fill(qRgba(30, 140, 60, 255));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                image.setPixel(x, y, red);
        const QString path = folder->filePath(name);
        QVERIFY(image.save(path, format.constData()));
        paintTwoLayers();

        QVERIFY(window->openFile(path));
        QCOMPARE(canvas()->count(), 1);
        QCOMPARE(canvas()->paintedRect().size(), QSizeF(120, 70));
        const QImage layer = layerImages().first().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(layer, image);
        // An image is a new document: saving it asks for a document name.
        QVERIFY(canvas()->isNew());
        QVERIFY(!canvas()->isModified());
        QCOMPARE(MSettings::instance()->recentFiles(), QStringList{path});
    }

    void samplePictureOpensAsAnImage()
    {
        const QImage sample(QStringLiteral(":/icons/shader.jpg"));
        QVERIFY(!sample.isNull());
        paintTwoLayers();
        child<QAction>("actionOpen_default_thumbnail")->trigger();
        QCOMPARE(canvas()->count(), 1);
        QCOMPARE(canvas()->paintedRect().size(), QSizeF(sample.size()));
        QVERIFY(canvas()->isNew());
    }

    // A file that cannot be read leaves the document, its name, the title
    // and the recent files as they were, whatever was answered before, and
    // the painter is told why.
    void failedLoadChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");  // empty: a truncated saved document
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("reason");
        const QString format = QStringLiteral("System error: Invalid canvas file format.");
        QTest::newRow("not a document") << "junk.kxd" << QByteArray("not a document at all") << false << format;
        QTest::newRow("empty document file") << "empty.kxd" << QByteArray(" ") << false << format;
        const QString cut = QStringLiteral("System error: The file is cut short: it ends before the data it announces "
                                           "(Error during readRawData).");
        QTest::newRow("document cut short") << "cut.kxd" << QByteArray() << false << cut;
        QTest::newRow("document cut short, after don't save") << "cut.kxd" << QByteArray() << true << cut;
        QTest::newRow("not an image") << "junk.png" << QByteArray("\x89PNG but nothing more") << false
                                      << "System error: Unable to read ";
        QTest::newRow("not an image, after don't save") << "junk.jpg" << QByteArray("JFIF?") << true
                                                        << "System error: Unable to read ";
    }

    void failedLoadChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, modified);
        QFETCH(QString, reason);

        QString path;
        if (content.isEmpty()) {
            const QString full = savedDocument(QStringLiteral("full.kxd"));
            QVERIFY(!full.isEmpty());
            QFile file(full);
            QVERIFY(file.open(QIODevice::ReadOnly));
            path = folder->writeFile(name, file.readAll().left(int(file.size() / 2)));
            window.reset();
            makeWindow();
        } else {
            path = folder->writeFile(name, content);
        }
        const QString current = savedDocument(QStringLiteral("current.kxd"));
        QVERIFY(!current.isEmpty());
        window->recentFiles()->setCurrentFile(current);
        window->updateWindowTitle();
        if (modified)
            modify();
        const QList<QImage> before = layerImages();
        const QString titleBefore = title();
        const QStringList recentBefore = MSettings::instance()->recentFiles();
        const int undoSteps = canvas()->undoStack()->count();

        MTestDialogScript script;
        script.answer(1);
        QVERIFY(!window->openFile(path));
        QCOMPARE(script.requests().size(), modified ? 2 : 1);
        const MUtility::DialogRequest message = script.requests().last();
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.title, QString("Open file"));
        QCOMPARE(message.text, QString("Cannot open file %1.").arg(path));
        QVERIFY2(message.informativeText.startsWith(reason), qPrintable(message.informativeText));
        QCOMPARE(layerImages(), before);
        QCOMPARE(canvas()->fileName(), current);
        QVERIFY(!canvas()->isNew());
        QCOMPARE(canvas()->isModified(), modified);
        QCOMPARE(canvas()->undoStack()->count(), undoSteps);
        QCOMPARE(title(), titleBefore);
        QCOMPARE(MSettings::instance()->recentFiles(), recentBefore);
    }

    // A document claiming 50,000,000 layers, behind which lie 2 GiB of
    // nothing (a sparse file), opened as a painter opens one: refused with
    // the reason, the open document kept as it was.
    void documentClaimingMillionsOfLayers()
    {
        const QString current = savedDocument(QStringLiteral("current.kxd"));
        QVERIFY(!current.isEmpty());
        window->recentFiles()->setCurrentFile(current);
        window->updateWindowTitle();
        const QList<QImage> before = layerImages();
        const QString titleBefore = title();
        const QString path = folder->filePath(QStringLiteral("millions.kxd"));
        QVERIFY(QFile::copy(QStringLiteral(KALMI_TEST_DATA_DIR "/fuzz/document/refused-layer-count-50000000.kxd"), path));
        {
            QFile sparse(path);
            QCOMPARE(sparse.size(), qint64(122));
            QVERIFY(sparse.resize(qint64(2) << 30));
        }
        QVERIFY(MTestMainWindow::focusView(window->view()));

        MTestDialogScript script;
        script.answerFile(path).answer(QMessageBox::Ok);
        script.observe([this](const MUtility::DialogRequest &request) {
            if (request.kind != MUtility::MessageDialog)
                return;
            // The message as the painter sees it, over the kept document.
            QMessageBox box(request.icon, request.title, request.text, QMessageBox::Ok, window.get());
            box.setInformativeText(request.informativeText);
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            QPixmap shot = window->grab();
            QPainter painter(&shot);
            painter.drawPixmap(shot.rect().center() - box.rect().center(), box.grab());
            painter.end();
            MTestScreenshot::keep(shot, QStringLiteral("open-refused-millions-of-layers.png"));
        });
        child<QAction>("actionFileOpen")->trigger();
        QCOMPARE(script.requests().size(), 2);
        const MUtility::DialogRequest message = script.requests().last();
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.text, QString("Cannot open file %1.").arg(path));
        QCOMPARE(message.informativeText,
                 QString("System error: Invalid canvas header: 50000000 layers, more than the 10000 a document can "
                         "have."));
        QCOMPARE(layerImages(), before);
        QCOMPARE(canvas()->fileName(), current);
        QCOMPARE(title(), titleBefore);
        QFile::remove(path);
    }

    void openCommand()
    {
        QList<QImage> expected;
        const QString path = savedDocument(QStringLiteral("other.kxd"), &expected);
        QVERIFY(!path.isEmpty());
        window.reset();
        makeWindow();
        modify();
        MSettings::instance()->set_lastFilesDir(folder->path());

        // "Don't save": the document is still modified, but the question is
        // not asked again when the chosen file is read.
        MTestDialogScript script;
        watchFileDialogs(script);
        script.answer(1).answerFile(path);
        child<QAction>("actionFileOpen")->trigger();
        QList<int> asked;
        for (const MUtility::DialogRequest &request : script.requests())
            asked.append(stepOf(request));
        QCOMPARE(asked, QList<int>({Choice, File}));
        const FileDialogView view = fileDialogs.first();
        QCOMPARE(view.title, QString("Open file"));
        QVERIFY(!view.save);
        QCOMPARE(view.folder, QDir(folder->path()).canonicalPath() + QLatin1Char('/'));
        QCOMPARE(view.defaultSuffix, QString("kxd"));
        QCOMPARE(view.filters, MUtility::documentFileFilters() + MUtility::imageFileFilter(false));

        QCOMPARE(layerImages(), expected);
        QCOMPARE(canvas()->fileName(), path);
        QCOMPARE(MSettings::instance()->lastFilesDir(), MUtility::fileDirectory(path));
    }

    void openCommandCancelled_data()
    {
        QTest::addColumn<QList<int>>("answers");   // -2 stands for cancelling the file dialog
        QTest::addColumn<int>("questions");
        QTest::newRow("cancel at the question") << QList<int>{2} << 1;
        QTest::newRow("file dialog cancelled") << QList<int>{1, -2} << 2;
        QTest::newRow("save chosen, its file dialog cancelled") << QList<int>{0, -2} << 2;
    }

    void openCommandCancelled()
    {
        QFETCH(QList<int>, answers);
        QFETCH(int, questions);
        const QString path = savedDocument(QStringLiteral("other.kxd"));
        window.reset();
        makeWindow();
        modify();
        const QString lastFolder = MSettings::instance()->lastFilesDir();
        MTestDialogScript script;
        for (int i = 0; i < answers.size(); ++i) {
            if (answers.at(i) == -2)
                script.answer(0);
            else if (i == 1)
                script.answerFile(path);
            else
                script.answer(answers.at(i));
        }
        child<QAction>("actionFileOpen")->trigger();
        QCOMPARE(script.requests().size(), questions);
        QVERIFY(canvas()->isModified());
        QVERIFY(canvas()->isNew());
        QCOMPARE(canvas()->count(), 1);
        QCOMPARE(MSettings::instance()->lastFilesDir(), lastFolder);
    }

    // ------------------------------------------------------------ save, close, reopen

    void saveCloseAndReopenFromTheRecentFiles()
    {
        paintTwoLayers();
        canvas()->setCurrentRow(0);
        modify();
        const QList<QImage> painted = layerImages();
        const QString path = folder->filePath(QStringLiteral("round trip.kxd"));
        {
            MTestDialogScript script;
            script.answerFile(path);
            child<QAction>("actionFileSave")->trigger();
            QVERIFY(QFileInfo::exists(path));
            // The save kept the history: the step still undoes, and the
            // title's mark follows the saved state.
            QCOMPARE(title(), QString("KalmiDraw - round trip"));
            QCOMPARE(canvas()->undoStack()->count(), 1);
            child<QAction>("actionUndo")->trigger();
            QCOMPARE(title(), QString("KalmiDraw - round trip - Modified"));
            child<QAction>("actionRedo")->trigger();
            QCOMPARE(title(), QString("KalmiDraw - round trip"));
            QVERIFY(window->close());
            QCOMPARE(script.requests().size(), 1);
        }
        window.reset();

        makeWindow();
        QCOMPARE(canvas()->count(), 1);
        QMenu *recent = child<QMenu>("menuRecentFiles");
        QVERIFY(recent);
        QAction *entry = recent->actions().value(0);
        QVERIFY(entry && entry->isVisible());
        QCOMPARE(entry->text(), QString("&1 round trip.kxd"));
        entry->trigger();
        QCOMPARE(canvas()->fileName(), path);
        QCOMPARE(layerImages(), painted);
        QCOMPARE(canvas()->currentRow(), 1);
        QCOMPARE(title(), QString("KalmiDraw - round trip"));
    }

    // ------------------------------------------------------------ new

    void newDocument_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("don't save") << 1 << true;
        QTest::newRow("cancel") << 2 << false;
        QTest::newRow("closed without an answer") << -1 << false;
    }

    void newDocument()
    {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        const QString path = savedDocument(QStringLiteral("old.kxd"));
        modify();
        MSettings::instance()->set_defaultWidth(640);
        MSettings::instance()->set_defaultHeight(480);
        MTestDialogScript script;
        script.answer(answer);
        // The new-document dialog opens only once the old document may go.
        auto asked = std::make_shared<bool>(false);
        MTestModalDriver::onNextDialog("DNewDocument", [asked](QDialog *dialog) {
            *asked = true;
            dialog->findChild<QSpinBox *>(QStringLiteral("sbWidth"))->setValue(640);
            dialog->findChild<QSpinBox *>(QStringLiteral("sbHeight"))->setValue(480);
            dialog->findChild<QPushButton *>(QStringLiteral("btnCreate"))->click();
        });
        child<QAction>("actionFileNew")->trigger();
        QCOMPARE(*asked, replaced);
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(canvas()->count(), replaced ? 1 : 2);
        QCOMPARE(canvas()->isNew(), replaced);
        QCOMPARE(canvas()->fileName(), replaced ? QString() : path);
        QCOMPARE(canvas()->isModified(), !replaced);
        QCOMPARE(canvas()->paintedRect().size(), replaced ? QSizeF(640, 480) : QSizeF(W, H));
        if (replaced) {
            QCOMPARE(title(), QString("KalmiDraw - new-document"));
            QVERIFY(layerImages().first().isNull() || layerImages().first().allGray());
        }
    }

    // ------------------------------------------------------------ export

    void exportCommandRunsTheDialogOverTheDocument()
    {
        paintTwoLayers();
        int width = 0, height = 0;
        QTimer::singleShot(0, window.get(), [&]() {
            auto *dialog = qobject_cast<DExport *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            width = dialog->findChild<QSpinBox *>(QStringLiteral("widthSpinBox"))->value();
            height = dialog->findChild<QSpinBox *>(QStringLiteral("heightSpinBox"))->value();
            dialog->reject();
        });
        child<QAction>("actionExportAsImage")->trigger();
        QCOMPARE(width, W);
        QCOMPARE(height, H);
    }

    // ------------------------------------------------------------ paper

    // The paper dialog asks for the size; the window records it as one step
    // that the saved file keeps and undo takes back.
    void paperCommandResizesAsOneStep()
    {
        paintTwoLayers();
        const QPointF centre = canvas()->paintedRect().center();
        bool shown = false;
        QTimer::singleShot(0, window.get(), [&]() {
            auto *dialog = qobject_cast<DPaper *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown = true;
            dialog->findChild<QCheckBox *>(QStringLiteral("cbLock"))->setChecked(false);
            dialog->findChild<QSpinBox *>(QStringLiteral("widthSpinBox"))->setValue(2 * W);
            MTestScreenshot::keep(dialog->grab(), QStringLiteral("paper-dialog-wider.png"));
            dialog->findChild<QPushButton *>(QStringLiteral("btnOk"))->click();
        });
        child<QAction>("actionChangePaper")->trigger();
        QVERIFY(shown);
        QCOMPARE(canvas()->undoStack()->count(), 1);
        QCOMPARE(canvas()->paintedRect().size(), QSizeF(2 * W, H));
        QCOMPARE(canvas()->paintedRect().center(), centre);

        const QString path = folder->filePath(QStringLiteral("wide.kxd"));
        QVERIFY(canvas()->saveToFile(path));
        canvas()->undoStack()->undo();
        QCOMPARE(canvas()->paintedRect().size(), QSizeF(W, H));
        QVERIFY(canvas()->loadFromFile(path));
        QCOMPARE(canvas()->paintedRect().size(), QSizeF(2 * W, H));
    }

    // ------------------------------------------------------------ print

    void printPreviewShowsTheDocument()
    {
        paintTwoLayers();
        bool shown = false;
        const QString during = folder->filePath(QStringLiteral("during.pdf"));
        const QString after = folder->filePath(QStringLiteral("after.pdf"));
        auto printTo = [this](const QString &path) {
            QPrinter printer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            window->printPreview(&printer);
        };
        QTimer::singleShot(0, window.get(), [&]() {
            auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            if (!preview)
                return;
            shown = preview->parent() == window.get() && preview->isWindow();
            // While the preview is open the document's picture is there to print.
            printTo(during);
            preview->reject();
        });
        child<QAction>("actionPrint")->trigger();
        QVERIFY(shown);
        QVERIFY(QFileInfo(during).size() > 0);
        // Once it is closed, a stray request for pages paints nothing.
        printTo(after);
        QVERIFY(!QFileInfo::exists(after));
    }

    // ------------------------------------------------------------ colour history

    void clearColorHistory()
    {
        MColorList *colors = MColorList::instance();
        colors->setColor(QColor(Qt::red));
        colors->updateColorList(QColor(Qt::red));
        colors->updateColorList(QColor(Qt::blue));
        QVERIFY(colors->count() >= 2);
        child<QAction>("actionClearColorHisto")->trigger();
        QCOMPARE(colors->count(), 0);
        QCOMPARE(colors->currentColor(), QColor(Qt::black));
    }

    // ------------------------------------------------------------ clipboard

    void copy_data()
    {
        QTest::addColumn<QRect>("selection");   // from the painted rectangle's corner; null: none
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("redPixel");
        QTest::addColumn<QPoint>("emptyPixel");
        QTest::newRow("no selection: the whole layer") << QRect() << QSize(W, H) << QPoint(5, 5) << QPoint(W - 5, 5);
        QTest::newRow("selection: its bounding box") << QRect(80, 20, 60, 50) << QSize(60, 50) << QPoint(5, 5)
                                                      << QPoint(55, 45);
    }

    void copy()
    {
        QFETCH(QRect, selection);
        QFETCH(QSize, size);
        QFETCH(QPoint, redPixel);
        QFETCH(QPoint, emptyPixel);
        paintTwoLayers();
        canvas()->setCurrentRow(0);
        const QPoint corner = canvas()->paintedRect().topLeft().toPoint();
        if (!selection.isNull()) {
            QPainterPath path;
            path.addRect(selection.translated(corner));
            canvas()->setClipPath(path);
        }
        const int steps = canvas()->undoStack()->count();
        child<QAction>("actionCopy")->trigger();
        const QImage copied = QGuiApplication::clipboard()->image();
        MTestScreenshot::keep(copied, QStringLiteral("copied-%1.png").arg(QTest::currentDataTag()));
        QCOMPARE(copied.size(), size);
        QCOMPARE(copied.pixel(redPixel), red);
        QCOMPARE(qAlpha(copied.pixel(emptyPixel)), 0);
        QCOMPARE(canvas()->undoStack()->count(), steps);
    }

    // A selection wider than the driver renders gives no image: the clipboard
    // keeps what it held rather than an empty picture.
    void copyTooWideKeepsClipboardAndLayer()
    {
        paintTwoLayers();
        canvas()->setCurrentRow(0);
        const int limit = canvas()->maximumRenderSize();
        QVERIFY(limit > 0);
        QPainterPath path;
        path.addRect(QRectF(canvas()->paintedRect().topLeft(), QSizeF(limit + 1, 2)));
        canvas()->setClipPath(path);
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        const QList<QImage> before = layerImages();
        const int steps = canvas()->undoStack()->count();
        for (const char *action : {"actionCopy", "actionCut"}) {
            MTestDialogScript script;
            script.answer(QMessageBox::Ok);
            child<QAction>(action)->trigger();
            QCOMPARE(script.requests().size(), 1);
            QCOMPARE(script.requests().first().text, QString("Cannot copy the image."));
            QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
        }
        // A cut whose copy failed erases nothing.
        QCOMPARE(canvas()->undoStack()->count(), steps);
        QCOMPARE(layerImages(), before);
    }

    void cutWithoutSelectionDoesNothing()
    {
        paintTwoLayers();
        canvas()->setCurrentRow(0);
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        const QList<QImage> before = layerImages();
        const int steps = canvas()->undoStack()->count();
        window->on_actionCut_triggered();
        QCOMPARE(canvas()->undoStack()->count(), steps);
        QCOMPARE(layerImages(), before);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
    }

    void cutIsOneStepThatUndoes()
    {
        paintTwoLayers();
        canvas()->setCurrentRow(0);
        const QPoint corner = canvas()->paintedRect().topLeft().toPoint();
        const QRect cut(40, 50, 100, 60);   // half over the red, half over nothing
        QPainterPath path;
        path.addRect(cut.translated(corner));
        canvas()->setClipPath(path);
        const QList<QImage> before = layerImages();
        const int steps = canvas()->undoStack()->count();

        child<QAction>("actionCut")->trigger();
        QCOMPARE(canvas()->undoStack()->count(), steps + 1);
        QCOMPARE(canvas()->undoStack()->text(steps), QString("Cut"));
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), cut.size());
        QCOMPARE(copied.pixel(5, 5), red);
        QCOMPARE(qAlpha(copied.pixel(cut.width() - 5, 5)), 0);

        const QImage after = layerImages().first();
        QCOMPARE(qAlpha(after.pixel(cut.topLeft() + QPoint(5, 5))), 0);
        QCOMPARE(after.pixel(cut.topLeft() + QPoint(-5, 5)), red);
        QCOMPARE(after.pixel(cut.bottomLeft() + QPoint(5, 5)), red);
        QCOMPARE(layerImages().at(1), before.at(1));

        canvas()->undoStack()->undo();
        QCOMPARE(layerImages(), before);
    }

    void pasteInNewLayer_data()
    {
        QTest::addColumn<bool>("image");
        QTest::newRow("image") << true;
        QTest::newRow("text") << false;
    }

    void pasteInNewLayer()
    {
        QFETCH(bool, image);
        QImage picture(40, 30, QImage::Format_ARGB32);
        picture.fill(blue);
        if (image)
            QGuiApplication::clipboard()->setImage(picture);
        else
            QGuiApplication::clipboard()->setText(QStringLiteral("words"));
        const int steps = canvas()->undoStack()->count();
        child<QAction>("actionPasteInNewLayer")->trigger();
        QCOMPARE(canvas()->count(), image ? 2 : 1);
        QCOMPARE(canvas()->undoStack()->count(), steps + (image ? 1 : 0));
        if (!image)
            return;
        QCOMPARE(canvas()->undoStack()->text(steps), QString("Append an image"));
        QCOMPARE(canvas()->currentRow(), 1);
        const QImage layer = layerImages().at(1);
        const QPoint centre(W / 2, H / 2);
        QCOMPARE(layer.pixel(centre), blue);
        QCOMPARE(qAlpha(layer.pixel(centre + QPoint(25, 0))), 0);
        QCOMPARE(qAlpha(layerImages().at(0).pixel(centre)), 0);
    }

    void clipboardActions_data()
    {
        QTest::addColumn<bool>("selection");
        QTest::addColumn<bool>("image");
        QTest::newRow("nothing selected, text") << false << false;
        QTest::newRow("nothing selected, image") << false << true;
        QTest::newRow("selection, text") << true << false;
        QTest::newRow("selection, image") << true << true;
    }

    void clipboardActions()
    {
        QFETCH(bool, selection);
        QFETCH(bool, image);
        QAction *copy = child<QAction>("actionCopy");
        QAction *cut = child<QAction>("actionCut");
        QAction *paste = child<QAction>("actionPaste");
        // The selection changing updates the actions by itself.
        QPainterPath path;
        if (selection)
            path.addRect(QRectF(canvas()->paintedRect().topLeft() + QPointF(10, 10), QSizeF(20, 20)));
        canvas()->setClipPath(QPainterPath());
        QVERIFY(!copy->isEnabled());
        canvas()->setClipPath(path);
        QCOMPARE(copy->isEnabled(), selection);
        QCOMPARE(cut->isEnabled(), selection);
        // So does the clipboard; paste needs an image there, and the image
        // tool to place it.
        QImage picture(8, 8, QImage::Format_ARGB32);
        picture.fill(red);
        if (image)
            QGuiApplication::clipboard()->setImage(picture);
        else
            QGuiApplication::clipboard()->setText(QStringLiteral("words"));
        QTRY_COMPARE(QGuiApplication::clipboard()->mimeData()->hasImage(), image);
        const bool pasteBuilt = !MMainWindow::pendingCommands().contains(QStringLiteral("actionPaste"));
        QCOMPARE(paste->isEnabled(), image && pasteBuilt);
        QCOMPARE(copy->isEnabled(), selection);
    }
};

QTEST_MAIN(TestDocumentCommands)
#include "tst_documentcommands.moc"
