#pragma once

#include <QMainWindow>
#include <QTextCursor>

namespace Ui {
class DShader;
}
class MConnector;
class MEditorParserGLSL;
class MShader;
class MTextFinder;

// The effect source editor: edits, checks on the GPU and saves the source of
// one effect or brush engine.
class DShader : public QMainWindow
{
    Q_OBJECT
public:
    enum Mode { Editable = 0, ReadOnly = 1 };

    explicit DShader(QWidget *parent = nullptr);
    ~DShader() override;

    void setMode(int mode);
    int mode() const { return m_mode; }
    MShader *shader() const { return m_shader; }

public slots:
    void setShader(MShader *shader);

signals:
    void shaderModified(MShader *shader, bool compiled);

private slots:
    void save();
    void clipboardDataChanged();
    void insertFloat();
    void insertBool();
    void insertEnum();
    void insertColor();
    void insertTexture();
    void insertParamsSection();
    void insertFunctionsSection();
    void insertCodeFragment();
    void addCodeFragment();
    void compileSource();
    void on_actionFind_triggered();
    void on_actionFind_next_triggered();
    void on_actionFind_previous_triggered();
    void on_actionReplace_triggered();
    void on_actionReplace_all_triggered();
    void search();
    void on_actionIncrease_font_size_triggered();
    void on_actionDecrease_font_size_triggered();
    void on_actionExit_triggered();
    void on_actionCopyFormatted_triggered();
    void on_actionInsert_options_section_triggered();
    void on_actionShow_compilation_panel_triggered();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool compile();
    void updateTitle();
    void updateActions();
    QTextCursor findSection(const QString &keyword) const;
    void insertTemplateLine(const QString &text);
    void selectOrInsertSection(const QString &keyword);
    void stepFontSize(int step);
    // Stores the text into the effect, saves it and tells the main window.
    void storeAndSave(bool compiled);
    void console(const QString &text);

    Ui::DShader *ui;
    MShader *m_shader = nullptr;
    MTextFinder *m_finder;
    MConnector *m_connector;
    MEditorParserGLSL *m_highlighter;
    int m_mode = ReadOnly;
};
