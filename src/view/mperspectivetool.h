#pragma once

#include "mtool.h"

#include <QLineF>
#include <QList>
#include <QPointF>

// The perspective guide: a horizon through a centre point, up to three
// vanishing points (left and right on the horizon, vertical below or above
// the centre) and box figures built in that perspective. Its handles are
// dragged on the canvas; "Draw" paints the boxes' edges with the current
// brush; while shown with its lines locked, straight lines of the painting
// tools are turned onto the nearest perspective direction.
class MPerspectiveTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(bool leftVanishingPoint READ leftVanishingPoint WRITE set_leftVanishingPoint NOTIFY
                   leftVanishingPointChanged)
    Q_PROPERTY(bool rightVanishingPoint READ rightVanishingPoint WRITE set_rightVanishingPoint NOTIFY
                   rightVanishingPointChanged)
    Q_PROPERTY(bool verticalVanishingPoint READ verticalVanishingPoint WRITE set_verticalVanishingPoint NOTIFY
                   verticalVanishingPointChanged)
    Q_PROPERTY(double leftDistance READ leftDistance WRITE set_leftDistance NOTIFY leftDistanceChanged)
    Q_PROPERTY(double rightDistance READ rightDistance WRITE set_rightDistance NOTIFY rightDistanceChanged)
    Q_PROPERTY(double verticalDistance READ verticalDistance WRITE set_verticalDistance NOTIFY
                   verticalDistanceChanged)
    Q_PROPERTY(bool showLines READ showLines WRITE set_showLines NOTIFY showLinesChanged)
    Q_PROPERTY(bool showCursorLines READ showCursorLines WRITE set_showCursorLines NOTIFY showCursorLinesChanged)
    Q_PROPERTY(bool lockLines READ lockLines WRITE set_lockLines NOTIFY lockLinesChanged)
    Q_PROPERTY(int lockAngle READ lockAngle WRITE set_lockAngle NOTIFY lockAngleChanged)
public:
    // Vanishing points keep at least this far from the centre, the vertical
    // one on either side.
    static constexpr double minimumDistance = 10.0;

    // The points of a box, canvas coordinates: the corner c nearest the
    // viewer, the arm ends L, R and T, the ground back corner G, the corners
    // TL and TR over L and R, and the far corner K on T's side.
    struct Corners
    {
        QPointF c, L, R, T, G, TL, TR, K;
    };

    // A box built from a corner and three arm lengths in the owner's perspective.
    struct Figure
    {
        MPerspectiveTool *tool = nullptr;
        QPointF corner;
        double leftLength = 200.0;
        double rightLength = 200.0;
        double height = 200.0;
        // The corners found last: where construction lines run parallel and
        // meet nowhere, a corner stays where it was.
        Corners last;
        bool known = false;

        Corners corners();
    };

    MPerspectiveTool(ToolId toolId, QObject *parent = nullptr);
    ~MPerspectiveTool() override;

    bool leftVanishingPoint() const { return m_leftVanishingPoint; }
    bool rightVanishingPoint() const { return m_rightVanishingPoint; }
    bool verticalVanishingPoint() const { return m_verticalVanishingPoint; }
    double leftDistance() const { return m_leftDistance; }
    double rightDistance() const { return m_rightDistance; }
    double verticalDistance() const { return m_verticalDistance; }
    bool showLines() const { return m_showLines; }
    bool showCursorLines() const { return m_showCursorLines; }
    bool lockLines() const { return m_lockLines; }
    int lockAngle() const { return m_lockAngle; }
    int dragMode() const { return m_dragMode; }
    int figureHandle() const { return m_figureHandle; }
    const QList<Figure *> &figures() const { return m_figures; }

    // l with its end moved onto the nearest perspective direction through
    // its start, when one lies within the lock angle; l otherwise.
    Q_INVOKABLE QLineF alignToPerspective(const QLineF &l) const;

    void paint(QPainter *painter) override;
    bool mousePressEvent(MEvent *event) override;
    void mouseMoveEvent(MEvent *event) override;
    bool keyPressEvent(QKeyEvent *event) override;

public slots:
    void set_leftVanishingPoint(bool value);
    void set_rightVanishingPoint(bool value);
    void set_verticalVanishingPoint(bool value);
    void set_leftDistance(double value);
    void set_rightDistance(double value);
    void set_verticalDistance(double value);
    void set_showLines(bool value);
    void set_showCursorLines(bool value);
    void set_lockLines(bool value);
    void set_lockAngle(int value);
    void resetPoints();
    bool updateCursor(const QPointF &viewPosition, double scale) override;
    void addControlPoint();
    void removeControlPoint();
    void setCenter(const QPointF &p, bool moveFigures);
    void setCenter(const QPointF &p);
    void setLeft(const QPointF &p);
    void setRight(const QPointF &p);
    void setVertical(const QPointF &p);
    void activate(bool on) override;
    void print();
    void reset();

signals:
    void leftVanishingPointChanged(bool value);
    void rightVanishingPointChanged(bool value);
    void verticalVanishingPointChanged(bool value);
    void leftDistanceChanged(double value);
    void rightDistanceChanged(double value);
    void verticalDistanceChanged(double value);
    void showLinesChanged(bool value);
    void showCursorLinesChanged(bool value);
    void lockLinesChanged(bool value);
    void lockAngleChanged(int value);

private:
    void placeVanishingPoints(const QPointF &centre);
    // False when the distance already has the value.
    bool storeDistance(double &distance, double value);
    // The figure handle under a view position: the figure index, and its kind
    // in handle (1 corner, 2 left, 3 right, 4 vertical end); -1 for none.
    int figureHandleAt(const QPointF &viewPosition, int &handle);
    static double keptFromZero(double d);

    bool m_leftVanishingPoint = true;
    bool m_rightVanishingPoint = true;
    bool m_verticalVanishingPoint = true;
    double m_leftDistance = 2000.0;
    double m_rightDistance = 2000.0;
    double m_verticalDistance = 2000.0;
    bool m_showLines = true;
    bool m_showCursorLines = false;
    bool m_lockLines = true;
    int m_lockAngle = 20;
    int m_dragMode = 0;
    int m_figureHandle = 0;
    QList<Figure *> m_figures;
};
