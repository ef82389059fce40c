#include "dshader.h"
#include "ui_dshader.h"

#include "dsnippet.h"
#include "dtextureparam.h"
#include "mconnector.h"
#include "meditor.h"
#include "meditorparserglsl.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mshader.h"
#include "msnippet.h"
#include "msnippetlist.h"
#include "mtextfinder.h"
#include "mutility.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QInputDialog>
#include <QMimeData>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSettings>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>

namespace {
const char kGeometryKey[] = "ShaderEditor/Geometry";
const char kStateKey[] = "ShaderEditor/State";
const int kMaximumFontSize = 70;
const int kMinimumFontSize = 5;

int screenRatio()
{
    return qMax(1, int(qApp->devicePixelRatio()));
}
} // namespace

DShader::DShader(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::DShader)
    , m_connector(new MConnector(this))
{
    ui->setupUi(this);
    MEditor *editor = ui->sourceEdit;
    m_mode = ReadOnly;
    editor->setReadOnly(true);
    updateActions();
    updateTitle();

    m_highlighter = new MEditorParserGLSL(this);
    m_highlighter->setDocument(editor->document());

    m_finder = new MTextFinder(this);
    m_finder->set_textEdit(editor);

    ui->actionUndo->setEnabled(editor->document()->isUndoAvailable());
    ui->actionRedo->setEnabled(editor->document()->isRedoAvailable());
    ui->actionCut->setEnabled(false);
    ui->actionCopy->setEnabled(false);

    ui->consoleEdit->setFont(MEditor::settingsFont());
    ui->menuBar->setNativeMenuBar(false);

    QSettings *store = MSettings::instance();
    restoreGeometry(store->value(QLatin1String(kGeometryKey)).toByteArray());
    restoreState(store->value(QLatin1String(kStateKey)).toByteArray(), 0);

    if (m_connector->isConnected())
        return;
    QTextDocument *document = editor->document();
    m_connector->add(connect(document, &QTextDocument::undoAvailable, ui->actionUndo, &QAction::setEnabled))
        ->add(connect(document, &QTextDocument::redoAvailable, ui->actionRedo, &QAction::setEnabled))
        ->add(connect(ui->actionUndo, &QAction::triggered, editor, &QPlainTextEdit::undo))
        ->add(connect(ui->actionRedo, &QAction::triggered, editor, &QPlainTextEdit::redo))
        ->add(connect(ui->actionCut, &QAction::triggered, editor, &QPlainTextEdit::cut))
        ->add(connect(ui->actionCopy, &QAction::triggered, editor, &QPlainTextEdit::copy))
        ->add(connect(ui->actionPaste, &QAction::triggered, editor, &QPlainTextEdit::paste))
        ->add(connect(ui->actionSelect_all, &QAction::triggered, editor, &QPlainTextEdit::selectAll))
        ->add(connect(editor, &QPlainTextEdit::copyAvailable, this,
                      [this](bool available) { ui->actionCut->setEnabled(available && m_mode != ReadOnly); }))
        ->add(connect(editor, &QPlainTextEdit::copyAvailable, ui->actionCopy, &QAction::setEnabled))
        ->add(connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &DShader::clipboardDataChanged))
        ->add(connect(ui->btnWholeWord, &QToolButton::clicked, m_finder, &MTextFinder::set_wholeWord))
        ->add(connect(ui->btnCaseSensitive, &QToolButton::clicked, m_finder, &MTextFinder::set_caseSensitive))
        ->add(connect(ui->btnCaseSensitive, &QToolButton::clicked, this, &DShader::search))
        ->add(connect(ui->btnWholeWord, &QToolButton::clicked, this, &DShader::search))
        ->add(connect(ui->btnFind, &QPushButton::clicked, this, &DShader::on_actionFind_triggered))
        ->add(connect(ui->btnNext, &QPushButton::clicked, this, &DShader::on_actionFind_next_triggered))
        ->add(connect(ui->btnPrevious, &QPushButton::clicked, this, &DShader::on_actionFind_previous_triggered))
        ->add(connect(ui->btnReplace, &QPushButton::clicked, this, &DShader::on_actionReplace_triggered))
        ->add(connect(ui->btnReplaceAll, &QPushButton::clicked, this, &DShader::on_actionReplace_all_triggered))
        ->add(connect(ui->searchEdit, &QLineEdit::textChanged, this, &DShader::search))
        ->add(connect(ui->searchEdit, &QLineEdit::returnPressed, this, &DShader::on_actionFind_next_triggered))
        ->add(connect(ui->actionCompile, &QAction::triggered, this, &DShader::compileSource))
        ->add(connect(ui->actionInsert_params_section, &QAction::triggered, this, &DShader::insertParamsSection))
        ->add(connect(ui->actionInsert_functions_section, &QAction::triggered, this, &DShader::insertFunctionsSection))
        ->add(connect(ui->actionInsert_float_param, &QAction::triggered, this, &DShader::insertFloat))
        ->add(connect(ui->actionInsert_bolean_param, &QAction::triggered, this, &DShader::insertBool))
        ->add(connect(ui->actionInsert_enum_param, &QAction::triggered, this, &DShader::insertEnum))
        ->add(connect(ui->actionInsert_color_param, &QAction::triggered, this, &DShader::insertColor))
        ->add(connect(ui->actionInsert_2D_texture_param, &QAction::triggered, this, &DShader::insertTexture))
        ->add(connect(ui->actionInsert_code_fragment, &QAction::triggered, this, &DShader::insertCodeFragment))
        ->add(connect(ui->actionAdd_code_fragment, &QAction::triggered, this, &DShader::addCodeFragment))
        ->add(connect(ui->actionSave, &QAction::triggered, this, &DShader::save))
        ->add(connect(editor, &MEditor::escapeKeyPressed, m_highlighter, &MEditorParser::resetSearch))
        ->add(connect(editor, &MEditor::insertCodeFragment, this, &DShader::insertCodeFragment));
}

DShader::~DShader()
{
    delete ui;
}

void DShader::setShader(MShader *shader)
{
    m_shader = shader;
    ui->sourceEdit->setPlainText(shader ? shader->source() : QString());
    ui->sourceEdit->setModified(false);
    updateTitle();
}

void DShader::setMode(int mode)
{
    m_mode = mode;
    ui->sourceEdit->setReadOnly(m_mode == ReadOnly);
    updateActions();
    updateTitle();
}

void DShader::updateTitle()
{
    if (!m_shader) {
        setWindowTitle(tr("Source editor"));
        return;
    }
    setWindowTitle(m_shader->description() + (m_mode == ReadOnly ? tr(" - read only") : QString()));
}

void DShader::updateActions()
{
    const bool editable = m_mode != ReadOnly;
    for (QAction *action :
         {ui->actionCut, ui->actionReplace, ui->actionReplace_all, ui->actionSave, ui->actionPaste,
          ui->actionInsert_params_section, ui->actionInsert_functions_section, ui->actionInsert_float_param,
          ui->actionInsert_bolean_param, ui->actionInsert_enum_param, ui->actionInsert_color_param,
          ui->actionInsert_2D_texture_param, ui->actionInsert_code_fragment, ui->actionIncrease_font_size,
          ui->actionInsert_options_section})
        action->setEnabled(editable);
}

void DShader::clipboardDataChanged()
{
    if (const QMimeData *data = QApplication::clipboard()->mimeData())
        ui->actionPaste->setEnabled(m_mode != ReadOnly && data->hasText());
}

void DShader::console(const QString &text)
{
    ui->consoleEdit->appendPlainText(text);
}

bool DShader::compile()
{
    if (!m_shader)
        return true;
    ui->dockWidget->show();
    ui->consoleEdit->clear();

    // The check runs in a context of its own; whatever context was current
    // (the document's) is current again afterwards.
    QOpenGLContext *previous = QOpenGLContext::currentContext();
    QSurface *previousSurface = previous ? previous->surface() : nullptr;
    std::unique_ptr<QOpenGLContext> context(new QOpenGLContext());
    context->setFormat(QSurfaceFormat::defaultFormat());
    std::unique_ptr<QOffscreenSurface> surface(new QOffscreenSurface());
    surface->setFormat(QSurfaceFormat::defaultFormat());
    surface->create();
    if (!context->create() || !surface->isValid() || !context->makeCurrent(surface.get())) {
        console(tr("A system error occured: unable to create opengl context."));
        if (previous && previousSurface)
            previous->makeCurrent(previousSurface);
        return false;
    }

    bool good = false;
    {
        MShader probe;
        probe.set_type(m_shader->type());
        probe.set_source(ui->sourceEdit->toPlainText());
        bool built = false;
        const QString source = probe.buildFragmentSource(&built);
        if (!built) {
            console(probe.errorText());
        } else {
            if (!probe.errorText().isEmpty()) {
                console(tr("warning!"));
                console(probe.errorText());
            }
            QStringList report;
            good = MOpenGL::compileFragmentShader(source, report);
            if (!good) {
                probe.setIsValid(false);
                console(report.join(QLatin1Char('\n')));
                ui->consoleEdit->moveCursor(QTextCursor::Start);
            }
        }
    }
    context->doneCurrent();
    if (previous && previousSurface)
        previous->makeCurrent(previousSurface);
    return good;
}

void DShader::compileSource()
{
    if (compile())
        console(tr("The effect was successfully compiled!"));
    else
        console(tr("An error has occured during compilation."));
}

void DShader::storeAndSave(bool compiled)
{
    const QString previous = m_shader->source();
    m_shader->set_source(ui->sourceEdit->toPlainText());
    if (!m_shader->save()) {
        // Nothing reached the file: the effect keeps what its file holds, the
        // text stays modified and no one is told of a change.
        m_shader->set_source(previous);
        MUtility::showMessage(QMessageBox::Critical, tr("Effect source editor"),
                              tr("Unable to save the effect to %1.").arg(m_shader->fileName()));
        return;
    }
    emit shaderModified(m_shader, compiled);
    ui->sourceEdit->setModified(false);
}

void DShader::save()
{
    if (!m_shader || !ui->sourceEdit->isModified() || m_mode == ReadOnly)
        return;
    const bool compiled = compile();
    if (!compiled
        && MUtility::askChoice({tr("Save"), tr("Don't save")}, tr("An error occured during compilation."),
                               tr("Do you want to save modifications anyway?"))
               == 1)
        return;
    storeAndSave(compiled);
}

void DShader::closeEvent(QCloseEvent *event)
{
    QSettings *store = MSettings::instance();
    store->setValue(QLatin1String(kGeometryKey), saveGeometry());
    store->setValue(QLatin1String(kStateKey), saveState(0));
    if (!m_shader || !ui->sourceEdit->isModified() || m_mode == ReadOnly) {
        event->accept();
        return;
    }
    const bool compiled = compile();
    const int choice =
        compiled ? MUtility::askChoice({tr("Save"), tr("Don't save"), tr("Cancel")}, tr("Save effect."),
                                       tr("Effect has been modified, do you want to save modifications?"))
                 : MUtility::askChoice({tr("Save"), tr("Don't save"), tr("Cancel")},
                                       tr("An error occured during compilation."),
                                       tr("Do you want to save modifications anyway?"));
    if (choice == 0) {
        storeAndSave(compiled);
        if (ui->sourceEdit->isModified()) {
            event->ignore();
            return;
        }
        event->accept();
    } else if (choice == 1) {
        event->accept();
    } else {
        event->ignore();
    }
}

// ---------------------------------------------------------------- templates and sections

void DShader::insertTemplateLine(const QString &text)
{
    if (m_mode == ReadOnly)
        return;
    QTextCursor cursor = ui->sourceEdit->textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.insertText(text);
    cursor.insertBlock();
}

void DShader::insertFloat()
{
    insertTemplateLine(QStringLiteral("float varName = 0.0 \"description\" min = 0.0 max = 1.0 increment = 0.01;"));
}

void DShader::insertBool()
{
    insertTemplateLine(QStringLiteral("bool varName = false \"description\";"));
}

void DShader::insertColor()
{
    insertTemplateLine(QStringLiteral("color varName = rgb(255, 255, 255) \"description\";"));
}

void DShader::insertEnum()
{
    if (m_mode == ReadOnly)
        return;
    QTextCursor cursor = ui->sourceEdit->textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.beginEditBlock();
    for (const QString &line : {QStringLiteral("enum varName = 0 \"description\" enum values ="),
                                QStringLiteral("   0 \"value 0\""), QStringLiteral("   1 \"value 1\""),
                                QStringLiteral("   2 \"value 2\";")}) {
        cursor.insertText(line);
        cursor.insertBlock();
    }
    cursor.endEditBlock();
}

void DShader::insertTexture()
{
    if (m_mode == ReadOnly)
        return;
    DTextureParam dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        insertTemplateLine(dialog.declaration());
}

QTextCursor DShader::findSection(const QString &keyword) const
{
    const QTextCursor from = ui->sourceEdit->textCursor();
    return ui->sourceEdit->document()->find(QRegularExpression(keyword, QRegularExpression::CaseInsensitiveOption),
                                            from.selectionEnd());
}

void DShader::selectOrInsertSection(const QString &keyword)
{
    if (m_mode == ReadOnly)
        return;
    const QTextCursor found = findSection(keyword);
    if (!found.isNull()) {
        ui->sourceEdit->setTextCursor(found);
        return;
    }
    QTextCursor cursor = ui->sourceEdit->textCursor();
    cursor.insertText(keyword);
    cursor.insertBlock();
    ui->sourceEdit->setTextCursor(cursor);
}

void DShader::insertParamsSection()
{
    selectOrInsertSection(QStringLiteral("@params"));
}

void DShader::on_actionInsert_options_section_triggered()
{
    selectOrInsertSection(QStringLiteral("@options"));
}

void DShader::insertFunctionsSection()
{
    if (m_mode == ReadOnly)
        return;
    const QTextCursor found = findSection(QStringLiteral("@functions"));
    if (!found.isNull()) {
        ui->sourceEdit->setTextCursor(found);
        return;
    }
    const QTextCursor main = findSection(QStringLiteral("@main"));
    if (main.isNull())
        return;
    QTextCursor cursor = main;
    cursor.clearSelection();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.insertText(QStringLiteral("@functions"));
    cursor.insertBlock();
    ui->sourceEdit->setTextCursor(cursor);
}

// ---------------------------------------------------------------- code fragments

void DShader::insertCodeFragment()
{
    if (m_mode == ReadOnly)
        return;
    DSnippet dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextCursor cursor = ui->sourceEdit->textCursor();
    cursor.insertText(dialog.text());
    cursor.insertBlock();
    ui->sourceEdit->setTextCursor(cursor);
}

void DShader::addCodeFragment()
{
    // The editor separates the selected lines with U+2029; a fragment keeps "\n".
    const QString source = ui->sourceEdit->textCursor().selectedText().replace(QChar::ParagraphSeparator,
                                                                                QLatin1Char('\n'));
    bool ok = false;
    const QString description =
        QInputDialog::getText(this, tr("Snippet"), tr("Snippet description:"), QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    auto *snippet = new MSnippet();
    snippet->set_description(description);
    snippet->set_source(source);
    MSnippetList *list = MSnippetList::instance();
    list->append(snippet);
    list->saveItem(snippet);
}

// ---------------------------------------------------------------- find and replace

void DShader::search()
{
    const QString text = ui->searchEdit->text();
    m_highlighter->setSearch(text, ui->btnCaseSensitive->isChecked(), ui->btnWholeWord->isChecked());
    m_finder->set_textToFind(text);
    m_finder->find();
}

void DShader::on_actionFind_triggered()
{
    MEditor *editor = ui->sourceEdit;
    if (!editor->textCursor().hasSelection()) {
        QTextCursor cursor = editor->textCursor();
        cursor.select(QTextCursor::WordUnderCursor);
        editor->setTextCursor(cursor);
    }
    const QString text = editor->textCursor().selectedText();
    ui->searchEdit->setText(text);
    m_finder->set_textToFind(text);
    if (!text.isEmpty()) {
        m_finder->find();
        m_highlighter->setSearch(text, ui->btnCaseSensitive->isChecked(), ui->btnWholeWord->isChecked());
    }
}

void DShader::on_actionFind_next_triggered()
{
    m_finder->findNext();
}

void DShader::on_actionFind_previous_triggered()
{
    m_finder->findPrev();
}

void DShader::on_actionReplace_triggered()
{
    if (m_mode == ReadOnly)
        return;
    m_finder->set_replaceText(ui->replaceEdit->text());
    m_finder->replace();
}

void DShader::on_actionReplace_all_triggered()
{
    if (m_mode == ReadOnly)
        return;
    m_finder->set_replaceText(ui->replaceEdit->text());
    m_finder->replaceAll();
}

// ---------------------------------------------------------------- view

void DShader::stepFontSize(int step)
{
    QFont font = ui->sourceEdit->font();
    // The size steps by itself: scaling it by the screen here again would make
    // it grow on every step of a scaled screen.
    const int size = qBound(kMinimumFontSize, font.pointSize() + step, kMaximumFontSize);
    font.setPointSize(size);
    ui->sourceEdit->setFont(font);
    MSettings::instance()->set_editorFontSize(qMax(1, font.pointSize() / screenRatio()));
}

void DShader::on_actionIncrease_font_size_triggered()
{
    stepFontSize(1);
}

void DShader::on_actionDecrease_font_size_triggered()
{
    stepFontSize(-1);
}

void DShader::on_actionExit_triggered()
{
    close();
}

void DShader::on_actionCopyFormatted_triggered()
{
    const QString html = ui->sourceEdit->formattedHtml();
    auto *data = new QMimeData();
    data->setHtml(html);
    QApplication::clipboard()->setMimeData(data);
    MLogger::instance()->debug(QStringLiteral("dshader::on_actionCopyFormatted_triggered ") + html);
}

void DShader::on_actionShow_compilation_panel_triggered()
{
    ui->dockWidget->show();
}
