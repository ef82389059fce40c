#pragma once

#include "msingleton.h"

#include <QColor>
#include <QList>
#include <QObject>

// The colours the painter works with: the current (brush) colour, the second
// (border) colour, and the history of colours painted with, newest first.
class MColorList : public QObject, public MSingleton<MColorList>
{
    Q_OBJECT
public:
    static constexpr int historyLimit = 64;

    explicit MColorList(QObject *parent = nullptr);

    QColor currentColor() const { return m_currentColor; }
    QColor secondColor() const { return m_secondColor; }
    QList<QColor> history() const { return m_history; }

public slots:
    void setCurrentColor(const QColor &color);
    void setSecondColor(const QColor &color);
    // Puts the colour at the front of the history, once.
    void updateColorList(const QColor &color);

signals:
    void currentColorChanged(const QColor &color);
    void secondColorChanged(const QColor &color);
    void historyChanged();

private:
    QColor m_currentColor = Qt::black;
    QColor m_secondColor = Qt::white;
    QList<QColor> m_history;
};
