#pragma once

#include <QObject>

// One level of a colour histogram: how many pixels fall in it per channel.
class MHistogramItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int redCount READ redCount WRITE set_redCount NOTIFY redCountChanged)
    Q_PROPERTY(int greenCount READ greenCount WRITE set_greenCount NOTIFY greenCountChanged)
    Q_PROPERTY(int blueCount READ blueCount WRITE set_blueCount NOTIFY blueCountChanged)
    Q_PROPERTY(int grayCount READ grayCount WRITE set_grayCount NOTIFY grayCountChanged)
public:
    Q_INVOKABLE explicit MHistogramItem(QObject *parent = nullptr);

    int redCount() const { return m_redCount; }
    int greenCount() const { return m_greenCount; }
    int blueCount() const { return m_blueCount; }
    int grayCount() const { return m_grayCount; }

public slots:
    void set_redCount(int value);
    void set_greenCount(int value);
    void set_blueCount(int value);
    void set_grayCount(int value);

signals:
    void redCountChanged(int value);
    void greenCountChanged(int value);
    void blueCountChanged(int value);
    void grayCountChanged(int value);

private:
    int m_redCount = 0;
    int m_greenCount = 0;
    int m_blueCount = 0;
    int m_grayCount = 0;
};
