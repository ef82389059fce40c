#pragma once

#include <QAction>
#include <QObject>
#include <QPointer>

class MCanvas;

// Keeps the commands that can only do nothing where the document stands
// disabled: Undo and Redo at either end of its history, moving or merging
// the current layer up from the top of the stack, or down from its bottom.
class MCommandStates : public QObject
{
    Q_OBJECT
public:
    struct Commands
    {
        QAction *undo = nullptr;
        QAction *redo = nullptr;
        QAction *moveUp = nullptr;
        QAction *moveDown = nullptr;
        QAction *mergeWithUpper = nullptr;
        QAction *mergeWithLower = nullptr;
    };

    MCommandStates(MCanvas *canvas, const Commands &commands, QObject *parent = nullptr);

    void update();

private:
    QPointer<MCanvas> m_canvas;
    // The window's teardown takes its commands before its document, which
    // still signals while it goes.
    QPointer<QAction> m_undo;
    QPointer<QAction> m_redo;
    QPointer<QAction> m_moveUp;
    QPointer<QAction> m_moveDown;
    QPointer<QAction> m_mergeWithUpper;
    QPointer<QAction> m_mergeWithLower;
};
