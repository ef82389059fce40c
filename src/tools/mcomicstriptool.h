#pragma once

#include "mcomicstripcell.h"
#include "mtool.h"

#include <QPointF>
#include <QVector>

class MEvent;

// Lays comic panels out over the document: a grid of cells with margins and
// gaps, guides their edges snap to, cells toggled into the selection, and
// their borders drawn into the current layer as one undo step.
class MComicStripTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(int rows READ rows WRITE set_rows NOTIFY rowsChanged)
    Q_PROPERTY(int columns READ columns WRITE set_columns NOTIFY columnsChanged)
    Q_PROPERTY(double topMargin READ topMargin WRITE set_topMargin NOTIFY topMarginChanged)
    Q_PROPERTY(double bottomMargin READ bottomMargin WRITE set_bottomMargin NOTIFY bottomMarginChanged)
    Q_PROPERTY(double leftMargin READ leftMargin WRITE set_leftMargin NOTIFY leftMarginChanged)
    Q_PROPERTY(double rightMargin READ rightMargin WRITE set_rightMargin NOTIFY rightMarginChanged)
    Q_PROPERTY(double rowGap READ rowGap WRITE set_rowGap NOTIFY rowGapChanged)
    Q_PROPERTY(double colGap READ colGap WRITE set_colGap NOTIFY colGapChanged)
public:
    MComicStripTool(ToolId toolId, QObject *parent = nullptr);
    ~MComicStripTool() override;

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    double topMargin() const { return m_topMargin; }
    double bottomMargin() const { return m_bottomMargin; }
    double leftMargin() const { return m_leftMargin; }
    double rightMargin() const { return m_rightMargin; }
    double rowGap() const { return m_rowGap; }
    double colGap() const { return m_colGap; }

    const QVector<MComicStripCell> &cells() const { return m_cells; }
    const QVector<double> &horizontalLines() const { return m_horizontalLines; }
    const QVector<double> &verticalLines() const { return m_verticalLines; }
    QString fileName() const { return m_fileName; }
    bool isPrinting() const { return m_printing; }

    // The cell under a view position (-1 for none) and the code of the hit.
    int hitTest(const QPointF &viewPosition, int &code);
    QPointF snapped(const QPointF &point) const;
    // The layout as written to a layout file.
    QByteArray toJson() const;
    // False, with the message to show, when the text is no valid layout.
    bool fromJson(const QByteArray &text, QString &error);

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    void mouseReleaseEvent(MEvent *event) override;

public slots:
    void set_rows(int value);
    void set_columns(int value);
    void set_topMargin(double value);
    void set_bottomMargin(double value);
    void set_leftMargin(double value);
    void set_rightMargin(double value);
    void set_rowGap(double value);
    void set_colGap(double value);

    void setup();
    void reset();
    void select(bool on, int except);
    void select(bool on);
    void selectAll();
    void unselectAll();
    void addCell();
    void removeCells();
    void setTopBorder();
    void setLeftBorder();
    void setBottomBorder();
    void setRightBorder();
    void setAllBorders();
    void setNoBorders();
    void print();
    void loadFromFile();
    void saveToFile();
    bool updateCursor(const QPointF &viewPosition, double scale) override;
    void activate(bool on) override;

signals:
    void rowsChanged(int value);
    void columnsChanged(int value);
    void topMarginChanged(double value);
    void bottomMarginChanged(double value);
    void leftMarginChanged(double value);
    void rightMarginChanged(double value);
    void rowGapChanged(double value);
    void colGapChanged(double value);

private:
    QRectF paperRect() const;
    QRectF layoutArea() const;
    QRectF gridCell(int row, int column) const;
    void updateSelectionPath();
    template <class F>
    void forSelected(F f);

    int m_rows = 4;
    int m_columns = 3;
    double m_topMargin = 100;
    double m_bottomMargin = 100;
    double m_leftMargin = 100;
    double m_rightMargin = 100;
    double m_rowGap = 30;
    double m_colGap = 30;

    QVector<MComicStripCell> m_cells;
    QVector<double> m_horizontalLines;
    QVector<double> m_verticalLines;
    bool m_needsSetup = true;
    int m_currentCell = -1;
    int m_hitCode = 0;
    double m_snapDistance = 10;
    double m_horizontalPreview = -1;
    double m_verticalPreview = -1;
    QPointF m_pressPoint;
    QString m_fileName;
    bool m_printing = false;
};
