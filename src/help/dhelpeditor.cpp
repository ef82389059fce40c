#include "dhelpeditor.h"
#include "ui_dhelpeditor.h"

#include "ddynadial.h"
#include "dgrabwidget.h"
#include "dhelpindexeditor.h"
#include "dtopiclink.h"
#include "mhelpengine.h"
#include "mhelpitem.h"
#include "mlogger.h"
#include "mtextfinder.h"
#include "mutility.h"

#include <QClipboard>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QTextBlock>
#include <QUrl>

namespace {
const QChar paragraph = QChar::ParagraphSeparator;

const QRegularExpression &tagPattern()
{
    static const QRegularExpression pattern(QStringLiteral("[<][^<>]*[>]"));
    return pattern;
}

// Addresses with a scheme are links out of the help; anything else names a topic.
bool isExternal(const QString &target)
{
    static const QRegularExpression scheme(QStringLiteral("^[a-zA-Z][a-zA-Z0-9+.-]*:"));
    return scheme.match(target).hasMatch();
}
} // namespace

DHelpEditor::DHelpEditor(MHelpEngine *engine, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::DHelpEditor)
    , m_engine(engine)
    , m_finder(new MTextFinder(this))
{
    ui->setupUi(this);
    ui->treeView->setModel(m_engine);
    ui->treeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->treeView->expandAll();
    ui->treeView->resizeColumnToContents(MHelpEngine::TitleColumn);
    ui->splitter->setStretchFactor(1, 3);
    ui->textEdit->setEnabled(false);
    ui->textEdit->setTabStopDistance(4 * ui->textEdit->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    ui->actionWrap_text->setChecked(true);
    m_finder->set_textEdit(ui->textEdit);

    const QStringList classes{QStringLiteral("w3-red"), QStringLiteral("w3-light-grey"), QStringLiteral("w3-small"),
                              QStringLiteral("w3-large"), QStringLiteral("w3-margin-left"), QStringLiteral("w3-panel"),
                              QStringLiteral("w3-border"), QStringLiteral("w3-code")};
    for (const QString &name : classes)
        ui->classBox->addItem(name, name);
    ui->classBox->setCurrentIndex(-1);
    connect(ui->classBox, QOverload<int>::of(&QComboBox::activated), this, &DHelpEditor::insertClass);
    connect(ui->findEdit, &QLineEdit::returnPressed, this, &DHelpEditor::search);
    connect(ui->treeView->selectionModel(), &QItemSelectionModel::currentChanged, this, &DHelpEditor::selectionChanged);
    // A reload deletes every topic: the one being edited is saved first.
    connect(m_engine, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (m_currentItem && ui->textEdit->document()->isModified())
            saveTopic(m_currentItem);
        m_currentItem = nullptr;
    });
    connect(m_engine, &QAbstractItemModel::modelReset, this, [this] {
        ui->treeView->expandAll();
        selectionChanged();
    });
    ui->splitter->setSizes({300, 900});
    // The author starts on the first page rather than on an empty editor.
    if (m_engine->rowCount() > 0)
        ui->treeView->setCurrentIndex(m_engine->index(0, 0));
}

DHelpEditor::~DHelpEditor()
{
    delete ui;
}

MHelpItem *DHelpEditor::selectedItem() const
{
    const QModelIndex current = ui->treeView->currentIndex();
    if (!current.isValid())
        return nullptr;
    return m_engine->itemOf(m_engine->index(current.row(), 0, current.parent()));
}

void DHelpEditor::selectItem(MHelpItem *item)
{
    ui->treeView->setCurrentIndex(m_engine->indexOf(item));
}

void DHelpEditor::editTopic(MHelpItem *item)
{
    if (!item)
        return;
    setWindowTitle(tr("Edit topic %1").arg(item->title()));
    const QString path = m_engine->sourcePagePath(item);
    if (QFileInfo(path).isFile()) {
        QString text;
        MUtility::readTextFile(text, path);
        ui->textEdit->setPlainText(text);
    } else {
        ui->textEdit->setPlainText(QStringLiteral("<h1>%1</h1>").arg(item->title().toHtmlEscaped()));
    }
    showPreview(item);
    ui->textEdit->document()->setModified(false);
}

bool DHelpEditor::saveTopic(MHelpItem *item)
{
    if (!item)
        return false;
    const QString path = m_engine->sourcePagePath(item);
    if (path.isEmpty()) {
        *MLogger::instance() << QStringLiteral("Help page refused: the id \"%1\" leaves the help folder").arg(item->id());
        QMessageBox::critical(this, tr("Help"), tr("The topic id \"%1\" cannot name a page: it leaves the help folder.")
                                                    .arg(item->id()));
        return false;
    }
    if (!MUtility::writeTextFile(ui->textEdit->toPlainText(), path)) {
        *MLogger::instance() << QStringLiteral("Unable to write the help page %1").arg(path);
        QMessageBox::critical(this, tr("Help"), tr("Unable to write %1.").arg(path));
        return false;
    }
    ui->textEdit->document()->setModified(false);
    updateItem(item);
    return true;
}

void DHelpEditor::showPreview(MHelpItem *item)
{
    const QString path = m_engine->sourcePagePath(item);
    if (!QFileInfo(path).isFile()) {
        ui->preview->setHtml(QStringLiteral("<h1>%1</h1>").arg(tr("No topic yet")));
        return;
    }
    QString text;
    MUtility::readTextFile(text, path);
    ui->preview->document()->setBaseUrl(QUrl::fromLocalFile(path));
    ui->preview->setHtml(text);
}

void DHelpEditor::updateItem(MHelpItem *item)
{
    if (!item)
        return;
    showPreview(item);
    m_engine->createPage(item);
}

void DHelpEditor::selectionChanged()
{
    MHelpItem *item = selectedItem();
    ui->textEdit->setEnabled(item != nullptr);
    if (!item || item == m_currentItem)
        return;
    if (m_currentItem && ui->textEdit->document()->isModified())
        saveTopic(m_currentItem);
    m_currentItem = item;
    editTopic(item);
}

void DHelpEditor::insertClass(int index)
{
    if (index == -1)
        return;
    ui->textEdit->insertPlainText(ui->classBox->currentData().toString());
}

void DHelpEditor::search()
{
    m_finder->set_textToFind(ui->findEdit->text());
    m_finder->find();
}

void DHelpEditor::wrapSelection(const QString &tag)
{
    QTextCursor cursor = ui->textEdit->textCursor();
    if (!cursor.hasSelection()) {
        cursor.movePosition(QTextCursor::StartOfBlock);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    const QString format = tag == QLatin1String("p") || tag.startsWith(QLatin1Char('h'))
        ? QStringLiteral("<%1><t>%2</t></%1>")
        : QStringLiteral("<%1>%2</%1>");
    cursor.insertText(format.arg(tag, cursor.selectedText()));
    ui->textEdit->setTextCursor(cursor);
}

void DHelpEditor::insertLink(const QString &target, const QString &text)
{
    QTextCursor cursor = ui->textEdit->textCursor();
    QString linkText = text;
    if (linkText.isEmpty()) {
        if (!cursor.hasSelection())
            cursor.select(QTextCursor::WordUnderCursor);
        linkText = cursor.selectedText();
    }
    const QString href = isExternal(target) ? target : MHelpEngine::fileNameOf(target) + QStringLiteral(".html");
    cursor.insertText(QStringLiteral("<a href=\"%1\"><t>%2</t></a>").arg(href.toHtmlEscaped(), linkText));
    ui->textEdit->setTextCursor(cursor);
}

QTextCursor DHelpEditor::selectionOrDocument() const
{
    QTextCursor cursor = ui->textEdit->textCursor();
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::Document);
    return cursor;
}

void DHelpEditor::insertAtLineStart(const QString &text)
{
    QTextCursor cursor = ui->textEdit->textCursor();
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.insertBlock();
    cursor.endEditBlock();
    ui->textEdit->setTextCursor(cursor);
}

// ---------------------------------------------------------------- commands

void DHelpEditor::on_actionReload_topic_triggered()
{
    if (MHelpItem *item = selectedItem())
        showPreview(item);
}

void DHelpEditor::on_actionOpen_in_browser_triggered()
{
    MHelpItem *item = selectedItem();
    const QString path = m_engine->exportPagePath(item);
    if (path.isEmpty())
        return;
    if (!QFileInfo::exists(path))
        m_engine->createPage(item);
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void DHelpEditor::on_actionGenerate_html_triggered()
{
    if (MHelpItem *item = selectedItem()) {
        if (item == m_currentItem)
            saveTopic(item);
    }
    m_engine->build();
}

void DHelpEditor::on_actionExtract_images_triggered()
{
    qDebug().noquote() << QStringLiteral("dhelpeditor::DHelpEditor::on_actionExtract_images_triggered")
                       << m_engine->extractImages().join(QLatin1Char('\n'));
}

void DHelpEditor::on_actionUndo_triggered()
{
    ui->textEdit->undo();
}

void DHelpEditor::on_actionRedo_triggered()
{
    ui->textEdit->redo();
}

void DHelpEditor::on_actionCopy_triggered()
{
    ui->textEdit->copy();
}

void DHelpEditor::on_actionCut_triggered()
{
    ui->textEdit->cut();
}

void DHelpEditor::on_actionPaste_triggered()
{
    ui->textEdit->paste();
}

void DHelpEditor::on_actionSelect_all_triggered()
{
    ui->textEdit->selectAll();
}

void DHelpEditor::on_actionCopy_text_only_triggered()
{
    QString text = ui->textEdit->textCursor().selectedText();
    text.remove(tagPattern());
    text.replace(paragraph, QLatin1Char('\n'));
    QGuiApplication::clipboard()->setText(text);
}

void DHelpEditor::on_actionPaste_formatted_triggered()
{
    QString result;
    for (const QString &line : QGuiApplication::clipboard()->text().split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            result += QStringLiteral("<p>") + line + QStringLiteral("</p>") + paragraph;
    }
    ui->textEdit->textCursor().insertText(result);
}

void DHelpEditor::on_actionNormal_triggered()
{
    wrapSelection(QStringLiteral("p"));
}

void DHelpEditor::on_actionHeader_1_triggered()
{
    wrapSelection(QStringLiteral("h1"));
}

void DHelpEditor::on_actionHeader_2_triggered()
{
    wrapSelection(QStringLiteral("h2"));
}

void DHelpEditor::on_actionHeader_3_triggered()
{
    wrapSelection(QStringLiteral("h3"));
}

void DHelpEditor::on_actionInsert_list_triggered()
{
    QTextCursor cursor = ui->textEdit->textCursor();
    if (!cursor.hasSelection()) {
        wrapSelection(QStringLiteral("ul"));
        return;
    }
    QString list = QStringLiteral("<ul>\n");
    for (const QString &line : cursor.selectedText().split(paragraph))
        list += QStringLiteral("\t<li><t>%1</t></li>\n").arg(line.trimmed());
    list += QStringLiteral("</ul>\n");
    cursor.insertText(list);
    ui->textEdit->setTextCursor(cursor);
}

void DHelpEditor::on_actionInsert_list_item_triggered()
{
    wrapSelection(QStringLiteral("li"));
}

void DHelpEditor::on_actionMakeTranslatable_triggered()
{
    wrapSelection(QStringLiteral("t"));
}

void DHelpEditor::on_actionInsert_table_triggered()
{
    DDynaDial dialog(this);
    dialog.addIntField("rows", tr("Rows"), 2, 1, 100, 1);
    dialog.addIntField("cols", tr("Cols"), 2, 1, 100, 1);
    dialog.addBoolField("compact", tr("Compact"), false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int rows = dialog.value("rows").toInt();
    const int cols = dialog.value("cols").toInt();
    const bool compact = dialog.value("compact").toBool();
    QStringList lines{QStringLiteral("<table>")};
    for (int row = 0; row < rows; ++row) {
        if (compact) {
            QString line = QStringLiteral("\t<tr>");
            for (int col = 0; col < cols; ++col)
                line += QStringLiteral("<td></td>");
            lines.append(line + QStringLiteral("</tr>"));
        } else {
            lines.append(QStringLiteral("\t<tr>"));
            for (int col = 0; col < cols; ++col)
                lines.append(QStringLiteral("\t\t<td></td>"));
            lines.append(QStringLiteral("\t</tr>"));
        }
    }
    lines.append(QStringLiteral("</table>"));
    insertAtLineStart(lines.join(QLatin1Char('\n')));
}

void DHelpEditor::on_actionInsert_image_from_clipboard_triggered()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!m_currentItem || !data || !data->hasImage())
        return;
    QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull())
        return;
    bool ok = false;
    QString name = QInputDialog::getText(this, tr("html"), tr("image name:"), QLineEdit::Normal,
                                         MHelpEngine::fileNameOf(m_currentItem->id()) + QLatin1Char('-'), &ok)
                       .trimmed();
    if (!ok || name.isEmpty())
        return;
    if (!name.endsWith(QLatin1String(".png")))
        name += QStringLiteral(".png");
    if (!MHelpEngine::isSafePageName(name)) {
        QMessageBox::critical(this, tr("help"), tr("An image name cannot hold a folder: %1").arg(name));
        return;
    }
    const QString path = m_engine->helpDir(MHelpEngine::SourceMode, MHelpEngine::ImagesKind) + name;
    if (QFileInfo::exists(path)
        && QMessageBox::question(this, tr("help"), tr("The file already exists. Continue?"),
                                 QMessageBox::Ok | QMessageBox::Cancel)
            != QMessageBox::Ok)
        return;
    if (image.width() > 800)
        image = image.scaled(800, 800, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (!image.save(path, "PNG")) {
        QMessageBox::critical(this, tr("help"), tr("Unable to write %1.").arg(path));
        return;
    }
    ui->textEdit->insertPlainText(QStringLiteral("<img src=\"%1/%2\">").arg(QStringLiteral("images"), name));
}

void DHelpEditor::on_actionInsert_image_from_file_triggered()
{
    const QString folder = m_engine->helpDir(MHelpEngine::SourceMode, MHelpEngine::ImagesKind);
    QFileDialog dialog(this, tr("Images"), folder);
    dialog.setNameFilters(MUtility::imageFileFilter(false));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QStringList lines;
    for (const QString &file : dialog.selectedFiles())
        lines.append(QStringLiteral("<img src=\"%1/%2\">").arg(QStringLiteral("images"), QDir(folder).relativeFilePath(file)));
    ui->textEdit->insertPlainText(lines.join(QLatin1Char('\n')));
}

void DHelpEditor::on_actionInsert_internal_link_triggered()
{
    DTopicLink dialog(m_engine, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedItem())
        return;
    const QString selected = ui->textEdit->textCursor().selectedText();
    insertLink(dialog.selectedId(), selected.isEmpty() ? dialog.selectedTitle().toHtmlEscaped() : selected);
}

void DHelpEditor::on_actionInsert_external_link_triggered()
{
    bool ok = false;
    const QString address = QInputDialog::getText(this, tr("html"), tr("href:"), QLineEdit::Normal,
                                                  QStringLiteral("http://"), &ok);
    if (ok)
        insertLink(address, ui->textEdit->textCursor().selectedText());
}

void DHelpEditor::on_actionInsert_topic_childs_triggered()
{
    if (!m_currentItem)
        return;
    DDynaDial dialog(this);
    dialog.addBoolField("asList", tr("As a ul list"), true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool asList = dialog.value("asList").toBool();
    QStringList lines;
    for (int i = 0; i < m_currentItem->childCount(); ++i) {
        const MHelpItem *child = m_currentItem->child(i);
        lines.append(QStringLiteral("<%3><a href=\"%1\"><t>%2</t></a></%3>")
                         .arg(QString(MHelpEngine::fileNameOf(child->id()) + QStringLiteral(".html")).toHtmlEscaped(),
                              child->title().toHtmlEscaped(), asList ? QStringLiteral("li") : QStringLiteral("p")));
    }
    if (asList) {
        lines.prepend(QStringLiteral("<ul>"));
        lines.append(QStringLiteral("</ul>"));
    }
    insertAtLineStart(lines.join(QLatin1Char('\n')));
}

void DHelpEditor::on_actionInsert_topic_title_triggered()
{
    if (m_currentItem)
        ui->textEdit->insertPlainText(m_currentItem->title().toHtmlEscaped());
}

void DHelpEditor::on_actionClear_tags_triggered()
{
    QTextCursor cursor = ui->textEdit->textCursor();
    if (!cursor.hasSelection())
        return;
    QString text = cursor.selectedText();
    cursor.insertText(text.remove(tagPattern()));
    ui->textEdit->setTextCursor(cursor);
}

void DHelpEditor::on_actionEdit_index_triggered()
{
    const QString currentId = m_currentItem ? m_currentItem->id() : QString();
    if (m_currentItem && ui->textEdit->document()->isModified())
        saveTopic(m_currentItem);
    DHelpIndexEditor dialog(m_engine, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ui->treeView->expandAll();
    // The tree was rebuilt: the topic being edited is found again by its page name.
    for (MHelpItem *item : m_engine->allTopics()) {
        if (MHelpEngine::fileNameOf(item->id()) == MHelpEngine::fileNameOf(currentId)) {
            selectItem(item);
            break;
        }
    }
    selectionChanged();
}

void DHelpEditor::on_actionCheck_index_triggered()
{
    m_engine->checkIndex();
}

void DHelpEditor::on_actionCopy_topic_id_triggered()
{
    if (const MHelpItem *item = selectedItem())
        QGuiApplication::clipboard()->setText(item->id());
}

void DHelpEditor::on_actionExtract_html_form_ui_triggered()
{
    if (!m_currentItem)
        return;
    if (!ui->textEdit->toPlainText().isEmpty()
        && QMessageBox::question(this, tr("Html"), tr("Are you sure?"), QMessageBox::Ok | QMessageBox::Cancel)
            != QMessageBox::Ok)
        return;
    const QString html = m_engine->getHtml(m_currentItem);
    QTextCursor cursor = ui->textEdit->textCursor();
    cursor.select(QTextCursor::Document);
    cursor.insertText(html);
    QGuiApplication::clipboard()->setText(html);
}

void DHelpEditor::on_actionSave_triggered()
{
    saveTopic(m_currentItem);
}

void DHelpEditor::on_actionGrab_widget_triggered()
{
    DGrabWidget grab(this);
    grab.exec();
}

void DHelpEditor::on_actionFind_triggered()
{
    m_finder->getTextToFind();
    ui->findEdit->setText(m_finder->textToFind());
    if (!m_finder->textToFind().isEmpty())
        m_finder->find();
}

void DHelpEditor::on_actionFind_next_triggered()
{
    m_finder->findNext();
}

void DHelpEditor::on_actionFind_previous_triggered()
{
    m_finder->findPrev();
}

void DHelpEditor::on_actionReplace_triggered()
{
    m_finder->set_replaceText(ui->replaceEdit->text());
    m_finder->replace();
}

void DHelpEditor::on_actionReplace_all_triggered()
{
    m_finder->set_replaceText(ui->replaceEdit->text());
    m_finder->replaceAll();
}

void DHelpEditor::on_actionExtract_texts_triggered()
{
    QString why;
    if (m_engine->writePoFile(QStringLiteral("en"), &why))
        QMessageBox::information(this, QString(), tr("Traductions extraites !"));
    else
        QMessageBox::critical(this, QString(), why);
}

void DHelpEditor::on_actionTranslate_fr_to_en_triggered()
{
    const QString folder = m_engine->helpRoot() + QStringLiteral("translation/");
    m_engine->translate(folder + QStringLiteral("fr.txt"), folder + QStringLiteral("en.txt"));
}

void DHelpEditor::on_actionUntextify_selection_triggered()
{
    QTextCursor cursor = selectionOrDocument();
    QString text = cursor.selectedText();
    text.remove(QStringLiteral("<t>")).remove(QStringLiteral("</t>"));
    cursor.insertText(text);
}

void DHelpEditor::on_actionTextify_selection_triggered()
{
    QTextCursor cursor = selectionOrDocument();
    QString text = cursor.selectedText();
    for (const char *tag : {"p", "h1", "h2", "h3", "li"}) {
        const QString name = QLatin1String(tag);
        text.replace(QRegularExpression(QStringLiteral("<%1>(?![<]t[>])").arg(name)), QStringLiteral("<%1><t>").arg(name));
        text.replace(QRegularExpression(QStringLiteral("(?<![<]/t[>])</%1>").arg(name)),
                     QStringLiteral("</t></%1>").arg(name));
    }
    cursor.insertText(text);
}

void DHelpEditor::on_actionDelete_redondant_blank_lines_triggered()
{
    QTextCursor cursor = ui->textEdit->textCursor();
    cursor.select(QTextCursor::Document);
    static const QRegularExpression blank(QStringLiteral("^\\s*$"));
    QStringList kept;
    bool previousBlank = false;
    for (const QString &line : cursor.selectedText().split(paragraph)) {
        const bool isBlank = blank.match(line).hasMatch();
        if (!(isBlank && previousBlank))
            kept.append(line);
        previousBlank = isBlank;
    }
    cursor.insertText(kept.join(paragraph));
}

void DHelpEditor::on_actionWrap_text_toggled(bool on)
{
    ui->textEdit->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}
