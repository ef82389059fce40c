#pragma once

#include "mfolders.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QJsonValue>
#include <QMap>
#include <QMessageBox>
#include <QObject>
#include <QPixmap>
#include <QRectF>
#include <QStringList>

#include <functional>

class QComboBox;
class QFileDialog;
class QImageReader;
class QListWidget;
class QWidget;

// Static services: where the system's own files live, text files, file
// filters, images in JSON, and the one seam through which every modal message
// and question of the system is asked (tests answer it by script).
class MUtility : public QObject
{
    Q_OBJECT
public:
    // Folder locations, as MFolders numbers them.
    enum { SystemPath = MFolders::SystemPath, UserPath = MFolders::UserPath };

    // Paths (every folder path ends in "/"); the folders themselves are MFolders'.
    // The data folder of any kind, the cache's included: that one is this
    // process's own folder in the shared cache folder, which MCacheFolder keeps.
    static QString dataDirectory(int location, int kind);
    static QString papersDirectory(int location);
    // This process's own folder in the shared cache folder (MCacheFolder).
    static QString cacheDirectory();
    static QString cacheFileName(const QString &name);
    static QString screenshotsDirectory();
    static QString picturesDirectory();
    static QString helpDirectory(const QString &langId);
    static QString helpPath();
    static QString translationsDirectory();
    static QString translationFilePath(const QString &langId);
    static QString safeLanguageId(const QString &langId);
    static QString fileDirectory(const QString &filePath);
    static QString lastFilesDirectory();

    // UTF-8 text files. The writers are for the program's own files: each
    // replaces its file as a whole (a link in its place included, which is
    // never written through), or leaves it as it was and reports failure.
    static bool readLines(QStringList &lines, const QString &filePath, bool trim, bool skipEmpty);
    // The lines of UTF-8 text held in memory, as readLines gives those of a file.
    static QStringList textLines(const QByteArray &bytes, bool trim, bool skipEmpty);
    static bool readTextFile(QString &text, const QString &filePath);
    static bool writeLines(const QStringList &lines, const QString &filePath);
    static bool writeTextFile(const QString &text, const QString &filePath);
    static bool writeFile(const QByteArray &bytes, const QString &filePath);
    // Writes the image in the format of the file's suffix, whole or not at all;
    // on failure reason tells why.
    static bool writeImage(const QImage &image, const QString &filePath, QString &reason);

    // File filters and images
    static QStringList documentFileFilters();
    static QStringList modelFileFilters();
    static QStringList imageFormats();
    static QStringList imageFileFilter(bool patternsOnly);
    static QStringList imageFileFilter(bool patternsOnly, const QStringList &formats);
    static QMap<QString, QString> imageFormatName();
    static QStringList imageMimeFilters(QFileDialog *dialog, const QString &suffix);
    static QJsonValue imageToJson(const QImage &image);
    // The one size limit of every image a file carries or names (the brush
    // texture's): beyond it an image is refused before its pixels are decoded.
    static QSize maximumImageSize() { return QSize(4096, 4096); }
    // An invalid size (a header not read) is left to the decoder to refuse.
    static bool isWithinImageLimit(const QSize &size, const QSize &maximumSize = maximumImageSize());
    // The reader's image when its header tells a size within the limit; else
    // a null image, and reason (when given) tells why.
    static QImage readImage(QImageReader &reader, QString *reason = nullptr);
    // A null image for anything but a PNG within the maximum size.
    static QImage imageFromJson(const QJsonValue &value, const QSize &maximumSize = maximumImageSize());

    // Members of library files, read leniently: a whole number within the
    // range of an int, else the fallback; a name (group, description)
    // lower-cased, the fallback when empty, translated in the context.
    static int jsonWholeNumber(const QJsonValue &value, int fallback);
    static QString jsonLibraryName(const QJsonValue &value, const QString &fallback, const char *context);
    static void newImage(QImage &image, int width, int height, bool clear);
    static QPixmap colorPixmap(const QColor &color, int width, int height);
    static QIcon colorIcon(const QColor &color, int width, int height);

    // Enumerations stored by key name (keys are translated in the context "Enum")
    static void fillEnumCombo(const QMetaObject &metaObject, const QByteArray &enumName, QComboBox *combo,
                              int currentIndex, const QList<QIcon> &icons = QList<QIcon>());
    static QByteArray enumValueToKey(const QMetaObject &metaObject, const QByteArray &enumName, int value);
    static QString translatedEnumKey(const QMetaObject &metaObject, const QByteArray &enumName, int value);
    static int enumKeyToValue(const QMetaObject &metaObject, const QByteArray &enumName, const QByteArray &key);

    // Dialog seam
    enum DialogKind { MessageDialog, ChoiceDialog, ConfirmationDialog, ColorDialog, FileDialog, TextDialog };
    struct DialogRequest
    {
        DialogKind kind = MessageDialog;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        QString informativeText;
        QStringList buttons;                                  // choice and confirmation labels
        QMessageBox::StandardButtons standardButtons = QMessageBox::NoButton;
        QColor color;                                         // colour dialog: start colour in, chosen colour out
        QFileDialog *fileDialog = nullptr;                    // file dialog: the dialog to run for real
        QString folder;                                       // file dialog: the folder it opens in
        QString filter;                                       // file dialog: name filters, ";;" between them
        QString fileName;                                     // file dialog: the chosen file out
        QString input;                                        // text dialog: start text in, typed text out
        QWidget *parent = nullptr;                            // the window the dialog opens over
    };
    // The handler returns what the user would have answered: a standard button
    // for messages, a button index (or -1) for choices, 1/0 for confirmations and
    // colour dialogs (setting request.color) and file dialogs (setting
    // request.fileName). An empty handler shows real dialogs.
    using DialogHandler = std::function<int(DialogRequest &request)>;
    static void setDialogHandler(const DialogHandler &handler);
    static bool hasDialogHandler() { return bool(dialogHandler()); }
    // The window a dialog belongs to, so that it opens in front of it: the
    // dialog that asked, else the active window, else the main window; null
    // while no window is shown.
    static QWidget *dialogParent();

    static QMessageBox::StandardButton showMessage(QMessageBox::Icon icon, const QString &title, const QString &text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                                   const QString &informativeText = QString());
    static bool pickColor(QColor &color, const QString &title = QString());
    static int askChoice(const QStringList &buttons, const QString &text, const QString &informativeText);
    static bool askConfirmation(const QString &buttonText, const QString &text, const QString &informativeText);
    // The text typed, or a null text when cancelled.
    static QString askText(const QString &title, const QString &label, const QString &text);
    // Runs the file dialog; false when cancelled, else fileName is the first chosen file.
    static bool chooseFile(QFileDialog *dialog, QString &fileName);
    // The existing file the user chose, or an empty text when cancelled.
    static QString askOpenFileName(const QString &title, const QString &folder, const QString &filter);

    // Busy state
    static void setBusyCursor();
    static void restoreCursor();

    // Small widget and geometry helpers
    static void moveCurrentItemUp(QListWidget *list);
    static void moveCurrentItemDown(QListWidget *list);
    static void moveCurrentItemToTop(QListWidget *list);
    static void moveCurrentItemToBottom(QListWidget *list);
    static void showInExplorer(const QString &path);
    static QRectF scaledRect(const QRectF &rect, double factor);
    static QString lowerFirst(const QString &text);
    static void applySelectionPalette(QWidget *widget);

private:
    static int runDialog(DialogRequest &request);
    static DialogHandler &dialogHandler();
};
