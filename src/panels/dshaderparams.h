#pragma once

#include "mshaderobject.h"

#include <QDialog>
#include <QPointer>

namespace Ui {
class DShaderParams;
}
class MShader;

// Puts an effect on a layer and sets its values for that layer. Every edit
// reaches the layer at once; Escape or closing the window takes the layer
// back to where it was when the dialog opened.
class DShaderParams : public QDialog
{
    Q_OBJECT
public:
    DShaderParams(MShader *shader, MShaderObject *layer, QWidget *parent = nullptr);
    ~DShaderParams() override;

    // The layer's effect as it was before the dialog put its own on.
    MShaderObject::ShaderState entryState() const { return m_entryState; }

public slots:
    void reject() override;

signals:
    void shaderValuesChanged();
    void applyShader();

private slots:
    void on_previewButton_clicked();
    void on_removeButton_clicked();
    void on_applyButton_clicked();

private:
    Ui::DShaderParams *ui;
    QPointer<MShaderObject> m_layer;
    MShader *m_shader;
    MShaderObject::ShaderState m_entryState;
};
