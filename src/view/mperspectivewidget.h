#pragma once

#include <QWidget>

class MConnector;

namespace Ui {
class MPerspectiveWidget;
}

// The options of the perspective guide, popped up from its option bar: the
// vanishing points in use and their distances, the lines shown and the
// alignment of other tools' lines. Every edit goes to the guide at once.
class MPerspectiveWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MPerspectiveWidget(QWidget *parent = nullptr);
    ~MPerspectiveWidget() override;

public slots:
    void objectToWidgets();
    void widgetsToObject();

private:
    void connectEditors();

    Ui::MPerspectiveWidget *ui;
    MConnector *m_editors;
};
