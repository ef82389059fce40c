#include "dquicksettings.h"
#include "dselectiontobrush.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistwidget.h"
#include "mbrushstream.h"
#include "mbrushwidget.h"
#include "mcanvas.h"
#include "mcolorlist.h"
#include "menum.h"
#include "mfolders.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mtestbrushlibrary.h"
#include "mtestdialogscript.h"
#include "mtestfilesizelimit.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtool.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <memory>

// The brush library commands of the main window on temporary system and user
// libraries, each checked against a library read afresh from the folders;
// then a painter's duplicate-and-paint in the real window.
namespace {
QStringList texts(const MTestDialogScript &script)
{
    QStringList list;
    for (const MUtility::DialogRequest &request : script.requests())
        list.append(request.text);
    return list;
}

QStringList names(MBrushList *brushes)
{
    QStringList list;
    for (int row = 0; row < brushes->rowCount(); ++row)
        list.append(brushes->brush(row)->group() + QLatin1Char('/') + brushes->brush(row)->description());
    return list;
}

// Any modal dialog still open after a while is closed, so that a wrong
// branch fails instead of hanging.
// The clock runs per dialog, so a slow machine does not close one that a
// later step is about to drive.
void guardModals(QObject *owner)
{
    auto *poll = new QTimer(owner);
    auto *since = new QElapsedTimer;
    auto *seen = new QPointer<QWidget>;
    QObject::connect(poll, &QTimer::destroyed, [since, seen] {
        delete since;
        delete seen;
    });
    QObject::connect(poll, &QTimer::timeout, [since, seen] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != seen->data()) {
            *seen = modal;
            since->start();
        } else if (modal && since->hasExpired(20000)) {
            modal->close();
        }
    });
    poll->start(200);
}

// Drives the next brush-name dialog: "-" cancels, "=" takes what it
// proposes, "group/name" types both. What it proposed goes to proposed.
void answerNameDialog(const QString &typed, QString *proposed, bool *done)
{
    MTestModalDriver::onNextDialog(
        "DBrushName",
        [typed, proposed](QDialog *dialog) {
            auto *group = dialog->findChild<QComboBox *>("editGroup");
            auto *description = dialog->findChild<QLineEdit *>("editDescription");
            *proposed = group->currentText() + QLatin1Char('/') + description->text();
            if (typed == QLatin1String("-")) {
                dialog->findChild<QPushButton *>("btnCancel")->click();
                return;
            }
            if (typed != QLatin1String("=")) {
                MTestModalDriver::typeOver(group->lineEdit(), typed.section(QLatin1Char('/'), 0, 0));
                MTestModalDriver::typeOver(description, typed.section(QLatin1Char('/'), 1));
            }
            dialog->findChild<QPushButton *>("btnOk")->click();
        },
        done);
}
} // namespace

class TestBrushCommands : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase() { QVERIFY(MTestMainWindow::prepare(QSize(400, 300))); }

    void libraryCommands_data()
    {
        QTest::addColumn<QStringList>("library");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<bool>("diskFull");

        const QStringList two{"s:tests/system a", "u:tests/user b"};
        const int ok = QMessageBox::Ok;
        const int cancel = QMessageBox::Cancel;
        QTest::newRow("new") << two << 0 << "actionNew_brush" << "Inks/ Wet Ink " << "new group/new brush"
                             << QList<int>() << QStringList{"The brush inks/wet ink is added."}
                             << QStringList{"tests/system a", "tests/user b", "inks/wet ink"} << 2 << false;
        QTest::newRow("new, cancelled") << two << 0 << "actionNew_brush" << "-" << "new group/new brush"
                                        << QList<int>() << QStringList() << QStringList{"tests/system a", "tests/user b"}
                                        << 0 << false;
        QTest::newRow("duplicate a user brush")
            << two << 1 << "actionDuplicate_brush" << "=" << "tests/user b - copy" << QList<int>()
            << QStringList{"The brush tests/user b - copy is added."}
            << QStringList{"tests/system a", "tests/user b", "tests/user b - copy"} << 2 << false;
        QTest::newRow("duplicate a system brush into a new group")
            << two << 0 << "actionDuplicate_brush" << "mine/x" << "tests/system a - copy" << QList<int>()
            << QStringList{"The brush mine/x is added."} << QStringList{"tests/system a", "tests/user b", "mine/x"}
            << 2 << false;
        QTest::newRow("rename") << two << 1 << "actionRename_brush" << "Inks/Renamed" << "tests/user b"
                                << QList<int>() << QStringList{"The brush is renamed."}
                                << QStringList{"tests/system a", "inks/renamed"} << 1 << false;
        QTest::newRow("rename, cancelled") << two << 1 << "actionRename_brush" << "-" << "tests/user b"
                                           << QList<int>() << QStringList() << QStringList{"tests/system a", "tests/user b"}
                                           << 1 << false;
        QTest::newRow("rename a system brush") << two << 0 << "actionRename_brush" << "" << "" << QList<int>()
                                               << QStringList{"You can't rename a system brush."}
                                               << QStringList{"tests/system a", "tests/user b"} << 0 << false;
        QTest::newRow("delete")
            << two << 1 << "actionDelete_brush" << "" << "" << QList<int>{ok}
            << QStringList{"Are you sure you want to delete the brush tests/user b?", "The brush tests/user b is removed."}
            << QStringList{"tests/system a"} << 0 << false;
        QTest::newRow("delete, cancelled") << two << 1 << "actionDelete_brush" << "" << "" << QList<int>{cancel}
                                           << QStringList{"Are you sure you want to delete the brush tests/user b?"}
                                           << QStringList{"tests/system a", "tests/user b"} << 1 << false;
        QTest::newRow("delete a system brush")
            << two << 0 << "actionDelete_brush" << "" << "" << QList<int>{ok}
            << QStringList{"You can't remove a system brush! Use the sort brushes function to show or hide system "
                           "brushes."}
            << QStringList{"tests/system a", "tests/user b"} << 0 << false;
        QTest::newRow("delete the last brush")
            << QStringList{"u:tests/only"} << 0 << "actionDelete_brush" << "" << "" << QList<int>{ok}
            << QStringList{"You can't remove the last brush!"} << QStringList{"tests/only"} << 0 << false;

        // A brush whose file cannot be written is not added, and keeps its names.
        QTest::newRow("new, disk full") << two << 0 << "actionNew_brush" << "inks/wet ink" << "new group/new brush"
                                        << QList<int>() << QStringList{"Unable to save the brush inks/wet ink."}
                                        << QStringList{"tests/system a", "tests/user b"} << 0 << true;
        QTest::newRow("duplicate, disk full")
            << two << 1 << "actionDuplicate_brush" << "=" << "tests/user b - copy" << QList<int>()
            << QStringList{"Unable to save the brush tests/user b - copy."}
            << QStringList{"tests/system a", "tests/user b"} << 1 << true;
        QTest::newRow("rename, disk full") << two << 1 << "actionRename_brush" << "inks/renamed" << "tests/user b"
                                           << QList<int>() << QStringList{"Unable to save the brush inks/renamed."}
                                           << QStringList{"tests/system a", "tests/user b"} << 1 << true;
    }

    void libraryCommands()
    {
        QFETCH(QStringList, library);
        QFETCH(int, current);
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(QString, proposed);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, after);
        QFETCH(int, currentAfter);
        QFETCH(bool, diskFull);

        MTestBrushLibrary brushes(library);
        MBrushList *list = brushes.library();
        list->brush(current)->setRadius(7.5);
        list->setCurrentRow(current);
        MMainWindow window;
        MTestDialogScript script;
        for (int answer : answers)
            script.answer(answer);
        QString shown;
        bool dialogRan = false;
        if (!typed.isEmpty())
            answerNameDialog(typed, &shown, &dialogRan);
        guardModals(&window);
        QAction *command = window.findChild<QAction *>(action);
        QVERIFY(command && command->isVisible());
        QVERIFY(!MMainWindow::pendingCommands().contains(action));
        {
            std::unique_ptr<MTestFileSizeLimit> full(diskFull ? new MTestFileSizeLimit(64) : nullptr);
            QVERIFY(!full || full->isActive());
            command->trigger();
        }

        QCOMPARE(dialogRan, !typed.isEmpty());
        QCOMPARE(shown, proposed);
        QCOMPARE(texts(script), messages);
        QCOMPARE(script.pending(), 0);
        QCOMPARE(names(list), after);
        QCOMPARE(brushes.reloaded(), after);
        QCOMPARE(list->currentRow(), currentAfter);
        // The painter is shown why the file was not written.
        if (diskFull) {
            QVERIFY2(script.requests().first().informativeText.startsWith(
                         QStringLiteral("System error: Unable to save brush ")),
                     qPrintable(script.requests().first().informativeText));
        }
        if (action == QLatin1String("actionDuplicate_brush") && currentAfter != current)
            QCOMPARE(list->currentBrush()->radius(), 7.5);
        if (action == QLatin1String("actionRename_brush") && !messages.isEmpty()
            && messages.first() == QLatin1String("You can't rename a system brush."))
            QCOMPARE(script.requests().first().informativeText,
                     QStringLiteral("Only the user brushes can be renamed. Duplicate the current brush to get a user "
                                    "version and rename it."));
    }

    void actionStates_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("deletable");
        QTest::newRow("system brush") << 0 << false;
        QTest::newRow("user brush") << 1 << true;
    }

    void actionStates()
    {
        QFETCH(int, current);
        QFETCH(bool, deletable);
        MTestBrushLibrary brushes({"s:tests/system a", "u:tests/user b"});
        MMainWindow window;
        brushes.library()->setCurrentRow(current);
        emit window.findChild<QMenu *>("menuBrush")->aboutToShow();
        QCOMPARE(window.findChild<QAction *>("actionDelete_brush")->isEnabled(), deletable);
        for (const char *name : {"actionCopy_brush_to_system_directory", "actionRemove_brush_from_system_directory"}) {
            QAction *hidden = window.findChild<QAction *>(name);
            QVERIFY(!hidden->isVisible());
            hidden->trigger();
        }
        QCOMPARE(brushes.reloaded(), QStringList({"tests/system a", "tests/user b"}));
    }

    void importBrush_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("fileId");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("sameId");

        const QString added = "The brush imported/brush is added.";
        const QString invalid = "Error during file loading. Check if this file is a valid brush file and retry.";
        QTest::newRow("brush file") << QByteArray("brush") << 7 << added << true;
        QTest::newRow("id of a user brush") << QByteArray("brush") << 1 << added << false;
        QTest::newRow("id of a system brush") << QByteArray("brush") << 0 << added << false;
        QTest::newRow("text") << QByteArray("not a brush") << -1 << invalid << false;
        QTest::newRow("other JSON") << QByteArray("{\"name\": \"swatches\", \"colors\": []}") << -1 << invalid << false;
        QTest::newRow("JSON array") << QByteArray("[1, 2]") << -1 << invalid << false;
        QTest::newRow("cancelled") << QByteArray() << -1 << QString() << false;
    }

    void importBrush()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, fileId);
        QFETCH(QString, message);
        QFETCH(bool, sameId);

        MTestBrushLibrary brushes({"s:tests/system a", "u:tests/user b"});
        MTestFolder outside;
        QString path;
        if (content == "brush") {
            path = outside.filePath(QStringLiteral("imported.kxb"));
            QVERIFY(MTestBrushLibrary::writeBrushFile(path, MTestBrushLibrary::id(fileId), "Imported", "Brush", 33));
        } else if (!content.isEmpty()) {
            path = outside.writeFile(QStringLiteral("imported.kxb"), content);
        }
        MSettings::instance()->set_lastFilesDir(QDir::homePath());
        MMainWindow window;
        MTestDialogScript script;
        if (!path.isEmpty())
            script.answerFile(path);
        window.findChild<QAction *>("actionImport_brush_file")->trigger();

        const MUtility::DialogRequest &request = script.requests().first();
        QCOMPARE(request.title, QStringLiteral("Import brush"));
        QCOMPARE(request.filter, QStringLiteral("Brush files (*.kxb);;All files (*.*)"));
        QCOMPARE(QDir(request.folder), QDir(QDir::homePath()));
        QCOMPARE(texts(script).mid(1), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(QDir(MSettings::instance()->lastFilesDir()), QDir(path.isEmpty() ? QDir::homePath() : outside.path()));

        QStringList expected{"tests/system a", "tests/user b"};
        if (message.startsWith(QLatin1String("The brush")))
            expected << "imported/brush";
        QCOMPARE(brushes.reloaded(), expected);
        QCOMPARE(names(brushes.library()), expected);
        if (expected.size() == 2)
            return;
        // The imported brush is a user brush of its own; the one whose id
        // the file held is untouched.
        const MBrush *imported = brushes.library()->brush(2);
        QCOMPARE(imported->radius(), 33.0);
        QCOMPARE(imported->id() == MTestBrushLibrary::id(fileId), sameId);
        QVERIFY(MParamList::isItemId(imported->id()));
        QVERIFY(QFileInfo::exists(brushes.userFolder() + imported->id().toLower() + ".kxb"));
        QCOMPARE(brushes.userFiles().size(), 2);
        QVERIFY(!brushes.library()->isSystemId(imported->id()));
    }

    void quickSettings_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }

    void quickSettings()
    {
        QFETCH(bool, accept);
        MTestBrushLibrary brushes({"u:tests/user b"});
        MBrush *brush = brushes.library()->currentBrush();
        brush->setQuickSettings({MEnum::bsOpacity, MEnum::bsRadius});
        QVERIFY(brush->save());
        MMainWindow window;
        bool done = false;
        MTestModalDriver::onNextDialog(
            "DQuickSettings",
            [accept](QDialog *dialog) {
                auto *quick = static_cast<DQuickSettings *>(dialog);
                for (int row = 0; row < quick->otherList()->count(); ++row) {
                    if (quick->otherList()->item(row)->data(256).toInt() == MEnum::bsNoise)
                        quick->otherList()->setCurrentRow(row);
                }
                dialog->findChild<QPushButton *>("btnAdd")->click();
                quick->chosenList()->setCurrentRow(quick->chosenList()->count() - 1);
                dialog->findChild<QPushButton *>("btnMoveAtTop")->click();
                dialog->findChild<QPushButton *>(accept ? "btnOk" : "btnCancel")->click();
            },
            &done);
        guardModals(&window);
        // Tuning the brush leaves the painter's tool alone.
        MTools::instance()->activate(MTool::LineTool, true);
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::LineTool));
        window.findChild<QAction *>("actionEdit_brush_quick_settings")->trigger();
        QVERIFY(done);
        QCOMPARE(MTools::instance()->currentToolId(), int(MTool::LineTool));

        const QVector<int> expected = accept ? QVector<int>{MEnum::bsNoise, MEnum::bsRadius, MEnum::bsOpacity}
                                             : QVector<int>{MEnum::bsOpacity, MEnum::bsRadius};
        QCOMPARE(brush->quickSettings(), expected);
        MBrush read;
        QVERIFY(MBrushStream(&read).loadFromJsonFile(brush->userFilePath()));
        QCOMPARE(read.quickSettings(), expected);
    }

    // A painter duplicates the current brush from the menu, names the copy,
    // finds it current in the brush list and saved among the user brushes,
    // paints with it, and makes a textured brush of what was painted.
    void duplicatePaintAndMakeTexturedBrush()
    {
        MBrushList::destroyInstance();
        MBrushList *brushes = MBrushList::instance();
        const int shipped = brushes->rowCount();
        QVERIFY(shipped > 1);
        auto window = std::make_unique<MMainWindow>();
        QVERIFY(MTestMainWindow::show(window.get(), QSize(1200, 800)));
        window->showPanel(window->findChild<QDockWidget *>(QStringLiteral("brushDockWidget")));
        const QString source = brushes->currentBrush()->description();
        MTestDialogScript script;
        QString proposed;
        bool named = false;
        answerNameDialog(QStringLiteral("my brushes/wide ink"), &proposed, &named);
        guardModals(window.get());
        QMenu *menu = window->findChild<QMenu *>("menuBrush");
        emit menu->aboutToShow();
        QAction *duplicate = window->findChild<QAction *>("actionDuplicate_brush");
        QVERIFY(duplicate->isEnabled());
        duplicate->trigger();
        QVERIFY(named);
        QCOMPARE(proposed.section('/', 1), source + " - copy");
        QCOMPARE(texts(script), QStringList{"The brush my brushes/wide ink is added."});

        // Current in the list, and a user brush on disk that a restart finds.
        QCOMPARE(brushes->rowCount(), shipped + 1);
        QCOMPARE(brushes->currentRow(), shipped);
        MBrush *copy = brushes->currentBrush();
        QCOMPARE(copy->description(), QStringLiteral("wide ink"));
        QCOMPARE(window->brushWidget()->brushListWidget()->rowCount(), shipped + 1);
        QVERIFY(QFileInfo::exists(copy->userFilePath()));
        QVERIFY(copy->userFilePath().startsWith(MFolders::brushesDirectory(MFolders::UserPath)));
        QVERIFY(!copy->systemFileExists());
        QVERIFY(brushes->order().contains(copy->id()));
        QVERIFY(window->findChild<QAction *>("actionDelete_brush")->isEnabled());

        // Painting with it.
        copy->setRadius(12);
        MColorList::instance()->setColor(QColor(30, 60, 200));
        MCanvas *canvas = window->view()->canvas();
        QVERIFY(MTestMainWindow::drag(window->view(), QPointF(-100, 0), QPointF(100, 0)));
        QCOMPARE(canvas->undoStack()->count(), 1);
        QVERIFY(canvas->undoStack()->text(0).startsWith(QStringLiteral("Brush stroke: wide ink, ")));
        QVERIFY(MTestMainWindow::paintedPixels(MTestMainWindow::layerPixels(canvas, canvas->currentRow())) > 1000);
        MTestScreenshot::keep(window->grab(), QStringLiteral("brushcommands-window.png"));

        // Its stroke becomes the texture of a new brush: without a selection
        // the layer's bounds are selected first.
        script.answer(QMessageBox::Ok);
        bool made = false;
        QSize offered;
        MTestModalDriver::onNextDialog(
            "DSelectionToBrush",
            [&offered](QDialog *dialog) {
                offered = QSize(dialog->findChild<QSpinBox *>("widthEdit")->value(),
                                dialog->findChild<QSpinBox *>("heightEdit")->value());
                dialog->findChild<QRadioButton *>("createNewBrushEdit")->click();
                MTestModalDriver::typeOver(dialog->findChild<QLineEdit *>("brushNameEdit"), "stroke tip");
                dialog->findChild<QPushButton *>("okButton")->click();
            },
            &made);
        window->findChild<QAction *>("actionSave_selection_as_textured_brush")->trigger();
        QVERIFY(made);
        QCOMPARE(texts(script).mid(1), QStringList({"The selection area is empty. Do you want to select the current "
                                                    "layer bounding rect?",
                                                    "The brush my brushes/stroke tip is added."}));
        QVERIFY(offered.width() > 190 && offered.width() < 260);
        QVERIFY(offered.height() > 10 && offered.height() < 60);
        MBrush *textured = brushes->currentBrush();
        QCOMPARE(textured->description(), QStringLiteral("stroke tip"));
        MBrush read;
        QVERIFY(MBrushStream(&read).loadFromJsonFile(textured->userFilePath()));
        QCOMPARE(read.texture().size(), offered);
        window.reset();
    }
};

QTEST_MAIN(TestBrushCommands)
#include "tst_brushcommands.moc"
