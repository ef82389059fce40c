#include "mtools.h"

#include "mbrushstyle.h"
#include "mbrushstyleaction.h"
#include "mbrushstylewidget.h"
#include "mbrushtool.h"
#include "menumedit.h"
#include "mevent.h"
#include "mfillselectiontool.h"
#include "mfilltool.h"
#include "mcomicstriptool.h"
#include "mgradienttool.h"
#include "mgridtool.h"
#include "mimagebackgroundaction.h"
#include "mimagebackgroundwidget.h"
#include "mimagetool.h"
#include "mdoubleslider.h"
#include "mmenubutton.h"
#include "minterfaceitem.h"
#include "mlinetool.h"
#include "mpantool.h"
#include "mperspectiveaction.h"
#include "mperspectivetool.h"
#include "mperspectivewidget.h"
#include "mpatternlist.h"
#include "mrotatetool.h"
#include "mrullertool.h"
#include "mselectiontool.h"
#include "msliderspinbox.h"
#include "mstrokestyle.h"
#include "mstrokestyleaction.h"
#include "mstrokestylewidget.h"
#include "mfontstyleaction.h"
#include "mfontstyle.h"
#include "mfontstylewidget.h"
#include "mshapeaction.h"
#include "mshapetool.h"
#include "mshapewidget.h"
#include "msymmetrytool.h"
#include "mtexttool.h"
#include "mtool.h"
#include "mutility.h"
#include "mwidget.h"
#include "mzoomtool.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMetaEnum>
#include <QPixmap>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

namespace {

template <class T>
MTool *makeTool(MTool::ToolId id, QObject *parent)
{
    return new T(id, parent);
}

struct ToolEntry
{
    MTool::ToolId id;
    MTool *(*create)(MTool::ToolId, QObject *);
};

// The tools the registry builds, in the order it builds them: one line per tool.
const ToolEntry toolTable[] = {
    {MTool::BrushTool, &makeTool<MBrushTool>},
    {MTool::LineTool, &makeTool<MLineTool>},
    {MTool::ShapeTool, &makeTool<MShapeTool>},
    {MTool::TextTool, &makeTool<MTextTool>},
    {MTool::GridTool, &makeTool<MGridTool>},
    {MTool::PerspectiveTool, &makeTool<MPerspectiveTool>},
    {MTool::SymmetryTool, &makeTool<MSymmetryTool>},
    {MTool::PanTool, &makeTool<MPanTool>},
    {MTool::RotateTool, &makeTool<MRotateTool>},
    {MTool::ZoomTool, &makeTool<MZoomTool>},
    {MTool::RullerTool, &makeTool<MRullerTool>},
    {MTool::SelectionTool, &makeTool<MSelectionTool>},
    {MTool::FillTool, &makeTool<MFillTool>},
    {MTool::FillSelectionTool, &makeTool<MFillSelectionTool>},
    {MTool::ImageTool, &makeTool<MImageTool>},
    {MTool::ComicStripTool, &makeTool<MComicStripTool>},
    {MTool::GradientTool, &makeTool<MGradientTool>},
};

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

// Option bar pieces: a text, a check box, a spin box, each followed by the
// bar's spacer where the bar's layout asks for one.
void addText(QToolBar *bar, QWidget *window, const QString &text)
{
    bar->addWidget(new QLabel(text, window));
}

QCheckBox *addCheckBox(QToolBar *bar, QWidget *window, const QString &name, bool checked)
{
    auto *box = new QCheckBox(window);
    box->setObjectName(name);
    box->setCheckable(true);
    box->setChecked(checked);
    bar->addWidget(box);
    return box;
}

QSpinBox *addSpinBox(QToolBar *bar, QWidget *window, const QString &name, int minimum, int maximum, int value)
{
    auto *box = new QSpinBox(window);
    box->setObjectName(name);
    box->setRange(minimum, maximum);
    box->setValue(value);
    bar->addWidget(box);
    return box;
}

MEnumEdit *addEnumEdit(QToolBar *bar, QWidget *window, const QString &name, int maximumWidth,
                       const QMetaObject &metaObject, const char *enumName, const QStringList &icons, int value)
{
    auto *edit = new MEnumEdit(window);
    edit->setObjectName(name);
    edit->setMaximumWidth(maximumWidth);
    QList<QIcon> list;
    for (const QString &icon : icons)
        list << QIcon(icon);
    edit->setEnumName(metaObject, enumName, list);
    edit->setValue(value);
    bar->addWidget(edit);
    return edit;
}

// A checkable "Lock" action of a guide's bar.
QAction *addLockAction(QToolBar *bar, QWidget *window, MTool *tool)
{
    QAction *lock = MTools::createOptionAction(MTools::tr("Lock"), MTools::tr("Lock control points"),
                                               QStringLiteral(":/icons/lock-on.ico"), window);
    lock->setCheckable(true);
    QObject::connect(lock, &QAction::toggled, tool, &MTool::set_locked);
    bar->addAction(lock);
    return lock;
}

// The item tools' "Select" action and the selection mode it combines by, each
// followed by a spacer.
template <class T>
void addSelectionEdits(QToolBar *bar, QWidget *window, const QString &prefix, T *tool)
{
    QAction *select = MTools::createOptionAction(MTools::tr("Select"), MTools::tr("Transform as selection"),
                                                 QStringLiteral(":/icons/check-selection.ico"), window);
    select->setObjectName(prefix + QStringLiteral("SelectAction"));
    QObject::connect(select, &QAction::triggered, tool, &T::applyAsSelection);
    bar->addAction(select);
    MTools::addLabel(window, bar);
    MEnumEdit *mode = addEnumEdit(bar, window, prefix + QStringLiteral("SelectionModeEdit"), 150,
                                  MSelectionTool::staticMetaObject, "SelectionMode",
                                  {QStringLiteral(":/icons/selection-replace.ico"), QStringLiteral(":/icons/selection-add.ico"),
                                   QStringLiteral(":/icons/selection-subtract.ico"),
                                   QStringLiteral(":/icons/selection-intersection.ico")},
                                  0);
    QObject::connect(mode, &MEnumEdit::valueChanged, tool, &T::set_selectionMode);
    MTools::addLabel(window, bar);
}

// The "Stroke style" and "Brush style" menu buttons editing a tool's own styles.
void addStyleButtons(QToolBar *bar, QWidget *window, const QString &prefix, MStrokeStyle *strokeStyle,
                     MBrushStyle *brushStyle)
{
    auto *strokeEditor = new MStrokeStyleWidget;
    strokeEditor->setStyle(strokeStyle);
    QToolButton *stroke = MTools::createOptionMenuButton(window, QStringLiteral(":/icons/stroke.ico"),
                                                         MTools::tr("Stroke style"),
                                                         new MStrokeStyleAction(strokeEditor, window));
    stroke->setObjectName(prefix + QStringLiteral("StrokeStyleButton"));
    bar->addWidget(stroke);
    auto *brushEditor = new MBrushStyleWidget;
    brushEditor->setStyle(brushStyle);
    QToolButton *brush = MTools::createOptionMenuButton(window, QStringLiteral(":/icons/gradient-diagonal.ico"),
                                                        MTools::tr("Brush style"),
                                                        new MBrushStyleAction(brushEditor, window));
    brush->setObjectName(prefix + QStringLiteral("BrushStyleButton"));
    bar->addWidget(brush);
}

} // namespace

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
    // The option bars, filled in this order: one line per tool with a bar.
    using BarBuilder = void (MTools::*)(QMainWindow *);
    const BarBuilder builders[] = {
        &MTools::createBrushToolBar,
        &MTools::createSymmetryToolBar,
        &MTools::createGridToolBar,
        &MTools::createPerspectiveToolBar,
        &MTools::createLineToolBar,
        &MTools::createShapeToolBar,
        &MTools::createTextToolBar,
        &MTools::createImageToolBar,
        &MTools::createRullerToolBar,
        &MTools::createSelectionToolBar,
        &MTools::createFillToolBar,
        &MTools::createFillSelectionToolBar,
        &MTools::createGradientToolBar,
        &MTools::createComicStripToolBar,
    };
    for (BarBuilder build : builders)
        (this->*build)(window);
    activate(MTool::BrushTool, true);
}

void MTools::createTools()
{
    for (const ToolEntry &entry : toolTable) {
        if (!m_tools.contains(entry.id))
            setTool(entry.create(entry.id, this));
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

void MTools::createGridToolBar(QMainWindow *window)
{
    auto *grid = tool<MGridTool>(MTool::GridTool);
    QToolBar *bar = toolBar(MTool::GridTool);
    if (!grid || !bar)
        return;
    bar->addWidget(new QLabel(tr("Size"), window));
    addLabel(window, bar);
    auto *size = new QSpinBox(window);
    size->setObjectName(QStringLiteral("gridSizeBox"));
    size->setRange(2, 500);
    size->setValue(grid->gridSize());
    connect(size, QOverload<int>::of(&QSpinBox::valueChanged), grid, &MGridTool::set_gridSize);
    bar->addWidget(size);
    addLabel(window, bar);
    QAction *color = createOptionAction(tr("Color"), tr("Set grid color"), QStringLiteral(":/icons/stroke.ico"), window);
    connect(color, &QAction::triggered, grid, &MGridTool::colorDialog);
    bar->addAction(color);
}

void MTools::createBrushToolBar(QMainWindow *window)
{
    auto *brush = tool<MBrushTool>(MTool::BrushTool);
    QToolBar *bar = toolBar(MTool::BrushTool);
    if (!brush || !bar)
        return;
    addText(bar, window, tr("Follow path"));
    addLabel(window, bar);
    QCheckBox *follow = addCheckBox(bar, window, QStringLiteral("followPathBox"), brush->drawOnPath());
    connect(follow, &QCheckBox::toggled, brush, &MBrushTool::set_drawOnPath);
    connect(brush, &MBrushTool::drawOnPathChanged, follow, &QCheckBox::setChecked);
    addLabel(window, bar);
}

void MTools::createSymmetryToolBar(QMainWindow *window)
{
    auto *symmetry = tool<MSymmetryTool>(MTool::SymmetryTool);
    QToolBar *bar = toolBar(MTool::SymmetryTool);
    if (!symmetry || !bar)
        return;
    addText(bar, window, tr("Sym. number"));
    addLabel(window, bar);
    QSpinBox *number = addSpinBox(bar, window, QStringLiteral("symmetryNumberBox"), 1, 30, 1);
    connect(number, QOverload<int>::of(&QSpinBox::valueChanged), symmetry, &MSymmetryTool::setSymmetryNumber);
    addLabel(window, bar);
    addLockAction(bar, window, symmetry);
    addLabel(window, bar);
}

void MTools::createPerspectiveToolBar(QMainWindow *window)
{
    auto *perspective = tool<MPerspectiveTool>(MTool::PerspectiveTool);
    QToolBar *bar = toolBar(MTool::PerspectiveTool);
    if (!perspective || !bar)
        return;
    auto *options = new MPerspectiveAction(new MPerspectiveWidget, window);
    QToolButton *settings = createOptionMenuButton(window, QStringLiteral(":/icons/gear.ico"), tr("Settings"), options);
    settings->setObjectName(QStringLiteral("perspectiveSettingsButton"));
    settings->setToolTip(tr("Grid settings"));
    bar->addWidget(settings);
    bar->addSeparator();
    // Option actions stay unnamed: named actions would join the window's shortcut store.
    auto add = [&](const QString &text, const QString &tip, const char *icon, void (MPerspectiveTool::*slot)()) {
        QAction *action = createOptionAction(text, tip, QString::fromLatin1(icon), window);
        connect(action, &QAction::triggered, perspective, slot);
        bar->addAction(action);
    };
    add(tr("Add"), tr("Add perspective control point"), ":/icons/plus.ico",
        &MPerspectiveTool::addControlPoint);
    add(tr("Remove"), tr("Remove perspective control point"), ":/icons/minus.ico",
        &MPerspectiveTool::removeControlPoint);
    addLockAction(bar, window, perspective);
    add(tr("Draw"), tr("Draw figure in current layer"), ":/icons/pencil.ico", &MPerspectiveTool::print);
    add(tr("Reset"), tr("Reset vanishing points"), ":/icons/refresh.ico", &MPerspectiveTool::reset);
}

void MTools::createLineToolBar(QMainWindow *window)
{
    auto *line = tool<MLineTool>(MTool::LineTool);
    QToolBar *bar = toolBar(MTool::LineTool);
    if (!line || !bar)
        return;
    MEnumEdit *type = addEnumEdit(bar, window, QStringLiteral("lineTypeEdit"), 200, MLineTool::staticMetaObject,
                                  "LineType",
                                  {QStringLiteral(":/icons/line-single.ico"), QStringLiteral(":/icons/line-poly.ico"),
                                   QStringLiteral(":/icons/line-curved.ico")},
                                  0);
    connect(type, &MEnumEdit::valueChanged, line, &MLineTool::set_lineType);
    addLabel(window, bar);
    addText(bar, window, tr("Close figure"));
    addLabel(window, bar);
    QCheckBox *close = addCheckBox(bar, window, QStringLiteral("closeFigureBox"), line->closeFigure());
    connect(close, &QCheckBox::toggled, line, &MLineTool::set_closeFigure);
    addLabel(window, bar);
    addText(bar, window, tr("Hand drawn lines"));
    addLabel(window, bar);
    QCheckBox *hand = addCheckBox(bar, window, QStringLiteral("handDrawBox"), line->handDraw());
    connect(hand, &QCheckBox::toggled, line, &MLineTool::set_handDraw);
    addLabel(window, bar);
    addText(bar, window, tr("Angle step"));
    QSpinBox *step = addSpinBox(bar, window, QStringLiteral("lineAngleStepBox"), 1, 360, line->angleStep());
    connect(step, QOverload<int>::of(&QSpinBox::valueChanged), line, &MLineTool::set_angleStep);
}

void MTools::createShapeToolBar(QMainWindow *window)
{
    auto *shape = tool<MShapeTool>(MTool::ShapeTool);
    QToolBar *bar = toolBar(MTool::ShapeTool);
    if (!shape || !bar)
        return;
    QAction *rasterize = createOptionAction(tr("Rasterize"), tr("Rasterize current shape"),
                                            QStringLiteral(":/icons/check.ico"), window);
    connect(rasterize, &QAction::triggered, shape, qOverload<>(&MShapeTool::apply));
    bar->addAction(rasterize);
    addSelectionEdits(bar, window, QStringLiteral("shape"), shape);
    addText(bar, window, tr("Angle"));
    addLabel(window, bar);
    auto *angle = new QDoubleSpinBox(window);
    angle->setObjectName(QStringLiteral("shapeAngleBox"));
    angle->setRange(0, 360);
    angle->setValue(shape->angle());
    connect(angle, QOverload<double>::of(&QDoubleSpinBox::valueChanged), shape, &MShapeTool::setAngle);
    connect(shape, &MShapeTool::angleChanged, angle, &QDoubleSpinBox::setValue);
    bar->addWidget(angle);
    addLabel(window, bar);
    addStyleButtons(bar, window, QStringLiteral("shape"), shape->strokeStyle(), shape->brushStyle());
    auto *chooser = new MShapeAction(new MShapeWidget, window);
    QToolButton *button = createOptionMenuButton(window, QStringLiteral(":/icons/shape-rounded-star.ico"), tr("Shape"), chooser);
    button->setObjectName(QStringLiteral("shapeChooserButton"));
    bar->addWidget(button);
}

void MTools::createTextToolBar(QMainWindow *window)
{
    auto *text = tool<MTextTool>(MTool::TextTool);
    QToolBar *bar = toolBar(MTool::TextTool);
    if (!text || !bar)
        return;
    QAction *rasterize = createOptionAction(tr("Rasterize"), tr("Rasterize current text"),
                                            QStringLiteral(":/icons/check.ico"), window);
    connect(rasterize, &QAction::triggered, text, qOverload<>(&MTextTool::apply));
    bar->addAction(rasterize);
    addSelectionEdits(bar, window, QStringLiteral("text"), text);
    addText(bar, window, tr("Angle"));
    addLabel(window, bar);
    auto *angle = new QDoubleSpinBox(window);
    angle->setObjectName(QStringLiteral("textAngleBox"));
    angle->setRange(0, 360);
    angle->setValue(text->textAngle());
    connect(angle, QOverload<double>::of(&QDoubleSpinBox::valueChanged), text, &MTextTool::setTextAngle);
    connect(text, &MTextTool::textAngleChanged, angle, &QDoubleSpinBox::setValue);
    bar->addWidget(angle);
    addLabel(window, bar);
    addStyleButtons(bar, window, QStringLiteral("text"), text->strokeStyle(), text->brushStyle());
    auto *fontEditor = new MFontStyleWidget;
    fontEditor->setStyle(text->fontStyle());
    auto *font = new MFontStyleAction(fontEditor, window);
    QToolButton *fontButton = createOptionMenuButton(window, QStringLiteral(":/icons/font.ico"), tr("Font style"), font);
    fontButton->setObjectName(QStringLiteral("textFontStyleButton"));
    bar->addWidget(fontButton);
    addLabel(window, bar);
    addText(bar, window, tr("Text"));
    addLabel(window, bar);
    auto *edit = new QLineEdit(window);
    edit->setObjectName(QStringLiteral("textEdit"));
    edit->setMaximumWidth(300);
    edit->setText(text->text());
    bar->addWidget(edit);
    addLabel(window, bar);
    connect(edit, &QLineEdit::textChanged, text, &MTextTool::setText);
}

void MTools::createComicStripToolBar(QMainWindow *window)
{
    auto *strip = tool<MComicStripTool>(MTool::ComicStripTool);
    QToolBar *bar = toolBar(MTool::ComicStripTool);
    if (!strip || !bar)
        return;
    const struct {
        const char *text;
        const char *tip;
        const char *icon;
        void (MComicStripTool::*slot)();
    } actions[] = {
        {QT_TR_NOOP("Settings"), QT_TR_NOOP("Comic strip settings"), ":/icons/gear.ico", &MComicStripTool::reset},
        {QT_TR_NOOP("Lock"), QT_TR_NOOP("Lock control points"), ":/icons/lock-on.ico", nullptr},
        {QT_TR_NOOP("Select all"), QT_TR_NOOP("Select all"), ":/icons/select-all.ico", &MComicStripTool::selectAll},
        {QT_TR_NOOP("Unselect all"), QT_TR_NOOP("Unselect all"), ":/icons/unselect-all.ico", &MComicStripTool::unselectAll},
        {QT_TR_NOOP("Add a cell"), QT_TR_NOOP("Add a cell"), ":/icons/plus.ico", &MComicStripTool::addCell},
        {QT_TR_NOOP("Remove cells"), QT_TR_NOOP("Remove selected cells"), ":/icons/minus.ico", &MComicStripTool::removeCells},
        {QT_TR_NOOP("Top"), QT_TR_NOOP("Set top border"), ":/icons/border-top.ico", &MComicStripTool::setTopBorder},
        {QT_TR_NOOP("Bottom"), QT_TR_NOOP("Set bottom border"), ":/icons/border-btm.ico", &MComicStripTool::setBottomBorder},
        {QT_TR_NOOP("Left"), QT_TR_NOOP("Set left border"), ":/icons/border-left.ico", &MComicStripTool::setLeftBorder},
        {QT_TR_NOOP("Right"), QT_TR_NOOP("Set right border"), ":/icons/border-right.ico", &MComicStripTool::setRightBorder},
        {QT_TR_NOOP("All borders"), QT_TR_NOOP("Set all borders"), ":/icons/border-out.ico", &MComicStripTool::setAllBorders},
        {QT_TR_NOOP("No borders"), QT_TR_NOOP("Set no borders"), ":/icons/border-none.ico", &MComicStripTool::setNoBorders},
        {QT_TR_NOOP("Draw"), QT_TR_NOOP("Draw comic strip in current layer"), ":/icons/pencil.ico", &MComicStripTool::print},
        {QT_TR_NOOP("Load"), QT_TR_NOOP("Load comic strip from file"), ":/icons/file-open.ico", &MComicStripTool::loadFromFile},
        {QT_TR_NOOP("Save"), QT_TR_NOOP("Save comic strip to file"), ":/icons/file-save.ico", &MComicStripTool::saveToFile},
    };
    for (const auto &entry : actions) {
        QAction *action = createOptionAction(tr(entry.text), tr(entry.tip), QString::fromLatin1(entry.icon), window);
        if (entry.slot) {
            connect(action, &QAction::triggered, strip, entry.slot);
        } else {
            action->setCheckable(true);
            connect(action, &QAction::toggled, strip, &MTool::set_locked);
        }
        bar->addAction(action);
    }
}

void MTools::createImageToolBar(QMainWindow *window)
{
    auto *image = tool<MImageTool>(MTool::ImageTool);
    QToolBar *bar = toolBar(MTool::ImageTool);
    if (!image || !bar)
        return;
    QAction *import = createOptionAction(tr("Import file"), tr("Import image file"),
                                         QStringLiteral(":/icons/file-open.ico"), window);
    connect(import, &QAction::triggered, image, &MImageTool::loadFromFile);
    bar->addAction(import);
    QAction *reset = createOptionAction(tr("Reset transfo"), tr("Reset the image transformation"),
                                        QStringLiteral(":/icons/refresh.ico"), window);
    connect(reset, &QAction::triggered, image, &MImageTool::resetTransfo);
    bar->addAction(reset);
    QAction *apply = createOptionAction(tr("Apply"), tr("Apply the image transformation in current layer"),
                                        QStringLiteral(":/icons/check.ico"), window);
    connect(apply, &QAction::triggered, image, qOverload<>(&MImageTool::apply));
    QAction *applyNew = createOptionAction(tr("Apply in new layer"), tr("Apply the image transformation in new layer"),
                                           QStringLiteral(":/icons/check-plus.ico"), window);
    connect(applyNew, &QAction::triggered, image, &MImageTool::applyInNewLayer);
    auto *applyButton = new MMenuButton(window);
    applyButton->setObjectName(QStringLiteral("imageApplyButton"));
    applyButton->setActions({apply, applyNew});
    bar->addWidget(applyButton);
    QAction *flipH = createOptionAction(tr("Flip horizontal"), tr("Flip horizontal"),
                                        QStringLiteral(":/icons/flip-horizontal.ico"), window);
    connect(flipH, &QAction::triggered, image, &MImageTool::flipHorizontal);
    bar->addAction(flipH);
    QAction *flipV = createOptionAction(tr("Flip vertical"), tr("Flip vertical"),
                                        QStringLiteral(":/icons/flip-vertical.ico"), window);
    connect(flipV, &QAction::triggered, image, &MImageTool::flipVertical);
    bar->addAction(flipV);
    addText(bar, window, tr("Angle"));
    addLabel(window, bar);
    auto *angle = new QDoubleSpinBox(window);
    angle->setObjectName(QStringLiteral("imageAngleBox"));
    angle->setRange(0, 360);
    angle->setValue(image->angle());
    connect(angle, QOverload<double>::of(&QDoubleSpinBox::valueChanged), image, &MImageTool::setAngle);
    connect(image, &MImageTool::angleChanged, angle, &QDoubleSpinBox::setValue);
    bar->addWidget(angle);
    QAction *pin = createOptionAction(tr("Pin"), tr("Pin the image"), QStringLiteral(":/icons/pin.ico"), window);
    pin->setCheckable(true);
    connect(pin, &QAction::toggled, image, &MImageTool::set_pinned);
    bar->addAction(pin);
    auto *background = new MImageBackgroundAction(new MImageBackgroundWidget, window);
    QToolButton *backgroundButton =
        createOptionMenuButton(window, QStringLiteral(":/icons/background.ico"), tr("Image background"), background);
    backgroundButton->setObjectName(QStringLiteral("imageBackgroundButton"));
    bar->addWidget(backgroundButton);
    addLabel(window, bar);
    addText(bar, window, tr("Clip to selection"));
    addLabel(window, bar);
    QCheckBox *clip = addCheckBox(bar, window, QStringLiteral("imageClipBox"), image->clipToSelection());
    connect(clip, &QCheckBox::toggled, image, &MImageTool::set_clipToSelection);
    addLabel(window, bar);
    addText(bar, window, tr("Opacity"));
    addLabel(window, bar);
    auto *opacity = new MDoubleSlider(window);
    opacity->setObjectName(QStringLiteral("imageOpacitySlider"));
    opacity->set_minimum(0);
    opacity->set_maximum(1);
    opacity->set_value(image->opacity());
    opacity->setMaximumWidth(100);
    connect(opacity, &MDoubleSlider::valueChanged, image, &MImageTool::set_opacity);
    bar->addWidget(opacity);
}

void MTools::createRullerToolBar(QMainWindow *window)
{
    auto *ruler = tool<MRullerTool>(MTool::RullerTool);
    QToolBar *bar = toolBar(MTool::RullerTool);
    if (!ruler || !bar)
        return;
    addLockAction(bar, window, ruler);
    addText(bar, window, tr("Angle step"));
    addLabel(window, bar);
    QSpinBox *step = addSpinBox(bar, window, QStringLiteral("rulerAngleStepBox"), 1, 360, ruler->angleStep());
    connect(step, QOverload<int>::of(&QSpinBox::valueChanged), ruler, &MRullerTool::set_angleStep);
    addLabel(window, bar);
    addText(bar, window, tr("Unit"));
    addLabel(window, bar);
    MEnumEdit *unit = addEnumEdit(bar, window, QStringLiteral("rulerUnitEdit"), 150, MRullerTool::staticMetaObject,
                                  "Unit", {}, ruler->unit());
    connect(unit, &MEnumEdit::valueChanged, ruler, &MRullerTool::set_unit);
}

namespace {
// The bucket's and the wand's threshold: a label, a slider with its box over
// the byte's useful range, a spacer.
template <class T>
void addThresholdEdit(QWidget *parent, QToolBar *bar, const QString &name, T *tool)
{
    addText(bar, parent, MTools::tr("Threshold"));
    MTools::addLabel(parent, bar);
    auto *edit = new MSliderSpinbox(parent);
    edit->setObjectName(name);
    edit->set_isPercentage(false);
    edit->set_maximum(255);
    edit->set_minimum(1);
    edit->set_singleStep(1);
    edit->set_sliderTracking(true);
    edit->setMaximumWidth(150);
    edit->set_value(tool->threshold());
    QObject::connect(edit, &MSliderSpinbox::valueChanged, tool, &T::setThreshold);
    bar->addWidget(edit);
    MTools::addLabel(parent, bar);
}
} // namespace

void MTools::createSelectionToolBar(QMainWindow *window)
{
    auto *selection = tool<MSelectionTool>(MTool::SelectionTool);
    QToolBar *bar = toolBar(MTool::SelectionTool);
    if (!selection || !bar)
        return;
    MEnumEdit *shape = addEnumEdit(bar, window, QStringLiteral("selectionShapeEdit"), 150,
                                   MSelectionTool::staticMetaObject, "SelectionShape",
                                   {QStringLiteral(":/icons/shape-rectangle.ico"), QStringLiteral(":/icons/shape-ellipse.ico"),
                                    QStringLiteral(":/icons/shape-polygon.ico"), QStringLiteral(":/icons/shape-curve.ico"),
                                    QStringLiteral(":/icons/shape-star.ico"), QStringLiteral(":/icons/shape-rounded-star.ico"),
                                    QStringLiteral(":/icons/lasso.ico")},
                                   0);
    connect(shape, &MEnumEdit::valueChanged, selection, &MSelectionTool::setSelectionShape);
    addLabel(window, bar);
    MEnumEdit *mode = addEnumEdit(bar, window, QStringLiteral("selectionModeEdit"), 150,
                                  MSelectionTool::staticMetaObject, "SelectionMode",
                                  {QStringLiteral(":/icons/selection-replace.ico"), QStringLiteral(":/icons/selection-add.ico"),
                                   QStringLiteral(":/icons/selection-subtract.ico"),
                                   QStringLiteral(":/icons/selection-intersection.ico")},
                                  0);
    connect(mode, &MEnumEdit::valueChanged, selection, &MSelectionTool::setSelectionMode);
    addLabel(window, bar);
    addText(bar, window, tr("Star corners"));
    addLabel(window, bar);
    QSpinBox *corners = addSpinBox(bar, window, QStringLiteral("starCornersBox"), MSelectionTool::minimumStarCount,
                                   MSelectionTool::maximumStarCount, selection->starCount());
    connect(corners, QOverload<int>::of(&QSpinBox::valueChanged), selection, &MSelectionTool::setStarCount);
}

void MTools::createFillToolBar(QMainWindow *window)
{
    auto *fill = tool<MFillTool>(MTool::FillTool);
    QToolBar *bar = toolBar(MTool::FillTool);
    if (!fill || !bar)
        return;
    addThresholdEdit(window, bar, QStringLiteral("fillThresholdEdit"), fill);
    addText(bar, window, tr("Pattern"));
    addLabel(window, bar);
    auto *patterns = new QComboBox(window);
    patterns->setObjectName(QStringLiteral("patternBox"));
    MPatternList *list = MPatternList::instance();
    for (int row = 0; row < list->count(); ++row) {
        const MPatternItem *item = list->at(row);
        patterns->addItem(QIcon(QPixmap::fromImage(item->image())), item->name());
    }
    connect(patterns, QOverload<int>::of(&QComboBox::activated), fill, qOverload<int>(&MFillTool::setPattern));
    bar->addWidget(patterns);
    QAction *load = createOptionAction(tr("Load pattern"), tr("Load a pattern file"),
                                       QStringLiteral(":/icons/file-open.ico"), window);
    connect(load, &QAction::triggered, fill, &MFillTool::loadPattern);
    bar->addAction(load);
    QAction *clear =
        createOptionAction(tr("Clear pattern"), tr("Clear pattern"), QStringLiteral(":/icons/reset.ico"), window);
    connect(clear, &QAction::triggered, fill, &MFillTool::clearPattern);
    bar->addAction(clear);
    addLabel(window, bar);
    addText(bar, window, tr("Use pattern colors"));
    addLabel(window, bar);
    QCheckBox *colors = addCheckBox(bar, window, QStringLiteral("usePatternColorBox"), fill->usePatternColor());
    connect(colors, &QCheckBox::toggled, fill, &MFillTool::set_usePatternColor);
}

void MTools::createFillSelectionToolBar(QMainWindow *window)
{
    auto *wand = tool<MFillSelectionTool>(MTool::FillSelectionTool);
    QToolBar *bar = toolBar(MTool::FillSelectionTool);
    if (!wand || !bar)
        return;
    addThresholdEdit(window, bar, QStringLiteral("wandThresholdEdit"), wand);
    addText(bar, window, tr("Layer"));
    addLabel(window, bar);
    MEnumEdit *layer = addEnumEdit(bar, window, QStringLiteral("wandLayerEdit"), 150,
                                   MFillSelectionTool::staticMetaObject, "SelectionLayer", {}, wand->selectionLayer());
    connect(layer, &MEnumEdit::valueChanged, wand, &MFillSelectionTool::set_selectionLayer);
}

void MTools::createGradientToolBar(QMainWindow *window)
{
    auto *gradient = tool<MGradientTool>(MTool::GradientTool);
    QToolBar *bar = toolBar(MTool::GradientTool);
    if (!gradient || !bar)
        return;
    addText(bar, window, tr("Type"));
    addLabel(window, bar);
    MEnumEdit *type = addEnumEdit(bar, window, QStringLiteral("gradientTypeEdit"), 150, MGradientTool::staticMetaObject,
                                  "Type", {}, 0);
    connect(type, &MEnumEdit::valueChanged, gradient, &MGradientTool::set_type);
    addLabel(window, bar);
    addText(bar, window, tr("Spread"));
    addLabel(window, bar);
    MEnumEdit *spread = addEnumEdit(bar, window, QStringLiteral("gradientSpreadEdit"), 150,
                                    MGradientTool::staticMetaObject, "Spread", {}, 0);
    connect(spread, &MEnumEdit::valueChanged, gradient, &MGradientTool::set_spread);
    addLabel(window, bar);
    QAction *rasterize = createOptionAction(tr("Rasterize"), tr("Rasterize current gradient"),
                                            QStringLiteral(":/icons/check.ico"), window);
    connect(rasterize, &QAction::triggered, gradient, qOverload<>(&MGradientTool::apply));
    bar->addAction(rasterize);
    QAction *remove = createOptionAction(tr("Remove"), tr("Remove selected gradient point"),
                                         QStringLiteral(":/icons/reset.ico"), window);
    connect(remove, &QAction::triggered, gradient, qOverload<>(&MGradientTool::removePoint));
    bar->addAction(remove);
    QAction *reset = createOptionAction(tr("Reset"), tr("Reset gradient points"), QStringLiteral(":/icons/refresh.ico"),
                                        window);
    connect(reset, &QAction::triggered, gradient, &MGradientTool::resetPoints);
    bar->addAction(reset);
    QAction *transparent = createOptionAction(tr("Transparent color"), tr("Transparent color"),
                                              QStringLiteral(":/icons/gradient-none.ico"), window);
    connect(transparent, &QAction::triggered, gradient, &MGradientTool::resetColor);
    bar->addAction(transparent);
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
    // The button does not own the menu it shows.
    auto *menu = new QMenu;
    menu->addAction(action);
    connect(button, &QObject::destroyed, menu, &QObject::deleteLater);
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
