#include "dcolorpicker.h"
#include "mcoloredit.h"
#include "mcolorlist.h"
#include "mcolorpickerbutton.h"
#include "mcolorpickertool.h"
#include "msettings.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

// Picks from the real screen of the X server: a window of a known colour is
// put up and read back through the screen grab.
namespace {
const QColor kTarget(37, 150, 201);

void send(QWidget *w, QEvent::Type type, const QPoint &global, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(w->mapFromGlobal(global)), QPointF(global), button, buttons, modifiers);
    QApplication::sendEvent(w, &e);
}
} // namespace

class TestDColorPicker : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> target;

    QPoint targetCentre() const { return target->geometry().center(); }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<Qt::KeyboardModifiers>();
        MSettings::instance()->clear();
        target.reset(new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint));
        target->setAutoFillBackground(true);
        QPalette palette = target->palette();
        palette.setColor(QPalette::Window, kTarget);
        target->setPalette(palette);
        target->setGeometry(300, 300, 200, 200);
        target->show();
        QVERIFY(QTest::qWaitForWindowExposed(target.get()));
        QTRY_COMPARE(DColorPicker::colorAt(targetCentre()), kTarget);
    }

    void cleanupTestCase()
    {
        MColorPickerTool::destroyInstance();
        target.reset();
    }

    void init()
    {
        // The program's picker talks to the colour list it found when made.
        MColorPickerTool::destroyInstance();
        MColorList::destroyInstance();
        QCursor::setPos(100, 100);
    }

    void grabReadsTheScreen()
    {
        QCOMPARE(DColorPicker::colorAt(targetCentre()), kTarget);
        QCOMPARE(DColorPicker::colorAt(target->geometry().topLeft() + QPoint(2, 2)), kTarget);
        QVERIFY(DColorPicker::colorAt(target->geometry().topLeft() - QPoint(5, 5)) != kTarget);
        QCOMPARE(DColorPicker::colorAt(targetCentre()).alpha(), 255);
    }

    // The program's picker: the colour under the release becomes the
    // foreground colour, or with a modifier the background colour.
    void toolSetsTheCurrentColour_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("foreground") << Qt::KeyboardModifiers(Qt::NoModifier);
        QTest::newRow("background with Shift") << Qt::KeyboardModifiers(Qt::ShiftModifier);
    }

    void toolSetsTheCurrentColour()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        MColorPickerTool *tool = MColorPickerTool::instance();
        QCOMPARE(tool->windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
        QCOMPARE(tool->size(), QSize(50, 50));
        QCOMPARE(tool->windowTitle(), QString("Color picker"));
        tool->activate();
        QVERIFY(tool->isVisible());
        QCOMPARE(tool->pos(), QPoint(110, 110));
        QSignalSpy spy(tool, &DColorPicker::colorChanged);

        // Following the pointer: the swatch shows the colour under it.
        send(tool, QEvent::MouseMove, targetCentre());
        QCOMPARE(tool->color(), kTarget);
        send(tool, QEvent::MouseButtonRelease, targetCentre(), modifiers);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).value<Qt::KeyboardModifiers>(), modifiers);
        QVERIFY(!tool->isVisible());
        MColorList *list = MColorList::instance();
        if (modifiers == Qt::NoModifier) {
            QCOMPARE(list->currentColor(), kTarget);
            QCOMPARE(list->secondColor(), QColor(Qt::white));
        } else {
            QCOMPARE(list->secondColor(), kTarget);
            QCOMPARE(list->currentColor(), QColor(Qt::black));
        }
    }

    // Shown, the swatch holds the pointer and the keyboard at once, whether
    // or not a window manager activates it; Escape lets go without a pick.
    void holdsThePointerUntilEscape()
    {
        DColorPicker picker;
        QSignalSpy spy(&picker, &DColorPicker::colorChanged);
        picker.activate();
        QCOMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(&picker));
        QTest::keyClick(&picker, Qt::Key_Escape);
        QVERIFY(!picker.isVisible());
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(spy.count(), 0);
    }

    // The screen is read as shown: over its own swatch the picker reads the
    // swatch's colour.
    void releaseOverTheSwatch()
    {
        DColorPicker picker;
        picker.activate();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        send(&picker, QEvent::MouseMove, targetCentre());
        QCOMPARE(picker.color(), kTarget);
        // The swatch was moved beside the cursor, clear of the target.
        picker.move(600, 600);
        picker.repaint();
        QTRY_COMPARE(DColorPicker::colorAt(picker.geometry().center()), kTarget);
        QSignalSpy spy(&picker, &DColorPicker::colorChanged);
        send(&picker, QEvent::MouseButtonRelease, picker.geometry().center());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QColor>(), kTarget);
    }

    // The button beside a colour edit makes its picker once and reuses it;
    // the picked colour reaches the edit.
    void buttonPicksIntoItsEdit()
    {
        MColorEdit edit;
        auto *button = edit.findChild<MColorPickerButton *>();
        QVERIFY(button);
        QVERIFY(!button->icon().isNull());
        QVERIFY(!button->picker());
        QSignalSpy spy(button, &MColorPickerButton::colorChanged);
        button->click();
        DColorPicker *picker = button->picker();
        QVERIFY(picker);
        QCOMPARE(picker->parent(), button);
        QVERIFY(picker->isVisible());
        QCOMPARE(picker->pos(), QPoint(110, 110));
        send(picker, QEvent::MouseButtonRelease, targetCentre());
        QCOMPARE(button->color(), kTarget);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(edit.color(), kTarget);
        // The colour list is not touched by an edit's picker.
        QCOMPARE(MColorList::instance()->currentColor(), QColor(Qt::black));

        button->click();
        QCOMPARE(button->picker(), picker);
        QCOMPARE(button->findChildren<DColorPicker *>().size(), 1);
        // The same colour again tells nobody.
        send(picker, QEvent::MouseButtonRelease, targetCentre());
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestDColorPicker)
#include "tst_dcolorpicker.moc"
