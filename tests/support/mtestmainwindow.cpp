#include "mtestmainwindow.h"

#include "mcanvas.h"
#include "mevent.h"
#include "mfield.h"
#include "mmainwindow.h"
#include "mproxymodel.h"
#include "msettings.h"
#include "mshape.h"
#include "mshapelist.h"
#include "mshapewidget.h"
#include "mtestcanvas.h"
#include "mtestview.h"
#include "mtool.h"
#include "mtransform.h"
#include "mwidget.h"

#include <QApplication>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QMouseEvent>
#include <QTest>

namespace MTestMainWindow {

bool prepare(const QSize &documentSize)
{
    MSettings::instance()->clear();
    MSettings::instance()->set_textDuration(0);
    return MTestView::prepare(documentSize);
}

QColor shownAt(MWidget *view, const QPointF &docPoint)
{
    view->update();
    QTest::qWait(50);
    const QImage frame = view->grabFramebuffer();
    const QPoint point = view->transform()->map(docPoint).toPoint();
    return frame.pixelColor(point * frame.devicePixelRatio());
}

bool show(MMainWindow *window, const QSize &size)
{
    window->resize(size);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    MCanvas *canvas = window->view()->canvas();
    if (!QTest::qWaitFor([canvas] { return canvas->isGlReady() && canvas->current(); }))
        return false;
    // The view animates to its fitted zoom; aim the pointer only after that.
    QTest::qWait(700);
    return true;
}

std::unique_ptr<MMainWindow> open(const QSize &documentSize, const QSize &windowSize)
{
    if (!prepare(documentSize))
        return nullptr;
    std::unique_ptr<MMainWindow> window(new MMainWindow());
    if (!show(window.get(), windowSize))
        return nullptr;
    return window;
}

void mouse(QWidget *widget, QEvent::Type type, const QPointF &pos, Qt::MouseButton button,
           Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent e(type, pos, widget->mapToGlobal(pos.toPoint()), button, buttons, modifiers);
    QApplication::sendEvent(widget, &e);
}

namespace {
bool dragWith(MWidget *view, const QPointF &docFrom, const QPointF &docTo, int steps, int holds,
              Qt::KeyboardModifiers modifiers)
{
    const QPointF from = view->transform()->map(docFrom);
    const QPointF to = view->transform()->map(docTo);
    if (!view->rect().contains(from.toPoint()) || !view->rect().contains(to.toPoint()))
        return false;
    mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
    for (int i = 1; i <= steps; ++i)
        mouse(view, QEvent::MouseMove, from + (to - from) * (double(i) / steps), Qt::NoButton, Qt::LeftButton,
              modifiers);
    for (int i = 0; i < holds; ++i)
        mouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, modifiers);
    mouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, modifiers);
    return true;
}
} // namespace

bool drag(MWidget *view, const QPointF &docFrom, const QPointF &docTo, int steps)
{
    return dragWith(view, docFrom, docTo, steps, 0, Qt::NoModifier);
}

bool dragAndHold(MWidget *view, const QPointF &docFrom, const QPointF &docTo, Qt::KeyboardModifiers modifiers)
{
    // The view's curve smoothing holds back the last samples of a gesture.
    return dragWith(view, docFrom, docTo, 20, 4, modifiers);
}

bool toolGesture(MTool *tool, const QPointF &from, const QPointF &to, Qt::KeyboardModifiers modifiers)
{
    MEvent e;
    e.button = Qt::LeftButton;
    e.modifiers = modifiers;
    e.type = MEvent::Press;
    e.inputs[MEnum::biPositionX] = from.x();
    e.inputs[MEnum::biPositionY] = from.y();
    if (!tool->mousePressEvent(&e))
        return false;
    e.type = MEvent::Move;
    e.inputs[MEnum::biPositionX] = to.x();
    e.inputs[MEnum::biPositionY] = to.y();
    tool->mouseMoveEvent(&e);
    return true;
}

bool focusView(MWidget *view)
{
    for (int attempt = 0; attempt < 50 && !view->hasFocus(); ++attempt) {
        view->window()->activateWindow();
        view->setFocus();
        QTest::qWait(100);
    }
    return view->hasFocus();
}

int paintedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

int paintedRows(const QImage &image, int x)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        rows += qAlpha(image.pixel(x, y)) > 0;
    return rows;
}

QImage layerPixels(MCanvas *canvas, int row)
{
    canvas->makeCurrent();
    return MTestCanvas::layerImage(canvas->at(row < 0 ? canvas->currentRow() : row), canvas->paintedRect().toRect());
}

bool chooseCommand(MMainWindow *window, const char *menuName, const char *actionName)
{
    auto *menu = window->findChild<QMenu *>(QLatin1String(menuName));
    auto *command = window->findChild<QAction *>(QLatin1String(actionName));
    if (!menu || !command || !menu->actions().contains(command))
        return false;
    QMenuBar *bar = window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }) || !command->isEnabled())
        return false;
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(command).center());
    return QTest::qWaitFor([menu] { return !menu->isVisible(); });
}

QStringList barContents(const QToolBar *bar)
{
    QStringList contents;
    for (QAction *action : bar->actions()) {
        QWidget *widget = bar->widgetForAction(action);
        if (auto *label = qobject_cast<QLabel *>(widget))
            contents << (label->text().isEmpty() ? QStringLiteral("|") : QStringLiteral("label ") + label->text());
        else if (auto *button = qobject_cast<QToolButton *>(widget); button && !button->defaultAction())
            contents << QStringLiteral("button ") + button->text();
        else if (widget && !qobject_cast<QToolButton *>(widget))
            contents << QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') + widget->objectName();
        else
            contents << QStringLiteral("action ") + action->text();
    }
    return contents;
}

QString chooseShape(MMainWindow *window, const QString &description)
{
    auto *button = window->findChild<QToolButton *>(QStringLiteral("shapeChooserButton"));
    if (!button || !button->isVisible())
        return QString();
    QTimer::singleShot(200, [&]() {
        QWidget *popup = QApplication::activePopupWidget();
        auto *widget = popup ? popup->findChild<MShapeWidget *>() : nullptr;
        if (!widget) {
            button->menu()->close();
            return;
        }
        QTest::keyClicks(widget->findChild<QLineEdit *>(QStringLiteral("filterEdit")), description);
        auto *table = widget->findChild<QTableView *>(QStringLiteral("tableView"));
        const int column = MShapeList::instance()->column("description")->index();
        const QRect cell = table->visualRect(widget->proxyModel()->index(0, column));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        button->menu()->close();
    });
    button->showMenu();
    return MShapeList::instance()->currentShape()->description();
}

} // namespace MTestMainWindow
