#pragma once

#include <QString>

// One instruction of a shape's drawing; every coordinate is an expression
// over the width and height of the target rectangle.
struct MShapeItem
{
    int instruction = 4; // PathRectangle
    QString x[4];
    QString y[4];
    QString minx[4];
    QString miny[4];
    QString maxx[4];
    QString maxy[4];
    QString width = QStringLiteral("w");
    QString height = QStringLiteral("h");
    double startAngle = 0;
    double arcLength = 0;
    int position = 5; // CenterCenter
    double padding = 5.0;
};
