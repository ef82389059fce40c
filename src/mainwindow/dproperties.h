#pragma once

#include <QDialog>

class MDocumentRenderer;
class MHistogram;
class MLayerStack;
class MPaper;

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

    void setDocument(MPaper *paper, MLayerStack *layers, MDocumentRenderer *renderer);
    MHistogram *histogram() const { return m_histogram; }

private:
    Ui::DProperties *ui;
    MHistogram *m_histogram;
};
