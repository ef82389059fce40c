#pragma once

#include <QMainWindow>

class MHelpEngine;
class MHelpItem;
class MTextFinder;
class QTextCursor;

namespace Ui {
class DHelpEditor;
}

// The window in which the help's authors write the topic pages: the topic
// tree, the HTML source of the current topic, its saved page, find and
// replace, and the commands that insert snippets, mark texts for
// translation, edit the index and generate the site.
class DHelpEditor : public QMainWindow
{
    Q_OBJECT
public:
    explicit DHelpEditor(MHelpEngine *engine, QWidget *parent = nullptr);
    ~DHelpEditor() override;

    MHelpItem *currentItem() const { return m_currentItem; }
    MHelpItem *selectedItem() const;
    void editTopic(MHelpItem *item);
    bool saveTopic(MHelpItem *item);
    void wrapSelection(const QString &tag);
    void insertLink(const QString &target, const QString &text);

public slots:
    void insertClass(int index);
    void selectionChanged();
    void updateItem(MHelpItem *item);
    void search();

private slots:
    void on_actionReload_topic_triggered();
    void on_actionOpen_in_browser_triggered();
    void on_actionGenerate_html_triggered();
    void on_actionExtract_images_triggered();
    void on_actionUndo_triggered();
    void on_actionRedo_triggered();
    void on_actionCopy_triggered();
    void on_actionCut_triggered();
    void on_actionPaste_triggered();
    void on_actionSelect_all_triggered();
    void on_actionCopy_text_only_triggered();
    void on_actionPaste_formatted_triggered();
    void on_actionNormal_triggered();
    void on_actionHeader_1_triggered();
    void on_actionHeader_2_triggered();
    void on_actionHeader_3_triggered();
    void on_actionInsert_list_triggered();
    void on_actionInsert_list_item_triggered();
    void on_actionMakeTranslatable_triggered();
    void on_actionInsert_table_triggered();
    void on_actionInsert_image_from_clipboard_triggered();
    void on_actionInsert_image_from_file_triggered();
    void on_actionInsert_internal_link_triggered();
    void on_actionInsert_external_link_triggered();
    void on_actionInsert_topic_childs_triggered();
    void on_actionInsert_topic_title_triggered();
    void on_actionClear_tags_triggered();
    void on_actionEdit_index_triggered();
    void on_actionCheck_index_triggered();
    void on_actionCopy_topic_id_triggered();
    void on_actionExtract_html_form_ui_triggered();
    void on_actionSave_triggered();
    void on_actionGrab_widget_triggered();
    void on_actionFind_triggered();
    void on_actionFind_next_triggered();
    void on_actionFind_previous_triggered();
    void on_actionReplace_triggered();
    void on_actionReplace_all_triggered();
    void on_actionExtract_texts_triggered();
    void on_actionTranslate_fr_to_en_triggered();
    void on_actionUntextify_selection_triggered();
    void on_actionTextify_selection_triggered();
    void on_actionDelete_redondant_blank_lines_triggered();
    void on_actionWrap_text_toggled(bool on);

private:
    void showPreview(MHelpItem *item);
    // The selection, or the whole document when nothing is selected.
    QTextCursor selectionOrDocument() const;
    // Inserts lines at the start of the cursor's line, followed by a new block.
    void insertAtLineStart(const QString &text);
    void selectItem(MHelpItem *item);

    Ui::DHelpEditor *ui;
    MHelpEngine *m_engine;
    MHelpItem *m_currentItem = nullptr;
    MTextFinder *m_finder;
};
