#include "mtools.h"

#include "mevent.h"
#include "minterfaceitem.h"
#include "mtool.h"
#include "mutility.h"
#include "mwidget.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMetaEnum>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

namespace {

struct Registration
{
    int toolId;
    MTools::ToolFactory create;
    MTools::BarBuilder buildBar;
};

// Filled by the tools' registrations while the core loads, before any
// registry is built; in registration order.
QVector<Registration> &registrations()
{
    static QVector<Registration> list;
    return list;
}

struct ItemEntry
{
    MTool::ToolId id;
    int group;
    const char *icon;
    const char *description;
};

const ItemEntry itemTable[] = {
    {MTool::BrushTool, 0, ":/icons/tools/brush-tool.ico", QT_TRANSLATE_NOOP("MTools", "Brush tool")},
    {MTool::SelectionTool, 0, ":/icons/tools/selection-tool.ico", QT_TRANSLATE_NOOP("MTools", "Selection tool")},
    {MTool::LineTool, 0, ":/icons/tools/line-tool.ico", QT_TRANSLATE_NOOP("MTools", "Line tool")},
    {MTool::FillTool, 0, ":/icons/tools/fill-tool.ico", QT_TRANSLATE_NOOP("MTools", "Fill tool")},
    {MTool::FillSelectionTool, 0, ":/icons/tools/fillselection-tool.ico",
     QT_TRANSLATE_NOOP("MTools", "Fill selection tool")},
    {MTool::ShapeTool, 0, ":/icons/tools/shape-tool.ico", QT_TRANSLATE_NOOP("MTools", "Shape tool")},
    {MTool::TextTool, 0, ":/icons/tools/text-tool.ico", QT_TRANSLATE_NOOP("MTools", "Text tool")},
    {MTool::ImageTool, 0, ":/icons/tools/image-tool.ico", QT_TRANSLATE_NOOP("MTools", "Image tool")},
    {MTool::GradientTool, 0, ":/icons/tools/gradient-tool.ico", QT_TRANSLATE_NOOP("MTools", "Gradient tool")},
    {MTool::PanTool, 0, ":/icons/tools/pan-tool.ico", QT_TRANSLATE_NOOP("MTools", "Pan tool")},
    {MTool::RotateTool, 0, ":/icons/tools/rotate-tool.ico", QT_TRANSLATE_NOOP("MTools", "Rotate tool")},
    {MTool::ZoomTool, 0, ":/icons/tools/zoom-tool.ico", QT_TRANSLATE_NOOP("MTools", "Zoom tool")},
    {MTool::GridTool, 1, ":/icons/tools/grid-tool.ico", QT_TRANSLATE_NOOP("MTools", "Grid tool")},
    {MTool::PerspectiveTool, 1, ":/icons/tools/perspective-tool.ico",
     QT_TRANSLATE_NOOP("MTools", "Perspective tool")},
    {MTool::SymmetryTool, 1, ":/icons/tools/symmetry-tool.ico", QT_TRANSLATE_NOOP("MTools", "Symmetry tool")},
    {MTool::ComicStripTool, 1, ":/icons/tools/comicstrip-tool.ico", QT_TRANSLATE_NOOP("MTools", "Comic strip tool")},
    {MTool::RullerTool, 1, ":/icons/tools/ruller-tool.ico", QT_TRANSLATE_NOOP("MTools", "Ruller tool")},
};

// Calls f(item, key) for every key of the tool enumeration that has an item, in value order.
template <class F>
void forEachToolKey(const QHash<int, MInterfaceItem *> &items, F f)
{
    const QMetaObject &mo = MTool::staticMetaObject;
    const int index = mo.indexOfEnumerator("ToolId");
    if (index < 0)
        return;
    const QMetaEnum toolIds = mo.enumerator(index);
    for (int i = 0; i < toolIds.keyCount(); ++i) {
        MInterfaceItem *item = items.value(toolIds.value(i));
        if (item)
            f(item, toolIds.key(i));
    }
}

} // namespace

bool MTools::registerTool(int toolId, ToolFactory create, BarBuilder buildBar)
{
    if (!create)
        return false;
    QVector<Registration> &list = registrations();
    for (Registration &entry : list) {
        if (entry.toolId == toolId) {
            entry = {toolId, create, buildBar};
            return true;
        }
    }
    list.append({toolId, create, buildBar});
    return true;
}

MTools::MTools(QObject *parent)
    : QObject(parent)
{
}

MTools::~MTools()
{
    // Tools go while the registry is still whole and still the instance, since
    // they may ask it for the view on their way out.
    if (!existingInstance())
        setInstance(this);
    const QMap<int, MTool *> tools = m_tools;
    m_tools.clear();
    m_pressedTool = nullptr;
    for (MTool *tool : tools) {
        disconnect(tool, &QObject::destroyed, this, nullptr);
        if (tool->parent() == this)
            delete tool;
    }
    qDeleteAll(m_items);
    m_items.clear();
    if (existingInstance() == this)
        setInstance(nullptr);
}

MWidget *MTools::widget()
{
    MTools *tools = existingInstance();
    return tools ? tools->m_widget : nullptr;
}

MCanvas *MTools::canvas()
{
    MWidget *view = widget();
    return view ? view->canvas() : nullptr;
}

QString MTools::helpPage(const MTool *tool)
{
    if (!tool)
        return QString();
    return QString::fromLatin1(tool->metaObject()->className()).mid(1).toLower();
}

void MTools::init(QMainWindow *window)
{
    createTools();
    createInterfaceItems();
    bindActions(window);
    bindToolBars(window);
    bindDockWidgets(window);
    for (const Registration &entry : registrations()) {
        if (entry.buildBar)
            entry.buildBar(this, window);
    }
    activate(MTool::BrushTool, true);
}

void MTools::createTools()
{
    for (const Registration &entry : registrations()) {
        if (!m_tools.contains(entry.toolId))
            setTool(entry.create(entry.toolId, this));
    }
}

MTool *MTools::tool(int toolId) const
{
    return m_tools.value(toolId, nullptr);
}

MTool *MTools::currentTool() const
{
    return tool(m_currentToolId);
}

QToolBar *MTools::toolBar(int toolId) const
{
    MInterfaceItem *item = m_items.value(toolId);
    if (!item || item->toolBars().isEmpty())
        return nullptr;
    return qobject_cast<QToolBar *>(item->toolBars().first());
}

void MTools::setTool(MTool *tool)
{
    if (!tool)
        return;
    const int id = tool->toolId();
    MTool *old = m_tools.value(id, nullptr);
    if (old == tool)
        return;
    if (old) {
        disconnect(old, &QObject::destroyed, this, nullptr);
        forgetTool(old);
        if (old->parent() == this)
            delete old;
    }
    m_tools.insert(id, tool);
    connect(tool, &QObject::destroyed, this, [this, tool]() { forgetTool(tool); });
    if (MInterfaceItem *item = m_items.value(id)) {
        if (item->toolAction())
            item->toolAction()->setEnabled(true);
    }
}

void MTools::forgetTool(MTool *tool)
{
    for (auto it = m_tools.begin(); it != m_tools.end(); ++it) {
        if (it.value() == tool) {
            m_tools.erase(it);
            break;
        }
    }
    if (m_pressedTool == tool)
        m_pressedTool = nullptr;
}

bool MTools::isVisibleGuide(MTool *tool) const
{
    MInterfaceItem *item = m_items.value(tool->toolId());
    return item && item->group() == 1 && tool->visible();
}

void MTools::createInterfaceItems()
{
    for (const ItemEntry &entry : itemTable) {
        if (m_items.contains(entry.id))
            continue;
        auto *item = new MInterfaceItem(entry.id, entry.group);
        item->set_icon(QIcon(QString::fromLatin1(entry.icon)));
        item->set_description(tr(entry.description));
        m_items.insert(entry.id, item);
    }
    while (m_actionGroups.size() < 2) {
        auto *group = new QActionGroup(this);
        group->setExclusive(m_actionGroups.isEmpty());
        m_actionGroups.append(group);
    }
}

void MTools::bindActions(QMainWindow *window)
{
    const QList<QAction *> actions = window->findChildren<QAction *>();
    if (actions.isEmpty())
        return;
    forEachToolKey(m_items, [&](MInterfaceItem *item, const char *key) {
        // The keys start upper-cased already.
        const QString name = QStringLiteral("action") + QString::fromLatin1(key);
        for (QAction *action : actions) {
            if (action->objectName() != name)
                continue;
            item->set_toolAction(action);
            action->setProperty("VAN_TOOLID", item->toolId());
            // Switching tools on and off is the check state of their actions.
            action->setCheckable(true);
            m_actionGroups.value(item->group())->addAction(action);
            connect(action, &QAction::toggled, this, &MTools::onActionToggled, Qt::UniqueConnection);
            // A tool not built yet cannot be switched on.
            action->setEnabled(tool(item->toolId()) != nullptr);
        }
    });
}

void MTools::bindToolBars(QMainWindow *window)
{
    const QList<QToolBar *> bars = window->findChildren<QToolBar *>();
    forEachToolKey(m_items, [&](MInterfaceItem *item, const char *key) {
        const QString name = MUtility::lowerFirst(QString::fromLatin1(key)) + QStringLiteral("Bar");
        for (QToolBar *bar : bars) {
            if (bar->objectName() != name)
                continue;
            item->addToolBar(bar);
            bar->setVisible(false);
        }
    });
}

void MTools::bindDockWidgets(QMainWindow *window)
{
    const QList<QDockWidget *> docks = window->findChildren<QDockWidget *>();
    forEachToolKey(m_items, [&](MInterfaceItem *item, const char *key) {
        const QString name = MUtility::lowerFirst(QString::fromLatin1(key)) + QStringLiteral("DockWidget");
        for (QDockWidget *dock : docks) {
            if (dock->objectName() == name)
                item->addDock(dock);
        }
    });
}

void MTools::addLabel(QWidget *parent, QToolBar *bar)
{
    auto *label = new QLabel(QString(), parent);
    label->setMinimumWidth(3);
    bar->addWidget(label);
}

QAction *MTools::createOptionAction(const QString &text, const QString &toolTip, const QString &iconPath,
                                    QObject *parent)
{
    auto *action = new QAction(QIcon(iconPath), text, parent);
    action->setToolTip(toolTip);
    return action;
}

QToolButton *MTools::createOptionMenuButton(QWidget *parent, const QString &iconPath, const QString &text,
                                            QWidgetAction *action)
{
    auto *button = new QToolButton(parent);
    button->setIcon(QIcon(iconPath));
    button->setText(text);
    button->setToolTip(text);
    button->setPopupMode(QToolButton::InstantPopup);
    // Showing a menu does not make the button own it: as its child it goes
    // with the button, even when no event loop runs after that.
    auto *menu = new QMenu(button);
    menu->addAction(action);
    if (action && action->metaObject()->indexOfSlot("showWidget()") >= 0)
        connect(menu, SIGNAL(aboutToShow()), action, SLOT(showWidget()));
    button->setMenu(menu);
    return button;
}

void MTools::hideToolWidgets()
{
    for (MTool *tool : qAsConst(m_tools)) {
        MInterfaceItem *item = m_items.value(tool->toolId());
        if (!item)
            continue;
        for (QDockWidget *dock : item->docks())
            dock->hide();
        for (QWidget *bar : item->toolBars())
            bar->hide();
    }
}

void MTools::mousePressEvent(MEvent *event)
{
    const QMap<int, MTool *> tools = m_tools;
    for (MTool *tool : tools) {
        if (isVisibleGuide(tool) && tool->mousePressEvent(event)) {
            m_pressedTool = tool;
            return;
        }
    }
    // The current tool holds the gesture whether or not it took the press.
    m_pressedTool = currentTool();
    if (m_pressedTool)
        m_pressedTool->mousePressEvent(event);
}

void MTools::mouseMoveEvent(MEvent *event)
{
    if (m_pressedTool)
        m_pressedTool->mouseMoveEvent(event);
}

void MTools::mouseReleaseEvent(MEvent *event)
{
    if (m_pressedTool)
        m_pressedTool->mouseReleaseEvent(event);
}

void MTools::mouseHoverEvent(MEvent *event)
{
    if (MTool *tool = currentTool())
        tool->mouseHoverEvent(event);
}

void MTools::mouseDoubleClickEvent(MEvent *event)
{
    if (MTool *tool = currentTool())
        tool->mouseDoubleClickEvent(event);
}

void MTools::wheelEvent(QWheelEvent *event)
{
    if (MTool *tool = currentTool())
        tool->wheelEvent(event);
}

void MTools::keyPressEvent(QKeyEvent *event)
{
    const QMap<int, MTool *> tools = m_tools;
    for (MTool *tool : tools) {
        if (isVisibleGuide(tool) && tool->keyPressEvent(event))
            return;
    }
    if (MTool *tool = currentTool())
        tool->keyPressEvent(event);
}

void MTools::paint(QPainter *painter)
{
    const QMap<int, MTool *> tools = m_tools;
    for (MTool *tool : tools)
        tool->paint(painter);
}

void MTools::set_widget(MWidget *widget)
{
    if (widget == m_widget)
        return;
    if (m_widget)
        disconnect(m_widget, &QObject::destroyed, this, nullptr);
    m_widget = widget;
    // A view deleted while current must not be handed to the tools.
    if (widget)
        connect(widget, &QObject::destroyed, this, [this]() {
            m_widget = nullptr;
            emit widgetChanged(nullptr);
        });
    emit widgetChanged(widget);
}

void MTools::refresh()
{
    if (m_widget)
        m_widget->update();
}

void MTools::activate(int toolId, bool on)
{
    MInterfaceItem *item = m_items.value(toolId);
    MTool *tool = this->tool(toolId);
    if (!item || !tool || item->active() == on)
        return;
    item->set_active(on);
    if (on && item->group() == 0)
        m_currentToolId = toolId;
    tool->activate(on);
    if (on)
        emit toolChanged(tool);
    if (QAction *action = item->toolAction())
        action->setChecked(on);
    for (QWidget *bar : item->toolBars()) {
        bar->setVisible(on);
        bar->adjustSize();
    }
    if (on && item->autoShow()) {
        for (QDockWidget *dock : item->docks()) {
            if (!dock->isHidden())
                continue;
            dock->setVisible(true);
            emit showPanel(dock);
        }
    }
}

bool MTools::updateCursor(const QPointF &viewPosition, double scale)
{
    if (!m_widget)
        return false;
    const QMap<int, MTool *> tools = m_tools;
    for (MTool *tool : tools) {
        if (isVisibleGuide(tool) && tool->updateCursor(viewPosition, scale)) {
            m_widget->setCursor(tool->cursor());
            return true;
        }
    }
    for (MTool *tool : tools) {
        MInterfaceItem *item = m_items.value(tool->toolId());
        if (item && item->group() == 0 && tool->visible()) {
            tool->updateCursor(viewPosition, scale);
            m_widget->setCursor(tool->cursor());
            return true;
        }
    }
    return false;
}

void MTools::onActionToggled(bool checked)
{
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    bool ok = false;
    const int id = action->property("VAN_TOOLID").toInt(&ok);
    if (ok)
        activate(id, checked);
}
