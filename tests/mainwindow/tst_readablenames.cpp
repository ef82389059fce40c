#include "dsettings.h"
#include "maction.h"
#include "mactionlist.h"
#include "mcanvas.h"
#include "mmainwindow.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mwidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QFileInfo>
#include <QSysInfo>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>

#include <functional>
#include <memory>

// What the painter reads in the real window: the combo boxes of the window,
// its option bars and its dialogs list words, not the keys the files store;
// the titles name the document and the curve being edited; the About box
// names the platform it runs on.
namespace {
using MTestModalDriver::whileOpen;
constexpr int W = 300;
constexpr int H = 200;

// A stored key shown as it is ("RandomOffsetGenerator", "bsRadius"), or a
// numbered name that tells nothing ("Panel 1").
bool unreadable(const QString &text)
{
    static const QRegularExpression camel(QStringLiteral("[a-z][A-Z]"));
    static const QRegularExpression numbered(QStringLiteral("^(Panel|Wheel) \\d$"));
    return text.contains(camel) || text.contains(numbered);
}

// The texts of every combo box and list under the widget, each with where it
// was found; font names are the fonts' own.
QStringList shownTexts(QWidget *root)
{
    QStringList texts;
    QList<QComboBox *> combos = root->findChildren<QComboBox *>();
    if (auto *combo = qobject_cast<QComboBox *>(root))
        combos.append(combo);
    for (QComboBox *combo : combos) {
        if (qobject_cast<QFontComboBox *>(combo) || combo->isEditable())
            continue;
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i) + QStringLiteral("  (in ") + combo->objectName() + QLatin1Char(' ')
                         + combo->parentWidget()->metaObject()->className() + QLatin1Char(')');
    }
    for (QListWidget *list : root->findChildren<QListWidget *>()) {
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text() + QStringLiteral("  (in ") + list->objectName() + QLatin1Char(')');
    }
    return texts;
}

} // namespace

class TestReadableNames : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MMainWindow> window;
    QStringList unreadableTexts;

    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }

    void check(const QStringList &texts)
    {
        for (const QString &text : texts) {
            if (unreadable(text.section(QStringLiteral("  (in "), 0, 0)))
                unreadableTexts << text;
        }
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        window = MTestMainWindow::open(QSize(W, H), QSize(1400, 900));
        QVERIFY(window);
        QVERIFY(MTestMainWindow::focusView(window->view()));
    }

    void cleanupTestCase() { window.reset(); }

    // The window, its docks, its option bars and the editors its menus hold.
    void windowAndOptionBars()
    {
        unreadableTexts.clear();
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget == window.get() || !widget->isWindow() || widget->parentWidget() == nullptr)
                check(shownTexts(widget));
        }
        QVERIFY2(unreadableTexts.isEmpty(), qPrintable(unreadableTexts.join(QLatin1Char('\n'))));
        MTestScreenshot::keep(window->grab(), QStringLiteral("readable-names-window.png"));
    }

    void dialogs_data()
    {
        QTest::addColumn<QString>("actionName");
        QTest::newRow("new document") << "actionFileNew";
        QTest::newRow("paper") << "actionChangePaper";
        QTest::newRow("export") << "actionExportAsImage";
        QTest::newRow("properties") << "actionProperties";
        QTest::newRow("preferences") << "actionEditSettings";
        QTest::newRow("layer properties") << "actionEditLayer";
        QTest::newRow("texture generator") << "actionTexture_generator";
        QTest::newRow("brush settings") << "actionEdit_brush_settings";
    }

    void dialogs()
    {
        QFETCH(QString, actionName);
        QAction *command = action(actionName.toLatin1().constData());
        QVERIFY(command);
        unreadableTexts.clear();
        QString title;
        const bool shown = whileOpen([command] { command->trigger(); }, [&](QDialog *dialog) {
            title = dialog->windowTitle();
            check(shownTexts(dialog));
            MTestScreenshot::keep(dialog->grab(), actionName + QStringLiteral(".png"));
        });
        QVERIFY(shown);
        QVERIFY2(!unreadable(title), qPrintable(title));
        QVERIFY2(unreadableTexts.isEmpty(), qPrintable(unreadableTexts.join(QLatin1Char('\n'))));
    }

    // A curve of the brush settings: its title names the setting, its list
    // the inputs, as the brush settings name them.
    void curveEditor()
    {
        QString title;
        QStringList inputs;
        const bool shown = whileOpen([this] { action("actionEdit_brush_settings")->trigger(); }, [&](QDialog *settings) {
            QToolButton *curve = nullptr;
            for (QToolButton *button : settings->findChildren<QToolButton *>()) {
                if (button->property("VAN_BRUSHSETTING").toInt() == 0 && button->property("VAN_BRUSHSETTING").isValid())
                    curve = button;
            }
            QVERIFY(curve);
            whileOpen([curve] { QTest::mouseClick(curve, Qt::LeftButton); }, [&](QDialog *editor) {
                title = editor->windowTitle();
                const QListWidget *list = editor->findChild<QListWidget *>();
                for (int i = 0; list && i < list->count(); ++i)
                    inputs << list->item(i)->text();
                MTestScreenshot::keep(editor->grab(), QStringLiteral("curve-editor.png"));
            });
        });
        QVERIFY(shown);
        QCOMPARE(title, QStringLiteral("Radius"));
        QCOMPARE(inputs.value(0), QStringLiteral("Pressure"));
        QCOMPARE(inputs.value(1), QStringLiteral("Tangential pressure"));
        QCOMPARE(inputs.value(2), QStringLiteral("X tilt"));
    }

    void aboutNamesThePlatform()
    {
        QString version;
        QVERIFY(whileOpen([this] { action("actionAbout_Kalmi")->trigger(); }, [&](QDialog *about) {
            version = about->findChild<QLabel *>(QStringLiteral("versionLabel"))->text();
        }));
        QVERIFY2(version.startsWith(QStringLiteral("1.4.2-")), qPrintable(version));
#ifndef Q_OS_WIN
        QVERIFY2(!version.contains(QStringLiteral("win")), qPrintable(version));
        QVERIFY2(version.contains(QSysInfo::kernelType()), qPrintable(version));
#endif
    }

    // The title names the document from the start, and the picture a
    // painter opened.
    void titleNamesTheDocument()
    {
        QVERIFY2(window->windowTitle().startsWith(QStringLiteral("KalmiDraw - ")), qPrintable(window->windowTitle()));
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("KalmiDraw - ") + QFileInfo(window->view()->canvas()->fileName()).completeBaseName());
        MTestFolder folder;
        QImage picture(40, 30, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        const QString path = folder.filePath(QStringLiteral("harbour sketch.png"));
        QVERIFY(picture.save(path));
        MTestDialogScript script;
        script.answerFile(path);
        action("actionFileOpen")->trigger();
        QCOMPARE(window->windowTitle(), QStringLiteral("KalmiDraw - harbour sketch"));
        // A new document is a new document again.
        QVERIFY(whileOpen([this] { action("actionFileNew")->trigger(); }, [](QDialog *dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnCreate")), Qt::LeftButton);
        }));
        QCOMPARE(window->windowTitle(), QStringLiteral("KalmiDraw - new-document"));
    }

    // The shortcut editor names every command in words, no two alike, and
    // lists none that the window hides (their keys could do nothing).
    void shortcutEditorRows()
    {
        QStringList descriptions;
        QList<QAction *> listed;
        QVERIFY(whileOpen([this] { action("actionEditSettings")->trigger(); }, [&](QDialog *dialog) {
            MActionList *rows = static_cast<DSettings *>(dialog)->actionList();
            for (int row = 0; row < rows->count(); ++row) {
                auto *command = qobject_cast<MAction *>(rows->item(row));
                descriptions << command->description();
                listed << command->action();
            }
            auto *tree = dialog->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
            tree->setCurrentItem(tree->topLevelItem(5));
            MTestModalDriver::typeOver(dialog->findChild<QLineEdit *>(QStringLiteral("shortcutSearch")),
                                       QStringLiteral("selection"));
            QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("shortcutSearch")), Qt::Key_Return);
            MTestScreenshot::keep(dialog->grab(), QStringLiteral("shortcut-rows-selection.png"));
        }));
        QVERIFY(descriptions.size() > 100);
        unreadableTexts.clear();
        check(descriptions);
        QVERIFY2(unreadableTexts.isEmpty(), qPrintable(unreadableTexts.join(QLatin1Char('\n'))));
        QStringList twice;
        for (const QString &description : descriptions)
            if (descriptions.count(description) > 1 && !twice.contains(description))
                twice << description;
        QVERIFY2(twice.isEmpty(), qPrintable(twice.join(QLatin1Char('\n'))));
        for (QAction *command : listed)
            QVERIFY2(command->isVisible(), qPrintable(command->objectName()));
        QVERIFY(descriptions.contains(QStringLiteral("Transform as selection (Shapes toolbar)")));
        QVERIFY(descriptions.contains(QStringLiteral("Transform as selection (Text toolbar)")));
    }
};

QTEST_MAIN(TestReadableNames)
#include "tst_readablenames.moc"
