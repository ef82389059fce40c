#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class MConnector;
class MFontStyle;

namespace Ui {
class MFontStyleWidget;
}

// Edits a tool's font in place: each editor drives its setter directly.
// A value the widgets cannot show (a family that is not installed, a size
// beyond the box) is never written back unless the painter changes it.
class MFontStyleWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MFontStyleWidget(QWidget *parent = nullptr);
    ~MFontStyleWidget() override;

    // The style is not owned.
    void setStyle(MFontStyle *style);
    MFontStyle *style() const { return m_style; }

public slots:
    void objectToWidgets();
    void widgetsToObject();

private:
    struct Shown
    {
        QString fontName;
        int size = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        double letterSpacing = 0.0;
        int letterSpacingType = 0;
    };
    void connectEditors();
    Shown widgetValues() const;

    Ui::MFontStyleWidget *ui;
    QPointer<MFontStyle> m_style;
    MConnector *m_editors;
    Shown m_shown;
};
