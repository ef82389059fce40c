#pragma once

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QVariant>

class MLayer;
class MLayerEdits;
class MLayerStack;

namespace Ui {
class DLayerEdit;
}

// Edits one layer's name, opacity, visibility, lock and mask live, so the
// canvas follows every change. Ok records the whole edit as one undo step;
// every other way out (Cancel, Escape, the window's close button) puts the
// layer back as it was and records nothing.
class DLayerEdit : public QDialog
{
    Q_OBJECT
public:
    // row must name a layer of the document.
    DLayerEdit(MLayerStack *layers, MLayerEdits *edits, int row, QWidget *parent = nullptr);
    ~DLayerEdit() override;

    // Edits layer row in a modal dialog; a row that names no layer opens
    // nothing.
    static void edit(MLayerStack *layers, MLayerEdits *edits, int row);

    bool isChanged() const { return changed; }

public slots:
    void reject() override;

private slots:
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
    void widgetsToLayer();
    void layerToWidgets();

private:
    void restoreLayer();

    Ui::DLayerEdit *ui;
    MLayerStack *m_layers;
    MLayerEdits *m_edits;
    int row;
    MLayer *layer;
    MLayer *backup;
    bool changed = false;
    QHash<QByteArray, QVariant> oldValues;
    QHash<QByteArray, QVariant> newValues;
};
