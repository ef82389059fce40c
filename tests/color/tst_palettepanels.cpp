#include "mcolorlist.h"
#include "mcolorpalettewidget.h"
#include "mcolorswatchpanel.h"
#include "mcolorswatchwidget.h"
#include "mfolders.h"
#include "mpalettelist.h"
#include "msettings.h"
#include "mswatchlistpanel.h"
#include "mswatchlistwidget.h"
#include "mtestdialogscript.h"
#include "mutility.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {
QString folder()
{
    return MFolders::swatchesDirectory(MFolders::UserPath);
}

QStringList filesOnDisk()
{
    return QDir(folder()).entryList(QDir::Files, QDir::Name);
}

// A user palette of n distinct colours, appended to the library and shown.
MPalette *userPalette(const QString &name, int n)
{
    MPaletteList *list = MPaletteList::instance();
    MPalette *palette = list->appendNew();
    palette->setName(name);
    for (int i = 0; i < n; ++i)
        palette->appendColor(QColor(i * 5, 255 - i * 5, 7));
    return palette;
}

QByteArray fileOf(const MPalette *palette)
{
    QFile file(palette->filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void wheel(QWidget *widget, int delta)
{
    QWheelEvent event(QPointF(5, 5), widget->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}
} // namespace

class TestPalettePanels : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        MPaletteList::destroyInstance();
        QDir dir(folder());
        for (const QString &name : dir.entryList(QDir::Files))
            dir.remove(name);
        MSettings::instance()->set_swatchSize(16);
        MSettings::instance()->set_paletteIndex(0);
    }

    void stripGeometryAndScrolling()
    {
        MSwatchListWidget strip;
        strip.resize(100 + strip.scrollBar()->sizeHint().width(), 40);
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        MSwatchListPanel *panel = strip.panel();
        panel->setFixedSize(100, 40);
        MPalette *palette = userPalette(QStringLiteral("Twenty"), 20);
        strip.setPaletteIndex(MPaletteList::instance()->indexOf(palette));
        QCoreApplication::processEvents();
        QCOMPARE(panel->columns(), 6);
        QCOMPARE(panel->maximumOffset(), 24);
        QVERIFY(strip.scrollBar()->isVisible());
        QCOMPARE(strip.scrollBar()->maximum(), 24);
        // Right of the last full column counts as the next row's first.
        QCOMPARE(panel->indexAt(QPoint(97, 1)), 6);
        QCOMPARE(panel->indexAt(QPoint(17, 17)), 7);
        QCOMPARE(panel->indexAt(QPoint(40, 60)), -1);

        wheel(panel, -120);
        QCOMPARE(panel->offset(), 16);
        QCOMPARE(strip.scrollBar()->value(), 16);
        wheel(panel, -120);
        QCOMPARE(panel->offset(), 24);
        QCOMPARE(panel->indexAt(QPoint(1, 1)), 6);
        wheel(panel, 120);
        wheel(panel, 120);
        QCOMPARE(panel->offset(), 0);
        strip.scrollBar()->setValue(10);
        QCOMPARE(panel->offset(), 10);

        // A new swatch size regrids at once and goes back to the top.
        MSettings::instance()->set_swatchSize(20);
        QCOMPARE(panel->columns(), 5);
        QCOMPARE(panel->offset(), 0);
    }

    void stripDragMovesAColour_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<int>("moved");
        QTest::addColumn<int>("to");
        QTest::newRow("swatch 3 onto 7") << QPoint(3 * 16 + 5, 5) << QPoint(16 + 5, 16 + 5) << 3 << 7;
        QTest::newRow("onto itself") << QPoint(3 * 16 + 5, 5) << QPoint(3 * 16 + 8, 8) << -1 << -1;
        QTest::newRow("onto empty space") << QPoint(3 * 16 + 5, 5) << QPoint(60, 150) << -1 << -1;
        QTest::newRow("press on empty space") << QPoint(60, 150) << QPoint(16 + 5, 16 + 5) << -1 << -1;
    }

    void stripDragMovesAColour()
    {
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        QFETCH(int, moved);
        QFETCH(int, to);
        MSwatchListWidget strip;
        MSwatchListPanel *panel = strip.panel();
        panel->setFixedSize(96, 200);
        MPalette *palette = userPalette(QStringLiteral("Drag"), 10);
        QVERIFY(palette->save());
        const QByteArray before = fileOf(palette);
        QList<QColor> colors;
        for (int i = 0; i < palette->count(); ++i)
            colors.append(palette->colorAt(i));
        strip.setPaletteIndex(MPaletteList::instance()->indexOf(palette));
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));

        // An earlier click selected swatch 1: a later press beside the
        // swatches must not drag it.
        QList<Qt::KeyboardModifiers> clicked;
        connect(panel, &MSwatchListPanel::colorChanged, this,
                [&clicked](const QColor &, Qt::KeyboardModifiers modifiers) { clicked.append(modifiers); });
        QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint(16 + 5, 5));
        QCOMPARE(panel->selectedIndex(), 1);
        QMouseEvent down(QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(panel, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, release, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(panel, &up);
        if (moved >= 0) {
            colors.move(moved, to);
            QCOMPARE(panel->selectedIndex(), moved);
            QCOMPARE(clicked.last(), Qt::KeyboardModifiers(Qt::ShiftModifier));
        }
        for (int i = 0; i < colors.size(); ++i)
            QCOMPARE(palette->colorAt(i), colors.at(i));
        QCOMPARE(fileOf(palette) == before, moved < 0);
        if (moved >= 0) {
            MPalette back;
            QVERIFY(back.readPaletteFile(palette->filePath()));
            QCOMPARE(back.colorAt(to), colors.at(to));
        }
    }

    void stripWithoutPaletteIsWhite()
    {
        MSwatchListWidget strip;
        strip.resize(80, 80);
        QSignalSpy clicked(strip.panel(), &MSwatchListPanel::colorChanged);
        strip.setPaletteIndex(99);
        QCOMPARE(strip.panel()->paletteIndex(), -1);
        QTest::mouseClick(strip.panel(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(clicked.count(), 0);
        const QImage image = strip.panel()->grab().toImage();
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::white));
    }

    void swatchGrid_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<int>("hit");
        QTest::newRow("40 wide") << 40 << 2 << QPoint(20, 20) << 3;
        QTest::newRow("20 wide") << 20 << 1 << QPoint(5, 20) << 1;
        QTest::newRow("right of last column") << 40 << 2 << QPoint(35, 5) << -1;
        QTest::newRow("narrower than a swatch") << 12 << 0 << QPoint(5, 5) << -1;
    }

    void swatchGrid()
    {
        QFETCH(int, width);
        QFETCH(int, columns);
        QFETCH(QPoint, click);
        QFETCH(int, hit);
        MPalette *palette = userPalette(QStringLiteral("Grid"), 6);
        MColorSwatchPanel panel;
        panel.resize(width, 200);
        panel.grab();
        QCOMPARE(panel.columns(), columns);
        QSignalSpy clicked(&panel, &MColorSwatchPanel::colorChanged);
        QTest::mouseClick(&panel, Qt::LeftButton, Qt::NoModifier, click);
        QCOMPARE(clicked.count(), hit < 0 ? 0 : 1);
        if (hit >= 0) {
            QCOMPARE(clicked.first().at(0).value<QColor>(), palette->colorAt(hit));
            QCOMPARE(MColorList::instance()->currentColor(), palette->colorAt(hit));
        }
        if (columns == 0)
            QCOMPARE(panel.grab().toImage().pixelColor(5, 5), QColor(Qt::white));
    }

    void swatchGridScrollsWithItsBar()
    {
        userPalette(QStringLiteral("Tall"), 40); // 20 rows of two
        MColorSwatchWidget widget;
        widget.resize(40 + widget.scrollBar()->sizeHint().width(), 100);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        MColorSwatchPanel *panel = widget.panel();
        const int columns = panel->width() / 16;
        const int largest = (40 + columns - 1) / columns * 16 - panel->height();
        QVERIFY(largest > 60);
        QCOMPARE(panel->maximumFirstY(), largest);
        QCOMPARE(widget.scrollBar()->maximum(), largest);
        QTest::keyClick(panel, Qt::Key_PageDown);
        QCOMPARE(panel->firstY(), 50);
        QCOMPARE(widget.scrollBar()->value(), 50);
        for (int i = 0; i < 10; ++i)
            wheel(panel, -120);
        QCOMPARE(panel->firstY(), largest);
        widget.scrollBar()->setValue(16);
        QCOMPARE(panel->firstY(), 16);
        QTest::keyClick(panel, Qt::Key_Up);
        QTest::keyClick(panel, Qt::Key_Up);
        QCOMPARE(panel->firstY(), 0);
    }

    void paletteFilesOnDisk()
    {
        MTestDialogScript script;
        MColorPaletteWidget panel;
        auto *combo = panel.findChild<QComboBox *>(QStringLiteral("comboBox"));
        QCOMPARE(combo->count(), 3);
        QVERIFY(!panel.findChild<QToolButton *>(QStringLiteral("tbDelete"))->isVisibleTo(&panel));

        // Blank, a path, then a built-in name, which is free on disk.
        script.answerText(QStringLiteral("   ")).answer(QMessageBox::Ok).answerText(QStringLiteral("../x")).answer(
            QMessageBox::Ok).answerText(QStringLiteral(" Default palette "));
        panel.newPalette();
        QCOMPARE(script.requests().at(1).text, QStringLiteral("The name cannot be empty. Please enter a name."));
        QCOMPARE(script.requests().at(3).kind, MUtility::MessageDialog);
        QCOMPARE(filesOnDisk(), QStringList{"Default palette.kxp"});
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->currentIndex(), 3);
        QCOMPARE(MSettings::instance()->paletteIndex(), 3);
        QVERIFY(panel.findChild<QToolButton *>(QStringLiteral("tbDelete"))->isVisibleTo(&panel));

        // "Add color" moves a colour already there to the front.
        MColorList::instance()->setColor(QColor(1, 2, 3), Qt::NoModifier);
        panel.findChild<QToolButton *>(QStringLiteral("tbPrependColor"))->click();
        panel.appendColor(Qt::red);
        panel.findChild<QToolButton *>(QStringLiteral("tbPrependColor"))->click();
        MPalette *made = MPaletteList::instance()->current();
        QCOMPARE(made->count(), 2);
        QCOMPARE(made->colorAt(0), QColor(1, 2, 3));
        MPalette back;
        QVERIFY(back.readPaletteFile(made->filePath()));
        QCOMPARE(back.count(), 2);

        // A duplicate under a taken name is refused, then made once.
        const QString copyName = QStringLiteral("Default palette - Copy");
        script.answerText(QStringLiteral("Default palette")).answer(QMessageBox::Ok).answerText(copyName);
        const int asked = script.requests().size();
        panel.duplicatePalette();
        QCOMPARE(script.requests().at(asked).input, copyName);
        QCOMPARE(script.requests().at(asked + 1).text,
                 QStringLiteral("A palette with this name already exists. Please choose another name."));
        QCOMPARE(combo->count(), 5);
        QCOMPARE(combo->currentText(), copyName);
        QCOMPARE(filesOnDisk(), (QStringList{"Default palette - Copy.kxp", "Default palette.kxp"}));
        QVERIFY(back.readPaletteFile(MPaletteList::instance()->current()->filePath()));
        QCOMPARE(back.count(), 2);

        // Rename onto a taken file is refused; a free name moves the file.
        script.answerText(QStringLiteral("Default palette")).answer(QMessageBox::Ok).answerText(QStringLiteral("Sea"));
        panel.renamePalette();
        QCOMPARE(filesOnDisk(), (QStringList{"Default palette.kxp", "Sea.kxp"}));
        QCOMPARE(combo->currentText(), QStringLiteral("Sea"));

        // Delete removes only the shown palette's own file.
        combo->setCurrentIndex(3);
        script.answer(1);
        panel.deletePalette();
        QCOMPARE(filesOnDisk(), QStringList{"Sea.kxp"});
        QCOMPARE(combo->count(), 4);
        QCOMPARE(MPaletteList::instance()->count(), 4);
        QCOMPARE(MSettings::instance()->paletteIndex(), 0);

        // System palettes are neither deleted nor renamed.
        combo->setCurrentIndex(1);
        script.answer(QMessageBox::Ok);
        panel.deletePalette();
        QCOMPARE(script.requests().last().text, QStringLiteral("You can't delete system palettes."));
        QCOMPARE(MPaletteList::instance()->count(), 4);
    }

    void removeColourAndLabel()
    {
        MPalette *palette = userPalette(QStringLiteral("Few"), 3);
        palette->save();
        MSettings::instance()->set_paletteIndex(MPaletteList::instance()->indexOf(palette));
        MColorPaletteWidget panel;
        panel.resize(200, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        panel.deleteColor(); // nothing selected
        QCOMPARE(palette->count(), 3);
        MSwatchListPanel *strip = panel.swatches()->panel();
        QMouseEvent hover(QEvent::MouseMove, QPoint(16 + 4, 4), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(strip, &hover);
        QCOMPARE(panel.findChild<QLabel *>(QStringLiteral("colorLabel"))->text(), palette->nameAt(1));
        QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(16 + 4, 4));
        QCOMPARE(MColorList::instance()->currentColor(), palette->colorAt(1));
        const QColor removed = palette->colorAt(1);
        panel.deleteColor();
        QCOMPARE(palette->count(), 2);
        QCOMPARE(palette->indexOf(removed), -1);
        MPalette back;
        QVERIFY(back.readPaletteFile(palette->filePath()));
        QCOMPARE(back.count(), 2);
    }
};

QTEST_MAIN(TestPalettePanels)
#include "tst_palettepanels.moc"
