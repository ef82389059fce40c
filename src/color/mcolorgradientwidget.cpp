#include "mcolorgradientwidget.h"

#include "msettings.h"

#include <QConicalGradient>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>

namespace {
// Width, height and the smaller of both, after clearing the image; false when
// there is nothing to draw on.
bool prepare(QImage &image, int &w, int &h, int &size)
{
    w = image.width();
    h = image.height();
    if (w == 0 || h == 0)
        return false;
    size = qMin(w, h);
    image.fill(Qt::transparent);
    return true;
}

template <class F>
void fillPixels(QImage &image, F colorAt)
{
    int w, h, size;
    if (!prepare(image, w, h, size))
        return;
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = colorAt(x, y, w, h).rgba();
    }
}

// Segments overlap the next by one degree so that no seam shows between them.
void drawRing(QPainter &painter, const QImage &image, int segments, double diameter, double s, double v)
{
    const QRectF square((image.width() - diameter) / 2.0, (image.height() - diameter) / 2.0, diameter, diameter);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < segments; ++i) {
        painter.setBrush(QColor::fromHsvF(double(i) / segments, s, v, 1.0));
        painter.drawPie(square, i * 5760 / segments, 5760 / segments + 16);
    }
}

QPainter *wheelPainter(QImage &image, QPainter &painter)
{
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    return &painter;
}
} // namespace

MColorGradientWidget::MColorGradientWidget(QWidget *parent)
    : QWidget(parent)
    , m_routines({"createPickerImage_0", "createPickerImage_1", "createPickerImage_2", "createPickerImage_3",
                  "createPickerImage_4", "createPickerImage_5", "createPickerImage_6"})
{
    const int stored = MSettings::instance()->gradientPanelIndex();
    m_type = stored >= 0 && stored < TypeCount ? stored : 0;
    setFocusPolicy(Qt::ClickFocus);
}

void MColorGradientWidget::setType(int type)
{
    if (type < 0 || type >= TypeCount)
        return;
    createImage(type);
    m_type = type;
    MSettings::instance()->set_gradientPanelIndex(type);
    m_pickPoint = QPoint(-1, -1);
    update();
}

void MColorGradientWidget::createImage(int type)
{
    const QByteArray signature = (m_routines.at(type) + QStringLiteral("(QImage&)")).toLatin1();
    const int index = metaObject()->indexOfMethod(signature.constData());
    if (index >= 0)
        metaObject()->method(index).invoke(this, Qt::DirectConnection, Q_ARG(QImage &, m_image));
}

void MColorGradientWidget::setColor(const QColor &color)
{
    placeMarker(color);
    update();
}

void MColorGradientWidget::placeMarker(const QColor &color)
{
    if (!color.isValid()) {
        m_pickPoint = QPoint(-1, -1);
        return;
    }
    const QRgb wanted = color.rgb();
    // The pixel just picked keeps the marker: others may show the same colour.
    if (m_image.rect().contains(m_pickPoint) && m_image.pixel(m_pickPoint) == wanted) {
        m_pickedColor = color;
        return;
    }
    // Levels per channel: a colour the image shows no nearer than this has
    // no place on it.
    constexpr int nearEnough = 16;
    int best = nearEnough + 1;
    QPoint at(-1, -1);
    for (int y = 0; y < m_image.height() && best > 0; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(m_image.constScanLine(y));
        for (int x = 0; x < m_image.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                continue;
            const int distance = qMax(qMax(qAbs(qRed(line[x]) - qRed(wanted)), qAbs(qGreen(line[x]) - qGreen(wanted))),
                                      qAbs(qBlue(line[x]) - qBlue(wanted)));
            if (distance < best) {
                best = distance;
                at = QPoint(x, y);
            }
        }
    }
    m_pickPoint = at;
    if (at != QPoint(-1, -1))
        m_pickedColor = color;
}

void MColorGradientWidget::createPickerImage_0(QImage &image)
{
    fillPixels(image, [](int x, int y, int w, int h) {
        return QColor::fromHsvF(double(x) / w, 1.0, 1.0 - double(y) / h, 1.0);
    });
}

void MColorGradientWidget::createPickerImage_1(QImage &image)
{
    fillPixels(image, [](int x, int y, int w, int h) {
        return QColor::fromHsvF(double(x) / w, 1.0 - double(y) / h, 1.0, 1.0);
    });
}

void MColorGradientWidget::createPickerImage_2(QImage &image)
{
    fillPixels(image, [](int x, int y, int w, int h) {
        double s = 1.0;
        double v = 1.0;
        if (y < h / 2)
            s = 2.0 * y / h;
        else
            v = 2.0 - 2.0 * y / h;
        return QColor::fromHsvF(double(x) / w, qBound(0.0, s, 1.0), qBound(0.0, v, 1.0), 1.0);
    });
}

void MColorGradientWidget::createPickerImage_3(QImage &image)
{
    int w, h, size;
    if (!prepare(image, w, h, size))
        return;
    QPainter painter;
    wheelPainter(image, painter);
    drawRing(painter, image, 20, size, 1.0, 1.0);
    const int inset = qBound(3, size / 10, 25);
    const QRectF disc = QRectF((w - size) / 2.0, (h - size) / 2.0, size, size).adjusted(inset, inset, -inset, -inset);
    QConicalGradient hues(disc.center(), 0);
    for (int i = 0; double(i) / 23 < 1.0; ++i)
        hues.setColorAt(double(i) / 23, QColor::fromHsvF(double(i) / 23, 1.0, 1.0, 1.0));
    hues.setColorAt(1.0, QColor::fromHsvF(1.0, 1.0, 1.0, 1.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(hues);
    painter.drawEllipse(disc);
    QRadialGradient white(disc.center(), disc.width() / 2.0);
    white.setColorAt(0.0, Qt::white);
    white.setColorAt(1.0, Qt::transparent);
    painter.setBrush(white);
    painter.drawEllipse(disc);
}

void MColorGradientWidget::createPickerImage_4(QImage &image)
{
    int w, h, size;
    if (!prepare(image, w, h, size))
        return;
    QPainter painter;
    wheelPainter(image, painter);
    for (int k = 0; k < 3; ++k)
        drawRing(painter, image, 20, size - size * k / 3.0, 1.0 - k / 3.0, 1.0);
}

void MColorGradientWidget::createPickerImage_5(QImage &image)
{
    int w, h, size;
    if (!prepare(image, w, h, size))
        return;
    QPainter painter;
    wheelPainter(image, painter);
    for (int k = 0; k < 3; ++k)
        drawRing(painter, image, 20, size - size * k / 3.0, 1.0, 1.0 - k / 3.0);
}

void MColorGradientWidget::createPickerImage_6(QImage &image)
{
    int w, h, size;
    if (!prepare(image, w, h, size))
        return;
    QPainter painter;
    wheelPainter(image, painter);
    for (int k = 0; k < 3; ++k)
        drawRing(painter, image, 20, size - size * k / 6.0, 1.0 - k / 3.0, 1.0);
    for (int k = 0; k < 3; ++k)
        drawRing(painter, image, 20, size / 2 - size * k / 6.0, 1.0, 1.0 - k / 3.0);
}

QPoint MColorGradientWidget::pickPosition(const QPoint &pos) const
{
    int x = qMax(pos.x(), 0);
    int y = qMax(pos.y(), 0);
    const int size = qMin(m_image.width(), m_image.height());
    if (m_type >= 3) {
        const QPoint c = m_image.rect().center();
        const double dx = x - c.x();
        const double dy = y - c.y();
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (distance > size / 2.0) {
            const double r = size / 2.0 - 2.0;
            float angle = std::acos(float(dx / distance));
            if (pos.y() < c.y())
                angle = float(2.0 * M_PI) - angle;
            x = int(std::trunc(std::cos(angle) * r + c.x()));
            y = int(std::trunc(std::sin(angle) * r + c.y()));
        }
    }
    return QPoint(x, y);
}

void MColorGradientWidget::pick(const QPoint &pos, Qt::KeyboardModifiers modifiers)
{
    const QPoint p = pickPosition(pos);
    if (m_image.rect().contains(p)) {
        QColor color = m_image.pixelColor(p);
        color.setAlpha(255);
        m_pickedColor = color;
        m_pickPoint = p;
        emit colorChanged(color, modifiers);
    }
    update();
}

void MColorGradientWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawImage(0, 0, m_image);
    if (m_pickPoint == QPoint(-1, -1))
        return;
    const QRectF marker(m_pickPoint.x() - 8.0, m_pickPoint.y() - 8.0, 16.0, 16.0);
    painter.setBrush(m_pickedColor);
    painter.setPen(QPen(Qt::gray));
    painter.drawEllipse(marker);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white));
    painter.drawEllipse(marker.adjusted(1, 1, -1, -1));
}

void MColorGradientWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_image = QImage(size(), QImage::Format_ARGB32);
    createImage(m_type);
    if (m_pickPoint != QPoint(-1, -1))
        placeMarker(m_pickedColor);
}

void MColorGradientWidget::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    pick(event->pos(), event->modifiers());
}

void MColorGradientWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        pick(event->pos(), event->modifiers());
}

void MColorGradientWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        setType(qMax(m_type - 1, 0));
    else if (event->key() == Qt::Key_Down)
        setType(qMin(m_type + 1, TypeCount - 1));
    else
        QWidget::keyPressEvent(event);
}
