#pragma once

#include <QVector3D>
#include <QWidget>

class MConnector;
class QDoubleSpinBox;

// A three-component vector in three spin boxes.
class MVector3DEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QVector3D value READ value WRITE setValue NOTIFY valueChanged)
public:
    explicit MVector3DEdit(QWidget *parent = nullptr);

    QVector3D value() const { return m_value; }

public slots:
    void setMinimum(double value);
    void setMaximum(double value);
    void setValue(const QVector3D &value);
    void xChanged(double value);
    void yChanged(double value);
    void zChanged(double value);

signals:
    void valueChanged(const QVector3D &value);

private:
    void connectSpinBoxes();

    QVector3D m_value;
    QDoubleSpinBox *m_spinBoxes[3];
    MConnector *m_spinBoxConnections;
};
