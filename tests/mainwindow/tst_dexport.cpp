#include "dexport.h"
#include "mcanvas.h"
#include "menum.h"
#include "msettings.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestfolder.h"
#include "mtestglcontext.h"
#include "mtexturelayer.h"
#include "mutility.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainterPath>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>

#include <functional>
#include <memory>

using namespace MTestCanvas;

namespace {
// A 200 x 100 document: red over its left half on the first layer, blue over
// its right quarter on the second (current) layer, green paper.
constexpr int W = 200;
constexpr int H = 100;
const QRgb red = qRgba(220, 30, 30, 255);
const QRgb blue = qRgba(20, 40, 230, 255);
const QColor green(0, 160, 0);
constexpr QRgb none = 0;

struct Form
{
    QSpinBox *width;
    QSpinBox *height;
    QCheckBox *lock;
    QCheckBox *allLayers;
    QCheckBox *limitToSelection;
    QCheckBox *exportPaper;
    QPushButton *ok;
};

Form formOf(DExport &dialog)
{
    return {dialog.findChild<QSpinBox *>(QStringLiteral("widthSpinBox")),
            dialog.findChild<QSpinBox *>(QStringLiteral("heightSpinBox")),
            dialog.findChild<QCheckBox *>(QStringLiteral("cbLock")),
            dialog.findChild<QCheckBox *>(QStringLiteral("cbAllLayers")),
            dialog.findChild<QCheckBox *>(QStringLiteral("cbLimitToSelection")),
            dialog.findChild<QCheckBox *>(QStringLiteral("cbExportPaper")),
            dialog.findChild<QPushButton *>(QStringLiteral("okButton"))};
}

// Edits as the user makes them: "w500" and "h30" type a size, "lock" and
// "unlock" set the check box, "selection" and "painted" toggle the limit.
void edit(const Form &form, const QStringList &edits)
{
    for (const QString &step : edits) {
        if (step.startsWith(QLatin1Char('w')))
            form.width->setValue(step.midRef(1).toInt());
        else if (step.startsWith(QLatin1Char('h')))
            form.height->setValue(step.midRef(1).toInt());
        else if (step == QLatin1String("lock") || step == QLatin1String("unlock"))
            form.lock->setChecked(step == QLatin1String("lock"));
        else
            form.limitToSelection->setChecked(step == QLatin1String("selection"));
    }
}

// The expected picture of the source rectangle (in document pixels from the
// painted rectangle's corner, colour by position) fitted and centred in the
// output. Pixels whose neighbours expect another colour lie on an edge the
// filtering blends; they are not compared.
bool compareExport(const QImage &actual, const QSizeF &source, const std::function<QRgb(double, double)> &colour,
                   QString *message)
{
    const int w = actual.width();
    const int h = actual.height();
    const double scale = qMin(w / source.width(), h / source.height());
    const double ox = (w - source.width() * scale) / 2;
    const double oy = (h - source.height() * scale) / 2;
    auto expected = [&](int x, int y) -> QRgb {
        const double u = (x + 0.5 - ox) / scale;
        const double v = (y + 0.5 - oy) / scale;
        if (u < 0 || v < 0 || u >= source.width() || v >= source.height())
            return none;
        return colour(u, v);
    };
    const QImage image = actual.convertToFormat(QImage::Format_ARGB32);
    int compared = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb want = expected(x, y);
            bool edge = false;
            for (int dy = -1; dy <= 1 && !edge; ++dy)
                for (int dx = -1; dx <= 1 && !edge; ++dx)
                    edge = expected(x + dx, y + dy) != want;
            if (edge)
                continue;
            ++compared;
            const QRgb got = image.pixel(x, y);
            const bool same = qAlpha(want) == 0
                ? qAlpha(got) == 0
                : qAbs(qRed(got) - qRed(want)) <= 2 && qAbs(qGreen(got) - qGreen(want)) <= 2
                    && qAbs(qBlue(got) - qBlue(want)) <= 2 && qAbs(qAlpha(got) - qAlpha(want)) <= 2;
            if (!same) {
                *message = QStringLiteral("pixel (%1, %2) is #%3, expected #%4")
                               .arg(x)
                               .arg(y)
                               .arg(got, 8, 16, QLatin1Char('0'))
                               .arg(want, 8, 16, QLatin1Char('0'));
                return false;
            }
        }
    }
    if (compared < w * h / 2) {
        *message = QStringLiteral("only %1 of %2 pixels away from edges").arg(compared).arg(w * h);
        return false;
    }
    return true;
}
} // namespace

class TestDExport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MCanvas> canvas;
    QRectF painted;

    // The document's colour at (u, v) pixels from the painted rectangle's corner.
    static QRgb documentColour(double u, bool allLayers, bool paper)
    {
        if (u >= 150)
            return blue;
        if (allLayers && u < 100)
            return red;
        return paper ? green.rgba() : none;
    }

    bool runExport(DExport &dialog, const QString &path)
    {
        dialog.show();
        MTestDialogScript script;
        script.answerFile(path);
        QTest::mouseClick(formOf(dialog).ok, Qt::LeftButton);
        return dialog.result() == QDialog::Accepted && !dialog.isVisible() && script.requests().size() == 1;
    }

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase()
    {
        canvas = createDocument(QSize(W, H));
        QVERIFY(canvas);
        painted = canvas->paintedRect();
        QCOMPARE(painted.size(), QSizeF(W, H));
        canvas->makeCurrent();
        const QPoint corner = painted.topLeft().toPoint();
        paintRect(canvas->at(0), QRect(corner, QSize(100, H)), red);
        canvas->appendLayer();
        QCOMPARE(canvas->count(), 2);
        QCOMPARE(canvas->currentRow(), 1);
        paintRect(canvas->at(1), QRect(corner + QPoint(150, 0), QSize(50, H)), blue);
        canvas->setPaperType(MEnum::Colored);
        canvas->setPaperColor(green);
    }

    void init()
    {
        canvas->setPaintedRect(painted);
        canvas->resetClipPath();
    }

    void cleanupTestCase()
    {
        canvas.reset();
    }

    // The size fields after a series of edits, for a painted rectangle.
    void sizeFields_data()
    {
        QTest::addColumn<QSizeF>("document");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QSize>("fields");
        QTest::newRow("as built") << QSizeF(2000, 1000) << QStringList() << QSize(2000, 1000);
        QTest::newRow("fractional size is truncated") << QSizeF(640.9, 480.6) << QStringList() << QSize(640, 480);
        QTest::newRow("locked width") << QSizeF(2000, 1000) << QStringList{"w500"} << QSize(500, 250);
        QTest::newRow("locked height") << QSizeF(2000, 1000) << QStringList{"h250"} << QSize(500, 250);
        QTest::newRow("locked width rounds the height") << QSizeF(2000, 1000) << QStringList{"w333"} << QSize(333, 167);
        QTest::newRow("locked height of a tall document") << QSizeF(300, 900) << QStringList{"h100"} << QSize(33, 100);
        QTest::newRow("locked partner never below one pixel") << QSizeF(3000, 10) << QStringList{"w100"}
                                                              << QSize(100, 1);
        QTest::newRow("locked partner stays within the field") << QSizeF(1000, 10) << QStringList{"h2000"}
                                                               << QSize(100000, 2000);
        QTest::newRow("unlocked fields are free") << QSizeF(2000, 1000) << QStringList{"unlock", "w1000", "h1000"}
                                                  << QSize(1000, 1000);
        QTest::newRow("locking again keeps the new ratio")
            << QSizeF(2000, 1000) << QStringList{"unlock", "w1000", "h1000", "lock", "w300"} << QSize(300, 300);
        QTest::newRow("document without height") << QSizeF(400, 0) << QStringList{"w50"} << QSize(50, 50);
    }

    void sizeFields()
    {
        QFETCH(QSizeF, document);
        QFETCH(QStringList, edits);
        QFETCH(QSize, fields);
        canvas->setPaintedRect(QRectF(QPointF(-10, -10), document));
        DExport dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        const Form form = formOf(dialog);
        QVERIFY(form.width && form.height && form.lock && form.limitToSelection && form.ok);
        QVERIFY(form.lock->isChecked());
        QVERIFY(form.allLayers->isChecked());
        QVERIFY(form.exportPaper->isChecked());
        QVERIFY(!form.limitToSelection->isChecked());
        edit(form, edits);
        QCOMPARE(QSize(form.width->value(), form.height->value()), fields);
    }

    // The selection limit follows the selection's bounding box and comes back
    // to the painted rectangle.
    void limitToSelection()
    {
        {
            DExport dialog(canvas->selection(), canvas->paper(), canvas->renderer());
            QVERIFY(!formOf(dialog).limitToSelection->isEnabled());
        }
        QPainterPath path;
        path.addEllipse(QRectF(-50, -30, 120, 40));
        canvas->setClipPath(path);
        DExport dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        const Form form = formOf(dialog);
        QVERIFY(form.limitToSelection->isEnabled());
        edit(form, {"selection"});
        QCOMPARE(QSize(form.width->value(), form.height->value()), QSize(120, 40));
        edit(form, {"w60"});
        QCOMPARE(form.height->value(), 20);
        edit(form, {"painted"});
        QCOMPARE(QSize(form.width->value(), form.height->value()), QSize(W, H));
        edit(form, {"h50"});
        QCOMPARE(form.width->value(), 100);
    }

    // The exported file's pixels for each size and option.
    void exportImage_data()
    {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<bool>("paper");
        QTest::addColumn<bool>("allLayers");
        QTest::addColumn<QSize>("size");
        QTest::newRow("document size") << QStringList() << true << true << QSize(W, H);
        QTest::newRow("locked width") << QStringList{"w100"} << true << true << QSize(100, 50);
        QTest::newRow("locked height") << QStringList{"h30"} << true << true << QSize(60, 30);
        QTest::newRow("locked, enlarged") << QStringList{"w400"} << true << true << QSize(400, 200);
        QTest::newRow("unlocked square: bands above and below")
            << QStringList{"unlock", "w100", "h100"} << true << true << QSize(100, 100);
        QTest::newRow("unlocked wide: bands left and right")
            << QStringList{"unlock", "w300", "h50"} << true << true << QSize(300, 50);
        QTest::newRow("without paper") << QStringList{"w100"} << false << true << QSize(100, 50);
        QTest::newRow("unlocked without paper") << QStringList{"unlock", "h160"} << false << true << QSize(W, 160);
        QTest::newRow("current layer only") << QStringList{"w100"} << true << false << QSize(100, 50);
        QTest::newRow("current layer only, without paper") << QStringList() << false << false << QSize(W, H);
    }

    void exportImage()
    {
        QFETCH(QStringList, edits);
        QFETCH(bool, paper);
        QFETCH(bool, allLayers);
        QFETCH(QSize, size);
        const MTestFolder folder;
        const QString path = folder.filePath(QStringLiteral("export.png"));
        DExport dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        const Form form = formOf(dialog);
        edit(form, edits);
        form.exportPaper->setChecked(paper);
        form.allLayers->setChecked(allLayers);
        QVERIFY(runExport(dialog, path));
        const QImage image(path);
        QCOMPARE(image.size(), size);
        QString difference;
        QVERIFY2(compareExport(image, QSizeF(W, H),
                               [&](double u, double) { return documentColour(u, allLayers, paper); }, &difference),
                 qPrintable(difference));
        // The next dialog starts in the chosen folder.
        QCOMPARE(MSettings::instance()->lastFilesDir(), QFileInfo(path).absolutePath());
    }

    // Limited to a rectangular selection, the export holds the selected part.
    void exportSelection()
    {
        QPainterPath path;
        path.addRect(QRectF(painted.left() + 80, painted.top() + 20, 100, 40));
        canvas->setClipPath(path);
        const MTestFolder folder;
        const QString file = folder.filePath(QStringLiteral("selection.png"));
        DExport dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        edit(formOf(dialog), {"selection", "w50"});
        QVERIFY(runExport(dialog, file));
        const QImage image(file);
        QCOMPARE(image.size(), QSize(50, 20));
        QString difference;
        QVERIFY2(compareExport(image, QSizeF(100, 40),
                               [](double u, double) { return documentColour(u + 80, true, true); }, &difference),
                 qPrintable(difference));
    }

    // Sizes the driver cannot render or memory cannot hold are refused with a
    // message before a file is asked for, and the dialog stays open.
    void refusedSize_data()
    {
        QTest::addColumn<bool>("wide");
        QTest::newRow("too wide") << true;
        QTest::newRow("too high") << false;
    }

    void refusedSize()
    {
        QFETCH(bool, wide);
        const int limit = canvas->maximumRenderSize();
        QVERIFY(limit > 0);
        if (limit >= 100000)
            QSKIP("The driver renders every size the fields allow");
        DExport dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        dialog.show();
        const Form form = formOf(dialog);
        edit(form, {"unlock", wide ? QStringLiteral("w%1").arg(limit + 1) : QStringLiteral("h%1").arg(limit + 1)});
        MTestDialogScript script;
        QTest::mouseClick(form.ok, Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(script.requests().size(), 1);
        const MUtility::DialogRequest request = script.requests().first();
        QCOMPARE(int(request.kind), int(MUtility::MessageDialog));
        QCOMPARE(request.icon, QMessageBox::Critical);
        QCOMPARE(request.title, QStringLiteral("Export image"));
        QVERIFY2(request.text.contains(QString::number(limit)), qPrintable(request.text));
    }

    void sizeRefusal_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("maxRenderSize");
        QTest::addColumn<qint64>("memory");
        QTest::addColumn<QString>("refusal"); // a piece of the message, empty when accepted
        const qint64 mb = 1 << 20;
        QTest::newRow("within every limit") << QSize(1000, 1000) << 16384 << 100 * mb << QString();
        QTest::newRow("at the driver's limit") << QSize(16384, 10) << 16384 << 100 * mb << QString();
        QTest::newRow("one pixel too wide") << QSize(16385, 10) << 16384 << 100 * mb << QStringLiteral("at most 16384");
        QTest::newRow("one pixel too high") << QSize(10, 16385) << 16384 << 100 * mb << QStringLiteral("at most 16384");
        QTest::newRow("beyond a small driver") << QSize(4097, 4096) << 4096 << qint64(-1) << QStringLiteral("4097 x 4096");
        QTest::newRow("memory just enough") << QSize(1024, 1024) << 16384 << 16 * mb << QString();
        QTest::newRow("memory one byte short") << QSize(1024, 1024) << 16384 << 16 * mb - 1
                                               << QStringLiteral("needs about 16 MB");
        QTest::newRow("largest fields, no overflow") << QSize(100000, 100000) << 200000 << 1000 * mb
                                                     << QStringLiteral("needs about 152588 MB");
        QTest::newRow("no context to ask") << QSize(10, 10) << 0 << 100 * mb << QStringLiteral("cannot render the image");
        QTest::newRow("memory unknown") << QSize(16000, 16000) << 16384 << qint64(-1) << QString();
    }

    void sizeRefusal()
    {
        QFETCH(QSize, size);
        QFETCH(int, maxRenderSize);
        QFETCH(qint64, memory);
        QFETCH(QString, refusal);
        const QString text = DExport::sizeRefusal(size.width(), size.height(), maxRenderSize, memory);
        if (refusal.isEmpty())
            QVERIFY2(text.isEmpty(), qPrintable(text));
        else
            QVERIFY2(text.contains(refusal), qPrintable(text));
    }

    // A file that cannot be written is reported, the dialog stays open and a
    // file already there keeps its content.
    void writeFailure_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("existing");
        QTest::newRow("missing folder") << QStringLiteral("no such folder/out.png") << false;
        QTest::newRow("unknown format over an existing file") << QStringLiteral("keep.unknownformat") << true;
        QTest::newRow("no suffix") << QStringLiteral("plain") << false;
    }

    void writeFailure()
    {
        QFETCH(QString, name);
        QFETCH(bool, existing);
        const MTestFolder folder;
        const QByteArray before("the painter's own file");
        const QString path = existing ? folder.writeFile(name, before) : folder.filePath(name);
        DExport dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        dialog.show();
        MTestDialogScript script;
        script.answerFile(path);
        QTest::mouseClick(formOf(dialog).ok, Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(script.requests().size(), 2);
        QCOMPARE(int(script.requests().at(0).kind), int(MUtility::FileDialog));
        QCOMPARE(script.requests().at(0).title, QStringLiteral("Export image"));
        const MUtility::DialogRequest message = script.requests().at(1);
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.text, QStringLiteral("Cannot export the image to %1.").arg(path));
        QVERIFY(!message.informativeText.isEmpty());
        if (existing)
            QCOMPARE(folder.readFile(name), before);
        else
            QVERIFY(!QFileInfo::exists(path));
        // Nothing half-written is left beside it.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), existing ? 1 : 0);
    }

    // No file chosen: nothing is written and the dialog waits.
    void noFileChosen()
    {
        DExport dialog(canvas->selection(), canvas->paper(), canvas->renderer());
        dialog.show();
        const QString before = MSettings::instance()->lastFilesDir();
        MTestDialogScript script;
        QTest::mouseClick(formOf(dialog).ok, Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(script.requests().size(), 1);
        QCOMPARE(int(script.requests().first().kind), int(MUtility::FileDialog));
        QCOMPARE(MSettings::instance()->lastFilesDir(), before);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cancelButton")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestDExport)
#include "tst_dexport.moc"
