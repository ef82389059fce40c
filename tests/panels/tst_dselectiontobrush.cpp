#include "dselectiontobrush.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushstream.h"
#include "mcanvas.h"
#include "mtestbrushlibrary.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestglcontext.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <memory>

// A brush made from a 200 x 100 selection of a real document rendered on the
// GPU: a new brush file or the current brush's texture, the questions and
// refusals on the way, and the width / height lock.
namespace {
const QRect kSelection(-100, -50, 200, 100);
const QRgb kRed = qRgba(200, 0, 0, 255);

template <class T>
T *field(QDialog &dialog, const char *name)
{
    T *found = dialog.findChild<T *>(name);
    if (!found)
        qFatal("no field %s", name);
    return found;
}

QStringList texts(const MTestDialogScript &script)
{
    QStringList list;
    for (const MUtility::DialogRequest &request : script.requests())
        list.append(request.text);
    return list;
}
} // namespace

class TestDSelectionToBrush : public QObject
{
    Q_OBJECT

    std::unique_ptr<MCanvas> canvas;

    // The selection, painted red or left empty, on a document of one layer.
    void select(bool painted)
    {
        canvas->reset();
        if (painted) {
            QVERIFY(canvas->makeCurrent());
            MTestCanvas::paintRect(canvas->current(), kSelection, kRed);
        }
        QPainterPath path;
        path.addRect(kSelection);
        canvas->setClipPath(path);
        QCOMPARE(canvas->selectionPath().boundingRect(), QRectF(kSelection));
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = MTestCanvas::createDocument(QSize(400, 300));
        QVERIFY(canvas);
    }

    void cleanupTestCase() { canvas.reset(); }

    void sizeLock_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<int>("value");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("ratio");
        QTest::newRow("locked width") << true << "width" << 50 << QSize(50, 25) << "0.25";
        QTest::newRow("locked height") << true << "height" << 25 << QSize(50, 25) << "0.25";
        QTest::newRow("free width") << false << "width" << 50 << QSize(50, 100) << "0.25";
        QTest::newRow("free height") << false << "height" << 25 << QSize(200, 25) << "1.00";
    }

    void sizeLock()
    {
        QFETCH(bool, locked);
        QFETCH(QString, edited);
        QFETCH(int, value);
        QFETCH(QSize, size);
        QFETCH(QString, ratio);
        MTestBrushLibrary brushes({"u:tests/user b"});
        select(true);
        DSelectionToBrush dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        auto *width = field<QSpinBox>(dialog, "widthEdit");
        auto *height = field<QSpinBox>(dialog, "heightEdit");
        QCOMPARE(QSize(width->value(), height->value()), QSize(200, 100));
        QCOMPARE(field<QLabel>(dialog, "ratioLabel")->text(), QStringLiteral("Ratio from original selection: 1.00"));
        field<QCheckBox>(dialog, "lockEdit")->setChecked(locked);
        (edited == QLatin1String("width") ? width : height)->setValue(value);
        QCOMPARE(QSize(width->value(), height->value()), size);
        QCOMPARE(field<QLabel>(dialog, "ratioLabel")->text(), QStringLiteral("Ratio from original selection: ") + ratio);
        // Reset goes back to the selection, whatever was typed.
        field<QPushButton>(dialog, "resetSizeBtn")->click();
        QCOMPARE(QSize(width->value(), height->value()), QSize(200, 100));
    }

    void makeBrush_data()
    {
        QTest::addColumn<bool>("createNew");
        QTest::addColumn<bool>("painted");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("messages");
        const QString empty = "The selection seems to be empty. Do you want to continue (a brush with an empty texture "
                              "will be invisible)?";
        const QString added = "The brush tests/user b - copy is added.";
        QTest::newRow("new brush") << true << true << -1 << true << QStringList{added};
        QTest::newRow("current brush")
            << false << true << -1 << true
            << QStringList{"The texture of the current brush tests/user b has been modified. Save the brush to keep "
                           "these settings."};
        QTest::newRow("empty selection, cancelled") << true << false << int(QMessageBox::Cancel) << false
                                                    << QStringList{empty};
        QTest::newRow("empty selection, continued") << true << false << int(QMessageBox::Ok) << true
                                                    << QStringList{empty, added};
    }

    void makeBrush()
    {
        QFETCH(bool, createNew);
        QFETCH(bool, painted);
        QFETCH(int, answer);
        QFETCH(bool, accepted);
        QFETCH(QStringList, messages);
        MTestBrushLibrary brushes({"s:tests/system a", "u:tests/user b"});
        brushes.library()->setCurrentRow(1);
        const QStringList filesBefore = brushes.userFiles();
        select(painted);

        MTestDialogScript script;
        script.answer(answer);
        DSelectionToBrush dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        field<QRadioButton>(dialog, createNew ? "createNewBrushEdit" : "applyToCurrentBrushEdit")->setChecked(true);
        QCOMPARE(field<QComboBox>(dialog, "brushGroupEdit")->isEnabled(), createNew);
        QCOMPARE(field<QLineEdit>(dialog, "brushNameEdit")->text(), createNew ? "user b - copy" : "user b");
        field<QCheckBox>(dialog, "lockEdit")->setChecked(false);
        field<QSpinBox>(dialog, "widthEdit")->setValue(100);
        field<QComboBox>(dialog, "preserveTextureColorEdit")->setCurrentIndex(MEnum::MixedTextureColor);
        if (createNew && painted) {
            dialog.show();
            MTestScreenshot::keep(dialog.grab(), QStringLiteral("dselectiontobrush.png"));
        }
        field<QPushButton>(dialog, "okButton")->click();

        QCOMPARE(texts(script), messages);
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        const bool madeFile = accepted && createNew;
        QCOMPARE(brushes.userFiles().size(), filesBefore.size() + (madeFile ? 1 : 0));
        QCOMPARE(brushes.library()->rowCount(), madeFile ? 3 : 2);
        if (!accepted) {
            QVERIFY(brushes.library()->currentBrush()->texture().isNull());
            return;
        }

        // The texture, at the size asked for, read back from the file for a new brush.
        MBrush *brush = brushes.library()->currentBrush();
        MBrush read;
        if (createNew) {
            QCOMPARE(brush->description(), QStringLiteral("user b - copy"));
            QVERIFY(MBrushStream(&read).loadFromJsonFile(brush->userFilePath()));
            brush = &read;
            QCOMPARE(brushes.reloaded(), QStringList({"tests/system a", "tests/user b", "tests/user b - copy"}));
        }
        const QImage texture = brush->texture().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(texture.size(), QSize(100, 100));
        QCOMPARE(brush->preserveTextureColor(), int(MEnum::MixedTextureColor));
        const QRgb middle = texture.pixel(50, 50);
        if (painted)
            QVERIFY2(qRed(middle) > 150 && qGreen(middle) < 30 && qAlpha(middle) > 200, qPrintable(QString::number(middle, 16)));
        else
            QCOMPARE(qAlpha(middle), 0);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("message");
        const QString tooLarge = "A brush texture of %1 x %2 pixels is too large: the largest is %3 x %3 pixels.";
        QTest::newRow("no group") << " " << "x" << QSize(20, 20) << "Please, enter a group.";
        QTest::newRow("no name") << "g" << "  " << QSize(20, 20) << "Please, enter a description.";
        QTest::newRow("largest field width") << "g" << "x" << QSize(100000, 10) << tooLarge;
        QTest::newRow("largest field height") << "g" << "x" << QSize(10, 100000) << tooLarge;
        QTest::newRow("one beyond the limit") << "g" << "x" << QSize(-1, 10) << tooLarge;
    }

    void refusals()
    {
        QFETCH(QString, group);
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QString, message);
        MTestBrushLibrary brushes({"u:tests/user b"});
        select(true);
        MTestDialogScript script;
        DSelectionToBrush dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        const int limit = dialog.maximumTextureSize();
        // What the driver renders and a brush file holds.
        QVERIFY(limit > 0 && limit <= MBrushStream::maximumImageSize().width());
        if (size.width() < 0)
            size.setWidth(limit + 1);
        field<QRadioButton>(dialog, "createNewBrushEdit")->setChecked(true);
        field<QComboBox>(dialog, "brushGroupEdit")->setEditText(group);
        field<QLineEdit>(dialog, "brushNameEdit")->setText(name);
        field<QCheckBox>(dialog, "lockEdit")->setChecked(false);
        field<QSpinBox>(dialog, "widthEdit")->setValue(size.width());
        field<QSpinBox>(dialog, "heightEdit")->setValue(size.height());
        field<QPushButton>(dialog, "okButton")->click();

        QCOMPARE(texts(script), QStringList{message.arg(size.width()).arg(size.height()).arg(limit)});
        QCOMPARE(script.requests().first().icon, QMessageBox::Critical);
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(brushes.userFiles().size(), 1);
        QVERIFY(brushes.library()->currentBrush()->texture().isNull());
    }

    void settingsAreKept()
    {
        MTestBrushLibrary brushes({"u:tests/user b"});
        select(true);
        {
            DSelectionToBrush dialog(canvas->selection(), canvas->paper(), canvas->renderer());
            QVERIFY(field<QRadioButton>(dialog, "applyToCurrentBrushEdit")->isChecked());
            field<QRadioButton>(dialog, "createNewBrushEdit")->setChecked(true);
            field<QCheckBox>(dialog, "allLayersEdit")->setChecked(true);
            field<QCheckBox>(dialog, "exportPaperEdit")->setChecked(true);
            field<QComboBox>(dialog, "preserveTextureColorEdit")->setCurrentIndex(2);
            dialog.saveSettings();
        }
        DSelectionToBrush dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        QVERIFY(field<QRadioButton>(dialog, "createNewBrushEdit")->isChecked());
        QVERIFY(field<QLineEdit>(dialog, "brushNameEdit")->isEnabled());
        QVERIFY(field<QCheckBox>(dialog, "allLayersEdit")->isChecked());
        QVERIFY(field<QCheckBox>(dialog, "exportPaperEdit")->isChecked());
        QCOMPARE(field<QComboBox>(dialog, "preserveTextureColorEdit")->currentIndex(), 2);
    }
};

QTEST_MAIN(TestDSelectionToBrush)
#include "tst_dselectiontobrush.moc"
