#include "mbrushlistwidget.h"

#include "dbrushsettings.h"
#include "mbrush.h"
#include "mbrushlist.h"
#include "mbrushlistdelegate.h"
#include "mlistpanel.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

MBrushListWidget::MBrushListWidget(QWidget *parent)
    : MListWidget(parent), m_brushDelegate(new MBrushListDelegate(this)),
      m_editSettingsAction(new QAction(tr("Edit settings"), this)),
      m_resetSettingsAction(new QAction(tr("Reset settings"), this))
{
    setItemWidth(150);
    setItemHeight(60);
    setDelegate(m_brushDelegate);
    setSourceModel(MBrushList::instance());
    connect(m_editSettingsAction, &QAction::triggered, this, &MBrushListWidget::editSettings);
    connect(m_resetSettingsAction, &QAction::triggered, this, &MBrushListWidget::resetSettings);
}

MBrush *MBrushListWidget::currentBrush() const
{
    return sourceModel() ? qobject_cast<MBrush *>(sourceModel()->currentItem()) : nullptr;
}

QList<QAction *> MBrushListWidget::contextMenuActions() const
{
    QList<QAction *> actions{m_editSettingsAction, m_resetSettingsAction};
    if (m_duplicateBrushAction)
        actions << m_duplicateBrushAction;
    if (m_loadBrushTextureAction)
        actions << m_loadBrushTextureAction;
    return actions;
}

void MBrushListWidget::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addActions(contextMenuActions());
    menu.exec(event->globalPos());
}

void MBrushListWidget::editSettings()
{
    // Without a current row the library hands out its default brush, which
    // belongs to no file.
    MBrush *brush = currentBrush();
    if (!brush || !sourceModel()->isValidRow(sourceModel()->currentRow()))
        return;
    {
        DBrushSettings dialog(this);
        dialog.setBrush(brush);
        dialog.exec();
    }
    emit brushValuesChanged();
    panel()->update();
}

void MBrushListWidget::resetSettings()
{
    if (MBrush *brush = currentBrush())
        brush->reload();
    panel()->update();
}

void MBrushListWidget::set_duplicateBrushAction(QAction *action)
{
    if (action == m_duplicateBrushAction)
        return;
    m_duplicateBrushAction = action;
    emit duplicateBrushActionChanged(action);
}

void MBrushListWidget::set_loadBrushTextureAction(QAction *action)
{
    if (action == m_loadBrushTextureAction)
        return;
    m_loadBrushTextureAction = action;
    emit loadBrushTextureActionChanged(action);
}
