#pragma once

class MTools;
class QMainWindow;

// The option bars of the tools: each fills its tool's bar in the window with
// editors bound to the tool.
class MToolBars
{
public:
    static void createGridToolBar(MTools *tools, QMainWindow *window);
    static void createBrushToolBar(MTools *tools, QMainWindow *window);
    static void createSymmetryToolBar(MTools *tools, QMainWindow *window);
    static void createPerspectiveToolBar(MTools *tools, QMainWindow *window);
    static void createLineToolBar(MTools *tools, QMainWindow *window);
    static void createShapeToolBar(MTools *tools, QMainWindow *window);
    static void createTextToolBar(MTools *tools, QMainWindow *window);
    static void createComicStripToolBar(MTools *tools, QMainWindow *window);
    static void createImageToolBar(MTools *tools, QMainWindow *window);
    static void createRullerToolBar(MTools *tools, QMainWindow *window);
    static void createSelectionToolBar(MTools *tools, QMainWindow *window);
    static void createFillToolBar(MTools *tools, QMainWindow *window);
    static void createFillSelectionToolBar(MTools *tools, QMainWindow *window);
    static void createGradientToolBar(MTools *tools, QMainWindow *window);
};
