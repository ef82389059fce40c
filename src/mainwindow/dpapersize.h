#pragma once

#include <QDialog>
#include <QSizeF>
#include <QVector>

namespace Ui {
class DPaperSize;
}

// Turns a standard paper format, an orientation and a resolution into a
// pixel size.
class DPaperSize : public QDialog
{
    Q_OBJECT
public:
    explicit DPaperSize(QWidget *parent = nullptr);
    ~DPaperSize() override;

    int pixelWidth() const;
    int pixelHeight() const;

private slots:
    void onValuesChanged();
    void onWidthChanged(double value);
    void onHeightChanged(double value);
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    void connectFields(bool on);
    // The resolution in use; 0 when there is none.
    double resolution() const;
    // Pixels per unit of the width and height fields; 0 without a resolution.
    double factor() const;
    QSizeF paperSize() const;

    Ui::DPaperSize *ui;
    QVector<QSizeF> m_formats;
    bool m_connected = false;
};
