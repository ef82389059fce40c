#pragma once

#include "mtool.h"

#include <QLineF>

// The ruler guide: an infinite line through two control points with a tick
// every unit. Dragging the origin moves it, dragging the end turns it by
// whole angle steps and stretches it. Straight strokes of other tools are
// turned onto its direction while it is shown.
class MRullerTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(int angleStep READ angleStep WRITE set_angleStep NOTIFY angleStepChanged)
    Q_PROPERTY(int unit READ unit WRITE set_unit NOTIFY unitChanged)
public:
    enum Unit { Inch = 0, Centimeter = 1, Pixel = 2 };
    Q_ENUM(Unit)

    // Screens that report no resolution are taken as this many dots per inch.
    static constexpr double fallbackDpi = 96.0;

    MRullerTool(ToolId toolId, QObject *parent = nullptr);
    ~MRullerTool() override;

    int angleStep() const { return m_angleStep; }
    int unit() const { return m_unit; }
    // Canvas pixels per unit.
    double unitLength() const { return m_unitLength; }
    static double unitLengthFor(int unit, double dotsPerInch);

    // l turned onto the ruler's direction or its opposite, whichever is
    // closer; its start and length stay.
    QLineF alignToRuler(const QLineF &l) const;

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    bool keyPressEvent(QKeyEvent *event) override;

public slots:
    void set_angleStep(int value);
    void set_unit(int value);
    bool updateCursor(const QPointF &viewPosition, double scale) override;

signals:
    void angleStepChanged(int value);
    void unitChanged(int value);

private:
    void dragEnd(const QPointF &p);
    static double screenDpi();

    int m_angleStep = 5;
    int m_unit = Inch;
    double m_unitLength = 1.0;
};
