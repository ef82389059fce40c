#pragma once

#include <QPlainTextEdit>

class MLineNumberArea;

// The code editor of effect sources: line numbers, the cursor line lit,
// indentation kept on Return, Tab and Shift+Tab on selected lines, keyword
// search on Ctrl+Space or Ctrl+K and a code fragment asked for on
// Ctrl+Shift+Space or Ctrl+Shift+K.
class MEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit MEditor(QWidget *parent = nullptr);

    int lineNumberAreaWidth() const;
    void lineNumberAreaPaintEvent(QPaintEvent *event);
    QString formattedHtml() const;
    bool isModified() const;
    void setModified(bool modified);
    QString wordUnderCursor() const;
    MLineNumberArea *lineNumberArea() const { return m_lineNumberArea; }
    // The font the settings ask for: family and size scaled by the screen.
    static QFont settingsFont();

signals:
    void escapeKeyPressed();
    void insertCodeFragment(const QString &word);
    void altClick();

private slots:
    void updateLineNumberAreaWidth(int blockCount);
    void highlightCurrentLine();
    void updateLineNumberArea(const QRect &rect, int dy);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void newLineWithIndent();
    void indentSelection(bool unindent);
    void unindentLine();
    void searchKeyword();

    MLineNumberArea *m_lineNumberArea;
};
