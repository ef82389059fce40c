#pragma once

#include <QWidget>

namespace Ui {
class MShaderWidget;
}
class MShaderProxy;
class QAction;
class QTableView;

// The effect list: the effects of the library, searchable, with buttons for
// the main window's effect commands. The chosen row is the library's current
// effect; a double click applies it; a row dragged onto the canvas puts its
// effect on the current layer.
class MShaderWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QAction *newShaderAction READ newShaderAction WRITE set_newShaderAction NOTIFY newShaderActionChanged)
    Q_PROPERTY(QAction *removeShaderAction READ removeShaderAction WRITE set_removeShaderAction NOTIFY
                   removeShaderActionChanged)
    Q_PROPERTY(QAction *duplicateShaderAction READ duplicateShaderAction WRITE set_duplicateShaderAction NOTIFY
                   duplicateShaderActionChanged)
    Q_PROPERTY(QAction *editShaderAction READ editShaderAction WRITE set_editShaderAction NOTIFY
                   editShaderActionChanged)
    Q_PROPERTY(QAction *applyShaderAction READ applyShaderAction WRITE set_applyShaderAction NOTIFY
                   applyShaderActionChanged)
public:
    explicit MShaderWidget(QWidget *parent = nullptr);
    ~MShaderWidget() override;

    QAction *newShaderAction() const { return m_newShaderAction; }
    QAction *removeShaderAction() const { return m_removeShaderAction; }
    QAction *duplicateShaderAction() const { return m_duplicateShaderAction; }
    QAction *editShaderAction() const { return m_editShaderAction; }
    QAction *applyShaderAction() const { return m_applyShaderAction; }
    QTableView *tableView() const;
    MShaderProxy *proxy() const { return m_proxy; }

public slots:
    void set_newShaderAction(QAction *action);
    void set_removeShaderAction(QAction *action);
    void set_duplicateShaderAction(QAction *action);
    void set_editShaderAction(QAction *action);
    void set_applyShaderAction(QAction *action);
    void onCurrentIndexChanged();

signals:
    void newShaderActionChanged(QAction *action);
    void removeShaderActionChanged(QAction *action);
    void duplicateShaderActionChanged(QAction *action);
    void editShaderActionChanged(QAction *action);
    void applyShaderActionChanged(QAction *action);

private slots:
    void onApplyShader();
    void search();

private:
    Ui::MShaderWidget *ui;
    MShaderProxy *m_proxy;
    QAction *m_newShaderAction = nullptr;
    QAction *m_removeShaderAction = nullptr;
    QAction *m_duplicateShaderAction = nullptr;
    QAction *m_editShaderAction = nullptr;
    QAction *m_applyShaderAction = nullptr;
};
