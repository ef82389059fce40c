#include "mimagetool.h"

#include "manimframe.h"
#include "mlayeredits.h"
#include "mdocumentdescription.h"
#include "mevent.h"
#include "mlogger.h"
#include "msettings.h"
#include "mshapetool.h"
#include "mtextureutility.h"
#include "mtools.h"
#include "mtransform.h"
#include "mutility.h"
#include "mwidget.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLineF>
#include <QMessageBox>
#include <QPainter>

MImageTool::MImageTool(ToolId toolId, QObject *parent)
    : MPlacingTool(toolId, parent)
{
    set_pointId(22);
    connect(this, &MImageTool::pinnedChanged, this, &MTool::refresh);
    connect(this, &MImageTool::transparentBackgroundChanged, this, &MImageTool::resetImage);
    connect(this, &MImageTool::keyColorChanged, this, &MImageTool::resetImage);
    connect(this, &MImageTool::useTopLeftPixelAsKeyColorChanged, this, &MImageTool::resetImage);
    init();
}

MImageTool::~MImageTool() = default;

#define M_SETTER(name, member, type)                                                                                   \
    void MImageTool::set_##name(type value)                                                                            \
    {                                                                                                                  \
        if (member == value)                                                                                           \
            return;                                                                                                    \
        member = value;                                                                                                \
        emit name##Changed(value);                                                                                     \
    }
M_SETTER(pinned, m_pinned, bool)
M_SETTER(transparentBackground, m_transparentBackground, bool)
M_SETTER(useTopLeftPixelAsKeyColor, m_useTopLeftPixelAsKeyColor, bool)
M_SETTER(keyColor, m_keyColor, const QColor &)
M_SETTER(clipToSelection, m_clipToSelection, bool)
M_SETTER(opacity, m_opacity, double)
#undef M_SETTER

void MImageTool::init()
{
    m_hitCode = 0;
    m_rotationCursor = QCursor(QPixmap(QStringLiteral(":/icons/rotation.ico")), 8, 8);
    setImagePoint(QPointF(0, 0));
    setWidth(100);
    setHeight(100);
    setAngle(0);
    m_naturalWidth = 100;
    m_naturalHeight = 100;
    m_pinned = false;
    m_transparentBackground = false;
    m_clipToSelection = true;
    m_keyColor = Qt::white;
    m_opacity = 1.0;
    const char *icons[] = {":/icons/rotate-topleft.ico", ":/icons/rotate-topright.ico", ":/icons/rotate-bottomleft.ico",
                           ":/icons/rotate-bottomright.ico"};
    for (int i = 0; i < 4; ++i)
        m_cornerIcons[i] = QIcon(QString::fromLatin1(icons[i]));
    m_outline = QPainterPath();
}

void MImageTool::computeBuildPath()
{
    QPainterPath rect;
    rect.addRect(QRectF(-m_width / 2, -m_height / 2, m_width, m_height));
    m_outline = MShapeTool::rotatedAndCentred(rect, m_angle);
    emit toolChanged(this);
}

void MImageTool::setAngle(double angle)
{
    if (m_angle == angle)
        return;
    m_angle = angle;
    emit angleChanged(angle);
    computeBuildPath();
}

void MImageTool::setWidth(double width)
{
    if (m_width == width)
        return;
    m_width = width;
    emit widthChanged(width);
    computeBuildPath();
}

void MImageTool::setHeight(double height)
{
    if (m_height == height)
        return;
    m_height = height;
    emit heightChanged(height);
    computeBuildPath();
}

void MImageTool::setImagePoint(const QPointF &point)
{
    if (qAbs(point.x() - m_imagePoint.x()) <= 1e-12 && qAbs(point.y() - m_imagePoint.y()) <= 1e-12)
        return;
    m_imagePoint = point;
    emit imagePointChanged(point);
    emit toolChanged(this);
}

void MImageTool::resetTransfo()
{
    setAngle(0);
    setWidth(m_naturalWidth);
    setHeight(m_naturalHeight);
}

void MImageTool::showApplyHint()
{
    showText(tr("Press enter key to apply the image in the current layer or click on the apply button in the toolbar."));
}

void MImageTool::setImage(const QImage &image)
{
    m_displayed = image;
    m_displayedUpToDate = true;
    m_rectAtPress = MTool::centeredRect(m_imagePoint, QSizeF(m_width, m_height));
    m_angleAtPress = int(m_angle);
    computeBuildPath();
    showApplyHint();
    emit toolChanged(this);
}

void MImageTool::loadFromFile()
{
    MSettings *settings = MSettings::instance();
    const QString path = MUtility::askOpenFileName(tr("Images"), settings->lastFilesDir(),
                                                   MUtility::imageFileFilter(false).join(QStringLiteral(";;")));
    if (path.isEmpty()) {
        forgetImage();
        return;
    }
    settings->set_lastFilesDir(QFileInfo(path).absolutePath());
    QString reason;
    const QImage image = MImageFile::read(path, &reason, MDocumentDescription::imageCheck());
    if (image.isNull()) {
        // The painter asked for this file: say why nothing appears.
        forgetImage();
        MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(path, reason));
        MUtility::showMessage(QMessageBox::Warning, tr("Images"),
                              tr("The image file \"%1\" cannot be read.").arg(QFileInfo(path).fileName()),
                              QMessageBox::Ok, QMessageBox::NoButton, reason);
        return;
    }
    loadFromImage(image, QPointF(0, 0));
}

void MImageTool::forgetImage()
{
    // What is shown comes from the source: a forgotten source leaves nothing to place.
    m_source = QImage();
    m_displayed = QImage();
    m_displayedUpToDate = false;
    m_outline = QPainterPath();
    emit toolChanged(this);
}

void MImageTool::loadFromImage(const QImage &image)
{
    loadFromImage(image, QPointF(0, 0));
}

void MImageTool::loadFromImage(const QImage &image, const QPointF &point)
{
    if (image.isNull())
        return;
    m_source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_displayedUpToDate = false;
    rebuildDisplayed();
    refresh();
    m_width = m_naturalWidth = m_source.width();
    m_height = m_naturalHeight = m_source.height();
    m_angle = 0;
    setImagePoint(point);
    computeBuildPath();
}

void MImageTool::rebuildDisplayed()
{
    if (m_displayedUpToDate)
        return;
    m_displayedUpToDate = true;
    m_displayed = m_source;
    if (!m_transparentBackground || m_source.isNull())
        return;
    const QColor key = m_useTopLeftPixelAsKeyColor ? m_source.pixelColor(0, 0) : m_keyColor;
    if (key.alpha() != 0)
        m_displayed = colorToAlpha(m_source, key);
}

QImage MImageTool::displayedImage()
{
    rebuildDisplayed();
    return m_displayed;
}

void MImageTool::resetImage()
{
    m_displayedUpToDate = false;
    rebuildDisplayed();
    refresh();
}

void MImageTool::flipHorizontal()
{
    m_displayed = displayedImage().mirrored(true, false);
    emit toolChanged(this);
}

void MImageTool::flipVertical()
{
    m_displayed = displayedImage().mirrored(false, true);
    emit toolChanged(this);
}

QRectF MImageTool::frame() const
{
    MWidget *view = MTools::widget();
    return view->transform()->mapRect(m_outline.boundingRect().translated(m_imagePoint));
}

int MImageTool::hitTest(const QPointF &canvasPoint) const
{
    if (!MTools::widget() || m_outline.isEmpty())
        return 0;
    const QRectF f = frame();
    const QPointF v = MTools::widget()->transform()->map(canvasPoint);
    if (MShapeTool::inRotationZone(f, v))
        return 10;
    const struct { QPointF point; int code; } handles[] = {
        {f.topLeft(), 6}, {f.topRight(), 7}, {f.bottomLeft(), 8}, {f.bottomRight(), 9},
        {QPointF(f.left(), f.center().y()), 4}, {QPointF(f.right(), f.center().y()), 5},
        {QPointF(f.center().x(), f.top()), 2}, {QPointF(f.center().x(), f.bottom()), 3}};
    for (const auto &handle : handles) {
        if (QLineF(handle.point, v).length() <= 10)
            return handle.code;
    }
    return m_outline.translated(m_imagePoint).contains(canvasPoint) ? 1 : 0;
}

void MImageTool::cursorFor(int code)
{
    switch (code) {
    case 1: setCursor(Qt::SizeAllCursor); break;
    case 2: case 3: setCursor(Qt::SizeVerCursor); break;
    case 4: case 5: setCursor(Qt::SizeHorCursor); break;
    case 6: case 9: setCursor(Qt::SizeFDiagCursor); break;
    case 7: case 8: setCursor(Qt::SizeBDiagCursor); break;
    case 10: setCursor(m_rotationCursor); break;
    default: setCursor(m_outline.isEmpty() ? Qt::CrossCursor : Qt::ArrowCursor); break;
    }
}

bool MImageTool::updateCursor(const QPointF &viewPosition, double)
{
    MWidget *view = MTools::widget();
    if (!view)
        return false;
    cursorFor(hitTest(view->transform()->mapFromView(viewPosition)));
    return true;
}

void MImageTool::mouseHoverEvent(MEvent *event)
{
    cursorFor(hitTest(MShapeTool::eventPosition(event)));
}

bool MImageTool::mousePressEvent(MEvent *event)
{
    if (!MTools::widget() || event->button == Qt::RightButton)
        return false;
    const QPointF p = MShapeTool::eventPosition(event);
    m_hitCode = 0;
    if (m_outline.isEmpty()) {
        const QPointF aligned = MShapeTool::snapped(p);
        if (displayedImage().isNull())
            loadFromFile();
        if (displayedImage().isNull()) {
            m_outline = QPainterPath();
            return false;
        }
        m_rectAtPress = MTool::centeredRect(m_imagePoint, QSizeF(m_width, m_height));
        m_angleAtPress = int(m_angle);
        computeBuildPath();
        showApplyHint();
        setImagePoint(aligned);
        m_pressPoint = p;
        m_imagePointAtPress = m_imagePoint;
        m_rectAtPress = MTool::centeredRect(m_imagePoint, QSizeF(m_width, m_height));
        m_hitCode = hitTest(p);
        emit toolChanged(this);
        return true;
    }
    m_hitCode = hitTest(p);
    m_animation->start(100);
    m_pressPoint = p;
    m_imagePointAtPress = m_imagePoint;
    m_rectAtPress = MTool::centeredRect(m_imagePoint, QSizeF(m_width, m_height));
    m_angleAtPress = int(m_angle);
    return true;
}

void MImageTool::mouseMoveEvent(MEvent *event)
{
    if (!MTools::widget() || event->button == Qt::RightButton)
        return;
    const QPointF p = MShapeTool::eventPosition(event);
    const QPointF offset = MShapeTool::snapped(p - m_pressPoint);
    if (m_hitCode == 1) {
        setImagePoint(MShapeTool::snapped(m_imagePointAtPress + offset));
    } else if (m_hitCode == 10) {
        setAngle(MShapeTool::draggedAngle(m_imagePoint, m_pressPoint, p, m_angleAtPress, 5));
    } else if (m_hitCode >= 2 && m_hitCode <= 9) {
        // The ratio holds unless Ctrl frees it.
        const QRectF r = MTool::resizeRect(m_hitCode, offset, m_rectAtPress, event->hasControlModifier());
        setWidth(r.width());
        setHeight(r.height());
        setImagePoint(r.center());
    }
    if (!m_outline.isEmpty())
        computeBuildPath();
}

bool MImageTool::dropForEscape()
{
    m_outline = QPainterPath();
    emit toolChanged(this);
    return true;
}

void MImageTool::paint(QPainter *painter)
{
    MWidget *view = MTools::widget();
    if ((!m_pinned && !visible()) || !view || m_outline.isEmpty())
        return;
    const QTransform matrix = view->transform()->matrix();
    painter->save();
    QTransform item;
    item.translate(m_imagePoint.x(), m_imagePoint.y());
    item.rotate(m_angle);
    painter->setTransform(item * matrix);
    painter->setOpacity(m_opacity);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawImage(QRectF(-m_width / 2, -m_height / 2, m_width, m_height), displayedImage());
    painter->restore();
    if (m_pinned)
        return;
    painter->save();
    painter->resetTransform();
    const QRectF f = frame();
    MShapeTool::paintFrame(painter, f, m_animation,
                           {f.topLeft(), f.topRight(), f.bottomLeft(), f.bottomRight(),
                            QPointF(f.left(), f.center().y()), QPointF(f.right(), f.center().y()),
                            QPointF(f.center().x(), f.top()), QPointF(f.center().x(), f.bottom())},
                           m_cornerIcons);
    painter->restore();
}

QImage MImageTool::renderImage()
{
    const QImage picture = displayedImage();
    if (picture.isNull())
        return QImage();
    QPainterPath rect;
    rect.addRect(QRectF(-m_width / 2, -m_height / 2, m_width, m_height));
    const QSizeF size = MShapeTool::rotatedAndCentred(rect, m_angle).boundingRect().size();
    QImage image;
    MUtility::newImage(image, qMax(1, qRound(size.width())), qMax(1, qRound(size.height())), true);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setOpacity(m_opacity);
    painter.translate(image.width() / 2.0, image.height() / 2.0);
    painter.rotate(m_angle);
    painter.drawImage(QRectF(-m_width / 2, -m_height / 2, m_width, m_height), picture);
    return image;
}

void MImageTool::apply(Qt::KeyboardModifiers modifiers)
{
    MWidget *view = MTools::widget();
    if (!view || displayedImage().isNull())
        return;
    m_animation->stop();
    const bool clip = m_clipToSelection || modifiers.testFlag(Qt::ShiftModifier);
    MUtility::setBusyCursor();
    edits()->pasteImage(m_imagePoint, renderImage(), clip, tr("Paste an image"), -1, QRectF(), 0);
    if (modifiers.testFlag(Qt::ControlModifier)) {
        setImagePoint(m_imagePoint + QPointF(10, 10));
        m_animation->start(100);
    } else {
        m_outline = QPainterPath();
    }
    emit toolChanged(this);
    MUtility::restoreCursor();
}

void MImageTool::apply()
{
    apply(Qt::NoModifier);
}

