// The texture generator dialog: shown at once, regenerated on every edit,
// saved where the painter chooses, and opened by the main window's command.

#include "dtexturegenerator.h"
#include "mfieldpanel.h"
#include "mmainwindow.h"
#include "mtestdialogscript.h"
#include "mtestglcontext.h"
#include "mtestmainwindow.h"
#include "mtestmodaldriver.h"
#include "mtestscreenshot.h"
#include "mtexturegenerator.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestDTextureGenerator : public QObject
{
    Q_OBJECT

    static QImage shown(const DTextureGenerator &dialog)
    {
        return dialog.findChild<QLabel *>("textureLabel")->pixmap(Qt::ReturnByValue).toImage();
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void showsAndRegenerates()
    {
        DTextureGenerator dialog;
        auto *generators = dialog.findChild<QComboBox *>("generatorEdit");
        auto *panel = dialog.findChild<MFieldPanel *>("panel");
        QCOMPARE(dialog.windowTitle(), QString("Texture generator"));
        QCOMPARE(generators->count(), 4);
        QCOMPARE(generators->itemText(0), QString("Brush texture"));
        QCOMPARE(generators->itemText(3), QString("Marble texture"));
        // A brush texture at once: white corners around the blob.
        QCOMPARE(shown(dialog).size(), QSize(256, 256));
        QCOMPARE(shown(dialog).pixel(0, 0) | 0xff000000, qRgb(255, 255, 255));
        QVERIFY(panel->editor("particleCount"));

        dialog.findChild<QSpinBox *>("widthEdit")->setValue(1);
        QCOMPARE(shown(dialog).size(), QSize(1, 256));
        dialog.findChild<QSpinBox *>("widthEdit")->setValue(48);
        dialog.findChild<QSpinBox *>("heightEdit")->setValue(0); // held at the minimum
        QCOMPARE(shown(dialog).size(), QSize(48, 1));
        dialog.findChild<QSpinBox *>("heightEdit")->setValue(32);

        // Switching replaces the editors and regenerates with the cloud's colours.
        generators->setCurrentIndex(1);
        QVERIFY(panel->editor("hue"));
        QVERIFY(!panel->editor("particleCount"));
        QImage image = shown(dialog);
        QCOMPARE(image.size(), QSize(48, 32));
        QVERIFY(qBlue(image.pixel(10, 10)) > qRed(image.pixel(10, 10)));

        // An edit of a parameter shows its image: full luminance is white.
        dialog.generators().at(1)->setValue("luminance", 255);
        image = shown(dialog);
        QCOMPARE(image.pixel(10, 10) | 0xff000000, qRgb(255, 255, 255));
        QCOMPARE(dialog.texture().pixel(47, 31), qRgb(255, 255, 255));

        // Generate draws new noise.
        generators->setCurrentIndex(2);
        const QImage before = dialog.texture();
        QTest::qWait(3); // a new millisecond, a new seed
        QTest::mouseClick(dialog.findChild<QPushButton *>("generateButton"), Qt::LeftButton);
        QVERIFY(dialog.texture() != before);
        MTestScreenshot::keep(dialog.grab(), "texturegenerator.png");
    }

    void save()
    {
        QTemporaryDir dir;
        DTextureGenerator dialog;
        dialog.findChild<QComboBox *>("generatorEdit")->setCurrentIndex(3);
        const QString fileName = dir.filePath("marble.png");
        {
            MTestDialogScript script;
            script.answerFile(fileName);
            QTest::mouseClick(dialog.findChild<QPushButton *>("saveButton"), Qt::LeftButton);
            QCOMPARE(script.pending(), 0);
        }
        QImage saved(fileName);
        QVERIFY(!saved.isNull());
        QCOMPARE(saved.convertToFormat(QImage::Format_ARGB32), dialog.texture());

        // Cancelled: nothing written.
        {
            MTestDialogScript script;
            QTest::mouseClick(dialog.findChild<QPushButton *>("saveButton"), Qt::LeftButton);
            QCOMPARE(script.requests().size(), 1);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList("marble.png"));

        // A folder that cannot be written: a message, and the old file stands.
        MTestDialogScript script;
        QVERIFY(!dialog.saveTo(dir.filePath("missing/marble.png")));
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().kind, MUtility::MessageDialog);
        QVERIFY(script.requests().first().text.contains("missing/marble.png"));
    }

    void mainWindowCommand()
    {
        const std::unique_ptr<MMainWindow> window = MTestMainWindow::open(QSize(200, 150), QSize(900, 650));
        QVERIFY(window);
        QAction *action = window->findChild<QAction *>("actionTexture_generator");
        QVERIFY(action);
        QVERIFY(action->isEnabled());
        QVERIFY(!MMainWindow::pendingCommands().contains("actionTexture_generator"));
        QSize shownSize;
        bool done = false;
        MTestModalDriver::onNextDialog("DTextureGenerator", [&](QDialog *dialog) {
            shownSize = dialog->findChild<QLabel *>("textureLabel")->pixmap(Qt::ReturnByValue).size();
            dialog->accept();
        }, &done);
        action->trigger();
        QVERIFY(done);
        QCOMPARE(shownSize, QSize(256, 256));
    }
};

QTEST_MAIN(TestDTextureGenerator)
#include "tst_dtexturegenerator.moc"
