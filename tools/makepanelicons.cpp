// Paints the small icons of the resource panels (16 x 16, ICO files) into a
// folder:
//
//   makepanelicons <folder>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <functional>

namespace {
using Painter = std::function<void(QPainter &)>;

void eraser(QPainter &p)
{
    // A rubber block lying askew, its worn end pale.
    p.translate(8, 8);
    p.rotate(-35);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(235, 120, 150));
    p.drawRoundedRect(QRectF(-7, -3.5, 9, 7), 1, 1);
    p.setBrush(QColor(240, 240, 240));
    p.drawRoundedRect(QRectF(2, -3.5, 5, 7), 1, 1);
}

void effect(QPainter &p)
{
    // A four-pointed spark with a small one beside it.
    QPainterPath star;
    star.moveTo(6, 1);
    star.quadTo(7, 5, 11, 6);
    star.quadTo(7, 7, 6, 11);
    star.quadTo(5, 7, 1, 6);
    star.quadTo(5, 5, 6, 1);
    p.setPen(QPen(QColor(70, 30, 120), 1));
    p.setBrush(QColor(170, 110, 240));
    p.drawPath(star);
    p.setBrush(QColor(250, 200, 60));
    p.setPen(QPen(QColor(150, 100, 0), 1));
    p.drawEllipse(QRectF(10.5, 10.5, 4, 4));
}

void texture(QPainter &p)
{
    // A tile of grain: a frame round a checker of two greys.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            p.fillRect(2 + 3 * x, 2 + 3 * y, 3, 3, (x + y) % 2 ? QColor(90, 90, 90) : QColor(200, 170, 120));
    p.setPen(QPen(QColor(50, 50, 50), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(1, 1, 13, 13);
}

void sort(QPainter &p)
{
    // Bars growing downwards beside an arrow pointing down.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 90, 150));
    for (int i = 0; i < 4; ++i)
        p.drawRect(1, 2 + 3 * i, 3 + 2 * i, 2);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(12, 1, 2, 9);
    QPolygonF head;
    head << QPointF(9.5, 9) << QPointF(16.5, 9) << QPointF(13, 14.5);
    p.drawPolygon(head);
}

bool writeIcon(const QString &path, const Painter &paint)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter);
    }
    QImageWriter writer(path, "ico");
    return writer.write(image);
}
} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    QTextStream err(stderr);
    if (arguments.size() != 2) {
        err << "usage: makepanelicons <folder>\n";
        return 1;
    }
    const QString folder = arguments.at(1);
    QDir().mkpath(folder);
    const QList<QPair<QString, Painter>> icons = {
        {QStringLiteral("eraser-tool.ico"), eraser},
        {QStringLiteral("show-fx.ico"), effect},
        {QStringLiteral("texture.ico"), texture},
        {QStringLiteral("sort.ico"), sort},
    };
    for (const auto &icon : icons) {
        const QString path = folder + QLatin1Char('/') + icon.first;
        if (!writeIcon(path, icon.second)) {
            err << "cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
