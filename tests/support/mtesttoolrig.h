#pragma once

#include "mtestfolder.h"

#include <QMainWindow>
#include <QObject>
#include <QPointF>
#include <QSize>

#include <memory>

class MCanvas;
class MTools;
class MWidget;
class QUndoStack;

// What the tests of one painting tool share: the shared OpenGL contexts, a
// window for the tool registry to be built on, a folder of the test's own and,
// for each test function, a fresh canvas view (never shown, so view and canvas
// positions agree) on which the tool under test is active. The test class
// derives from it, builds the registry in initTestCase, calls openView() in
// init and closeView() in cleanup, and hands samples to the tool as the
// registry does.
class MTestToolRig : public QObject
{
    Q_OBJECT
public:
    static void initMain();

protected:
    explicit MTestToolRig(int toolId);
    ~MTestToolRig() override;

    static MTools *tools();
    MWidget *view() const { return m_view.get(); }
    MCanvas *canvas() const;
    QUndoStack *undo() const;

    // The shipped brushes, with the painter's brushes kept in the test's
    // folder; the library goes with the rig.
    void useTestBrushes();
    // A new view of the size becomes the registry's view; the tool is active on it.
    void openView(const QSize &size);
    // The registry lets go of the view, then the view goes.
    void closeView();

    // A left-button sample at the position, handed straight to the tool.
    bool press(const QPointF &p, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton);
    void move(const QPointF &p, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void release(const QPointF &p, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void hover(const QPointF &p, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // The one of the four that the sample type names (MEvent::Press, Move,
    // Hover or Release).
    void send(int type, const QPointF &p, Qt::MouseButton button = Qt::LeftButton);
    bool key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    MTestFolder folders;
    QMainWindow window;

private:
    int m_toolId;
    bool m_ownsBrushes = false;
    std::unique_ptr<MWidget> m_view;
};
