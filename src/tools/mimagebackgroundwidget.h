#pragma once

#include <QWidget>

class MConnector;
class MImageTool;

namespace Ui {
class MImageBackgroundWidget;
}

// The image tool's keying options: transparent background, key colour, or
// the picture's top-left pixel as the key.
class MImageBackgroundWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MImageBackgroundWidget(QWidget *parent = nullptr);
    ~MImageBackgroundWidget() override;

public slots:
    void objectToWidgets();
    void widgetsToObject();

private:
    static MImageTool *tool();
    void connectEditors();

    Ui::MImageBackgroundWidget *ui;
    MConnector *m_editors;
};
