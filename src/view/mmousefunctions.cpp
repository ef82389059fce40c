#include "mmousefunctions.h"

MMouseFunctions::MMouseFunctions(QObject *parent)
    : QObject(parent)
{
    m_functions[-1][{int(Qt::RightButton), int(Qt::NoModifier)}] = CanvasDrag;
    m_functions[-1][{-1, int(Qt::ControlModifier)}] = CanvasRotate;
    m_functions[-1][{-1, int(Qt::NoModifier)}] = CanvasScale;
    m_functions[-1][{-1, int(Qt::ShiftModifier)}] = CanvasTranslateVertical;
    m_functions[-1][{-1, int(Qt::ShiftModifier | Qt::ControlModifier)}] = CanvasTranslateHorizontal;
    m_functions[0][{int(Qt::LeftButton), int(Qt::NoModifier)}] = BrushStroke;
    m_functions[0][{-1, int(Qt::AltModifier)}] = BrushRadius;
    m_functions[0][{int(Qt::LeftButton), int(Qt::ControlModifier)}] = BrushLine;
}

int MMouseFunctions::function(int tool, int button, int modifiers) const
{
    return m_functions.value(tool).value(qMakePair(button, modifiers), NoFunction);
}
