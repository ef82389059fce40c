#include "meditor.h"

#include "dsearchengine.h"
#include "mlinenumberarea.h"
#include "msettings.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <memory>

MEditor::MEditor(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_lineNumberArea(new MLineNumberArea(this))
{
    setFont(settingsFont());
    setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '))
                       * MSettings::instance()->editorTabSize());
    connect(this, &QPlainTextEdit::blockCountChanged, this, &MEditor::updateLineNumberAreaWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &MEditor::updateLineNumberArea);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &MEditor::highlightCurrentLine);
    setViewportMargins(lineNumberAreaWidth() + 10, 0, 0, 0);
    highlightCurrentLine();
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

QFont MEditor::settingsFont()
{
    const MSettings *settings = MSettings::instance();
    const int ratio = qMax(1, int(qApp->devicePixelRatio()));
    QFont font(settings->editorFontName());
    font.setPointSize(ratio * settings->editorFontSize());
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

int MEditor::lineNumberAreaWidth() const
{
    int digits = 1;
    for (int count = qMax(1, blockCount()); count >= 10; count /= 10)
        ++digits;
    return 3 + digits * fontMetrics().horizontalAdvance(QLatin1Char('9'));
}

void MEditor::updateLineNumberAreaWidth(int)
{
    setViewportMargins(lineNumberAreaWidth() + 10, 0, 0, 0);
}

void MEditor::updateLineNumberArea(const QRect &rect, int dy)
{
    if (dy != 0)
        m_lineNumberArea->scroll(0, dy);
    else
        m_lineNumberArea->update(0, rect.y(), m_lineNumberArea->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        updateLineNumberAreaWidth(0);
}

void MEditor::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect contents = contentsRect();
    m_lineNumberArea->setGeometry(QRect(contents.left(), contents.top(), lineNumberAreaWidth() + 10, contents.height()));
}

void MEditor::lineNumberAreaPaintEvent(QPaintEvent *event)
{
    QPainter painter(m_lineNumberArea);
    painter.fillRect(event->rect(), QColor(220, 220, 220));
    QTextBlock block = firstVisibleBlock();
    int number = block.blockNumber();
    int top = int(blockBoundingGeometry(block).translated(contentOffset()).top());
    int bottom = top + int(blockBoundingRect(block).height());
    painter.setPen(Qt::black);
    while (block.isValid() && top <= event->rect().bottom()) {
        if (block.isVisible() && bottom >= event->rect().top())
            painter.drawText(0, top, m_lineNumberArea->width(), fontMetrics().height(), Qt::AlignRight,
                             QString::number(number + 1));
        block = block.next();
        top = bottom;
        bottom = top + int(blockBoundingRect(block).height());
        ++number;
    }
}

void MEditor::highlightCurrentLine()
{
    QList<QTextEdit::ExtraSelection> selections;
    if (!isReadOnly()) {
        QTextEdit::ExtraSelection selection;
        selection.format.setBackground(QColor(Qt::yellow).lighter(160));
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selection.cursor = textCursor();
        selection.cursor.clearSelection();
        selections.append(selection);
    }
    setExtraSelections(selections);
}

bool MEditor::isModified() const
{
    return document()->isModified();
}

void MEditor::setModified(bool modified)
{
    document()->setModified(modified);
}

QString MEditor::wordUnderCursor() const
{
    QTextCursor cursor = textCursor();
    cursor.select(QTextCursor::WordUnderCursor);
    return cursor.selectedText();
}

void MEditor::mousePressEvent(QMouseEvent *event)
{
    QPlainTextEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::AltModifier))
        emit altClick();
}

void MEditor::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool control = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;

    if (key == Qt::Key_Escape) {
        emit escapeKeyPressed();
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // A read-only text takes no edit, not even those made here.
    if (isReadOnly()) {
        if (key != Qt::Key_F1)
            QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (key == Qt::Key_Return && MSettings::instance()->editorSmartTab()) {
        newLineWithIndent();
        return;
    }
    if (key == Qt::Key_Tab && textCursor().hasSelection()) {
        indentSelection(false);
        return;
    }
    if (key == Qt::Key_Backtab) {
        if (textCursor().hasSelection())
            indentSelection(true);
        else
            unindentLine();
        return;
    }
    if ((key == Qt::Key_Space || key == Qt::Key_K) && control) {
        // Shift alone types: a capital K and a blank are text like any other.
        if (shift)
            emit insertCodeFragment(wordUnderCursor());
        else
            searchKeyword();
        return;
    }
    if (key == Qt::Key_F1)
        return;
    QPlainTextEdit::keyPressEvent(event);
}

void MEditor::searchKeyword()
{
    std::unique_ptr<DSearchEngine> dialog(new DSearchEngine(this));
    dialog->setSearchText(wordUnderCursor());
    if (dialog->exec() != QDialog::Accepted)
        return;
    QTextCursor cursor = textCursor();
    cursor.select(QTextCursor::WordUnderCursor);
    cursor.removeSelectedText();
    cursor.insertText(dialog->keyword());
    setTextCursor(cursor);
}

void MEditor::newLineWithIndent()
{
    QTextCursor cursor = textCursor();
    const QString line = cursor.block().text();
    int length = 0;
    while (length < line.size() && line.at(length).isSpace())
        ++length;
    cursor.beginEditBlock();
    cursor.insertBlock();
    cursor.insertText(line.left(length));
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void MEditor::indentSelection(bool unindent)
{
    QTextCursor cursor = textCursor();
    QTextDocument *doc = document();
    const int first = doc->findBlock(cursor.selectionStart()).blockNumber();
    const int last = doc->findBlock(cursor.selectionEnd()).blockNumber();
    cursor.beginEditBlock();
    for (int number = first; number <= last; ++number) {
        const QTextBlock block = doc->findBlockByNumber(number);
        QTextCursor at(block);
        if (!unindent) {
            at.insertText(QStringLiteral("\t"));
        } else if (!block.text().isEmpty()
                   && (block.text().at(0) == QLatin1Char('\t') || block.text().at(0) == QLatin1Char(' '))) {
            at.deleteChar();
        }
    }
    cursor.endEditBlock();
    QTextCursor selection(doc->findBlockByNumber(first));
    const QTextBlock lastBlock = doc->findBlockByNumber(last);
    selection.setPosition(lastBlock.position() + lastBlock.length() - 1, QTextCursor::KeepAnchor);
    setTextCursor(selection);
}

void MEditor::unindentLine()
{
    // Without a selection Shift+Tab takes indentation away, never text.
    const QTextBlock block = textCursor().block();
    const QString text = block.text();
    if (text.isEmpty() || (text.at(0) != QLatin1Char('\t') && text.at(0) != QLatin1Char(' ')))
        return;
    QTextCursor at(block);
    at.deleteChar();
}

QString MEditor::formattedHtml() const
{
    QTextDocument scratch;
    QTextCursor all(&scratch);
    all.insertFragment(QTextDocumentFragment::fromPlainText(toPlainText()));
    all.select(QTextCursor::Document);
    QTextCharFormat black;
    black.setForeground(Qt::black);
    all.mergeCharFormat(black);

    const int last = scratch.characterCount() - 1;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        const QVector<QTextLayout::FormatRange> ranges = block.layout()->formats();
        for (const QTextLayout::FormatRange &range : ranges) {
            const int start = qMax(0, block.position() + range.start);
            const int end = qMin(last, block.position() + range.start + range.length);
            if (start >= end)
                continue;
            QTextCursor cursor(&scratch);
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.setCharFormat(range.format);
        }
    }
    QTextBlockFormat blockFormat;
    blockFormat.setNonBreakableLines(true);
    blockFormat.setBackground(Qt::white);
    for (QTextBlock block = scratch.firstBlock(); block.isValid(); block = block.next()) {
        block.setUserState(-1);
        QTextCursor cursor(block);
        cursor.mergeBlockFormat(blockFormat);
    }
    return scratch.toHtml();
}
