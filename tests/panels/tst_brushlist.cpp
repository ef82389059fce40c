#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistdelegate.h"
#include "mbrushlistwidget.h"
#include "mbrushstream.h"
#include "mbrushwidget.h"
#include "mlistpanel.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "msettings.h"
#include "mtestbrushlibrary.h"
#include "mtestfolder.h"
#include "mtestscreenshot.h"
#include "mtestglcontext.h"
#include "mutility.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QUuid>

namespace {
QImage solidImage(const QSize &size, const QColor &color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// A badge as it shows over a preview of one colour.
QImage badgeOver(const QString &icon, const QColor &background)
{
    QImage image = solidImage(QSize(16, 16), background);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, QPixmap(icon));
    return image;
}

// A brush engine of the system library.
QString brushEngineId()
{
    MShaderList *library = MShaderList::instance();
    for (int row = 0; row < library->count(); ++row)
        if (library->shaderAt(row)->type() == 1)
            return library->shaderAt(row)->id();
    return QString();
}

const QColor previewColor(200, 60, 60);
const QString eraserIcon = QStringLiteral(":/icons/tools/eraser-tool.ico");
const QString engineIcon = QStringLiteral(":/icons/show-fx.ico");
const QString textureIcon = QStringLiteral(":/icons/texture.ico");
} // namespace

// The brush list: brush rows with previews, badges and captions, the search
// that steps through matches and goes round, the context menu, and the dock
// panel around it.
class TestBrushList : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private slots:
    void initTestCase() { qRegisterMetaType<QAction *>(); }
    void cleanup() { MBrushList::destroyInstance(); }

    void badges_data()
    {
        QTest::addColumn<bool>("eraser");
        QTest::addColumn<bool>("engine");
        QTest::addColumn<bool>("texture");
        QTest::addColumn<QStringList>("icons");

        QTest::newRow("plain brush") << false << false << false << QStringList{};
        QTest::newRow("eraser") << true << false << false << QStringList{eraserIcon};
        QTest::newRow("brush engine") << false << true << false << QStringList{engineIcon};
        QTest::newRow("texture") << false << false << true << QStringList{textureIcon};
        QTest::newRow("eraser and texture") << true << false << true << QStringList{eraserIcon, textureIcon};
        QTest::newRow("all three") << true << true << true << QStringList{eraserIcon, engineIcon, textureIcon};
    }

    void badges()
    {
        QFETCH(bool, eraser);
        QFETCH(bool, engine);
        QFETCH(bool, texture);
        QFETCH(QStringList, icons);

        MBrush brush;
        brush.setPreview(solidImage(QSize(150, 60), previewColor));
        brush.setEraser(eraser);
        if (engine) {
            brush.set_shaderId(brushEngineId());
            QVERIFY(!brush.shaderId().isEmpty());
        }
        if (texture)
            brush.setTexture(solidImage(QSize(8, 8), Qt::black));

        // A row lower down the panel: everything is placed from its corner.
        const QRectF row(0, 100, 300, 63);
        QImage image = solidImage(QSize(300, 200), Qt::green);
        {
            QPainter painter(&image);
            MBrushListDelegate().paint(&painter, &brush, row, false);
        }
        for (int n = 0; n < 3; ++n) {
            const QImage block = image.copy(5 + 18 * n, 105, 16, 16);
            const QImage expected = n < icons.size() ? badgeOver(icons.at(n), previewColor)
                                                     : solidImage(QSize(16, 16), previewColor);
            QVERIFY2(block == expected, qPrintable(QStringLiteral("badge %1").arg(n)));
        }
        // Every badge icon is a real picture.
        for (const QString &icon : qAsConst(icons))
            QCOMPARE(QPixmap(icon).size(), QSize(16, 16));
    }

    void rowBackgroundAndCaption_data()
    {
        QTest::addColumn<bool>("current");
        QTest::addColumn<bool>("isBrush");
        QTest::addColumn<QColor>("background");

        QTest::newRow("brush") << false << true << QColor(Qt::white);
        QTest::newRow("current brush") << true << true << QColor(0xaa, 0xcc, 0xee);
        QTest::newRow("another object") << false << false << QColor(Qt::white);
        QTest::newRow("another object, current") << true << false << QColor(0xaa, 0xcc, 0xee);
    }

    void rowBackgroundAndCaption()
    {
        QFETCH(bool, current);
        QFETCH(bool, isBrush);
        QFETCH(QColor, background);

        MSettings::instance()->set_tableSelectionColor(QColor(0xaa, 0xcc, 0xee));
        MBrush brush;
        brush.setPreview(solidImage(QSize(150, 60), previewColor));
        brush.setGroup(QStringLiteral("inks"));
        brush.setDescription(QStringLiteral("fine liner"));
        QObject other;
        QImage image = solidImage(QSize(320, 70), Qt::green);
        {
            QPainter painter(&image);
            MBrushListDelegate().paint(&painter, isBrush ? static_cast<QObject *>(&brush) : &other,
                                       QRectF(0, 0, 300, 63), current);
        }
        QCOMPARE(image.pixelColor(200, 10), background);
        QCOMPARE(image.pixelColor(200, 0), QColor(Qt::darkGray));
        QCOMPARE(image.pixelColor(310, 30), QColor(Qt::green));
        QCOMPARE(image.pixelColor(100, 30), isBrush ? previewColor : background);

        // The caption ends 5 pixels left of the row's right edge, with its
        // text's bottom 5 pixels above the row's bottom.
        int darkLeft = 300;
        int darkRight = -1;
        int darkBottom = -1;
        for (int y = 0; y < 63; ++y)
            for (int x = 150; x < 300; ++x)
                if (qGray(image.pixel(x, y)) < 100) {
                    darkLeft = qMin(darkLeft, x);
                    darkRight = qMax(darkRight, x);
                    darkBottom = qMax(darkBottom, y);
                }
        if (!isBrush) {
            QCOMPARE(darkRight, -1);
            return;
        }
        QVERIFY2(darkRight >= 288 && darkRight < 295, qPrintable(QString::number(darkRight)));
        QVERIFY2(darkBottom >= 48 && darkBottom < 58, qPrintable(QString::number(darkBottom)));
        // "fine liner [inks]" in 9-pixel letters is far wider than 40 pixels.
        QVERIFY2(darkLeft < darkRight - 40, qPrintable(QString::number(darkLeft)));
    }

    void previewsDrawnOnFirstUse()
    {
        MTestBrushLibrary brushes({"u:pencils/soft", "u:pencils/hard"}, false);
        MBrushListWidget list;
        list.resize(200, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage image = list.panel()->grab().toImage();
        MTestScreenshot::keep(image, QStringLiteral("brush-list-drawn-previews.png"));

        // The stroke of each row's preview is drawn in grey on the row.
        for (int row = 0; row < 2; ++row) {
            int stroke = 0;
            for (int y = row * 63; y < row * 63 + 60; ++y)
                for (int x = 0; x < 150; ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    if (pixel.red() < 200 && qAbs(pixel.red() - pixel.blue()) < 8)
                        ++stroke;
                }
            QVERIFY2(stroke > 100, qPrintable(QStringLiteral("row %1: %2 stroke pixels").arg(row).arg(stroke)));
        }
        QVERIFY(!MBrushList::instance()->brush(0)->preview().isNull());
    }

    void listOfTheLibrary()
    {
        MTestBrushLibrary brushes({"u:a/one", "u:a/two", "u:a/three"});
        MBrushList *library = brushes.library();
        MBrushListWidget list;
        QCOMPARE(list.sourceModel(), library);
        QCOMPARE(list.itemHeight(), 60.0);
        QCOMPARE(list.rowPitch(), 63.0);
        QVERIFY(qobject_cast<MBrushListDelegate *>(list.delegate()));
        QCOMPARE(list.rowCount(), 3);
    }

    void contextMenu()
    {
        MTestBrushLibrary brushes({"u:a/one"});
        MBrushListWidget list;
        auto texts = [&] {
            QStringList result;
            for (QAction *action : list.contextMenuActions())
                result << action->text();
            return result;
        };
        QCOMPARE(texts(), (QStringList{"Edit settings", "Reset settings"}));

        QAction duplicate(QStringLiteral("Duplicate brush"));
        QAction texture(QStringLiteral("Load brush texture"));
        QSignalSpy textureChanges(&list, &MBrushListWidget::loadBrushTextureActionChanged);
        list.set_loadBrushTextureAction(&texture);
        list.set_loadBrushTextureAction(&texture);
        QCOMPARE(texts(), (QStringList{"Edit settings", "Reset settings", "Load brush texture"}));
        list.set_duplicateBrushAction(&duplicate);
        QCOMPARE(texts(), (QStringList{"Edit settings", "Reset settings", "Duplicate brush", "Load brush texture"}));
        QCOMPARE(textureChanges.count(), 1);
    }

    void resetSettings()
    {
        MTestBrushLibrary brushes({"u:a/one", "u:a/two"});
        MBrushList *library = brushes.library();
        library->setCurrentRow(1);
        MBrush *brush = library->brush(1);
        brush->setRadius(77);
        MBrushListWidget list;
        list.resetSettingsAction()->trigger();
        QCOMPARE(brush->radius(), 4.0);

        // Without a current brush there is nothing to reset or edit.
        library->setCurrentRow(-1);
        library->brush(0)->setRadius(55);
        list.resetSettings();
        list.editSettings();
        QCOMPARE(library->brush(0)->radius(), 55.0);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("returns");
        QTest::addColumn<QList<int>>("rows");

        // Rows: basic/pencil, basic/ink pen, paint/oil, paint/pencil wash, dry/chalk.
        QTest::newRow("empty text, each Return the next row, round after the last")
            << "" << 3 << 6 << QList<int>{0, 1, 2, 3, 4, 0, 1};
        QTest::newRow("name, round after the last match") << "pencil" << 2 << 3 << QList<int>{0, 3, 0, 3};
        QTest::newRow("group, any case") << "PAINT" << 0 << 2 << QList<int>{2, 3, 2};
        QTest::newRow("group followed by name") << "basicink" << 0 << 1 << QList<int>{1, 1};
        QTest::newRow("trimmed") << "  oil  " << 0 << 1 << QList<int>{2, 2};
        QTest::newRow("wildcard") << "p*sh" << 0 << 1 << QList<int>{3, 3};
        QTest::newRow("no match keeps the row") << "crayon" << 4 << 1 << QList<int>{4, 4};
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(int, current);
        QFETCH(int, returns);
        QFETCH(QList<int>, rows);

        MTestBrushLibrary brushes({"u:basic/pencil", "u:basic/ink pen", "u:paint/oil", "u:paint/pencil wash", "u:dry/chalk"});
        MBrushList *library = brushes.library();
        library->setCurrentRow(current);
        MBrushWidget panel;
        QLineEdit *edit = panel.findChild<QLineEdit *>(QStringLiteral("filterEdit"));

        // Typing searches from the first row (also for an empty text).
        edit->setText(QStringLiteral("x"));
        library->setCurrentRow(current);
        edit->setText(text);
        if (text.isEmpty())
            panel.findFirst();
        QList<int> found{library->currentRow()};
        for (int i = 0; i < returns; ++i) {
            QTest::keyClick(edit, Qt::Key_Return);
            found << library->currentRow();
        }
        QCOMPARE(found, rows);
    }

    void searchInAnEmptyLibrary()
    {
        MTestBrushLibrary brushes({"u:a/one"});
        MBrushList *library = brushes.library();
        library->clear();
        MBrushWidget panel;
        panel.findFirst();
        panel.findNext();
        QCOMPARE(library->currentRow(), -1);
    }

    void dockPanel()
    {
        MTestBrushLibrary brushes({"u:a/one", "u:a/two"});
        MBrushWidget panel;
        QCOMPARE(panel.objectName(), QStringLiteral("MBrushWidget"));
        QCOMPARE(panel.windowTitle(), QStringLiteral("Brush list"));
        QCOMPARE(panel.focusPolicy(), Qt::StrongFocus);
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("Search"));
        auto *sort = panel.findChild<QToolButton *>(QStringLiteral("btnSort"));
        QVERIFY(!sort->icon().isNull());
        QCOMPARE(panel.brushListWidget()->objectName(), QStringLiteral("brushListWidget"));

        QSignalSpy sorts(&panel, &MBrushWidget::sortList);
        QTest::mouseClick(sort, Qt::LeftButton);
        QCOMPARE(sorts.count(), 1);

        QSignalSpy doubleClicks(&panel, &MBrushWidget::doubleClick);
        QSignalSpy valueChanges(&panel, &MBrushWidget::brushValuesChanged);
        emit panel.brushListWidget()->doubleClick();
        emit panel.brushListWidget()->brushValuesChanged();
        QCOMPARE(doubleClicks.count(), 1);
        QCOMPARE(valueChanges.count(), 1);
    }
};

QTEST_MAIN(TestBrushList)
#include "tst_brushlist.moc"
