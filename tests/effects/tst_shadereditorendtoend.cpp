// A painter's road through the real window: an effect dropped on the canvas
// view, its source opened in the effect source editor, changed from the
// keyboard so that it inverts colours, saved, and the layer drawn inverted by
// the document's paint engine.

#include "dshader.h"
#include "mcanvas.h"
#include "meditor.h"
#include "mlogger.h"
#include "mmainwindow.h"
#include "mopengl.h"
#include "msettings.h"
#include "mshader.h"
#include "mshaderlist.h"
#include "mshaderprogramlist.h"
#include "mtestcanvas.h"
#include "mtestdialogscript.h"
#include "mtestglcontext.h"
#include "mtestscreenshot.h"
#include "mtexturelayer.h"
#include "mwidget.h"

#include <QAction>
#include <QDockWidget>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
constexpr int W = 200;
constexpr int H = 120;
const QString kEffectId = QStringLiteral("{5E1F5E1F-2222-4333-8444-555566667777}");
const QRgb kPaint = qRgba(200, 100, 50, 255);
const QRgb kInverted = qRgba(55, 155, 205, 255);
} // namespace

class TestShaderEditorEndToEnd : public QObject
{
    Q_OBJECT

public:
    static void initMain() { MTestGLContext::prepareSharedContexts(); }

private:
    std::unique_ptr<MMainWindow> window;

    QRgb drawnPixel()
    {
        MCanvas *canvas = window->view()->canvas();
        canvas->makeCurrent();
        const QImage image = canvas->flattenedImage(QStringLiteral("basic"));
        return image.pixel(W / 2, H / 2);
    }

private slots:
    void initTestCase()
    {
        MLogger::instance();
        QVERIFY(MOpenGL::instance()->initialize());
        MSettings *settings = MSettings::instance();
        settings->clear();
        settings->set_textDuration(0);
        settings->set_defaultWidth(W);
        settings->set_defaultHeight(H);
        settings->set_showEmptyPaper(false);

        // A user effect that draws the layer as it is.
        auto *effect = new MShader();
        effect->set_id(kEffectId);
        effect->set_group(QStringLiteral("tests"));
        effect->set_description(QStringLiteral("plain layer"));
        effect->set_source(QStringLiteral("@main\n"
                                          "f_color = texture(f_currentLayerTexture, v_texCoords0);\n"));
        QVERIFY(effect->save());
        MShaderList::instance()->append(effect);
    }

    void cleanupTestCase() { window.reset(); }

    void editedEffectDrawsInverted()
    {
        window.reset(new MMainWindow());
        window->resize(1200, 800);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        MWidget *view = window->view();
        MCanvas *canvas = view->canvas();
        QTRY_VERIFY(canvas->isGlReady() && canvas->current());
        canvas->makeCurrent();
        canvas->setPaperType(MEnum::Transparent);
        MTestCanvas::paintRect(canvas->current(), canvas->paintedRect().toRect(), kPaint);

        // The effect dragged from the library onto the canvas view.
        MShaderList *effects = MShaderList::instance();
        const int row = effects->rowOfId(kEffectId);
        QVERIFY(row >= 0);
        std::unique_ptr<QMimeData> data(effects->mimeData({effects->index(row, 0)}));
        const QPoint at = view->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &drop);
        QCOMPARE(canvas->current()->shaderId(), kEffectId);
        QCOMPARE(drawnPixel(), kPaint);

        // The editor, opened on the effect as the main window will open it.
        MShader *effect = effects->find(kEffectId);
        DShader editor(window.get());
        // What the main window does with the notice: the document draws with the new program.
        connect(&editor, &DShader::shaderModified, this, [canvas](MShader *shader, bool compiled) {
            if (!compiled)
                return;
            canvas->makeCurrent();
            canvas->shaderProgramList()->updateShader(shader->id());
            canvas->refresh();
        });
        QSignalSpy modified(&editor, &DShader::shaderModified);
        editor.setWindowModality(Qt::ApplicationModal);
        editor.setShader(effect);
        editor.setMode(DShader::Editable);
        editor.resize(1000, 700);
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QCOMPARE(editor.windowTitle(), QStringLiteral("plain layer"));

        // One line more at the end of the source, typed.
        auto *source = editor.findChild<MEditor *>(QStringLiteral("sourceEdit"));
        source->setFocus();
        source->moveCursor(QTextCursor::End);
        QTest::keyClicks(source, QStringLiteral("f_color = vec4(vec3(f_color.a) - f_color.rgb, f_color.a);"));
        QVERIFY(source->isModified());
        QTest::keyClick(source, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(modified.count(), 1);
        QCOMPARE(modified.at(0).at(1).toBool(), true);
        QVERIFY(!source->isModified());
        QVERIFY(effect->source().endsWith(QStringLiteral("f_color = vec4(vec3(f_color.a) - f_color.rgb, f_color.a);")));
        MShader saved;
        QVERIFY(saved.load(effect->fileName()));
        QCOMPARE(saved.source(), effect->source());

        QCOMPARE(drawnPixel(), kInverted);

        // A mistake typed and checked with Ctrl+B: the console shows the line.
        QTest::keyClick(source, Qt::Key_Return);
        QTest::keyClicks(source, QStringLiteral("f_color = f_color * brightness; // where is brightness?"));
        QTest::keyClick(source, Qt::Key_B, Qt::ControlModifier);
        auto *console = editor.findChild<QPlainTextEdit *>(QStringLiteral("consoleEdit"));
        QVERIFY(console->isVisible());
        QVERIFY(console->toPlainText().startsWith(QStringLiteral("Error near line ")));
        QVERIFY(console->toPlainText().contains(QStringLiteral("f_color = f_color * brightness;")));
        source->moveCursor(QTextCursor::Start);
        QCoreApplication::processEvents();
        MTestScreenshot::keep(editor.grab(), QStringLiteral("kalmidraw-effect-editor.png"));

        // Closed without saving the mistake: the effect keeps its last good source.
        {
            MTestDialogScript script;
            script.answer(1);
            QVERIFY(editor.close());
            QCOMPARE(script.requests().size(), 1);
        }
        QCOMPARE(modified.count(), 1);
        QVERIFY(!effect->source().contains(QStringLiteral("brightness")));
        QCOMPARE(drawnPixel(), kInverted);
    }
};

QTEST_MAIN(TestShaderEditorEndToEnd)
#include "tst_shadereditorendtoend.moc"
