#include "mtesttool.h"

#include "mtool.h"
#include "mtools.h"

#include <QAction>
#include <QMainWindow>
#include <QPainter>
#include <QToolBar>

#include <cmath>

namespace MTestTool {

MEvent leftSample(int type, const QPointF &position)
{
    MEvent e;
    e.type = type;
    e.button = Qt::LeftButton;
    e.viewPosition = position;
    e.inputs[MEnum::biPositionX] = position.x();
    e.inputs[MEnum::biPositionY] = position.y();
    return e;
}

bool near(const QPointF &a, const QPointF &b, double tolerance)
{
    return std::abs(a.x() - b.x()) < tolerance && std::abs(a.y() - b.y()) < tolerance;
}

QString text(const QPointF &p)
{
    return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'f', 4).arg(p.y(), 0, 'f', 4);
}

QImage overlay(MTool *tool, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    tool->paint(&painter);
    return image;
}

void initRegistry(QMainWindow *window, const QString &toolKey)
{
    auto *bar = new QToolBar(window);
    bar->setObjectName(toolKey.left(1).toLower() + toolKey.mid(1) + QStringLiteral("Bar"));
    window->addToolBar(bar);
    for (const QString &key : {toolKey, QStringLiteral("BrushTool")}) {
        auto *action = new QAction(window);
        action->setObjectName(QStringLiteral("action") + key);
        window->addAction(action);
    }
    MTools::instance()->init(window);
}

} // namespace MTestTool
