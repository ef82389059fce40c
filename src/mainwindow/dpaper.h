#pragma once

#include <QDialog>

class MPaper;
class MPaperFields;

namespace Ui {
class DPaper;
}

// Edits the paper of the open document: type, image, colour, auto extension,
// extent margin and the size of the painted rectangle.
class DPaper : public QDialog
{
    Q_OBJECT
public:
    DPaper(MPaper *paper, QWidget *parent = nullptr);
    ~DPaper() override;

signals:
    // Ok with an edited size: the painted rectangle the painter asked for,
    // about the old centre. The document's owner records it as an undo step.
    void paintedRectWanted(const QRectF &rect);

private slots:
    void autoExtentChanged(bool checked);
    void on_btnEditColor_clicked();
    void on_btnClearColor_clicked();
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
    void on_btnEditPaper_clicked();
    void widthChanged(int width);
    void heightChanged(int height);

private:
    void connectSize(bool on);

    Ui::DPaper *ui;
    MPaper *m_document;
    MPaperFields *m_paper;
    double m_ratio = 1;
    bool m_sizeChanged = false;
};
