#pragma once

#include "msingleton.h"

#include <QHash>
#include <QObject>
#include <QPair>

// Binds a tool (or the canvas view itself), a mouse button (or the wheel) and
// the exact keyboard modifiers to a function of the view or of a tool.
class MMouseFunctions : public QObject, public MSingleton<MMouseFunctions>
{
    Q_OBJECT
public:
    enum Functions {
        NoFunction = 0,
        CanvasDrag = 1,
        CanvasRotate = 2,
        CanvasScale = 3,
        CanvasTranslateVertical = 4,
        CanvasTranslateHorizontal = 5,
        BrushStroke = 6,
        BrushRadius = 7,
        BrushLine = 8
    };
    Q_ENUM(Functions)

    // The tool key of the canvas view's own rows and the button key of the wheel.
    static constexpr int ViewTool = -1;
    static constexpr int Wheel = -1;

    // (button, modifiers) -> function, per tool.
    using Table = QHash<int, QHash<QPair<int, int>, int>>;

    explicit MMouseFunctions(QObject *parent = nullptr);

    int function(int tool, int button, int modifiers) const;
    int function(int button, int modifiers) const { return function(ViewTool, button, modifiers); }

    // Keeps an existing row for the same (button, modifiers) and traces the clash.
    static void addFunction(Table &table, int tool, int button, int modifiers, int function);

    const Table &functions() const { return m_functions; }
    // Rows read from the settings; no lookup consults them yet.
    const Table &storedFunctions() const { return m_storedFunctions; }

    void readSettings();

private:
    Table m_functions;
    Table m_storedFunctions;
};
