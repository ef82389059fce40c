#pragma once

#include <QDialog>

class MComicStripTool;

namespace Ui {
class DComicStrip;
}

// Sets the grid of the comic-strip tool: margins, gaps, rows and columns.
// It edits the registry's tool directly and keeps no values of its own.
class DComicStrip : public QDialog
{
    Q_OBJECT
public:
    explicit DComicStrip(QWidget *parent = nullptr);
    ~DComicStrip() override;

private slots:
    void on_btnOk_clicked();
    void on_btnCancel_clicked();

private:
    static MComicStripTool *tool();

    Ui::DComicStrip *ui;
};
