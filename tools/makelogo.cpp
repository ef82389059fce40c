// Paints the logo of the about dialog: a brush stroke of three colours over
// a round canvas, and the program's name.
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makelogo <output.png>\n");
        return 1;
    }
    QImage image(360, 96, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf2, 0xee, 0xe6));
    painter.drawEllipse(QRectF(6, 6, 84, 84));

    QPainterPath stroke;
    stroke.moveTo(18, 66);
    stroke.cubicTo(30, 20, 56, 84, 80, 26);
    QLinearGradient colours(18, 0, 80, 0);
    colours.setColorAt(0.0, QColor(0xe0, 0x3c, 0x31));
    colours.setColorAt(0.5, QColor(0xf5, 0xb7, 0x00));
    colours.setColorAt(1.0, QColor(0x1e, 0x6f, 0xd9));
    QPen pen(QBrush(colours), 11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(stroke);

    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(38);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x2b, 0x2d, 0x33));
    painter.drawText(QRectF(100, 0, 256, 96), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("KalmiDraw"));
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
