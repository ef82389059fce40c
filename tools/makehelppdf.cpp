// Writes the local help document, a short painter's guide, as a PDF.
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

namespace {
const char *const kGuide = R"(
<h1>KalmiDraw</h1>
<p><i>A painter's guide</i></p>

<h2>The window</h2>
<p>The canvas fills the middle of the window. The tools are in the tool bar on the left, the panels
(brushes, colours, layers, effects) in docks around the canvas. Every panel can be shown or hidden
from the <b>Window</b> menu; <b>Restore default layout</b> puts them back where they started.</p>

<h2>Painting</h2>
<p>Choose a brush in the <b>Brush list</b>, a colour in the colour panel, and paint with the mouse or
a pen tablet. The pen's pressure and tilt change the stroke as the brush's settings say.
Each stroke is one step of <b>Undo</b> (Ctrl+Z) and <b>Redo</b> (Ctrl+Y).</p>

<h2>Layers</h2>
<p>A document is a stack of layers. Add, remove, move, show, hide and lock them in the layer panel.
Each layer has its opacity and its composition mode, and may carry an effect.</p>

<h2>Documents</h2>
<p>Documents are saved in KalmiDraw's own format (".kxd") and keep every layer. Pictures are opened
and exported in the usual image formats. <b>Take a screenshot</b> saves a picture of the whole window.</p>

<h2>Preferences and shortcuts</h2>
<p><b>Preferences</b> (Edit menu) groups the settings by category. On the <b>Shortcuts</b> page, select
a command and press <b>Edit</b>, then type the new keys (up to four in a row). A shortcut that another
command holds is only taken from it once you agree. <b>Reset</b> gives a command its built-in shortcut
back; <b>Copy</b> puts the whole list on the clipboard. Nothing changes until you press <b>Ok</b>.
A new language takes effect after a restart.</p>

<h2>Help and support</h2>
<p><b>Help index</b> opens this guide; <b>Online help</b> and <b>Contact us</b> open the maker's web pages.
<b>Check for updates</b> asks the maker's server whether a newer version exists.
<b>Show system logs</b> shows what the program wrote in its log: copy it, or send it to the support
with your e-mail address and a comment. It is sent only after you confirm.</p>
)";
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makehelppdf <output.pdf>\n");
        return 1;
    }
    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setTitle(QStringLiteral("KalmiDraw"));
    writer.setCreator(QStringLiteral("KalmiDraw"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    writer.setResolution(300);

    QTextDocument document;
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSizeF(11);
    document.setDefaultFont(font);
    document.setHtml(QString::fromUtf8(kGuide));
    // Lay the text out in points, then draw it scaled to the writer's dots.
    const QSizeF page = writer.pageLayout().paintRect(QPageLayout::Point).size();
    document.setPageSize(page);
    QPainter painter;
    if (!painter.begin(&writer)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    const double scale = writer.resolution() / 72.0;
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -page.height() * i);
        document.drawContents(&painter, QRectF(0, page.height() * i, page.width(), page.height()));
        painter.restore();
    }
    painter.end();
    return 0;
}
