#pragma once

#include <QDialog>
#include <QString>

class MKeySequenceEdit;
class QAction;
namespace Ui {
class DEditShortcut;
}

// Edits one command's shortcut.
class DEditShortcut : public QDialog
{
    Q_OBJECT
public:
    DEditShortcut(const QString &shortcut, QAction *action, QWidget *parent = nullptr);
    ~DEditShortcut() override;

    // Portable text of the edited sequence.
    QString shortcut() const;
    MKeySequenceEdit *keyEdit() const { return m_edit; }

private slots:
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
    void on_btnReset_clicked();
    void on_btnDefault_clicked();

private:
    Ui::DEditShortcut *ui;
    QString m_shortcut;
    QAction *m_action;
    MKeySequenceEdit *m_edit;
};
