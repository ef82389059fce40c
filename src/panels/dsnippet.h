#pragma once

#include <QDialog>
#include <QSet>

namespace Ui {
class DSnippet;
}
class MConnector;
class MEditorParserGLSL;
class MSnippet;
class MSnippetProxy;

// Browses the code-fragment library: search, add, delete, edit and insert.
// Fragments the painter edited are written to the user folder on leaving.
class DSnippet : public QDialog
{
    Q_OBJECT
public:
    explicit DSnippet(QWidget *parent = nullptr);
    ~DSnippet() override;

    // The source of the fragment shown or chosen last.
    QString text() const { return m_text; }
    MSnippet *currentSnippet() const;

private slots:
    void on_insertButton_clicked();
    void on_closeButton_clicked();
    void onCurrentIndexChanged();
    void search();
    void onSomethingChanged();
    void on_addButton_clicked();
    void on_removeButton_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void makeConnections();
    void showSnippet(MSnippet *snippet);
    void saveChanged();

    Ui::DSnippet *ui;
    MSnippetProxy *m_proxy;
    QString m_text;
    QSet<MSnippet *> m_changed;
    MConnector *m_connector;
    MEditorParserGLSL *m_highlighter;
    bool m_showing = false;
};
