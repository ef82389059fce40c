#pragma once

#include "mlistwidget.h"

#include <QList>

class MBrush;
class MBrushListDelegate;
class QAction;

// The brush library as a list of brush previews, with a context menu to edit
// or reset the current brush and the main window's duplicate and texture
// commands.
class MBrushListWidget : public MListWidget
{
    Q_OBJECT
    Q_PROPERTY(QAction *duplicateBrushAction READ duplicateBrushAction WRITE set_duplicateBrushAction NOTIFY
                   duplicateBrushActionChanged)
    Q_PROPERTY(QAction *loadBrushTextureAction READ loadBrushTextureAction WRITE set_loadBrushTextureAction NOTIFY
                   loadBrushTextureActionChanged)
public:
    explicit MBrushListWidget(QWidget *parent = nullptr);

    QAction *duplicateBrushAction() const { return m_duplicateBrushAction; }
    QAction *loadBrushTextureAction() const { return m_loadBrushTextureAction; }
    QAction *editSettingsAction() const { return m_editSettingsAction; }
    QAction *resetSettingsAction() const { return m_resetSettingsAction; }
    // The entries of the context menu, in order.
    QList<QAction *> contextMenuActions() const;
    MBrush *currentBrush() const;

public slots:
    void editSettings();
    void resetSettings();
    void set_duplicateBrushAction(QAction *action);
    void set_loadBrushTextureAction(QAction *action);

signals:
    void duplicateBrushActionChanged(QAction *action);
    void loadBrushTextureActionChanged(QAction *action);
    void brushValuesChanged();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    MBrushListDelegate *m_brushDelegate;
    QAction *m_editSettingsAction;
    QAction *m_resetSettingsAction;
    QAction *m_duplicateBrushAction = nullptr;
    QAction *m_loadBrushTextureAction = nullptr;
};
