#pragma once

#include <QColor>
#include <QObject>
#include <QPen>

// How a tool outlines what it draws: colour, width and line pattern.
class MStrokeStyle : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QColor strokeColor READ strokeColor WRITE set_strokeColor NOTIFY strokeColorChanged)
    Q_PROPERTY(double strokeSize READ strokeSize WRITE set_strokeSize NOTIFY strokeSizeChanged)
    Q_PROPERTY(int strokeStyle READ strokeStyle WRITE set_strokeStyle NOTIFY strokeStyleChanged)
    Q_PROPERTY(double dashLength READ dashLength WRITE set_dashLength NOTIFY dashLengthChanged)
    Q_PROPERTY(double dashSpace READ dashSpace WRITE set_dashSpace NOTIFY dashSpaceChanged)
public:
    // The values are the pen styles of the framework.
    enum StrokeStyle {
        NoStyle = Qt::NoPen,
        SolidLine = Qt::SolidLine,
        DashLine = Qt::DashLine,
        DotLine = Qt::DotLine,
        DashDotLine = Qt::DashDotLine,
        DashDotDotLine = Qt::DashDotDotLine,
        CustomDashLine = Qt::CustomDashLine
    };
    Q_ENUM(StrokeStyle)

    explicit MStrokeStyle(QObject *parent = nullptr);

    QColor strokeColor() const { return m_strokeColor; }
    double strokeSize() const { return m_strokeSize; }
    int strokeStyle() const { return m_strokeStyle; }
    double dashLength() const { return m_dashLength; }
    double dashSpace() const { return m_dashSpace; }

    // A dash length other than 0 replaces the named pattern of every broken
    // style by [dashLength, dashSpace].
    QPen pen() const;

public slots:
    void set_strokeColor(const QColor &value);
    void set_strokeSize(double value);
    void set_strokeStyle(int value);
    void set_dashLength(double value);
    void set_dashSpace(double value);

signals:
    void strokeColorChanged(const QColor &value);
    void strokeSizeChanged(double value);
    void strokeStyleChanged(int value);
    void dashLengthChanged(double value);
    void dashSpaceChanged(double value);

private:
    QColor m_strokeColor = Qt::darkGray;
    double m_strokeSize = 1.0;
    int m_strokeStyle = SolidLine;
    double m_dashLength = 5.0;
    double m_dashSpace = 5.0;
};
