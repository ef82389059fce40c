#pragma once

#include "msingleton.h"
#include "mwidget.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QVector>

class MCanvas;
class MEvent;
class MInterfaceItem;
class MTool;
class QAction;
class QActionGroup;
class QDockWidget;
class QKeyEvent;
class QMainWindow;
class QMenu;
class QPainter;
class QToolBar;
class QToolButton;
class QWheelEvent;
class QWidget;
class QWidgetAction;

// The one tool registry: creates and owns the tools, keeps an interface item
// per tool, knows the current tool and the current canvas view, switches
// tools with their actions, option bars and docks, and routes the view's
// input to the tools. Tools reach the view and its document only through it.
class MTools : public QObject, public MSingleton<MTools>
{
    Q_OBJECT
    Q_PROPERTY(int currentToolId READ currentToolId NOTIFY currentToolIdChanged)
    Q_PROPERTY(MWidget *widget READ widget WRITE set_widget NOTIFY widgetChanged)
public:
    using ToolFactory = MTool *(*)(int toolId, QObject *parent);
    // Fills the tool's option bar (found with toolBar()) once the window is bound.
    using BarBuilder = void (*)(MTools *tools, QMainWindow *window);

    explicit MTools(QObject *parent = nullptr);
    ~MTools() override;

    // How every registry makes the tool of an id and fills its option bar;
    // the tools register themselves while the core loads, and a second
    // registration of an id replaces the first. Registries build the tools in
    // registration order.
    static bool registerTool(int toolId, ToolFactory create, BarBuilder buildBar = nullptr);

    // The current view (null when none) and its document.
    static MWidget *widget();
    static MCanvas *canvas();
    // The help page of a tool: its class name without the prefix letter, in
    // lower case ("MBrushTool" has "brushtool"); empty for no tool.
    static QString helpPage(const MTool *tool);

    // Builds the tools, the interface items and everything bound to them.
    void init(QMainWindow *window);

    // Null for an id without a tool; never adds an entry.
    MTool *tool(int toolId) const;
    template <class T>
    T *tool(int toolId) const
    {
        return qobject_cast<T *>(tool(toolId));
    }
    MTool *currentTool() const;
    int currentToolId() const { return m_currentToolId; }
    // The first option bar bound to the tool, null when none.
    QToolBar *toolBar(int toolId) const;
    MInterfaceItem *item(int toolId) const { return m_items.value(toolId); }
    QActionGroup *actionGroup(int group) const { return m_actionGroups.value(group); }
    // Puts a tool in the table under its id, replacing (and, when the registry
    // owns it, deleting) the tool that was there.
    void setTool(MTool *tool);

    void hideToolWidgets();

    void createInterfaceItems();
    void bindActions(QMainWindow *window);
    void bindToolBars(QMainWindow *window);
    void bindDockWidgets(QMainWindow *window);
    static void addLabel(QWidget *parent, QToolBar *bar);
    static QAction *createOptionAction(const QString &text, const QString &toolTip, const QString &iconPath,
                                       QObject *parent);
    static QToolButton *createOptionMenuButton(QWidget *parent, const QString &iconPath, const QString &text,
                                               QWidgetAction *action);

    void mousePressEvent(MEvent *event);
    void mouseMoveEvent(MEvent *event);
    void mouseReleaseEvent(MEvent *event);
    void mouseHoverEvent(MEvent *event);
    void mouseDoubleClickEvent(MEvent *event);
    void wheelEvent(QWheelEvent *event);
    void keyPressEvent(QKeyEvent *event);
    void paint(QPainter *painter);

public slots:
    void set_widget(MWidget *widget);
    void refresh();
    void activate(int toolId, bool on);
    bool updateCursor(const QPointF &viewPosition, double scale);

signals:
    void currentToolIdChanged(int value);
    void widgetChanged(MWidget *widget);
    void showPanel(QDockWidget *dock);
    void showText(const QString &text);
    void toolChanged(MTool *tool);

private slots:
    void onActionToggled(bool checked);

private:
    void createTools();
    bool isVisibleGuide(MTool *tool) const;
    void forgetTool(MTool *tool);

    int m_currentToolId = 0;
    MWidget *m_widget = nullptr;
    // By ascending id, so guides are always asked in the same order.
    QMap<int, MTool *> m_tools;
    MTool *m_pressedTool = nullptr;
    QHash<int, MInterfaceItem *> m_items;
    QVector<QActionGroup *> m_actionGroups;
};
