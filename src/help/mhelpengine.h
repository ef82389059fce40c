#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QVector>

class MHelpItem;
class QAction;
class QDockWidget;
class QMenu;
class QProgressDialog;
class QWidget;

// The help topic tree and its text index, the folders of the help sources
// and of the generated site, the generation of the site's pages and the
// translation catalogues of their texts.
class MHelpEngine : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Mode { SourceMode = 0, ExportMode = 1 };
    enum Kind { PagesKind = 0, ImagesKind = 1, TemplatesKind = 2, CssKind = 3 };
    enum Column { TitleColumn = 0, IdColumn = 1, ColumnCount = 2 };

    // A text of a topic to translate: its title (positions -1) or a marked text of its page.
    struct TranslationRecord
    {
        MHelpItem *item = nullptr;
        int start = -1;
        int end = -1;
        int length = -1;
        QString text;
    };
    using TranslationList = QVector<TranslationRecord>;

    explicit MHelpEngine(QObject *parent = nullptr);
    ~MHelpEngine() override;

    QString helpRoot() const { return m_helpRoot; }
    void setHelpRoot(const QString &path);
    MHelpItem *rootItem() const { return m_rootItem; }
    QSet<QString> usedIds() const { return m_usedIds; }
    QHash<QString, QString> &variables() { return m_variables; }
    QObject *uiRoot() const { return m_uiRoot; }
    void setUiRoot(QObject *root) { m_uiRoot = root; }
    int pageCounter() const { return m_pageCounter; }

    // Index and folders.
    QString languageId() const;
    QString helpDir(int mode, int kind) const;
    QString indexPath() const;
    void loadIndex(const QStringList &lines);
    QStringList indexLines() const;
    static QString fileNameOf(const QString &name);
    // Whether a page name stays inside its folder when made a file name:
    // no separators, no control characters.
    static bool isSafePageName(const QString &pageName);
    // Whether an existing path under the help root lies where its name says,
    // with no link on the way leading out of the root.
    bool staysInHelpRoot(const QString &path) const;
    // Empty when the topic's id would leave the pages' folder.
    QString sourcePagePath(const MHelpItem *item) const;
    QString exportPagePath(const MHelpItem *item) const;
    MHelpItem *itemOf(const QModelIndex &index) const;
    QModelIndex indexOf(MHelpItem *item) const;
    QList<MHelpItem *> allTopics() const;

    // Site generation.
    void build();
    bool createPage(MHelpItem *item, QProgressDialog *progress = nullptr);
    QString navigationPanel(const MHelpItem *item, const QString &page) const;
    QString navigationRail(const MHelpItem *item, const QString &page) const;
    static QString replaceVariable(const QString &page, const QString &name, const QString &value);
    QString replaceVariables(const QString &page) const;
    void copyResourceFolders();
    QString getHtml(const MHelpItem *item);
    QString menuHelp(QMenu *menu);
    QString actionHelp(QAction *action);
    QString panelHelp(QDockWidget *dock);
    static QString link(const QString &text, const QString &id, const QString &className, int depth);

    // Translation.
    void extractTranslation(MHelpItem *item, TranslationList &records, bool recursive) const;
    QString poFilePath(const QString &language) const;
    // False, with the logged line in why when given, when the catalogue cannot be written.
    bool writePoFile(const QString &language, QString *why = nullptr);
    QStringList extractImages() const;
    QString translationOutputDir() const;
    void translate(const QString &sourceLinesPath, const QString &translatedLinesPath);
    QString textifyVars(const QString &text) const;
    static QString untextifyVars(const QString &text);

    // Item model.
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

public slots:
    void loadIndex();
    bool saveIndex();
    void checkIndex();

private:
    void checkItem(const MHelpItem *item);
    void functionList(QStringList &lines, QWidget *widget);
    static void appendElement(QStringList &lines, const QString &tag, const QString &text, int depth);
    static void appendOpenTag(QStringList &lines, const QString &tag, int depth);
    static void appendImage(QStringList &lines, const QString &name, int depth);
    static void appendBreak(QStringList &lines, int depth);
    static void emptyFolder(const QString &path);
    void heading(QStringList &lines, QObject *object, const QString &toolTip, const QString &whatsThis,
                 const QString &emptyTitle);

    QString m_helpRoot;
    MHelpItem *m_rootItem = nullptr;
    QSet<QString> m_usedIds;
    QHash<QString, QString> m_variables;
    QPointer<QObject> m_uiRoot;
    int m_pageCounter = 0;
};
