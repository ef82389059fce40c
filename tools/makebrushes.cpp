// Writes the system brushes and their order file into a folder through the
// brush library, as the program itself saves brushes.

#include "mbrush.h"
#include "mbrushlist.h"
#include "mcurve.h"
#include "menum.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUuid>
#include <QtMath>

#include <functional>

namespace {
// Ids are made from the names, so that every run writes the same files.
const QUuid kNamespace(QStringLiteral("{7A1C3E52-9D4B-4F6A-8E21-5B0C9D3F6A17}"));

void addCurve(MBrush *brush, int setting, int input, double yMin, double yMax, const QVector<QPointF> &points)
{
    MCurve *curve = brush->addCurve(setting, input);
    curve->setYMax(yMax);
    curve->setYMin(yMin);
    curve->setPoints(points);
}

// Paper grain for a chalk stamp: a disc whose coverage is broken by noise.
QImage grainTexture(int size)
{
    QImage image(size, size, QImage::Format_RGBA8888_Premultiplied);
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u;
            h = (h ^ (h >> 13)) * 1274126177u;
            h ^= h >> 16;
            const double noise = (h & 0xFFFF) / 65535.0;
            const double distance = qSqrt((x - centre) * (x - centre) + (y - centre) * (y - centre)) / centre;
            const double disc = qBound(0.0, (1.0 - distance) * 4.0, 1.0);
            const int alpha = qRound(255.0 * disc * (noise > 0.35 ? 0.45 + 0.55 * noise : 0.0));
            image.setPixel(x, y, qRgba(alpha, alpha, alpha, alpha));
        }
    }
    return image;
}

struct Definition
{
    const char *group;
    const char *description;
    std::function<void(MBrush *)> setUp;
};

const QVector<QPointF> kLinear{{0, 0}, {1, 1}};

const Definition kBrushes[] = {
    {"basics", "round brush",
     [](MBrush *b) {
         b->setRadius(8);
         b->setHardness(0.85);
         addCurve(b, MEnum::bsRadius, MEnum::biPressure, 0.3, 1, kLinear);
         addCurve(b, MEnum::bsFlow, MEnum::biPressure, 0.5, 1, kLinear);
     }},
    {"basics", "soft airbrush",
     [](MBrush *b) {
         b->setRadius(40);
         b->setHardness(0.5);
         b->setFlow(0.15);
         b->setSpacingType(MEnum::RatioSpacing);
         b->setSpacing(0.1);
         addCurve(b, MEnum::bsFlow, MEnum::biPressure, 0, 1, {{0, 0}, {0.5, 0.25}, {1, 1}});
         b->setQuickSettings({MEnum::bsRadius, MEnum::bsFlow, MEnum::bsHardness, MEnum::bsOpacity});
     }},
    {"sketch", "hard pencil",
     [](MBrush *b) {
         b->setRadius(1.2);
         b->setHardness(1);
         b->setSpacingType(MEnum::ConstantSpacing);
         b->setSpacing(0.5);
         b->setNoise(0.15);
         addCurve(b, MEnum::bsOpacity, MEnum::biPressure, 0.2, 1, kLinear);
         b->setQuickSettings({MEnum::bsRadius, MEnum::bsOpacity, MEnum::bsNoise});
     }},
    {"erasers", "eraser",
     [](MBrush *b) {
         b->setRadius(20);
         b->setHardness(0.7);
         b->setEraser(true);
         addCurve(b, MEnum::bsRadius, MEnum::biPressure, 0.5, 1, kLinear);
     }},
    {"texture", "chalk",
     [](MBrush *b) {
         b->setTexture(grainTexture(64));
         b->setRadius(14);
         b->setHardness(1);
         b->setDensity(0.6);
         b->setNoise(0.2);
         b->setSpacingType(MEnum::RatioSpacing);
         b->setSpacing(0.25);
         // The grain turns from stamp to stamp, so that it never lines up.
         addCurve(b, MEnum::bsAngle, MEnum::biRandom, -180, 180, kLinear);
         addCurve(b, MEnum::bsOpacity, MEnum::biPressure, 0.3, 1, kLinear);
     }},
    {"paint", "blender",
     [](MBrush *b) {
         b->setRadius(18);
         b->setHardness(0.4);
         b->setFlow(0.7);
         b->setColorAbsorbtionRate(0.5);
         b->setColorFlowingRate(0.2);
         addCurve(b, MEnum::bsFlow, MEnum::biPressure, 0.2, 1, kLinear);
         b->setQuickSettings({MEnum::bsRadius, MEnum::bsColorAbsorbtionRate, MEnum::bsColorFlowingRate, MEnum::bsFlow});
     }},
};
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: makebrushes FOLDER\n";
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "cannot make " << folder.path() << "\n";
        return 1;
    }
    for (const QString &name : folder.entryList({QStringLiteral("*.kxb"), QStringLiteral("index.kxl")}, QDir::Files))
        folder.remove(name);

    // An empty system folder: the library holds only the brushes made here.
    QTemporaryDir system;
    MBrushList library(system.path(), folder.absolutePath());
    for (const Definition &definition : kBrushes) {
        auto *brush = new MBrush(&library);
        brush->setId(QUuid::createUuidV5(kNamespace, QString::fromLatin1(definition.description)).toString().toUpper());
        brush->setGroup(QString::fromLatin1(definition.group));
        brush->setDescription(QString::fromLatin1(definition.description));
        definition.setUp(brush);
        if (!brush->save()) {
            err << "cannot write " << brush->userFilePath() << "\n";
            return 1;
        }
        library.append(brush);
    }
    const QStringList written = folder.entryList({QStringLiteral("*.kxb")}, QDir::Files);
    if (written.size() != int(sizeof(kBrushes) / sizeof(kBrushes[0])) || !folder.exists(QStringLiteral("index.kxl"))) {
        err << "the folder does not hold what was written\n";
        return 1;
    }
    QTextStream(stdout) << written.size() << " brushes written to " << folder.absolutePath() << "\n";
    return 0;
}
