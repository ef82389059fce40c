#include "mmousefunctions.h"
#include "mlogcategory.h"

#include <QDebug>
#include <QSettings>

namespace {
const int brushTool = 0;
} // namespace

MMouseFunctions::MMouseFunctions(QObject *parent)
    : QObject(parent)
{
    addFunction(m_functions, ViewTool, Qt::RightButton, Qt::NoModifier, CanvasDrag);
    addFunction(m_functions, ViewTool, Wheel, Qt::ControlModifier, CanvasRotate);
    addFunction(m_functions, ViewTool, Wheel, Qt::NoModifier, CanvasScale);
    addFunction(m_functions, ViewTool, Wheel, Qt::ShiftModifier, CanvasTranslateVertical);
    addFunction(m_functions, ViewTool, Wheel, int(Qt::ShiftModifier | Qt::ControlModifier),
                CanvasTranslateHorizontal);
    addFunction(m_functions, brushTool, Qt::LeftButton, Qt::NoModifier, BrushStroke);
    addFunction(m_functions, brushTool, Wheel, Qt::AltModifier, BrushRadius);
    addFunction(m_functions, brushTool, Qt::LeftButton, Qt::ControlModifier, BrushLine);
    readSettings();
}

int MMouseFunctions::function(int tool, int button, int modifiers) const
{
    const auto rows = m_functions.constFind(tool);
    if (rows == m_functions.constEnd())
        return NoFunction;
    return rows->value(qMakePair(button, modifiers), NoFunction);
}

void MMouseFunctions::addFunction(Table &table, int tool, int button, int modifiers, int function)
{
    QHash<QPair<int, int>, int> &rows = table[tool];
    const QPair<int, int> key(button, modifiers);
    if (rows.contains(key)) {
        qCDebug(lcApp).noquote() << QStringLiteral("%1::%2").arg(QStringLiteral("mmousefunctions"),
                                                           QStringLiteral("MMouseFunctions::addFunction"))
                           << QStringLiteral("combinaison déjà attribuée") << tool << button << modifiers
                           << function;
        return;
    }
    rows.insert(key, function);
}

void MMouseFunctions::readSettings()
{
    m_storedFunctions.clear();
    QSettings store;
    const int count = store.beginReadArray(QStringLiteral("MouseFunctions"));
    for (int i = 0; i < count; ++i) {
        store.setArrayIndex(i);
        addFunction(m_storedFunctions, store.value(QStringLiteral("tool"), 0).toInt(),
                    store.value(QStringLiteral("button"), 0).toInt(),
                    store.value(QStringLiteral("modifiers"), 0).toInt(),
                    store.value(QStringLiteral("function"), 0).toInt());
    }
    store.endArray();
}
