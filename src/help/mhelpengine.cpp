#include "mhelpengine.h"

#include "mhelpitem.h"
#include "mlogger.h"
#include "msettings.h"
#include "mutility.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTextDocument>
#include <QThread>
#include <QToolButton>

namespace {
void trace(const char *function, const QString &message)
{
    qDebug().noquote() << QStringLiteral("mhelpengine::MHelpEngine::%1").arg(QLatin1String(function)) << message;
}

QString readText(const QString &path)
{
    QString text;
    MUtility::readTextFile(text, path);
    return text;
}

QString indentation(int depth)
{
    return depth > 0 ? QString(depth, QLatin1Char('\t')) : QString();
}

// Between the first and the last character: what a catalogue line holds in its quotes.
QString unquote(const QString &text)
{
    return text.size() >= 2 ? text.mid(1, text.size() - 2) : QString();
}

const QString pageSuffix = QStringLiteral(".html");
} // namespace

MHelpEngine::MHelpEngine(QObject *parent)
    : QAbstractItemModel(parent)
    , m_rootItem(new MHelpItem)
{
}

MHelpEngine::~MHelpEngine()
{
    delete m_rootItem;
}

void MHelpEngine::setHelpRoot(const QString &path)
{
    m_helpRoot = path.isEmpty() ? QString() : QDir::cleanPath(QDir(path).absolutePath()) + QLatin1Char('/');
}

// ---------------------------------------------------------------- index and folders

QString MHelpEngine::languageId() const
{
    return MUtility::safeLanguageId(MSettings::instance()->userLangId());
}

QString MHelpEngine::helpDir(int mode, int kind) const
{
    // Without a root the folders would land wherever the program was started.
    if (m_helpRoot.isEmpty())
        return QString();
    QString path = m_helpRoot + (mode == ExportMode ? QStringLiteral("export/") : QStringLiteral("source/"))
        + languageId() + QLatin1Char('/');
    switch (kind) {
    case ImagesKind:
        path += QStringLiteral("images/");
        break;
    case TemplatesKind:
        path += QStringLiteral("templates/");
        break;
    case CssKind:
        path += QStringLiteral("css/");
        break;
    default:
        break;
    }
    QDir().mkpath(path);
    return path;
}

QString MHelpEngine::indexPath() const
{
    const QString folder = helpDir(SourceMode, PagesKind);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("index.txt");
}

void MHelpEngine::loadIndex()
{
    QStringList lines;
    MUtility::readLines(lines, indexPath(), false, true);
    loadIndex(lines);
}

void MHelpEngine::loadIndex(const QStringList &lines)
{
    beginResetModel();
    delete m_rootItem;
    m_rootItem = new MHelpItem;
    QVector<MHelpItem *> parents{m_rootItem};
    QVector<int> depths{0};
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        int depth = 0;
        while (depth < line.size() && line.at(depth) == QLatin1Char('\t'))
            ++depth;
        QStringList parts;
        for (const QString &part : trimmed.split(QStringLiteral("$$"))) {
            if (!part.trimmed().isEmpty())
                parts.append(part.trimmed());
        }
        if (parts.size() < 2) {
            trace("loadIndex", QStringLiteral("invalid index entry: ") + trimmed);
            continue;
        }
        if (depth > depths.last()) {
            MHelpItem *parent = parents.last();
            if (parent->childCount() > 0) {
                parents.append(parent->child(parent->childCount() - 1));
                depths.append(depth);
            } else {
                // A first topic indented by a TAB sets the top level's depth,
                // so that its indented siblings stay beside it.
                depths.last() = depth;
            }
        } else {
            while (depth < depths.last() && parents.size() > 1) {
                parents.removeLast();
                depths.removeLast();
            }
        }
        auto *item = new MHelpItem;
        item->set_title(parts.at(0));
        item->set_id(parts.at(1));
        parents.last()->addChild(item);
    }
    endResetModel();
}

QStringList MHelpEngine::indexLines() const
{
    QStringList lines;
    const QString separator = QString(9, QLatin1Char('\t')) + QStringLiteral("$$");
    for (const MHelpItem *item : allTopics())
        lines.append(indentation(item->depth() - 1) + item->title() + separator + fileNameOf(item->id()));
    return lines;
}

bool MHelpEngine::saveIndex()
{
    const QString path = indexPath();
    if (path.isEmpty() || !MUtility::writeLines(indexLines(), path)) {
        *MLogger::instance() << QStringLiteral("Unable to write the help index %1").arg(path);
        return false;
    }
    return true;
}

void MHelpEngine::checkIndex()
{
    m_usedIds.clear();
    for (int i = 0; i < m_rootItem->childCount(); ++i)
        checkItem(m_rootItem->child(i));
}

void MHelpEngine::checkItem(const MHelpItem *item)
{
    const QString id = item->id().toLower();
    if (item->id().isEmpty())
        trace("checkItem", QStringLiteral("Empty item id ") + item->title());
    else if (m_usedIds.contains(id))
        trace("checkItem", QStringLiteral("Id is already in use %1 %2").arg(item->id(), item->title()));
    else if (!isSafePageName(fileNameOf(item->id())))
        trace("checkItem", QStringLiteral("Id leaves the help folder %1 %2").arg(item->id(), item->title()));
    m_usedIds.insert(id);
    for (int i = 0; i < item->childCount(); ++i)
        checkItem(item->child(i));
}

QString MHelpEngine::fileNameOf(const QString &name)
{
    QString result;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isUpper()) {
            if (i > 0 && name.at(i - 1) != QLatin1Char('-'))
                result += QLatin1Char('-');
            result += c.toLower();
        } else if (c == QLatin1Char('_')) {
            result += QLatin1Char('-');
        } else {
            result += c;
        }
    }
    // Every leading dash goes, so that the rule gives its own output back.
    int start = 0;
    while (start < result.size() && result.at(start) == QLatin1Char('-'))
        ++start;
    return result.mid(start);
}

bool MHelpEngine::isSafePageName(const QString &pageName)
{
    if (pageName.isEmpty() || pageName == QLatin1String(".") || pageName == QLatin1String(".."))
        return false;
    for (const QChar c : pageName) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool MHelpEngine::staysInHelpRoot(const QString &path) const
{
    const QString root = QDir(m_helpRoot).canonicalPath();
    const QFileInfo info(QDir::cleanPath(path));
    const QString relative = QDir(m_helpRoot).relativeFilePath(info.absoluteFilePath());
    if (root.isEmpty() || relative.startsWith(QLatin1String("..")))
        return false;
    const QString canonical = info.canonicalFilePath();
    return !canonical.isEmpty() && canonical == QDir::cleanPath(root + QLatin1Char('/') + relative);
}

QString MHelpEngine::sourcePagePath(const MHelpItem *item) const
{
    const QString name = item ? fileNameOf(item->id()) : QString();
    const QString folder = helpDir(SourceMode, PagesKind);
    if (!isSafePageName(name) || folder.isEmpty())
        return QString();
    return folder + name + pageSuffix;
}

QString MHelpEngine::exportPagePath(const MHelpItem *item) const
{
    const QString name = item ? fileNameOf(item->id()) : QString();
    const QString folder = helpDir(ExportMode, PagesKind);
    if (!isSafePageName(name) || folder.isEmpty())
        return QString();
    return folder + name + pageSuffix;
}

MHelpItem *MHelpEngine::itemOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<MHelpItem *>(index.internalPointer()) : nullptr;
}

QModelIndex MHelpEngine::indexOf(MHelpItem *item) const
{
    if (!item || item == m_rootItem || !item->parentItem())
        return QModelIndex();
    return createIndex(item->parentItem()->indexOf(item), 0, item);
}

QList<MHelpItem *> MHelpEngine::allTopics() const
{
    QList<MHelpItem *> topics;
    QVector<MHelpItem *> stack;
    for (int i = m_rootItem->childCount() - 1; i >= 0; --i)
        stack.append(m_rootItem->child(i));
    while (!stack.isEmpty()) {
        MHelpItem *item = stack.takeLast();
        topics.append(item);
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.append(item->child(i));
    }
    return topics;
}

// ---------------------------------------------------------------- item model

QModelIndex MHelpEngine::index(int row, int column, const QModelIndex &parent) const
{
    const MHelpItem *parentItem = parent.isValid() ? itemOf(parent) : m_rootItem;
    MHelpItem *item = parentItem ? parentItem->child(row) : nullptr;
    if (!item || column < 0 || column >= ColumnCount)
        return QModelIndex();
    return createIndex(row, column, item);
}

QModelIndex MHelpEngine::parent(const QModelIndex &child) const
{
    const MHelpItem *item = itemOf(child);
    return item ? indexOf(item->parentItem()) : QModelIndex();
}

int MHelpEngine::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const MHelpItem *item = parent.isValid() ? itemOf(parent) : m_rootItem;
    return item ? item->childCount() : 0;
}

int MHelpEngine::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant MHelpEngine::data(const QModelIndex &index, int role) const
{
    const MHelpItem *item = itemOf(index);
    if (!item)
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return index.column() == IdColumn ? item->id() : item->title();
    if (role == Qt::ToolTipRole)
        return QString(fileNameOf(item->id()) + pageSuffix);
    return QVariant();
}

QVariant MHelpEngine::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    return section == IdColumn ? tr("Id") : tr("Title");
}

// ---------------------------------------------------------------- site generation

void MHelpEngine::build()
{
    if (m_helpRoot.isEmpty()) {
        *MLogger::instance() << QStringLiteral("Help build refused: no help folder");
        return;
    }
    const QList<MHelpItem *> topics = allTopics();
    m_pageCounter = 0;
    QProgressDialog progress(tr("Build in progress..."), tr("Cancel"), 0, topics.size(), QApplication::activeWindow());
    progress.setMinimumDuration(0);
    progress.setWindowModality(Qt::WindowModal);
    progress.setValue(0);
    // Emptied whole: through a link it would be some other folder.
    const QString exportFolder = helpDir(ExportMode, PagesKind);
    if (!staysInHelpRoot(exportFolder)) {
        *MLogger::instance() << QStringLiteral("Help build refused: the export folder %1 is a link").arg(exportFolder);
        return;
    }
    emptyFolder(exportFolder);
    for (MHelpItem *item : topics)
        createPage(item, &progress);
    copyResourceFolders();
    progress.close();
}

bool MHelpEngine::createPage(MHelpItem *item, QProgressDialog *progress)
{
    if (!item)
        return false;
    if (progress) {
        progress->setValue(m_pageCounter);
        ++m_pageCounter;
        progress->setLabelText(tr("Create page %1").arg(item->title()));
        QThread::msleep(1);
        QCoreApplication::processEvents();
        if (progress->wasCanceled())
            return false;
    }
    const QString path = exportPagePath(item);
    if (path.isEmpty()) {
        *MLogger::instance() << QStringLiteral("Help page refused: the id \"%1\" leaves the help folder").arg(item->id());
        return false;
    }
    const QString templates = helpDir(SourceMode, TemplatesKind);
    QString page = readText(templates + QStringLiteral("header.html")) + QLatin1Char('\n');
    const QString source = sourcePagePath(item);
    if (QFileInfo(source).isFile() && staysInHelpRoot(source))
        page += readText(source) + QLatin1Char('\n');
    page += readText(templates + QStringLiteral("footer.html"));
    page = navigationPanel(item, page);
    page = navigationRail(item, page);
    page = replaceVariables(page);
    page = replaceVariable(page, QStringLiteral("PageTitle"), item->title().toHtmlEscaped());
    QDir().mkpath(QFileInfo(path).path());
    if (!MUtility::writeTextFile(page, path)) {
        *MLogger::instance() << QStringLiteral("Unable to write the help page %1").arg(path);
        return false;
    }
    return true;
}

QString MHelpEngine::navigationPanel(const MHelpItem *item, const QString &page) const
{
    QString panel;
    for (int i = 0; i < m_rootItem->childCount(); ++i) {
        const MHelpItem *top = m_rootItem->child(i);
        bool holdsPage = false;
        for (const MHelpItem *step = item; step; step = step->parentItem())
            holdsPage = holdsPage || step == top;
        if (!holdsPage) {
            panel += link(top->title().toHtmlEscaped(), top->id(), QString(), 0) + QLatin1Char('\n');
            continue;
        }
        const QString caret = top->childCount() > 0 ? QStringLiteral("<i class=\"fa fa-caret-right\"></i> ") : QString();
        panel += link(caret + top->title().toHtmlEscaped(), top->id(), QStringLiteral("w3-red"), 0) + QLatin1Char('\n');
        for (int c = 0; c < top->childCount(); ++c) {
            const MHelpItem *child = top->child(c);
            panel += link(child->title().toHtmlEscaped(), child->id(), QStringLiteral("w3-margin-left w3-small w3-light-grey"), 0)
                + QLatin1Char('\n');
        }
    }
    return replaceVariable(page, QStringLiteral("NavigationPanel"), panel);
}

QString MHelpEngine::navigationRail(const MHelpItem *item, const QString &page) const
{
    QStringList lines;
    for (const MHelpItem *step = item ? item->parentItem() : nullptr; step && step != m_rootItem;
         step = step->parentItem()) {
        lines.prepend(QStringLiteral("<a class=\"w3-bar-item w3-button\" href=\"%1.html\">%2</a>\n")
                          .arg(fileNameOf(step->id()).toHtmlEscaped(), step->title().toHtmlEscaped()));
    }
    return replaceVariable(page, QStringLiteral("NavigationRail"), lines.join(QString()));
}

QString MHelpEngine::replaceVariable(const QString &page, const QString &name, const QString &value)
{
    QString text = page;
    return text.replace(QLatin1Char('$') + name + QLatin1Char('$'), value, Qt::CaseInsensitive);
}

QString MHelpEngine::replaceVariables(const QString &page) const
{
    QString text = page;
    for (auto it = m_variables.cbegin(); it != m_variables.cend(); ++it)
        text = replaceVariable(text, it.key(), it.value());
    return text;
}

void MHelpEngine::emptyFolder(const QString &path)
{
    if (path.isEmpty())
        return;
    QDir folder(path);
    const QFileInfoList entries = folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            folder.remove(entry.fileName());
    }
}

void MHelpEngine::copyResourceFolders()
{
    const QString source = helpDir(SourceMode, PagesKind);
    const QString target = helpDir(ExportMode, PagesKind);
    if (source.isEmpty() || target.isEmpty())
        return;
    QStringList folders;
    // Linked folders are not followed: they may lead anywhere.
    QDirIterator it(source, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext())
        folders.append(QDir(source).relativeFilePath(it.next()));
    folders.sort();
    for (const QString &relative : folders) {
        const QString from = source + relative + QLatin1Char('/');
        const QString to = target + relative + QLatin1Char('/');
        QDir().mkpath(to);
        // A linked folder on either side would be read or emptied elsewhere.
        if (!staysInHelpRoot(from) || !staysInHelpRoot(to)) {
            *MLogger::instance() << QStringLiteral("Help folder %1 not copied: a link leads out of the help folder")
                                        .arg(relative);
            continue;
        }
        QDir destination(to);
        for (const QString &name : destination.entryList(QDir::Files | QDir::Hidden | QDir::System))
            destination.remove(name);
        for (const QString &name : QDir(from).entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
            if (!QFile::copy(from + name, to + name))
                *MLogger::instance() << QStringLiteral("Unable to copy the help file %1").arg(from + name);
        }
    }
}

QString MHelpEngine::link(const QString &text, const QString &id, const QString &className, int depth)
{
    const QString href = QString(fileNameOf(id) + pageSuffix).toHtmlEscaped();
    if (!className.isEmpty())
        return indentation(depth) + QStringLiteral("<a class=\"%3\" href=\"%1\">%2</a>").arg(href, text, className);
    return indentation(depth) + QStringLiteral("<a href=\"%1\">%2</a>").arg(href, text);
}

void MHelpEngine::appendElement(QStringList &lines, const QString &tag, const QString &text, int depth)
{
    lines.append(indentation(depth) + QStringLiteral("<%1>%2</%1>").arg(tag, text.isEmpty() ? tr("no text") : text));
}

void MHelpEngine::appendOpenTag(QStringList &lines, const QString &tag, int depth)
{
    lines.append(indentation(depth) + QStringLiteral("<%1>").arg(tag));
}

void MHelpEngine::appendImage(QStringList &lines, const QString &name, int depth)
{
    lines.append(indentation(depth) + QStringLiteral("<img src=\"%1/%2.png\" />").arg(QStringLiteral("images"), name));
}

void MHelpEngine::appendBreak(QStringList &lines, int depth)
{
    lines.append(indentation(depth) + QStringLiteral("<br>"));
}

namespace {
// Tool tips are plain text; a "What's this" text may already be rich text.
QString htmlOf(const QString &text)
{
    return Qt::mightBeRichText(text) ? text : text.toHtmlEscaped();
}
} // namespace

void MHelpEngine::heading(QStringList &lines, QObject *, const QString &toolTip, const QString &whatsThis,
                          const QString &emptyTitle)
{
    appendElement(lines, QStringLiteral("h1"), toolTip.isEmpty() ? emptyTitle : toolTip.toHtmlEscaped(), 0);
    appendElement(lines, QStringLiteral("p"), whatsThis.isEmpty() ? tr("No description") : htmlOf(whatsThis), 0);
}

QString MHelpEngine::getHtml(const MHelpItem *item)
{
    if (!item || !m_uiRoot || item->id().isEmpty())
        return QString();
    QObject *object = m_uiRoot->objectName() == item->id() ? m_uiRoot.data()
                                                            : m_uiRoot->findChild<QObject *>(item->id());
    if (!object)
        return QString();
    if (auto *menu = qobject_cast<QMenu *>(object))
        return menuHelp(menu);
    if (auto *action = qobject_cast<QAction *>(object))
        return actionHelp(action);
    if (auto *dock = qobject_cast<QDockWidget *>(object))
        return panelHelp(dock);
    trace("getHtml", QStringLiteral("no help genrated for: ")
                         + (object->objectName().isEmpty() ? QStringLiteral("no name") : object->objectName()));
    return QString();
}

QString MHelpEngine::menuHelp(QMenu *menu)
{
    QStringList lines;
    heading(lines, menu, menu->toolTip(), menu->whatsThis(), tr("Menu"));
    functionList(lines, menu);
    return lines.join(QLatin1Char('\n'));
}

QString MHelpEngine::actionHelp(QAction *action)
{
    QStringList lines;
    heading(lines, action, action->toolTip(), action->whatsThis(), tr("Action"));
    const QString name = fileNameOf(action->objectName());
    if (!action->icon().isNull() && isSafePageName(name)) {
        const QPixmap pixmap = action->icon().pixmap(16, 16, QIcon::Normal, QIcon::Off);
        pixmap.save(helpDir(SourceMode, ImagesKind) + name + QStringLiteral(".png"), "PNG");
        appendImage(lines, name, 3);
    }
    return lines.join(QLatin1Char('\n'));
}

QString MHelpEngine::panelHelp(QDockWidget *dock)
{
    QStringList lines;
    heading(lines, dock, dock->toolTip(), dock->whatsThis(), tr("Panel"));
    const QString name = fileNameOf(dock->objectName());
    if (isSafePageName(name)) {
        dock->grab().save(helpDir(SourceMode, ImagesKind) + name + QStringLiteral(".png"), "PNG");
        appendBreak(lines, 0);
        appendImage(lines, name, 0);
        appendBreak(lines, 0);
        appendBreak(lines, 0);
    }
    for (QToolButton *button : dock->findChildren<QToolButton *>()) {
        QString tip = button->toolTip();
        if (tip.isEmpty())
            tip = button->objectName().isEmpty() ? QStringLiteral("NoName") : button->objectName();
        appendElement(lines, QStringLiteral("p"), tip.toHtmlEscaped(), 0);
        if (!button->whatsThis().isEmpty())
            appendElement(lines, QStringLiteral("p"), htmlOf(button->whatsThis()), 0);
    }
    return lines.join(QLatin1Char('\n'));
}

void MHelpEngine::functionList(QStringList &lines, QWidget *widget)
{
    const QList<QAction *> actions = widget->actions();
    if (actions.isEmpty())
        return;
    appendElement(lines, QStringLiteral("h2"), tr("Function list"), 0);
    appendOpenTag(lines, QStringLiteral("table"), 0);
    for (QAction *action : actions) {
        if (action->isSeparator())
            continue;
        appendOpenTag(lines, QStringLiteral("tr"), 1);
        appendOpenTag(lines, QStringLiteral("td"), 2);
        appendOpenTag(lines, QStringLiteral("/td"), 2);
        appendOpenTag(lines, QStringLiteral("td"), 2);
        lines.append(link(action->toolTip().toHtmlEscaped(), action->objectName(), QString(), 3));
        if (!action->whatsThis().isEmpty())
            appendElement(lines, QStringLiteral("p"), htmlOf(action->whatsThis()), 3);
        appendOpenTag(lines, QStringLiteral("/td"), 2);
        appendOpenTag(lines, QStringLiteral("/tr"), 1);
    }
    appendOpenTag(lines, QStringLiteral("/table"), 0);
}

// ---------------------------------------------------------------- translation

void MHelpEngine::extractTranslation(MHelpItem *item, TranslationList &records, bool recursive) const
{
    if (!item)
        return;
    if (item != m_rootItem) {
        TranslationRecord title;
        title.item = item;
        title.text = textifyVars(item->title());
        records.append(title);
        const QString path = sourcePagePath(item);
        if (QFileInfo(path).isFile()) {
            const QString page = readText(path);
            static const QRegularExpression marked(QStringLiteral("(<t>(?<content>.*)</t>)"),
                                                   QRegularExpression::CaseInsensitiveOption);
            QRegularExpressionMatchIterator it = marked.globalMatch(page);
            while (it.hasNext()) {
                const QRegularExpressionMatch match = it.next();
                TranslationRecord record;
                record.item = item;
                record.start = match.capturedStart(0);
                record.end = match.capturedEnd(0);
                record.length = match.capturedLength(0);
                record.text = textifyVars(match.captured(QStringLiteral("content")));
                records.append(record);
            }
        }
    }
    if (recursive) {
        for (int i = 0; i < item->childCount(); ++i)
            extractTranslation(item->child(i), records, recursive);
    }
}

QString MHelpEngine::poFilePath(const QString &language) const
{
    if (m_helpRoot.isEmpty())
        return QString();
    const QString folder = m_helpRoot + QStringLiteral("translation/");
    QDir().mkpath(folder);
    return folder + QStringLiteral("translation-%1.po").arg(MUtility::safeLanguageId(language));
}

bool MHelpEngine::writePoFile(const QString &language, QString *why)
{
    const QString path = poFilePath(language);
    if (path.isEmpty())
        return false;
    TranslationList records;
    extractTranslation(m_rootItem, records, true);
    QSet<QString> wanted;
    for (const TranslationRecord &record : records)
        wanted.insert(record.text);

    QStringList lines;
    MUtility::readLines(lines, path, true, false);
    QStringList output;
    QHash<QString, QString> retained;
    QString reference;
    QString msgid;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("#:"))) {
            reference = line;
        } else if (line.startsWith(QLatin1String("msgid"))) {
            msgid = unquote(line.mid(5).trimmed());
        } else if (line.startsWith(QLatin1String("msgstr"))) {
            const QString translation = unquote(line.mid(6).trimmed());
            // A text kept once: a second entry for it would only be ambiguous.
            if (wanted.contains(msgid) && !retained.contains(msgid)) {
                retained.insert(msgid, translation);
                output << reference << QStringLiteral("msgid \"%1\"").arg(msgid)
                       << QStringLiteral("msgstr \"%1\"").arg(translation);
            }
        } else {
            output.append(line);
        }
    }
    for (const TranslationRecord &record : records) {
        if (retained.contains(record.text))
            continue;
        retained.insert(record.text, QString());
        if (!output.isEmpty() && !output.last().trimmed().isEmpty())
            output.append(QString());
        output << QStringLiteral("#: %1").arg(fileNameOf(record.item->id()) + pageSuffix)
               << QStringLiteral("msgid \"%1\"").arg(record.text) << QStringLiteral("msgstr \"\"");
    }
    if (!MUtility::writeLines(output, path)) {
        const QString line = MLogger::instance()->log(QStringLiteral("Unable to write the catalogue %1").arg(path));
        if (why)
            *why = line;
        return false;
    }
    return true;
}

QStringList MHelpEngine::extractImages() const
{
    QStringList images;
    static const QRegularExpression imageTag(QStringLiteral("<\\s*img\\s*(?<content>[^>]*)[>]"));
    static const QRegularExpression source(QStringLiteral("[s][r][c]\\s*[=]\\s*[\"](?<image>[^\"]*)[\"]"));
    for (const MHelpItem *item : allTopics()) {
        const QString path = sourcePagePath(item);
        if (!QFileInfo(path).isFile())
            continue;
        QRegularExpressionMatchIterator it = imageTag.globalMatch(readText(path));
        while (it.hasNext()) {
            const QString content = it.next().captured(QStringLiteral("content")).trimmed();
            const QRegularExpressionMatch match = source.match(content);
            if (match.hasMatch())
                images.append(item->id() + QStringLiteral("$$") + match.captured(QStringLiteral("image")));
            else
                trace("extractImages", QStringLiteral("error extracting %1 %2").arg(item->id(), content));
        }
    }
    return images;
}

QString MHelpEngine::translationOutputDir() const
{
    if (m_helpRoot.isEmpty())
        return QString();
    const QString folder = m_helpRoot + QStringLiteral("translation/pages/");
    QDir().mkpath(folder);
    return folder;
}

void MHelpEngine::translate(const QString &sourceLinesPath, const QString &translatedLinesPath)
{
    QStringList sourceLines;
    QStringList translatedLines;
    MUtility::readLines(sourceLines, sourceLinesPath, false, false);
    MUtility::readLines(translatedLines, translatedLinesPath, false, false);
    TranslationList records;
    extractTranslation(m_rootItem, records, true);
    if (records.size() != sourceLines.size() || records.size() != translatedLines.size()) {
        QMessageBox::warning(QApplication::activeWindow(), QString(),
                             tr("Le nombre d'éléments traduits est différent dans les 2 fichiers. extrait : %1, fr : %2, en : %3")
                                 .arg(records.size())
                                 .arg(sourceLines.size())
                                 .arg(translatedLines.size()));
    }
    const QString output = translationOutputDir();
    if (output.isEmpty())
        return;
    for (int i = 0; i < records.size() && i < sourceLines.size() && i < translatedLines.size(); ++i) {
        const TranslationRecord &record = records.at(i);
        QString line = sourceLines.at(i);
        if (line.startsWith(QLatin1String("<p>")))
            line.remove(0, 3);
        if (line.endsWith(QLatin1String("</p>")))
            line.chop(4);
        if (line != record.text)
            trace("translate", QStringLiteral("%1 | %2 | %3").arg(record.item->title(), record.text, line));
        const QString name = fileNameOf(record.item->id());
        if (!isSafePageName(name))
            continue;
        const QString target = output + name + pageSuffix;
        const QString from = QFileInfo(target).isFile() ? target : sourcePagePath(record.item);
        if (!QFileInfo(from).isFile())
            continue;
        QString page = readText(from);
        // The page writes its variables as "$name$", the record as elements.
        page.replace(untextifyVars(record.text), untextifyVars(translatedLines.at(i)), Qt::CaseInsensitive);
        MUtility::writeTextFile(page, target);
    }
}

QString MHelpEngine::textifyVars(const QString &text) const
{
    QString result = text;
    for (auto it = m_variables.cbegin(); it != m_variables.cend(); ++it)
        result.replace(QLatin1Char('$') + it.key() + QLatin1Char('$'), QStringLiteral("<var name=\"%1\">").arg(it.key()),
                       Qt::CaseInsensitive);
    return result;
}

QString MHelpEngine::untextifyVars(const QString &text)
{
    static const QRegularExpression element(QStringLiteral("<var name=[\"](?<content>[^\"]*)[\"]>"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString result;
    int last = 0;
    QRegularExpressionMatchIterator it = element.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += text.midRef(last, match.capturedStart(0) - last) + QLatin1Char('$')
            + match.captured(QStringLiteral("content")) + QLatin1Char('$');
        last = match.capturedEnd(0);
    }
    return result + text.midRef(last);
}
