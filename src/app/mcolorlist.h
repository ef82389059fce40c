#pragma once

#include "msingleton.h"

#include <QColor>
#include <QList>
#include <QObject>

// The colours the painter works with: the foreground (brush) colour, the
// background (second) colour, and the history of colours painted with, oldest
// first. Every colour chooser sets colours here and follows colorChanged.
class MColorList : public QObject, public MSingleton<MColorList>
{
    Q_OBJECT
public:
    explicit MColorList(QObject *parent = nullptr);

    QColor currentColor() const { return m_currentColor; }
    QColor secondColor() const { return m_secondColor; }

    int count() const { return m_history.size(); }
    // Black outside the history.
    QColor colorAt(int index) const;

public slots:
    // Without a modifier the foreground colour, with any modifier the
    // background colour takes the colour.
    void setColor(const QColor &color, Qt::KeyboardModifiers modifiers);
    void setColor(const QColor &color);
    // Appends a colour not yet in the history, dropping the oldest one
    // beyond the maximum length.
    void updateColorList(const QColor &color);
    void clear();

signals:
    void colorChanged(const QColor &color, Qt::KeyboardModifiers modifiers);
    void colorAdded(const QColor &color);

private:
    // 0 or less: the history keeps every colour.
    int m_maximumLength;
    QList<QColor> m_history;
    QColor m_currentColor = Qt::black;
    QColor m_secondColor = Qt::white;
};
