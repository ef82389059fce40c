#pragma once

#include <QDialog>

class MHelpEngine;

namespace Ui {
class DHelpIndexEditor;
}

// The help index file as plain text; Ok writes it and reloads the topic tree.
class DHelpIndexEditor : public QDialog
{
    Q_OBJECT
public:
    DHelpIndexEditor(MHelpEngine *engine, QWidget *parent = nullptr);
    ~DHelpIndexEditor() override;

    QString text() const;
    void setText(const QString &text);

private slots:
    void on_btnOk_clicked();
    void on_btnCancel_clicked();

private:
    Ui::DHelpIndexEditor *ui;
    MHelpEngine *m_engine;
};
