// Writes the system shapes and their order file into a folder through the
// shape library, with the shape's own writer.

#include "mshape.h"
#include "mshapelist.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUuid>

namespace {
// Ids are made from the names, so that every run writes the same files.
const QUuid kNamespace(QStringLiteral("{3D9A61C4-52E8-4B07-A1F3-6C2E8B95D04A}"));

MShapeItem item(int instruction, const QStringList &points = {}, const QString &width = QString(),
                const QString &height = QString())
{
    MShapeItem result;
    result.instruction = instruction;
    for (int k = 0; k * 2 + 1 < points.size() && k < 4; ++k) {
        result.x[k] = points.at(k * 2);
        result.y[k] = points.at(k * 2 + 1);
    }
    if (!width.isEmpty())
        result.width = width;
    if (!height.isEmpty())
        result.height = height;
    return result;
}

// A closed polygon through the points (x, y pairs).
QVector<MShapeItem> polygon(const QStringList &points)
{
    QVector<MShapeItem> items{item(MShape::PathMoveTo, points.mid(0, 2))};
    for (int i = 2; i + 1 < points.size(); i += 2)
        items.append(item(MShape::PathLineTo, points.mid(i, 2)));
    items.append(item(MShape::PathCloseFigure));
    return items;
}

struct Definition
{
    QString group;
    QString description;
    double width;
    double height;
    QVector<MShapeItem> items;
};

QVector<Definition> definitions()
{
    MShapeItem rounded = item(MShape::PathRoundRectangle, {"", "", "W", "H", "W/8", "H/8"});
    rounded.maxx[2] = QStringLiteral("20");
    rounded.maxy[2] = QStringLiteral("20");
    MShapeItem arrowHead = item(MShape::PathLineTo, {"W-H/2", "0"});
    arrowHead.minx[0] = QStringLiteral("W/2");
    MShapeItem arrowBack = item(MShape::PathLineTo, {"W-H/2", "H"});
    arrowBack.minx[0] = QStringLiteral("W/2");
    QVector<MShapeItem> arrow{item(MShape::PathMoveTo, {"0", "H/4"}),
                              item(MShape::PathLineTo, {"W-H/2", "H/4"}),
                              arrowHead,
                              item(MShape::PathLineTo, {"W", "H/2"}),
                              arrowBack,
                              item(MShape::PathLineTo, {"W-H/2", "3*H/4"}),
                              item(MShape::PathLineTo, {"0", "3*H/4"}),
                              item(MShape::PathCloseFigure)};
    arrow[1].minx[0] = arrow[5].minx[0] = QStringLiteral("W/2");
    QVector<MShapeItem> heart{item(MShape::PathMoveTo, {"W/2", "H/4"}),
                              item(MShape::PathCurveTo, {"W/2", "0", "0", "0", "0", "H/3"}),
                              item(MShape::PathCurveTo, {"0", "2*H/3", "W/2", "5*H/6", "W/2", "H"}),
                              item(MShape::PathCurveTo, {"W/2", "5*H/6", "W", "2*H/3", "W", "H/3"}),
                              item(MShape::PathCurveTo, {"W", "0", "W/2", "0", "W/2", "H/4"}),
                              item(MShape::PathCloseFigure)};
    QVector<MShapeItem> bubble{item(MShape::PathRoundRectangle, {"", "", "W", "3*H/4", "W/6", "H/6"}),
                               item(MShape::PathMoveTo, {"W/5", "3*H/4-1"}),
                               item(MShape::PathLineTo, {"W/8", "H"}),
                               item(MShape::PathLineTo, {"2*W/5", "3*H/4-1"}),
                               item(MShape::PathCloseFigure)};
    return {
        {"basic", "rectangle", 100, 60, {item(MShape::PathRectangle, {"", "", "W", "H"})}},
        {"basic", "rounded rectangle", 100, 60, {rounded}},
        {"basic", "ellipse", 100, 100, {item(MShape::PathEllipse, {"", "", "W", "H"})}},
        {"basic", "triangle", 100, 90, polygon({"W/2", "0", "W", "H", "0", "H"})},
        {"basic", "right triangle", 100, 100, polygon({"0", "0", "W", "H", "0", "H"})},
        {"basic", "diamond", 80, 100, polygon({"W/2", "0", "W", "H/2", "W/2", "H", "0", "H/2"})},
        {"basic", "hexagon", 100, 87, polygon({"W/4", "0", "3*W/4", "0", "W", "H/2", "3*W/4", "H", "W/4", "H", "0", "H/2"})},
        {"basic", "cross", 100, 100,
         polygon({"W/3", "0", "2*W/3", "0", "2*W/3", "H/3", "W", "H/3", "W", "2*H/3", "2*W/3", "2*H/3", "2*W/3", "H",
                  "W/3", "H", "W/3", "2*H/3", "0", "2*H/3", "0", "H/3", "W/3", "H/3"})},
        {"basic", "star", 100, 95,
         polygon({"W/2", "0", "0.61*W", "0.35*H", "W", "0.38*H", "0.69*W", "0.6*H", "0.79*W", "H", "W/2", "0.77*H",
                  "0.21*W", "H", "0.31*W", "0.6*H", "0", "0.38*H", "0.39*W", "0.35*H"})},
        {"arrows", "arrow", 120, 60, arrow},
        {"symbols", "heart", 100, 90, heart},
        {"symbols", "speech bubble", 120, 90, bubble},
        {"symbols", "ring", 100, 100,
         {item(MShape::PathEllipse, {"", "", "W", "H"}), item(MShape::DrawEllispe, {"W/4", "H/4"}, "W/2", "H/2")}},
    };
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: makeshapes FOLDER\n";
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "cannot make " << folder.path() << "\n";
        return 1;
    }
    for (const QString &name : folder.entryList({QStringLiteral("*.kxh"), QStringLiteral("index.kxl")}, QDir::Files))
        folder.remove(name);

    // An empty system folder: the library holds only the shapes made here.
    QTemporaryDir system;
    MShapeList library(system.path(), folder.absolutePath());
    library.clear();
    const QVector<Definition> shapes = definitions();
    for (const Definition &definition : shapes) {
        auto *shape = new MShape(&library);
        shape->setId(QUuid::createUuidV5(kNamespace, definition.description).toString().toUpper());
        shape->setGroup(definition.group);
        shape->setDescription(definition.description);
        shape->setSize(definition.width, definition.height);
        shape->setItems(definition.items);
        const QString path = library.userFilePath(shape);
        if (!shape->writeJson(path)) {
            err << "cannot write " << path << "\n";
            return 1;
        }
        library.append(shape);
    }
    const QStringList written = folder.entryList({QStringLiteral("*.kxh")}, QDir::Files);
    if (written.size() != shapes.size() || !folder.exists(QStringLiteral("index.kxl"))) {
        err << "the folder does not hold what was written\n";
        return 1;
    }
    QTextStream(stdout) << written.size() << " shapes written to " << folder.absolutePath() << "\n";
    return 0;
}
