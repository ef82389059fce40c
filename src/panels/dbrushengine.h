#pragma once

#include <QDialog>

namespace Ui {
class DBrushEngine;
}
class MShader;
class MShaderProxy;

// Picks a brush engine of the effect library.
class DBrushEngine : public QDialog
{
    Q_OBJECT
public:
    explicit DBrushEngine(QWidget *parent = nullptr);
    ~DBrushEngine() override;

    // Null until Ok chose one.
    MShader *shader() const { return m_shader; }
    MShaderProxy *proxy() const { return m_proxy; }

public slots:
    void search();
    void onCurrentIndexChanged();
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    Ui::DBrushEngine *ui;
    MShaderProxy *m_proxy;
    MShader *m_shader = nullptr;
};
