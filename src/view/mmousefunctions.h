#pragma once

#include "msingleton.h"

#include <QHash>
#include <QObject>
#include <QPair>

// Maps tool, mouse button and modifiers to view functions.
class MMouseFunctions : public QObject, public MSingleton<MMouseFunctions>
{
    Q_OBJECT
public:
    enum Functions {
        NoFunction, CanvasDrag, CanvasRotate, CanvasScale, CanvasTranslateVertical, CanvasTranslateHorizontal,
        BrushStroke, BrushRadius, BrushLine
    };
    Q_ENUM(Functions)

    explicit MMouseFunctions(QObject *parent = nullptr);

    // Tool -1 is the canvas view, button -1 the wheel; modifiers match exactly.
    int function(int tool, int button, int modifiers) const;
    int function(int button, int modifiers) const { return function(-1, button, modifiers); }

private:
    QHash<int, QHash<QPair<int, int>, int>> m_functions;
};
