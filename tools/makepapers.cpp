// Writes the papers and document templates the system ships.
//
//   makepapers <papers folder> <templates folder>
//
// A paper is a tileable grain drawn from a seeded noise, so writing again
// gives the same pictures; a template's id is fixed by its size.

#include "mdocumenttemplate.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QTextStream>
#include <QUuid>

#include <cmath>

namespace {

struct Paper
{
    const char *name;
    QRgb base;
    int grain;      // strength of the fine grain
    int fibres;     // number of long, faint fibres
    quint32 seed;
};

// Fine grain blurred once with wrap-around, so the tile repeats without seams.
QImage paperImage(const Paper &paper, int size)
{
    QRandomGenerator random(paper.seed);
    QVector<double> noise(size * size);
    for (double &v : noise)
        v = random.bounded(2.0) - 1.0;
    QVector<double> smooth(size * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    sum += noise[((y + dy + size) % size) * size + (x + dx + size) % size];
            smooth[y * size + x] = sum / 9 * 0.7 + noise[y * size + x] * 0.3;
        }
    }
    for (int f = 0; f < paper.fibres; ++f) {
        double x = random.bounded(double(size)), y = random.bounded(double(size));
        const double angle = random.bounded(6.283);
        const int length = 20 + random.bounded(60);
        for (int i = 0; i < length; ++i) {
            const int px = (int(x) % size + size) % size, py = (int(y) % size + size) % size;
            smooth[py * size + px] -= 0.6;
            x += std::cos(angle);
            y += std::sin(angle);
        }
    }
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int d = int(smooth[y * size + x] * paper.grain);
            image.setPixel(x, y, qRgb(qBound(0, qRed(paper.base) + d, 255), qBound(0, qGreen(paper.base) + d, 255),
                                      qBound(0, qBlue(paper.base) + d, 255)));
        }
    }
    return image;
}

struct Template
{
    const char *description;
    int width;
    int height;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: makepapers <papers folder> <templates folder>\n";
        return 2;
    }
    const QString papers = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const QString templates = QString::fromLocal8Bit(argv[2]) + QLatin1Char('/');
    QDir().mkpath(papers);
    QDir().mkpath(templates);

    const Paper shipped[] = {
        {"paper-01.jpg", qRgb(246, 243, 236), 18, 40, 1},
        {"paper-02.jpg", qRgb(238, 230, 212), 30, 120, 2},
        {"paper-03.jpg", qRgb(250, 250, 250), 10, 0, 3},
        {"paper-04.jpg", qRgb(214, 222, 230), 24, 60, 4},
    };
    for (const Paper &paper : shipped) {
        if (!paperImage(paper, 256).save(papers + QLatin1String(paper.name), "JPG", 90)) {
            err << "unable to write " << paper.name << "\n";
            return 1;
        }
    }

    const Template sizes[] = {
        {"Screen 800 x 600", 800, 600},
        {"Square 1000 x 1000", 1000, 1000},
        {"HD 1920 x 1080", 1920, 1080},
        {"A4 portrait 300 dpi", 2480, 3508},
    };
    const QUuid space(QStringLiteral("{3c9d5a1e-7b24-4f0e-9a61-5d8c2e7f1b03}"));
    for (const Template &size : sizes) {
        MDocumentTemplate t;
        const QString key = QStringLiteral("%1x%2").arg(size.width).arg(size.height);
        t.set_id(QUuid::createUuidV5(space, key).toString().toUpper());
        t.set_description(QString::fromUtf8(size.description));
        t.set_width(size.width);
        t.set_height(size.height);
        t.set_margin(20);
        t.set_paperType(1);
        t.set_fileName(templates + t.id().toLower() + QStringLiteral(".kxt"));
        if (!t.save()) {
            err << "unable to write " << t.fileName() << "\n";
            return 1;
        }
    }
    return 0;
}
