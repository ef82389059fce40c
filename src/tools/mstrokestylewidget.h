#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class MConnector;
class MStrokeStyle;

namespace Ui {
class MStrokeStyleWidget;
}

// Edits a tool's stroke style in place. Only the row the painter changed is
// written back: a value the box cannot show (a size above its range) stays
// as it is in the style.
class MStrokeStyleWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MStrokeStyleWidget(QWidget *parent = nullptr);
    ~MStrokeStyleWidget() override;

    // The style is not owned.
    void setStyle(MStrokeStyle *style);
    MStrokeStyle *style() const { return m_style; }

public slots:
    void objectToWidgets();
    void widgetsToObject();

private:
    void connectEditors();

    Ui::MStrokeStyleWidget *ui;
    QPointer<MStrokeStyle> m_style;
    MConnector *m_editors;
    // What the widgets showed after the last fill or write.
    QColor m_shownColor;
    double m_shownSize = 0.0;
    int m_shownStyle = 0;
};
