#include "mutility.h"

#include "menumlabels.h"

#include "mcachefolder.h"
#include "mfolders.h"
#include "meventfilter.h"
#include "mlogger.h"
#include "mplatform.h"
#include "msavefile.h"
#include "msettings.h"

#include <QApplication>
#include <QBuffer>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QListWidget>
#include <QMainWindow>
#include <QMetaEnum>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextStream>

#include <cmath>
#include <limits>

// ---------------------------------------------------------------- paths

QString MUtility::dataDirectory(int location, int kind)
{
    if (kind == MFolders::CacheDir)
        return MCacheFolder::own();
    return MFolders::dataDirectory(location, kind);
}

QString MUtility::papersDirectory(int location) { return MFolders::papersDirectory(location); }
QString MUtility::cacheDirectory() { return MCacheFolder::own(); }
QString MUtility::cacheFileName(const QString &name)
{
    return cacheDirectory() + name.toLower().trimmed() + QStringLiteral(".data");
}

QString MUtility::screenshotsDirectory()
{
    return MFolders::folderPath(MFolders::ensureDirectory(MFolders::userDocumentsPath() + QStringLiteral("screenshots")));
}

QString MUtility::picturesDirectory()
{
    return MFolders::folderPath(MFolders::standardFolder(QStandardPaths::PicturesLocation));
}

QString MUtility::safeLanguageId(const QString &langId)
{
    const QString id = langId.trimmed().toLower();
    // The id becomes part of a path: never let it climb out of its folder.
    if (id.isEmpty() || id.contains(QLatin1Char('/')) || id.contains(QLatin1Char('\\')) || id.contains(QStringLiteral("..")))
        return QStringLiteral("en");
    return id;
}

QString MUtility::helpDirectory(const QString &langId)
{
    return MFolders::applicationDirectory() + QStringLiteral("help/") + safeLanguageId(langId) + QLatin1Char('/');
}

QString MUtility::helpPath()
{
    const QString path = helpDirectory(MSettings::instance()->userLangId());
    if (QDir(path).exists())
        return path;
    return helpDirectory(QStringLiteral("en"));
}

QString MUtility::translationsDirectory()
{
    return MFolders::applicationDirectory() + QStringLiteral("translations/");
}

QString MUtility::translationFilePath(const QString &langId)
{
    return translationsDirectory() + QStringLiteral("kalmi_") + safeLanguageId(langId) + QStringLiteral(".qm");
}

QString MUtility::fileDirectory(const QString &filePath)
{
    return QFileInfo(filePath).absoluteDir().canonicalPath() + QLatin1Char('/');
}

QString MUtility::lastFilesDirectory()
{
    const QString last = MSettings::instance()->lastFilesDir();
    QDir dir(last);
    if (!last.isEmpty() && dir.exists())
        return dir.canonicalPath() + QLatin1Char('/');
    const QString documents = MFolders::userDocumentsPath();
    if (QDir(documents).exists())
        return documents;
    return QString();
}

// ---------------------------------------------------------------- text files

bool MUtility::readLines(QStringList &lines, const QString &filePath, bool trim, bool skipEmpty)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    lines = textLines(file.readAll(), trim, skipEmpty);
    return true;
}

QStringList MUtility::textLines(const QByteArray &bytes, bool trim, bool skipEmpty)
{
    QByteArray text = bytes;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    QStringList lines;
    QTextStream stream(&buffer);
    stream.setCodec("UTF-8");
    while (!stream.atEnd()) {
        QString line = stream.readLine();
        if (trim)
            line = line.trimmed();
        if (skipEmpty && line.trimmed().isEmpty())
            continue;
        lines.append(line);
    }
    return lines;
}

bool MUtility::readTextFile(QString &text, const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    text = stream.readAll();
    return true;
}

namespace {
// Written beside the target and renamed over it: a full disk leaves the old
// file intact and reports failure. These are the program's own files: one
// that is a link is replaced, never written through.
bool replaceFile(const QByteArray &bytes, const QString &filePath, QIODevice::OpenMode mode)
{
    if (filePath.isEmpty())
        return false;
    MSaveFile file(filePath, MSaveFile::ReplaceLink);
    if (!file.open(QIODevice::WriteOnly | mode))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
} // namespace

bool MUtility::writeTextFile(const QString &text, const QString &filePath)
{
    return replaceFile(text.toUtf8(), filePath, QIODevice::Text);
}

bool MUtility::writeFile(const QByteArray &bytes, const QString &filePath)
{
    return replaceFile(bytes, filePath, QIODevice::NotOpen);
}

bool MUtility::writeImage(const QImage &image, const QString &filePath, QString &reason)
{
    // Written aside and moved over the file only when complete, so a failed
    // write never leaves a broken file or spoils the one it was to replace.
    MSaveFile file(filePath);
    QImageWriter writer(&file, QFileInfo(filePath).suffix().toLower().toLatin1());
    reason.clear();
    if (!file.open(QIODevice::WriteOnly))
        reason = file.errorString();
    else if (!writer.write(image))
        reason = writer.errorString();
    else if (!file.commit())
        reason = file.errorString();
    if (reason.isEmpty())
        return true;
    file.cancelWriting();
    return false;
}

bool MUtility::writeLines(const QStringList &lines, const QString &filePath)
{
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1Char('\n');
    return writeTextFile(text, filePath);
}

// ---------------------------------------------------------------- filters and images

QStringList MUtility::documentFileFilters()
{
    return {tr("%1 files").arg(QStringLiteral("KalmiDraw")) + QStringLiteral(" (*.%1)").arg(QStringLiteral("kxd")),
            tr("All files (*.*)")};
}

QStringList MUtility::modelFileFilters()
{
    return {tr("WaveFront object files (*.obj)"), tr("All files (*.*)")};
}

QStringList MUtility::imageFormats()
{
    QStringList formats;
    const QList<QByteArray> supported = QImageReader::supportedImageFormats();
    for (const QByteArray &format : supported) {
        const QString suffix = QString::fromLatin1(format).toLower();
        if (!formats.contains(suffix))
            formats.append(suffix);
    }
    return formats;
}

QStringList MUtility::imageFileFilter(bool patternsOnly)
{
    return imageFileFilter(patternsOnly, imageFormats());
}

QStringList MUtility::imageFileFilter(bool patternsOnly, const QStringList &formats)
{
    QStringList patterns;
    for (const QString &suffix : formats)
        patterns.append(QStringLiteral("*.") + suffix);
    if (patternsOnly)
        return patterns;
    const QMap<QString, QString> names = imageFormatName();
    QStringList filters;
    filters.append(tr("All image files") + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    for (const QString &suffix : formats) {
        const QString description = names.contains(suffix) ? names.value(suffix) : tr("%1 files").arg(suffix);
        filters.append(description + QStringLiteral(" (*.") + suffix + QLatin1Char(')'));
    }
    return filters;
}

QMap<QString, QString> MUtility::imageFormatName()
{
    QMap<QString, QString> names;
    names.insert(QStringLiteral("bw"), tr("Black & White"));
    names.insert(QStringLiteral("eps"), tr("Encapsulated Postscript"));
    names.insert(QStringLiteral("epsf"), tr("Encapsulated Postscript"));
    names.insert(QStringLiteral("epsi"), tr("Encapsulated PostScript Interchange"));
    names.insert(QStringLiteral("exr"), tr("OpenEXR"));
    names.insert(QStringLiteral("pcx"), tr("PC Paintbrush Exchange"));
    names.insert(QStringLiteral("psd"), tr("Photoshop Document"));
    names.insert(QStringLiteral("rgb"), tr("Raw red, green, and blue samples"));
    names.insert(QStringLiteral("rgba"), tr("Raw red, green, blue, and alpha samples"));
    names.insert(QStringLiteral("sgi"), tr("Irix RGB"));
    names.insert(QStringLiteral("tga"), tr("Truevision Targa"));
    names.insert(QStringLiteral("xcf"), tr("eXperimental Computing Facility (GIMP)"));
    names.insert(QStringLiteral("dds"), tr("DirectDraw Surface"));
    names.insert(QStringLiteral("xv"), tr("Khoros Visualization"));
    names.insert(QStringLiteral("bmp"), tr("Windows Bitmap"));
    names.insert(QStringLiteral("gif"), tr("Graphic Interchange Format"));
    names.insert(QStringLiteral("jpg"), tr("Joint Photographic Experts Group"));
    names.insert(QStringLiteral("jpeg"), tr("Joint Photographic Experts Group"));
    names.insert(QStringLiteral("jp2"), tr("Joint Photographic Experts Group 2000"));
    names.insert(QStringLiteral("mng"), tr("Multiple-image Network Graphics"));
    names.insert(QStringLiteral("png"), tr("Portable Network Graphics"));
    names.insert(QStringLiteral("pbm"), tr("Portable Bitmap"));
    names.insert(QStringLiteral("pgm"), tr("Portable Graymap"));
    names.insert(QStringLiteral("ppm"), tr("Portable Pixmap"));
    names.insert(QStringLiteral("tiff"), tr("Tagged Image File Format"));
    names.insert(QStringLiteral("tif"), tr("Tagged Image File Format"));
    names.insert(QStringLiteral("xbm"), tr("X11 Bitmap"));
    names.insert(QStringLiteral("xpm"), tr("X11 Pixmap"));
    names.insert(QStringLiteral("ico"), tr("Icon Image"));
    names.insert(QStringLiteral("svg"), tr("Scalable Vector Graphics"));
    names.insert(QStringLiteral("wbmp"), tr("Wireless Application Protocol Bitmap"));
    names.insert(QStringLiteral("webp"), tr("WebP"));
    return names;
}

QStringList MUtility::imageMimeFilters(QFileDialog *dialog, const QString &suffix)
{
    QStringList types;
    const QList<QByteArray> supported = QImageWriter::supportedMimeTypes();
    for (const QByteArray &type : supported)
        types.append(QString::fromLatin1(type));
    if (dialog) {
        dialog->setMimeTypeFilters(types);
        dialog->selectMimeTypeFilter(QStringLiteral("image/") + suffix);
        dialog->setDefaultSuffix(suffix);
    }
    return types;
}

QJsonValue MUtility::imageToJson(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.isNull())
        image.save(&buffer, "PNG");
    return QJsonValue(QString::fromLatin1(bytes.toBase64()));
}

bool MUtility::isWithinImageLimit(const QSize &size, const QSize &maximumSize)
{
    return !size.isValid() || (size.width() <= maximumSize.width() && size.height() <= maximumSize.height());
}

namespace {
QImage readImageWithin(QImageReader &reader, const QSize &maximumSize, QString *reason)
{
    // The header tells the size before any pixel memory is taken: a few bytes
    // of a hostile file must not claim gigabytes.
    const QSize size = reader.size();
    if (!MUtility::isWithinImageLimit(size, maximumSize)) {
        if (reason)
            *reason = QStringLiteral("image of %1 x %2 pixels, larger than %3 x %4")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(maximumSize.width())
                          .arg(maximumSize.height());
        return QImage();
    }
    const QImage image = reader.read();
    if (image.isNull() && reason)
        *reason = reader.errorString();
    return image;
}
} // namespace

QImage MUtility::readImage(QImageReader &reader, QString *reason)
{
    return readImageWithin(reader, maximumImageSize(), reason);
}

QImage MUtility::imageFromJson(const QJsonValue &value, const QSize &maximumSize)
{
    QByteArray bytes = QByteArray::fromBase64(value.toString().toLatin1());
    if (bytes.isEmpty())
        return QImage();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "PNG");
    QString reason;
    const QSize limit = maximumSize.isValid() ? maximumSize.boundedTo(maximumImageSize()) : maximumImageSize();
    const QImage image = readImageWithin(reader, limit, &reason);
    if (image.isNull())
        MLogger::instance()->systemError(QStringLiteral("Embedded image refused: %1").arg(reason));
    return image;
}

int MUtility::jsonWholeNumber(const QJsonValue &value, int fallback)
{
    const double number = value.toDouble(std::nan(""));
    if (!std::isfinite(number) || std::floor(number) != number || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return fallback;
    return int(number);
}

QString MUtility::jsonLibraryName(const QJsonValue &value, const QString &fallback, const char *context)
{
    QString text = value.toString().toLower();
    if (text.isEmpty())
        text = fallback;
    return QCoreApplication::translate(context, text.toUtf8().constData());
}

void MUtility::newImage(QImage &image, int width, int height, bool clear)
{
    image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (clear)
        image.fill(Qt::transparent);
}

QPixmap MUtility::colorPixmap(const QColor &color, int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QColor opaque = color;
    opaque.setAlpha(255);
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::gray, 1, Qt::SolidLine));
    painter.setBrush(opaque);
    painter.drawRect(0, 0, width - 1, height - 1);
    return pixmap;
}

QIcon MUtility::colorIcon(const QColor &color, int width, int height)
{
    return QIcon(colorPixmap(color, width, height));
}

// ---------------------------------------------------------------- enumerations

namespace {
QMetaEnum metaEnum(const QMetaObject &metaObject, const QByteArray &enumName)
{
    return metaObject.enumerator(metaObject.indexOfEnumerator(enumName.constData()));
}
} // namespace

void MUtility::fillEnumCombo(const QMetaObject &metaObject, const QByteArray &enumName, QComboBox *combo,
                             int currentIndex, const QList<QIcon> &icons)
{
    if (!combo)
        return;
    combo->clear();
    const QMetaEnum enumerator = metaEnum(metaObject, enumName);
    for (int i = 0; i < enumerator.keyCount(); ++i)
        combo->addItem(icons.value(i), MEnumLabels::label(enumerator.key(i)), enumerator.value(i));
    if (currentIndex < combo->count())
        combo->setCurrentIndex(currentIndex);
}

QByteArray MUtility::enumValueToKey(const QMetaObject &metaObject, const QByteArray &enumName, int value)
{
    return QByteArray(metaEnum(metaObject, enumName).valueToKey(value));
}

QString MUtility::translatedEnumKey(const QMetaObject &metaObject, const QByteArray &enumName, int value)
{
    const QByteArray key = enumValueToKey(metaObject, enumName, value);
    return MEnumLabels::label(key);
}

int MUtility::enumKeyToValue(const QMetaObject &metaObject, const QByteArray &enumName, const QByteArray &key)
{
    return metaEnum(metaObject, enumName).keyToValue(key.constData());
}

// ---------------------------------------------------------------- dialogs

MUtility::DialogHandler &MUtility::dialogHandler()
{
    static DialogHandler handler;
    return handler;
}

void MUtility::setDialogHandler(const DialogHandler &handler)
{
    dialogHandler() = handler;
}

QWidget *MUtility::dialogParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    // A pop-up closes when the dialog opens: the window under it stays.
    QWidget *active = QApplication::activeWindow();
    if (active && active->windowType() != Qt::Popup && active->windowType() != Qt::ToolTip)
        return active->window();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        if (window->isVisible() && qobject_cast<QMainWindow *>(window))
            return window;
    return nullptr;
}

int MUtility::runDialog(DialogRequest &request)
{
    if (!request.parent)
        request.parent = dialogParent();
    if (dialogHandler())
        return dialogHandler()(request);

    if (request.kind == ColorDialog) {
        QColorDialog dialog(request.color, request.parent);
        dialog.setOption(QColorDialog::ShowAlphaChannel, true);
        if (!request.title.isEmpty())
            dialog.setWindowTitle(request.title);
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        request.color = dialog.selectedColor();
        return 1;
    }
    if (request.kind == TextDialog) {
        bool ok = false;
        request.input = QInputDialog::getText(request.parent, request.title, request.text, QLineEdit::Normal, request.input, &ok);
        return ok ? 1 : 0;
    }
    if (request.kind == FileDialog) {
        if (!request.fileDialog || request.fileDialog->exec() != QDialog::Accepted)
            return 0;
        request.fileName = request.fileDialog->selectedFiles().value(0);
        return request.fileName.isEmpty() ? 0 : 1;
    }

    QMessageBox box(request.parent);
    box.setIcon(request.icon);
    box.setWindowTitle(request.title);
    box.setText(request.text);
    box.setInformativeText(request.informativeText);
    if (request.kind == MessageDialog) {
        box.setStandardButtons(request.standardButtons);
        return box.exec();
    }

    QList<QAbstractButton *> buttons;
    for (const QString &label : request.buttons)
        buttons.append(box.addButton(label, QMessageBox::ActionRole));
    if (request.kind == ConfirmationDialog) {
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
    } else if (!buttons.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    }
    box.exec();
    const int index = buttons.indexOf(box.clickedButton());
    if (request.kind == ConfirmationDialog)
        return index == 0 ? 1 : 0;
    return index;
}

QMessageBox::StandardButton MUtility::showMessage(QMessageBox::Icon icon, const QString &title, const QString &text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton,
                                                  const QString &informativeText)
{
    Q_UNUSED(defaultButton)
    DialogRequest request;
    request.kind = MessageDialog;
    request.icon = icon;
    request.title = title;
    request.text = text;
    request.informativeText = informativeText;
    request.standardButtons = buttons;
    return QMessageBox::StandardButton(runDialog(request));
}

bool MUtility::pickColor(QColor &color, const QString &title)
{
    DialogRequest request;
    request.kind = ColorDialog;
    request.title = title;
    request.color = (color == QColor(Qt::transparent)) ? QColor(Qt::white) : color;
    if (runDialog(request) != 1)
        return false;
    QColor chosen = request.color;
    if (chosen.alpha() != 0)
        chosen.setAlpha(255);
    else
        chosen = QColor(Qt::transparent);
    color = chosen;
    return true;
}

int MUtility::askChoice(const QStringList &buttons, const QString &text, const QString &informativeText)
{
    DialogRequest request;
    request.kind = ChoiceDialog;
    request.icon = QMessageBox::Question;
    request.title = QStringLiteral("KalmiDraw");
    request.text = text;
    request.informativeText = informativeText;
    request.buttons = buttons;
    const int index = runDialog(request);
    return (index >= 0 && index < buttons.size()) ? index : -1;
}

bool MUtility::askConfirmation(const QString &buttonText, const QString &text, const QString &informativeText)
{
    DialogRequest request;
    request.kind = ConfirmationDialog;
    request.icon = QMessageBox::Question;
    request.title = QStringLiteral("KalmiDraw");
    request.text = text;
    request.informativeText = informativeText;
    request.buttons = QStringList{buttonText};
    return runDialog(request) == 1;
}

QString MUtility::askText(const QString &title, const QString &label, const QString &text)
{
    DialogRequest request;
    request.kind = TextDialog;
    request.title = title;
    request.text = label;
    request.input = text;
    return runDialog(request) == 1 ? request.input : QString();
}

bool MUtility::chooseFile(QFileDialog *dialog, QString &fileName)
{
    DialogRequest request;
    request.kind = FileDialog;
    request.title = dialog ? dialog->windowTitle() : QString();
    request.fileDialog = dialog;
    if (dialog) {
        request.folder = dialog->directory().absolutePath();
        request.filter = dialog->nameFilters().join(QStringLiteral(";;"));
    }
    if (runDialog(request) != 1 || request.fileName.isEmpty())
        return false;
    fileName = request.fileName;
    return true;
}

QString MUtility::askOpenFileName(const QString &title, const QString &folder, const QString &filter)
{
    QFileDialog dialog(dialogParent(), title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QString fileName;
    return chooseFile(&dialog, fileName) ? fileName : QString();
}

// ---------------------------------------------------------------- busy state

void MUtility::setBusyCursor()
{
    if (qApp)
        qApp->installEventFilter(MEventFilter::busyFilter());
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MUtility::restoreCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (qApp)
        qApp->removeEventFilter(MEventFilter::busyFilter());
}

// ---------------------------------------------------------------- widgets and geometry

void MUtility::moveCurrentItemUp(QListWidget *list)
{
    const int row = list->currentRow();
    if (row > 0 && row < list->count()) {
        QListWidgetItem *item = list->takeItem(row);
        list->insertItem(row - 1, item);
        list->setCurrentItem(item);
    }
}

void MUtility::moveCurrentItemDown(QListWidget *list)
{
    const int row = list->currentRow();
    if (row >= 0 && row < list->count() - 1) {
        QListWidgetItem *item = list->takeItem(row);
        list->insertItem(row + 1, item);
        list->setCurrentItem(item);
    }
}

void MUtility::moveCurrentItemToTop(QListWidget *list)
{
    const int row = list->currentRow();
    if (list->count() > 1 && row >= 0) {
        QListWidgetItem *item = list->takeItem(row);
        list->insertItem(0, item);
        list->setCurrentItem(item);
    }
}

void MUtility::moveCurrentItemToBottom(QListWidget *list)
{
    const int row = list->currentRow();
    if (list->count() > 1 && row >= 0) {
        QListWidgetItem *item = list->takeItem(row);
        list->addItem(item);
        list->setCurrentItem(item);
    }
}

void MUtility::showInExplorer(const QString &path)
{
    MPlatform::showInFileManager(path);
}

QRectF MUtility::scaledRect(const QRectF &rect, double factor)
{
    return QRectF(rect.x() * factor, rect.y() * factor, rect.width() * factor, rect.height() * factor);
}

QString MUtility::lowerFirst(const QString &text)
{
    if (text.isEmpty())
        return text;
    return text.left(1).toLower() + text.mid(1);
}

void MUtility::applySelectionPalette(QWidget *widget)
{
    QPalette palette = widget->palette();
    const QBrush highlight(MSettings::instance()->tableSelectionColor(), Qt::SolidPattern);
    const QBrush highlightedText(MSettings::instance()->textSelectionColor(), Qt::SolidPattern);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setBrush(group, QPalette::Highlight, highlight);
        palette.setBrush(group, QPalette::HighlightedText, highlightedText);
    }
    widget->setPalette(palette);
}
