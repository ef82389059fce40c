#pragma once

#include <QColor>
#include <QSize>
#include <QStringList>

#include <memory>

class MCanvas;
class MMainWindow;
class MTestBrushLibrary;
class MWidget;

// The real main window over a brush library of its own, for tests that paint
// in it as a painter would: prepared and shown in initTestCase, closed in
// cleanupTestCase (or when it goes) without asking to save.
class MTestPaintingWindow
{
public:
    MTestPaintingWindow();
    ~MTestPaintingWindow();

    // Fresh settings, new documents of the size, and a brush library of the
    // entries (see MTestBrushLibrary); false when OpenGL is not there. Settings
    // the window reads when it is made go between this and show().
    bool prepare(const QSize &documentSize, const QStringList &brushes = {QStringLiteral("u:pens/round")});
    // A new main window shown at the size, settled, its view holding the
    // keyboard focus; false when it never got there.
    bool show(const QSize &windowSize = QSize(1400, 900));
    // prepare() with the one round brush and show(), for a window whose
    // settings stay as prepared; false when either failed.
    bool open(const QSize &documentSize, const QSize &windowSize = QSize(1400, 900));
    // The brush tool, with the current brush made round-edged to the radius
    // and hardness at full opacity and flow, painting in the colour.
    void paintWith(double radius, double hardness, const QColor &color);
    void close();

    MMainWindow *window() const { return m_window.get(); }
    MWidget *view() const;
    MCanvas *canvas() const;

private:
    std::unique_ptr<MTestBrushLibrary> m_brushes;
    std::unique_ptr<MMainWindow> m_window;
};
