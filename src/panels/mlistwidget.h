#pragma once

#include <QWidget>

class MListPanel;
class MListPanelDelegate;
class MTableModel;
class QScrollBar;

// A light list of fixed-height rows over a table model, painted row by row
// by a delegate, with a vertical scroll bar beside it.
class MListWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MListWidget(QWidget *parent = nullptr);

    double itemWidth() const { return m_itemWidth; }
    double itemHeight() const { return m_itemHeight; }
    int spacing() const { return m_spacing; }
    double rowPitch() const { return m_itemHeight + m_spacing; }
    MTableModel *sourceModel() const { return m_sourceModel; }
    MListPanelDelegate *delegate() const { return m_delegate; }
    MListPanel *panel() const { return m_panel; }
    QScrollBar *scrollBar() const { return m_scrollBar; }

    void setItemWidth(double width) { m_itemWidth = width; }
    void setItemHeight(double height);
    // The widget does not own the delegate.
    void setDelegate(MListPanelDelegate *delegate);

    int rowCount() const;
    // The height of all rows with a margin below them, and how far the
    // content can scroll within the panel.
    double contentHeight() const;
    int maximumOffset() const;
    // The rectangle of a row in content coordinates (firstY not applied).
    QRectF rowRect(int row) const;

public slots:
    void setSourceModel(MTableModel *model);
    void onModelCurrentRowChanged(int row);
    void onModelCountChanged(int count);

signals:
    void sourceModelChanged(MTableModel *model);
    void click();
    void doubleClick();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateScrollBar();

    double m_itemWidth = 100.0;
    double m_itemHeight = 25.0;
    int m_spacing = 3;
    MTableModel *m_sourceModel = nullptr;
    MListPanelDelegate *m_delegate = nullptr;
    MListPanel *m_panel;
    QScrollBar *m_scrollBar;
};
