#pragma once

#include <QDialog>

class MCanvas;
class MHistogram;

namespace Ui {
class DProperties;
}

// The document's size, its number of layers and the colour histogram of
// its flattened picture.
class DProperties : public QDialog
{
    Q_OBJECT
public:
    explicit DProperties(QWidget *parent = nullptr);
    ~DProperties() override;

    void setCanvas(MCanvas *canvas);
    MHistogram *histogram() const { return m_histogram; }

private:
    Ui::DProperties *ui;
    MHistogram *m_histogram;
    MCanvas *m_canvas = nullptr;
};
