#include "mtoolbars.h"

#include "mbrushstyle.h"
#include "mbrushstyleaction.h"
#include "mbrushstylewidget.h"
#include "mbrushtool.h"
#include "mcomicstriptool.h"
#include "mdoubleslider.h"
#include "menumedit.h"
#include "mfillselectiontool.h"
#include "mfilltool.h"
#include "mfontstyle.h"
#include "mfontstyleaction.h"
#include "mfontstylewidget.h"
#include "mgradienttool.h"
#include "mgridtool.h"
#include "mimagebackgroundaction.h"
#include "mimagebackgroundwidget.h"
#include "mimagetool.h"
#include "mlinetool.h"
#include "mmenubutton.h"
#include "mpatternlist.h"
#include "mperspectiveaction.h"
#include "mperspectivetool.h"
#include "mperspectivewidget.h"
#include "mrullertool.h"
#include "mselectiontool.h"
#include "mshapeaction.h"
#include "mshapetool.h"
#include "mshapewidget.h"
#include "msliderspinbox.h"
#include "mstrokestyle.h"
#include "mstrokestyleaction.h"
#include "mstrokestylewidget.h"
#include "msymmetrytool.h"
#include "mtexttool.h"
#include "mtools.h"
#include "mwidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPixmap>
#include <QShortcut>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

namespace {

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

// An option action put on the bar that calls the tool's slot when triggered.
template <class T, class Slot>
QAction *addToolAction(QToolBar *bar, QWidget *window, const QString &text, const QString &toolTip,
                       const QString &iconPath, T *tool, Slot slot)
{
    QAction *action = MTools::createOptionAction(text, toolTip, iconPath, window);
    QObject::connect(action, &QAction::triggered, tool, slot);
    bar->addAction(action);
    return action;
}

// "Angle" and a box of 0 to 360 degrees kept in step with the item's angle.
template <class T, class Setter, class Signal>
void addAngleBox(QToolBar *bar, QWidget *window, const QString &name, T *tool, double angle, Setter setAngle,
                 Signal angleChanged)
{
    addText(bar, window, MTools::tr("Angle"));
    MTools::addLabel(window, bar);
    auto *box = new QDoubleSpinBox(window);
    box->setObjectName(name);
    box->setRange(0, 360);
    box->setValue(angle);
    QObject::connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), tool, setAngle);
    QObject::connect(tool, angleChanged, box, &QDoubleSpinBox::setValue);
    bar->addWidget(box);
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

void MToolBars::createGridToolBar(MTools *tools, QMainWindow *window)
{
    auto *grid = tools->tool<MGridTool>(MTool::GridTool);
    QToolBar *bar = tools->toolBar(MTool::GridTool);
    if (!grid || !bar)
        return;
    bar->addWidget(new QLabel(MTools::tr("Size"), window));
    MTools::addLabel(window, bar);
    auto *size = new QSpinBox(window);
    size->setObjectName(QStringLiteral("gridSizeBox"));
    size->setRange(2, 500);
    size->setValue(grid->gridSize());
    QObject::connect(size, QOverload<int>::of(&QSpinBox::valueChanged), grid, &MGridTool::set_gridSize);
    bar->addWidget(size);
    MTools::addLabel(window, bar);
    addToolAction(bar, window, MTools::tr("Color"), MTools::tr("Set grid color"),
                  QStringLiteral(":/icons/stroke.ico"), grid, &MGridTool::colorDialog);
}

void MToolBars::createBrushToolBar(MTools *tools, QMainWindow *window)
{
    auto *brush = tools->tool<MBrushTool>(MTool::BrushTool);
    QToolBar *bar = tools->toolBar(MTool::BrushTool);
    if (!brush || !bar)
        return;
    addText(bar, window, MTools::tr("Follow path"));
    MTools::addLabel(window, bar);
    QCheckBox *follow = addCheckBox(bar, window, QStringLiteral("followPathBox"), brush->drawOnPath());
    QObject::connect(follow, &QCheckBox::toggled, brush, &MBrushTool::set_drawOnPath);
    QObject::connect(brush, &MBrushTool::drawOnPathChanged, follow, &QCheckBox::setChecked);
    MTools::addLabel(window, bar);
}

void MToolBars::createSymmetryToolBar(MTools *tools, QMainWindow *window)
{
    auto *symmetry = tools->tool<MSymmetryTool>(MTool::SymmetryTool);
    QToolBar *bar = tools->toolBar(MTool::SymmetryTool);
    if (!symmetry || !bar)
        return;
    addText(bar, window, MTools::tr("Sym. number"));
    MTools::addLabel(window, bar);
    QSpinBox *number = addSpinBox(bar, window, QStringLiteral("symmetryNumberBox"), 1, 30, 1);
    QObject::connect(number, QOverload<int>::of(&QSpinBox::valueChanged), symmetry, &MSymmetryTool::setSymmetryNumber);
    MTools::addLabel(window, bar);
    addLockAction(bar, window, symmetry);
    MTools::addLabel(window, bar);
}

void MToolBars::createPerspectiveToolBar(MTools *tools, QMainWindow *window)
{
    auto *perspective = tools->tool<MPerspectiveTool>(MTool::PerspectiveTool);
    QToolBar *bar = tools->toolBar(MTool::PerspectiveTool);
    if (!perspective || !bar)
        return;
    auto *options = new MPerspectiveAction(new MPerspectiveWidget, window);
    QToolButton *settings = MTools::createOptionMenuButton(window, QStringLiteral(":/icons/gear.ico"), MTools::tr("Settings"), options);
    settings->setObjectName(QStringLiteral("perspectiveSettingsButton"));
    settings->setToolTip(MTools::tr("Grid settings"));
    bar->addWidget(settings);
    bar->addSeparator();
    // Option actions stay unnamed: named actions would join the window's shortcut store.
    auto add = [&](const QString &text, const QString &tip, const char *icon, void (MPerspectiveTool::*slot)()) {
        QAction *action = MTools::createOptionAction(text, tip, QString::fromLatin1(icon), window);
        QObject::connect(action, &QAction::triggered, perspective, slot);
        bar->addAction(action);
    };
    add(MTools::tr("Add"), MTools::tr("Add perspective control point"), ":/icons/plus.ico",
        &MPerspectiveTool::addControlPoint);
    add(MTools::tr("Remove"), MTools::tr("Remove perspective control point"), ":/icons/minus.ico",
        &MPerspectiveTool::removeControlPoint);
    addLockAction(bar, window, perspective);
    add(MTools::tr("Draw"), MTools::tr("Draw figure in current layer"), ":/icons/pencil.ico", &MPerspectiveTool::print);
    add(MTools::tr("Reset"), MTools::tr("Reset vanishing points"), ":/icons/refresh.ico", &MPerspectiveTool::reset);
}

void MToolBars::createLineToolBar(MTools *tools, QMainWindow *window)
{
    auto *line = tools->tool<MLineTool>(MTool::LineTool);
    QToolBar *bar = tools->toolBar(MTool::LineTool);
    if (!line || !bar)
        return;
    MEnumEdit *type = addEnumEdit(bar, window, QStringLiteral("lineTypeEdit"), 200, MLineTool::staticMetaObject,
                                  "LineType",
                                  {QStringLiteral(":/icons/line-single.ico"), QStringLiteral(":/icons/line-poly.ico"),
                                   QStringLiteral(":/icons/line-curved.ico")},
                                  0);
    QObject::connect(type, &MEnumEdit::valueChanged, line, &MLineTool::set_lineType);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Close figure"));
    MTools::addLabel(window, bar);
    QCheckBox *close = addCheckBox(bar, window, QStringLiteral("closeFigureBox"), line->closeFigure());
    QObject::connect(close, &QCheckBox::toggled, line, &MLineTool::set_closeFigure);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Hand drawn lines"));
    MTools::addLabel(window, bar);
    QCheckBox *hand = addCheckBox(bar, window, QStringLiteral("handDrawBox"), line->handDraw());
    QObject::connect(hand, &QCheckBox::toggled, line, &MLineTool::set_handDraw);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Angle step"));
    QSpinBox *step = addSpinBox(bar, window, QStringLiteral("lineAngleStepBox"), 1, 360, line->angleStep());
    QObject::connect(step, QOverload<int>::of(&QSpinBox::valueChanged), line, &MLineTool::set_angleStep);
}

void MToolBars::createShapeToolBar(MTools *tools, QMainWindow *window)
{
    auto *shape = tools->tool<MShapeTool>(MTool::ShapeTool);
    QToolBar *bar = tools->toolBar(MTool::ShapeTool);
    if (!shape || !bar)
        return;
    addToolAction(bar, window, MTools::tr("Rasterize"), MTools::tr("Rasterize current shape"),
                  QStringLiteral(":/icons/check.ico"), shape, qOverload<>(&MShapeTool::apply));
    addSelectionEdits(bar, window, QStringLiteral("shape"), shape);
    addAngleBox(bar, window, QStringLiteral("shapeAngleBox"), shape, shape->angle(), &MShapeTool::setAngle,
                &MShapeTool::angleChanged);
    MTools::addLabel(window, bar);
    addStyleButtons(bar, window, QStringLiteral("shape"), shape->strokeStyle(), shape->brushStyle());
    auto *chooser = new MShapeAction(new MShapeWidget, window);
    QToolButton *button = MTools::createOptionMenuButton(window, QStringLiteral(":/icons/shape-rounded-star.ico"), MTools::tr("Shape"), chooser);
    button->setObjectName(QStringLiteral("shapeChooserButton"));
    bar->addWidget(button);
}

void MToolBars::createTextToolBar(MTools *tools, QMainWindow *window)
{
    auto *text = tools->tool<MTextTool>(MTool::TextTool);
    QToolBar *bar = tools->toolBar(MTool::TextTool);
    if (!text || !bar)
        return;
    addToolAction(bar, window, MTools::tr("Rasterize"), MTools::tr("Rasterize current text"),
                  QStringLiteral(":/icons/check.ico"), text, qOverload<>(&MTextTool::apply));
    addSelectionEdits(bar, window, QStringLiteral("text"), text);
    addAngleBox(bar, window, QStringLiteral("textAngleBox"), text, text->textAngle(), &MTextTool::setTextAngle,
                &MTextTool::textAngleChanged);
    MTools::addLabel(window, bar);
    addStyleButtons(bar, window, QStringLiteral("text"), text->strokeStyle(), text->brushStyle());
    auto *fontEditor = new MFontStyleWidget;
    fontEditor->setStyle(text->fontStyle());
    auto *font = new MFontStyleAction(fontEditor, window);
    QToolButton *fontButton = MTools::createOptionMenuButton(window, QStringLiteral(":/icons/font.ico"), MTools::tr("Font style"), font);
    fontButton->setObjectName(QStringLiteral("textFontStyleButton"));
    bar->addWidget(fontButton);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Text"));
    MTools::addLabel(window, bar);
    auto *edit = new QLineEdit(window);
    edit->setObjectName(QStringLiteral("textEdit"));
    edit->setMaximumWidth(300);
    edit->setText(text->text());
    bar->addWidget(edit);
    MTools::addLabel(window, bar);
    QObject::connect(edit, &QLineEdit::textChanged, text, &MTextTool::setText);
    QObject::connect(text, &MTextTool::textEntryWanted, edit, [edit] {
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
    });
    // Once the text is placed from the bar's own buttons, or the bar goes
    // with its tool, the field must not keep the keyboard: the tools' keys
    // are for the canvas again.
    const auto giveKeyboardBack = [edit] {
        MWidget *view = MTools::widget();
        if (view && edit->hasFocus())
            view->setFocus(Qt::OtherFocusReason);
    };
    QObject::connect(text, &MTextTool::textEntryDone, edit, giveKeyboardBack);
    QObject::connect(bar, &QToolBar::visibilityChanged, edit, [giveKeyboardBack](bool visible) {
        if (!visible)
            giveKeyboardBack();
    });
    // Enter and Escape in the field do what they do on the canvas (place or
    // drop the item) and give the keyboard back to the canvas.
    const auto likeOnTheCanvas = [text](Qt::Key key) {
        if (MWidget *view = MTools::widget())
            view->setFocus(Qt::OtherFocusReason);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        text->keyPressEvent(&press);
    };
    QObject::connect(edit, &QLineEdit::returnPressed, text, [likeOnTheCanvas] { likeOnTheCanvas(Qt::Key_Return); });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), edit, nullptr, nullptr, Qt::WidgetShortcut);
    QObject::connect(escape, &QShortcut::activated, text, [likeOnTheCanvas] { likeOnTheCanvas(Qt::Key_Escape); });
}

void MToolBars::createComicStripToolBar(MTools *tools, QMainWindow *window)
{
    auto *strip = tools->tool<MComicStripTool>(MTool::ComicStripTool);
    QToolBar *bar = tools->toolBar(MTool::ComicStripTool);
    if (!strip || !bar)
        return;
    const struct {
        const char *text;
        const char *tip;
        const char *icon;
        void (MComicStripTool::*slot)();
    } actions[] = {
        {QT_TRANSLATE_NOOP("MTools", "Settings"), QT_TRANSLATE_NOOP("MTools", "Comic strip settings"), ":/icons/gear.ico", &MComicStripTool::reset},
        {QT_TRANSLATE_NOOP("MTools", "Lock"), QT_TRANSLATE_NOOP("MTools", "Lock control points"), ":/icons/lock-on.ico", nullptr},
        {QT_TRANSLATE_NOOP("MTools", "Select all"), QT_TRANSLATE_NOOP("MTools", "Select all"), ":/icons/select-all.ico", &MComicStripTool::selectAll},
        {QT_TRANSLATE_NOOP("MTools", "Unselect all"), QT_TRANSLATE_NOOP("MTools", "Unselect all"), ":/icons/unselect-all.ico", &MComicStripTool::unselectAll},
        {QT_TRANSLATE_NOOP("MTools", "Add a cell"), QT_TRANSLATE_NOOP("MTools", "Add a cell"), ":/icons/plus.ico", &MComicStripTool::addCell},
        {QT_TRANSLATE_NOOP("MTools", "Remove cells"), QT_TRANSLATE_NOOP("MTools", "Remove selected cells"), ":/icons/minus.ico", &MComicStripTool::removeCells},
        {QT_TRANSLATE_NOOP("MTools", "Top"), QT_TRANSLATE_NOOP("MTools", "Set top border"), ":/icons/border-top.ico", &MComicStripTool::setTopBorder},
        {QT_TRANSLATE_NOOP("MTools", "Bottom"), QT_TRANSLATE_NOOP("MTools", "Set bottom border"), ":/icons/border-btm.ico", &MComicStripTool::setBottomBorder},
        {QT_TRANSLATE_NOOP("MTools", "Left"), QT_TRANSLATE_NOOP("MTools", "Set left border"), ":/icons/border-left.ico", &MComicStripTool::setLeftBorder},
        {QT_TRANSLATE_NOOP("MTools", "Right"), QT_TRANSLATE_NOOP("MTools", "Set right border"), ":/icons/border-right.ico", &MComicStripTool::setRightBorder},
        {QT_TRANSLATE_NOOP("MTools", "All borders"), QT_TRANSLATE_NOOP("MTools", "Set all borders"), ":/icons/border-out.ico", &MComicStripTool::setAllBorders},
        {QT_TRANSLATE_NOOP("MTools", "No borders"), QT_TRANSLATE_NOOP("MTools", "Set no borders"), ":/icons/border-none.ico", &MComicStripTool::setNoBorders},
        {QT_TRANSLATE_NOOP("MTools", "Draw"), QT_TRANSLATE_NOOP("MTools", "Draw comic strip in current layer"), ":/icons/pencil.ico", &MComicStripTool::print},
        {QT_TRANSLATE_NOOP("MTools", "Load"), QT_TRANSLATE_NOOP("MTools", "Load comic strip from file"), ":/icons/file-open.ico", &MComicStripTool::loadFromFile},
        {QT_TRANSLATE_NOOP("MTools", "Save"), QT_TRANSLATE_NOOP("MTools", "Save comic strip to file"), ":/icons/file-save.ico", &MComicStripTool::saveToFile},
    };
    for (const auto &entry : actions) {
        QAction *action = MTools::createOptionAction(MTools::tr(entry.text), MTools::tr(entry.tip), QString::fromLatin1(entry.icon), window);
        if (entry.slot) {
            QObject::connect(action, &QAction::triggered, strip, entry.slot);
        } else {
            action->setCheckable(true);
            QObject::connect(action, &QAction::toggled, strip, &MTool::set_locked);
        }
        bar->addAction(action);
    }
}

void MToolBars::createImageToolBar(MTools *tools, QMainWindow *window)
{
    auto *image = tools->tool<MImageTool>(MTool::ImageTool);
    QToolBar *bar = tools->toolBar(MTool::ImageTool);
    if (!image || !bar)
        return;
    addToolAction(bar, window, MTools::tr("Import file"), MTools::tr("Import image file"),
                  QStringLiteral(":/icons/file-open.ico"), image, &MImageTool::loadFromFile);
    addToolAction(bar, window, MTools::tr("Reset transfo"), MTools::tr("Reset the image transformation"),
                  QStringLiteral(":/icons/refresh.ico"), image, &MImageTool::resetTransfo);
    QAction *apply = MTools::createOptionAction(MTools::tr("Apply"), MTools::tr("Apply the image transformation in current layer"),
                                        QStringLiteral(":/icons/check.ico"), window);
    QObject::connect(apply, &QAction::triggered, image, qOverload<>(&MImageTool::apply));
    QAction *applyNew = MTools::createOptionAction(MTools::tr("Apply in new layer"), MTools::tr("Apply the image transformation in new layer"),
                                           QStringLiteral(":/icons/check-plus.ico"), window);
    QObject::connect(applyNew, &QAction::triggered, image, &MImageTool::applyInNewLayer);
    auto *applyButton = new MMenuButton(window);
    applyButton->setObjectName(QStringLiteral("imageApplyButton"));
    applyButton->setActions({apply, applyNew});
    bar->addWidget(applyButton);
    addToolAction(bar, window, MTools::tr("Flip horizontal"), MTools::tr("Flip horizontal"),
                  QStringLiteral(":/icons/flip-horizontal.ico"), image, &MImageTool::flipHorizontal);
    addToolAction(bar, window, MTools::tr("Flip vertical"), MTools::tr("Flip vertical"),
                  QStringLiteral(":/icons/flip-vertical.ico"), image, &MImageTool::flipVertical);
    addAngleBox(bar, window, QStringLiteral("imageAngleBox"), image, image->angle(), &MImageTool::setAngle,
                &MImageTool::angleChanged);
    QAction *pin = MTools::createOptionAction(MTools::tr("Pin"), MTools::tr("Pin the image"), QStringLiteral(":/icons/pin.ico"), window);
    pin->setCheckable(true);
    QObject::connect(pin, &QAction::toggled, image, &MImageTool::set_pinned);
    bar->addAction(pin);
    auto *background = new MImageBackgroundAction(new MImageBackgroundWidget, window);
    QToolButton *backgroundButton =
        MTools::createOptionMenuButton(window, QStringLiteral(":/icons/background.ico"), MTools::tr("Image background"), background);
    backgroundButton->setObjectName(QStringLiteral("imageBackgroundButton"));
    bar->addWidget(backgroundButton);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Clip to selection"));
    MTools::addLabel(window, bar);
    QCheckBox *clip = addCheckBox(bar, window, QStringLiteral("imageClipBox"), image->clipToSelection());
    QObject::connect(clip, &QCheckBox::toggled, image, &MImageTool::set_clipToSelection);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Opacity"));
    MTools::addLabel(window, bar);
    auto *opacity = new MDoubleSlider(window);
    opacity->setObjectName(QStringLiteral("imageOpacitySlider"));
    opacity->set_minimum(0);
    opacity->set_maximum(1);
    opacity->set_value(image->opacity());
    opacity->setMaximumWidth(100);
    QObject::connect(opacity, &MDoubleSlider::valueChanged, image, &MImageTool::set_opacity);
    bar->addWidget(opacity);
}

void MToolBars::createRullerToolBar(MTools *tools, QMainWindow *window)
{
    auto *ruler = tools->tool<MRullerTool>(MTool::RullerTool);
    QToolBar *bar = tools->toolBar(MTool::RullerTool);
    if (!ruler || !bar)
        return;
    addLockAction(bar, window, ruler);
    addText(bar, window, MTools::tr("Angle step"));
    MTools::addLabel(window, bar);
    QSpinBox *step = addSpinBox(bar, window, QStringLiteral("rulerAngleStepBox"), 1, 360, ruler->angleStep());
    QObject::connect(step, QOverload<int>::of(&QSpinBox::valueChanged), ruler, &MRullerTool::set_angleStep);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Unit"));
    MTools::addLabel(window, bar);
    MEnumEdit *unit = addEnumEdit(bar, window, QStringLiteral("rulerUnitEdit"), 150, MRullerTool::staticMetaObject,
                                  "Unit", {}, ruler->unit());
    QObject::connect(unit, &MEnumEdit::valueChanged, ruler, &MRullerTool::set_unit);
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

void MToolBars::createSelectionToolBar(MTools *tools, QMainWindow *window)
{
    auto *selection = tools->tool<MSelectionTool>(MTool::SelectionTool);
    QToolBar *bar = tools->toolBar(MTool::SelectionTool);
    if (!selection || !bar)
        return;
    MEnumEdit *shape = addEnumEdit(bar, window, QStringLiteral("selectionShapeEdit"), 150,
                                   MSelectionTool::staticMetaObject, "SelectionShape",
                                   {QStringLiteral(":/icons/shape-rectangle.ico"), QStringLiteral(":/icons/shape-ellipse.ico"),
                                    QStringLiteral(":/icons/shape-polygon.ico"), QStringLiteral(":/icons/shape-curve.ico"),
                                    QStringLiteral(":/icons/shape-star.ico"), QStringLiteral(":/icons/shape-rounded-star.ico"),
                                    QStringLiteral(":/icons/lasso.ico")},
                                   0);
    QObject::connect(shape, &MEnumEdit::valueChanged, selection, &MSelectionTool::setSelectionShape);
    MTools::addLabel(window, bar);
    MEnumEdit *mode = addEnumEdit(bar, window, QStringLiteral("selectionModeEdit"), 150,
                                  MSelectionTool::staticMetaObject, "SelectionMode",
                                  {QStringLiteral(":/icons/selection-replace.ico"), QStringLiteral(":/icons/selection-add.ico"),
                                   QStringLiteral(":/icons/selection-subtract.ico"),
                                   QStringLiteral(":/icons/selection-intersection.ico")},
                                  0);
    QObject::connect(mode, &MEnumEdit::valueChanged, selection, &MSelectionTool::setSelectionMode);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Star corners"));
    MTools::addLabel(window, bar);
    QSpinBox *corners = addSpinBox(bar, window, QStringLiteral("starCornersBox"), MSelectionTool::minimumStarCount,
                                   MSelectionTool::maximumStarCount, selection->starCount());
    QObject::connect(corners, QOverload<int>::of(&QSpinBox::valueChanged), selection, &MSelectionTool::setStarCount);
}

void MToolBars::createFillToolBar(MTools *tools, QMainWindow *window)
{
    auto *fill = tools->tool<MFillTool>(MTool::FillTool);
    QToolBar *bar = tools->toolBar(MTool::FillTool);
    if (!fill || !bar)
        return;
    addThresholdEdit(window, bar, QStringLiteral("fillThresholdEdit"), fill);
    addText(bar, window, MTools::tr("Pattern"));
    MTools::addLabel(window, bar);
    auto *patterns = new QComboBox(window);
    patterns->setObjectName(QStringLiteral("patternBox"));
    MPatternList *list = MPatternList::instance();
    for (int row = 0; row < list->count(); ++row) {
        const MPatternItem *item = list->at(row);
        patterns->addItem(QIcon(QPixmap::fromImage(item->image())), item->name());
    }
    QObject::connect(patterns, QOverload<int>::of(&QComboBox::activated), fill, qOverload<int>(&MFillTool::setPattern));
    bar->addWidget(patterns);
    addToolAction(bar, window, MTools::tr("Load pattern"), MTools::tr("Load a pattern file"),
                  QStringLiteral(":/icons/file-open.ico"), fill, &MFillTool::loadPattern);
    QAction *clear =
        MTools::createOptionAction(MTools::tr("Clear pattern"), MTools::tr("Clear pattern"), QStringLiteral(":/icons/reset.ico"), window);
    QObject::connect(clear, &QAction::triggered, fill, &MFillTool::clearPattern);
    bar->addAction(clear);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Use pattern colors"));
    MTools::addLabel(window, bar);
    QCheckBox *colors = addCheckBox(bar, window, QStringLiteral("usePatternColorBox"), fill->usePatternColor());
    QObject::connect(colors, &QCheckBox::toggled, fill, &MFillTool::set_usePatternColor);
}

void MToolBars::createFillSelectionToolBar(MTools *tools, QMainWindow *window)
{
    auto *wand = tools->tool<MFillSelectionTool>(MTool::FillSelectionTool);
    QToolBar *bar = tools->toolBar(MTool::FillSelectionTool);
    if (!wand || !bar)
        return;
    addThresholdEdit(window, bar, QStringLiteral("wandThresholdEdit"), wand);
    addText(bar, window, MTools::tr("Layer"));
    MTools::addLabel(window, bar);
    MEnumEdit *layer = addEnumEdit(bar, window, QStringLiteral("wandLayerEdit"), 150,
                                   MFillSelectionTool::staticMetaObject, "SelectionLayer", {}, wand->selectionLayer());
    QObject::connect(layer, &MEnumEdit::valueChanged, wand, &MFillSelectionTool::set_selectionLayer);
}


void MToolBars::createGradientToolBar(MTools *tools, QMainWindow *window)
{
    auto *gradient = tools->tool<MGradientTool>(MTool::GradientTool);
    QToolBar *bar = tools->toolBar(MTool::GradientTool);
    if (!gradient || !bar)
        return;
    addText(bar, window, MTools::tr("Type"));
    MTools::addLabel(window, bar);
    MEnumEdit *type = addEnumEdit(bar, window, QStringLiteral("gradientTypeEdit"), 150, MGradientTool::staticMetaObject,
                                  "Type", {}, 0);
    QObject::connect(type, &MEnumEdit::valueChanged, gradient, &MGradientTool::set_type);
    MTools::addLabel(window, bar);
    addText(bar, window, MTools::tr("Spread"));
    MTools::addLabel(window, bar);
    MEnumEdit *spread = addEnumEdit(bar, window, QStringLiteral("gradientSpreadEdit"), 150,
                                    MGradientTool::staticMetaObject, "Spread", {}, 0);
    QObject::connect(spread, &MEnumEdit::valueChanged, gradient, &MGradientTool::set_spread);
    MTools::addLabel(window, bar);
    addToolAction(bar, window, MTools::tr("Rasterize"), MTools::tr("Rasterize current gradient"),
                  QStringLiteral(":/icons/check.ico"), gradient, qOverload<>(&MGradientTool::apply));
    addToolAction(bar, window, MTools::tr("Remove"), MTools::tr("Remove selected gradient point"),
                  QStringLiteral(":/icons/reset.ico"), gradient, qOverload<>(&MGradientTool::removePoint));
    addToolAction(bar, window, MTools::tr("Reset"), MTools::tr("Reset gradient points"),
                  QStringLiteral(":/icons/refresh.ico"), gradient, &MGradientTool::resetPoints);
    addToolAction(bar, window, MTools::tr("Transparent color"), MTools::tr("Transparent color"),
                  QStringLiteral(":/icons/gradient-none.ico"), gradient, &MGradientTool::resetColor);
}
