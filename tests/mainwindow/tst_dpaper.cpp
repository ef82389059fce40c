// The paper dialogs: the paper of the open document, the papers folder, and
// the conversion of standard paper sizes to pixels.

#include "dpaper.h"
#include "dpaperlist.h"
#include "dpapersize.h"
#include "mcanvas.h"
#include "menum.h"
#include "mfolders.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mutility.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>

#include <memory>

class TestPaper : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    std::unique_ptr<MTestFolder> folder;

    template <class T>
    static T *child(QWidget &dialog, const char *name)
    {
        return dialog.findChild<T *>(QLatin1String(name));
    }

    static QString image(const QString &path)
    {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::darkYellow);
        return picture.save(path, "PNG") ? path : QString();
    }

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
        MSettings::instance()->clear();
        QSettings().remove(QStringLiteral("PaperSize"));
        folder.reset(new MTestFolder);
        canvas = MTestCanvas::createDocument(QSize(1000, 500));
        QVERIFY(canvas);
    }

    void cleanup() { canvas.reset(); }

    void ratioLock_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QSize>("first");
        QTest::addColumn<QSize>("second");
        // Locked: 1000 x 500 edited to width 600, then height 100.
        QTest::newRow("locked") << true << QSize(600, 300) << QSize(200, 100);
        // Unlocked: the edit sets a new ratio of 600 / 500, which the later locked edit keeps.
        QTest::newRow("unlocked") << false << QSize(600, 500) << QSize(120, 100);
    }

    void ratioLock()
    {
        QFETCH(bool, locked);
        QFETCH(QSize, first);
        QFETCH(QSize, second);
        DPaper dialog(canvas->paper());
        auto *width = child<QSpinBox>(dialog, "widthSpinBox");
        auto *height = child<QSpinBox>(dialog, "heightSpinBox");
        QCOMPARE(QSize(width->value(), height->value()), QSize(1000, 500));
        child<QCheckBox>(dialog, "cbLock")->setChecked(locked);
        width->setValue(600);
        QCOMPARE(QSize(width->value(), height->value()), first);
        if (!locked)
            child<QCheckBox>(dialog, "cbLock")->setChecked(true);
        height->setValue(100);
        QCOMPARE(QSize(width->value(), height->value()), second);
    }

    // Ok applies the paper; the size only as one undo step, and only when it changed.
    void okAppliesThePaper_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("steps");
        QTest::newRow("size untouched") << 0 << 0;
        QTest::newRow("size edited") << 600 << 1;
    }

    void okAppliesThePaper()
    {
        QFETCH(int, width);
        QFETCH(int, steps);
        const QPointF centre = canvas->paintedRect().center();
        DPaper dialog(canvas->paper());
        // The window records the wanted size as the document's undo step.
        connect(&dialog, &DPaper::paintedRectWanted, canvas.get(), &MCanvas::updatePaintedRect);
        if (width)
            child<QSpinBox>(dialog, "widthSpinBox")->setValue(width);
        child<QCheckBox>(dialog, "cbAutoExtent")->setChecked(true);
        child<QSpinBox>(dialog, "sbExtent")->setValue(33);
        MTestDialogScript script;
        script.answerColor(QColor(200, 10, 10));
        child<QPushButton>(dialog, "btnEditColor")->click();
        child<QPushButton>(dialog, "btnOk")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(canvas->paperType(), int(MEnum::Colored));
        QCOMPARE(canvas->paperColor(), QColor(200, 10, 10));
        QVERIFY(canvas->autoExtent());
        QCOMPARE(canvas->paintMargin(), 33.0);
        QCOMPARE(canvas->undoStack()->count(), steps);
        QCOMPARE(canvas->paintedRect().size(), width ? QSizeF(600, 300) : QSizeF(1000, 500));
        QCOMPARE(canvas->paintedRect().center(), centre);
        if (steps) {
            canvas->undoStack()->undo();
            QCOMPARE(canvas->paintedRect().size(), QSizeF(1000, 500));
        }
    }

    void paperMustExist()
    {
        DPaper dialog(canvas->paper());
        auto *type = child<QComboBox>(dialog, "cbPaperType");
        type->setCurrentIndex(type->findData(int(MEnum::Paper)));
        child<QLineEdit>(dialog, "editPaperName")->setText(QStringLiteral("none.jpg"));
        MTestDialogScript script;
        child<QPushButton>(dialog, "btnOk")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(script.requests().first().text, QStringLiteral("Please choose a valid paper name."));
        QVERIFY(canvas->paperType() != int(MEnum::Paper));
    }

    // The first run fills the empty user papers folder from the system one.
    void listCopiesTheSystemPapers()
    {
        const QString user = MFolders::papersDirectory(MFolders::UserPath);
        const QString system = MFolders::papersDirectory(MFolders::SystemPath);
        QDir(user).removeRecursively();
        QDir().mkpath(user);
        const bool made = !QFile::exists(system + "paper-01.jpg");
        if (made)
            QVERIFY(!image(system + "paper-01.jpg").isEmpty());
        DPaperList list(QStringLiteral("paper-01.jpg"));
        QVERIFY(QFile::exists(user + "paper-01.jpg"));
        QTRY_COMPARE(child<QListView>(list, "listView")->currentIndex().data().toString(),
                     QStringLiteral("paper-01.jpg"));
        child<QPushButton>(list, "btnChoose")->click();
        QCOMPARE(list.result(), int(QDialog::Accepted));
        QCOMPARE(list.fileName(), QStringLiteral("paper-01.jpg"));
        if (made)
            QFile::remove(system + "paper-01.jpg");
    }

    // Adding copies a new file in, under its own name; a taken name copies nothing.
    void listAddsAndRemoves()
    {
        const QString user = MFolders::papersDirectory(MFolders::UserPath);
        QVERIFY(!image(user + "keep.png").isEmpty());
        const QString source = image(folder->filePath("Fine-Grain.png"));
        DPaperList list(QString{});
        {
            MTestDialogScript script;
            script.answerFile(source);
            child<QPushButton>(list, "btnAdd")->click();
            QVERIFY(QFile::exists(user + "Fine-Grain.png"));
            QCOMPARE(list.fileName(), QStringLiteral("Fine-Grain.png"));
            QCOMPARE(MSettings::instance()->lastFilesDir(), MUtility::fileDirectory(source));
        }
        {
            QFile::remove(source);
            QImage other(2, 2, QImage::Format_RGB32);
            other.fill(Qt::red);
            QVERIFY(other.save(source, "PNG"));
            const QByteArray before = [&] { QFile f(user + "Fine-Grain.png"); f.open(QIODevice::ReadOnly); return f.readAll(); }();
            MTestDialogScript script;
            script.answerFile(source);
            child<QPushButton>(list, "btnAdd")->click();
            QCOMPARE(script.requests().size(), 2);
            QCOMPARE(script.requests().last().title, QStringLiteral("Papers"));
            QFile f(user + "Fine-Grain.png");
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
        }
        {
            QTRY_COMPARE(child<QListView>(list, "listView")->currentIndex().data().toString(),
                         QStringLiteral("Fine-Grain.png"));
            MTestDialogScript script;
            script.answer(1);
            child<QPushButton>(list, "btnRemove")->click();
            QVERIFY(!QFile::exists(user + "Fine-Grain.png"));
            QVERIFY(QFile::exists(user + "keep.png"));
        }
    }

    void paperSize_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QString>("ppi");
        QTest::addColumn<QSizeF>("paper");
        QTest::addColumn<QSize>("pixels");

        QTest::newRow("A4 96 dpi inches") << 4 << 0 << 0 << "96" << QSizeF(8.27, 11.69) << QSize(793, 1122);
        QTest::newRow("A4 landscape 300 dpi mm") << 4 << 1 << 1 << "300" << QSizeF(297, 210) << QSize(3507, 2480);
        QTest::newRow("A6 72 dpi mm") << 6 << 1 << 0 << "72" << QSizeF(105, 148) << QSize(297, 419);
        // A typed resolution counts as typed.
        QTest::newRow("typed 200") << 4 << 0 << 0 << "200" << QSizeF(8.27, 11.69) << QSize(1654, 2338);
    }

    void paperSize()
    {
        QFETCH(int, type);
        QFETCH(int, unit);
        QFETCH(int, orientation);
        QFETCH(QString, ppi);
        QFETCH(QSizeF, paper);
        QFETCH(QSize, pixels);
        DPaperSize dialog;
        child<QComboBox>(dialog, "typeComboBox")->setCurrentIndex(type);
        child<QComboBox>(dialog, "unitComboBox")->setCurrentIndex(unit);
        child<QComboBox>(dialog, "orientationComboBox")->setCurrentIndex(orientation);
        child<QComboBox>(dialog, "ppiComboBox")->setEditText(ppi);
        QCOMPARE(child<QDoubleSpinBox>(dialog, "widthDoubleSpinBox")->value(), paper.width());
        QCOMPARE(child<QDoubleSpinBox>(dialog, "heightDoubleSpinBox")->value(), paper.height());
        QCOMPARE(QSize(dialog.pixelWidth(), dialog.pixelHeight()), pixels);
    }

    void defaultsAndEdits()
    {
        {
            DPaperSize dialog;
            QCOMPARE(QSize(dialog.pixelWidth(), dialog.pixelHeight()), QSize(793, 1122));
            child<QComboBox>(dialog, "ppiComboBox")->setCurrentIndex(3);
            child<QDoubleSpinBox>(dialog, "widthDoubleSpinBox")->setValue(10);
            QCOMPARE(QSize(dialog.pixelWidth(), dialog.pixelHeight()), QSize(1500, 1753));
            child<QComboBox>(dialog, "typeComboBox")->setCurrentIndex(3);
        }
        // The choices are kept for the next opening.
        DPaperSize again;
        QCOMPARE(child<QComboBox>(again, "typeComboBox")->currentIndex(), 3);
        QCOMPARE(child<QComboBox>(again, "ppiComboBox")->currentIndex(), 3);
    }

    // Text that is not a resolution cannot be typed in.
    void typedTextMustBeANumber()
    {
        DPaperSize dialog;
        QComboBox *ppi = child<QComboBox>(dialog, "ppiComboBox");
        ppi->lineEdit()->clear();
        QTest::keyClicks(ppi->lineEdit(), QStringLiteral("abc"));
        QVERIFY(ppi->currentText().isEmpty());
        QTest::keyClicks(ppi->lineEdit(), QStringLiteral("120"));
        QCOMPARE(dialog.pixelWidth(), int(8.27 * 120));
    }
};

QTEST_MAIN(TestPaper)
#include "tst_dpaper.moc"
