#include "mcolorpalettewidget.h"
#include "ui_mcolorpalettewidget.h"

#include "mcolorlist.h"
#include "mpalettelist.h"
#include "msettings.h"
#include "mswatchlistwidget.h"
#include "mutility.h"

#include <QFileInfo>

MColorPaletteWidget::MColorPaletteWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MColorPaletteWidget)
{
    ui->setupUi(this);
    ui->tbNew->setDefaultAction(ui->actionNew);
    ui->tbSave->setDefaultAction(ui->actionSave);
    ui->tbDuplicate->setDefaultAction(ui->actionDuplicate);
    ui->tbRename->setDefaultAction(ui->actionRename);
    ui->tbDelete->setDefaultAction(ui->actionDelete);
    ui->tbPrependColor->setDefaultAction(ui->actionAdd_color);
    ui->tbRemoveColor->setDefaultAction(ui->actionRemove_color);
    MPaletteList *list = MPaletteList::instance();
    for (int i = 0; i < list->count(); ++i)
        ui->comboBox->addItem(list->at(i)->name());
    const int index = MSettings::instance()->paletteIndex();
    if (list->isValidRow(index))
        setCurrentPalette(index);
    else if (list->count() > 0)
        setCurrentPalette(0);
    makeConnections();
}

MColorPaletteWidget::~MColorPaletteWidget()
{
    delete ui;
}

MSwatchListWidget *MColorPaletteWidget::swatches() const
{
    return ui->widget;
}

MPalette *MColorPaletteWidget::current() const
{
    return MPaletteList::instance()->current();
}

void MColorPaletteWidget::makeConnections()
{
    MColorList *colors = MColorList::instance();
    m_connections = {
        connect(ui->comboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &MColorPaletteWidget::setCurrentPalette),
        connect(colors, &MColorList::colorChanged, this, &MColorPaletteWidget::setColor),
        connect(this, &MColorPaletteWidget::colorChanged, colors,
                QOverload<const QColor &, Qt::KeyboardModifiers>::of(&MColorList::setColor)),
        connect(ui->widget, &MSwatchListWidget::colorChanged, this, &MColorPaletteWidget::colorChanged),
        connect(ui->widget, &MSwatchListWidget::overColorIndexChanged, this,
                &MColorPaletteWidget::onOverColorIndexChanged),
    };
}

void MColorPaletteWidget::dropConnections()
{
    for (const QMetaObject::Connection &connection : qAsConst(m_connections))
        disconnect(connection);
    m_connections.clear();
}

void MColorPaletteWidget::setColor(const QColor &)
{
    ui->widget->update();
}

void MColorPaletteWidget::setCurrentPalette(int index)
{
    MPaletteList *list = MPaletteList::instance();
    if (list->isValidRow(index)) {
        const bool connected = !m_connections.isEmpty();
        dropConnections();
        list->setCurrentRow(index);
        ui->comboBox->setCurrentIndex(index);
        MSettings::instance()->set_paletteIndex(index);
        const bool system = list->at(index)->isSystem();
        for (QAction *action : {ui->actionDelete, ui->actionSave, ui->actionRename})
            action->setVisible(!system);
        // A tool button does not follow its action's visibility.
        for (QToolButton *button : {ui->tbDelete, ui->tbSave, ui->tbRename})
            button->setVisible(!system);
        ui->widget->setPaletteIndex(index);
        if (connected)
            makeConnections();
        emit selectPalette(system);
    }
    ui->widget->update();
}

void MColorPaletteWidget::onOverColorIndexChanged(int index)
{
    const MPalette *palette = current();
    if (palette && index >= 0 && index < palette->count())
        ui->colorLabel->setText(palette->nameAt(index));
}

void MColorPaletteWidget::saveChanged(MPalette *palette)
{
    if (!palette->isSystem())
        palette->save();
}

void MColorPaletteWidget::prependColor(const QColor &color)
{
    MPalette *palette = current();
    if (!palette)
        return;
    palette->prependColor(color);
    saveChanged(palette);
    ui->widget->update();
}

void MColorPaletteWidget::appendColor(const QColor &color)
{
    MPalette *palette = current();
    if (!palette)
        return;
    palette->appendColor(color);
    saveChanged(palette);
    ui->widget->update();
}

void MColorPaletteWidget::deleteColor()
{
    const int index = ui->widget->selectedIndex();
    MPalette *palette = current();
    if (index == -1 || !palette)
        return;
    dropConnections();
    palette->removeColor(index);
    saveChanged(palette);
    makeConnections();
    ui->widget->update();
}

static void critical(const QString &title, const QString &text)
{
    MUtility::showMessage(QMessageBox::Critical, title, text);
}

QString MColorPaletteWidget::askName(const QString &defaultName, const MPalette *renamed)
{
    for (;;) {
        const QString text = MUtility::askText(tr("Palette"), tr("Palette name:"), defaultName);
        if (text.isNull())
            return QString();
        const QString name = text.trimmed();
        if (name.isEmpty()) {
            critical(tr("Palette"), tr("The name cannot be empty. Please enter a name."));
            continue;
        }
        if (!MPalette::isValidName(name)) {
            critical(tr("Palette"), tr("The name is used as a file name: it cannot hold a dot or any of / \\ : * ? \" < > |."));
            continue;
        }
        const QString path = MPalette::filePathOf(name);
        const bool own = renamed && QFileInfo(renamed->filePath()).absoluteFilePath() == QFileInfo(path).absoluteFilePath();
        if (QFileInfo::exists(path) && !own) {
            critical(tr("Palette"), tr("A palette with this name already exists. Please choose another name."));
            continue;
        }
        return name;
    }
}

MPalette *MColorPaletteWidget::createPalette(const QString &defaultName)
{
    const QString name = askName(defaultName);
    if (name.isEmpty())
        return nullptr;
    MPaletteList *list = MPaletteList::instance();
    dropConnections();
    MPalette *palette = list->appendNew();
    palette->setIsSystem(false);
    palette->setName(name);
    ui->comboBox->addItem(name);
    setCurrentPalette(list->currentRow());
    makeConnections();
    if (!palette->save())
        critical(tr("Save palette"), tr("System error during saving the palette."));
    return palette;
}

void MColorPaletteWidget::newPalette()
{
    createPalette(tr("New palette"));
}

void MColorPaletteWidget::duplicatePalette()
{
    MPalette *source = current();
    if (!source)
        return;
    MPalette *copy = createPalette(source->name() + QStringLiteral(" - ") + tr("Copy"));
    if (!copy)
        return;
    copy->assign(source);
    if (!copy->save()) {
        critical(tr("Save palette"), tr("System error during saving the palette."));
        return;
    }
    dropConnections();
    setCurrentPalette(MPaletteList::instance()->currentRow());
    makeConnections();
}

void MColorPaletteWidget::renamePalette()
{
    MPalette *palette = current();
    if (!palette)
        return;
    if (palette->isSystem()) {
        critical(tr("Rename palette"), tr("You can't rename system palettes."));
        return;
    }
    const QString name = askName(palette->name(), palette);
    if (name.isEmpty())
        return;
    if (!palette->rename(name)) {
        critical(tr("Rename palette"), tr("System error during saving the palette."));
        return;
    }
    ui->comboBox->setItemText(MPaletteList::instance()->currentRow(), palette->name());
}

void MColorPaletteWidget::deletePalette()
{
    MPalette *palette = current();
    if (!palette)
        return;
    if (palette->isSystem()) {
        critical(tr("Delete palette"), tr("You can't delete system palettes."));
        return;
    }
    if (!MUtility::askConfirmation(tr("Delete palette"), tr("You want to delete a palette."),
                                   tr("Do you confirm the suppression?")))
        return;
    // Only this palette's own file goes, whatever other palette bears its name.
    palette->removeFile();
    MPaletteList *list = MPaletteList::instance();
    dropConnections();
    const int row = list->currentRow();
    ui->comboBox->removeItem(row);
    list->removeAt(row);
    setCurrentPalette(list->currentRow());
    MSettings::instance()->set_paletteIndex(0);
    makeConnections();
}

void MColorPaletteWidget::savePalette()
{
    MPalette *palette = current();
    if (palette && !palette->isSystem() && !palette->save())
        critical(tr("Save palette"), tr("System error during saving the palette."));
}

void MColorPaletteWidget::on_actionNew_triggered() { newPalette(); }
void MColorPaletteWidget::on_actionSave_triggered() { savePalette(); }
void MColorPaletteWidget::on_actionDuplicate_triggered() { duplicatePalette(); }
void MColorPaletteWidget::on_actionRename_triggered() { renamePalette(); }
void MColorPaletteWidget::on_actionDelete_triggered() { deletePalette(); }
void MColorPaletteWidget::on_actionAdd_color_triggered() { prependColor(MColorList::instance()->currentColor()); }
void MColorPaletteWidget::on_actionRemove_color_triggered() { deleteColor(); }
