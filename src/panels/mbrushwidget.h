#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class MBrushWidget;
}
class MBrushListWidget;

// The "Brush list" dock panel: the brush list under a search field that
// finds brushes by group and name, and a button asking for the sort dialog.
class MBrushWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MBrushWidget(QWidget *parent = nullptr);
    ~MBrushWidget() override;

    MBrushListWidget *brushListWidget() const;

public slots:
    void findFirst();
    void findNext();
    void on_btnSort_clicked();

signals:
    void doubleClick();
    void brushValuesChanged();
    void sortList();

private:
    // Makes the first brush from the start row on, going round, whose group
    // and name match the search text the library's current row.
    void findFrom(int start);

    std::unique_ptr<Ui::MBrushWidget> ui;
};
