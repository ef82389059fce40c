#pragma once

#include "mfield.h"
#include "msingleton.h"

#include <QMap>
#include <QObject>
#include <QVector>

class MSettingCategory;

// The brush settings, one row each and in the order of the brush's properties:
// the id, the key (MEnum::bs<Key>, setter set<Key>), the property name (and
// its file and uniform name), the property's type, label, description,
// enumeration of the editor, minimum, default, maximum, step, unit, and flags:
// "l" logarithmic, "p" percentage, "d" dynamic, "v" shown in the settings
// panel, "u" handed to the stamping program as the uniform "f_<name>". A
// brush's properties, its file, the stroke and MEnum::BrushSetting (which the
// build writes from the ids and keys, in id order) follow this table: a setting
// is added or retyped here. Ids are stored, so a row keeps its id; a new row
// takes the next free one. Enumeration rows carry their range only as a
// formality (their editors list the keys); hue reaches -1, QColor::hueF() of a
// grey colour.
#define M_BRUSH_SETTINGS(ROW) \
    ROW(0, Radius, radius, double, "Radius", "Brush radius in pixels", "", 0.1, 30, 1000, 0.1, "pix", "ldvu") \
    ROW(1, Spacing, spacing, double, "Spacing", "Brush spacing. The unit depend on spacing type.", "", 0.01, 7, 500, 1, "", "ldv") \
    ROW(2, SpacingType, spacingType, int, "Spacing type", "Spacing type.", "SpacingType", 0, 0, 1, 0.1, "", "dv") \
    ROW(3, Flow, flow, double, "Flow", "Brush flow.", "", 0, 1, 1, 0.1, "%", "pdvu") \
    ROW(4, Opacity, opacity, double, "Opacity", "Brush opacity.", "", 0, 1, 1, 0.1, "%", "pvu") \
    ROW(5, Hardness, hardness, double, "Hardness", "Brush hardness.", "", 0, 0.8, 1, 0.1, "%", "pdvu") \
    ROW(6, CompositionMode, compositionMode, int, "Mode", "Composition mode.", "CompositionMode", 0, 0, 1, 0.1, "", "dvu") \
    ROW(7, Antialiasing, antialiasing, int, "Antialiasing", "Brush Antialiasing.", "AntialiasingType", 0, 0, 1, 0.1, "", "dvu") \
    ROW(8, Ratio, ratio, double, "Ratio", "Brush shape ratio width/height.", "", 0.001, 1, 100, 0.1, "", "dv") \
    ROW(9, Angle, angle, double, "Angle", "Brush angle in degrees.", "", -180, 0, 180, 5, "deg", "dv") \
    ROW(10, AngleType, angleType, int, "Angle type", "Angle of the brush: constant or follow direction of the stylus.", "AngleType", 0, 0, 1, 0.1, "", "dv") \
    ROW(11, MinDistance, minDistance, double, "Minimal distance", "Minimal distance between two moves (in pixels).", "", 0.2, 0.2, 30, 0.1, "pix", "dv") \
    ROW(12, Smoothing, smoothing, double, "Smoothing", "Brush smoothing rate.", "", 0, 0.5, 0.7, 0.1, "%", "pdv") \
    ROW(13, Shape, shape, int, "Shape", "Brush shape.", "BrushShape", 0, 0, 1, 0.1, "", "dvu") \
    ROW(14, OffsetX, offsetX, double, "Offset x", "Offset x (% of the brush radius).", "", 0, 0, 1, 0.1, "", "dv") \
    ROW(15, OffsetY, offsetY, double, "Offset y", "Offset y (% of the brush radius).", "", 0, 0, 1, 0.1, "", "dv") \
    ROW(16, Noise, noise, double, "Opacity noise", "Opacity noise.", "", 0, 0, 1, 0.1, "%", "pdv") \
    ROW(17, Density, density, double, "Pixels density", "Pixels density.", "", 0, 1, 1, 0.1, "%", "pdvu") \
    ROW(18, AccumulatorDistance, accumulatorDistance, double, "Accumulator Distance", "Accumulator distance.", "", 0, 0, 500, 1, "pix", "ldv") \
    ROW(19, Eraser, eraser, bool, "Brush eraser mode", "Brush eraser mode.", "", 0, 0, 1, 0.1, "", "dv") \
    ROW(20, InheritAlphaUnder, inheritAlphaUnder, bool, "Inherit transp. of layer under", "Brush alpha component is inherited from the layer under the current layer.", "", 0, 0, 1, 0.1, "", "dv") \
    ROW(21, InheritAlphaCurrent, inheritAlphaCurrent, bool, "Inherit transp. of current layer", "Brush alpha component is inherited from the current layer.", "", 0, 0, 1, 0.1, "", "dvu") \
    ROW(22, SourceRgbBlendMode, sourceRgbBlendMode, int, "Source rgb blend mode", "Source (foreground) rgb blend mode.", "OpenGLFactor", 0, 1, 1, 0.1, "", "d") \
    ROW(24, DestinationRgbBlendMode, destinationRgbBlendMode, int, "Destination rgb blend mode", "Destination (background) rgb blend mode.", "OpenGLFactor", 0, 1, 1, 0.1, "", "d") \
    ROW(23, SourceAlphaBlendMode, sourceAlphaBlendMode, int, "Source alpha blend mode", "Source (foreground) alpha blend mode.", "OpenGLFactor", 0, 771, 1, 0.1, "", "d") \
    ROW(25, DestinationAlphaBlendMode, destinationAlphaBlendMode, int, "Destination alpha blend mode", "Destination (foreground) alpha blend mode.", "OpenGLFactor", 0, 771, 1, 0.1, "", "d") \
    ROW(26, RgbBlendEquation, rgbBlendEquation, int, "Rgb blend equation", "Rgb blend equation.", "OpenGLEquation", 0, 32774, 1, 0.1, "", "d") \
    ROW(27, AlphaBlendEquation, alphaBlendEquation, int, "Alpha blend equation", "Alpha blend equation.", "OpenGLEquation", 0, 32774, 1, 0.1, "", "d") \
    ROW(30, PreserveTextureColor, preserveTextureColor, int, "Texture color", "Texture color", "TextureColor", 0, 0, 1, 0.1, "", "dvu") \
    ROW(28, ColorAbsorbtionRate, colorAbsorbtionRate, double, "Color absorbtion rate", "Color absorbtion rate", "", 0, 0, 1, 0.1, "%", "pdvu") \
    ROW(29, ColorFlowingRate, colorFlowingRate, double, "Color flow rate", "Color flow rate", "", 0, 1, 1, 0.1, "%", "pdvu") \
    ROW(31, Factor, factor, double, "Factor", "Factor", "", 0, 1, 1, 0.1, "%", "pdvu") \
    ROW(32, UseBorderColor, useBorderColor, bool, "Use border color", "Use border color", "", 0, 0, 1, 0.1, "", "dvu") \
    ROW(33, BrushColorHue, brushColorHue, double, "Hue", "Color hue", "", -1, 0, 1, 0.1, "", "dv") \
    ROW(34, BrushColorSaturation, brushColorSaturation, double, "Saturation", "Color saturation", "", -1, 0, 1, 0.1, "", "dv") \
    ROW(35, BrushColorValue, brushColorValue, double, "Value", "Color value", "", -1, 0, 1, 0.1, "", "dv") \
    ROW(36, BorderColorHue, borderColorHue, double, "Border hue", "Border color hue", "", -1, 0, 1, 0.1, "", "dv") \
    ROW(37, BorderColorSaturation, borderColorSaturation, double, "Border saturation", "Border color saturation", "", -1, 0, 1, 0.1, "", "dv") \
    ROW(38, BorderColorValue, borderColorValue, double, "Border value", "Border color value", "", -1, 0, 1, 0.1, "", "dv")

// The table of the brush settings: label, description, type, range, default,
// step, unit and editor flags of each, and the categories the editors show.
class MBrushSettingInfoList : public QObject, public MSingleton<MBrushSettingInfoList>
{
    Q_OBJECT
public:
    explicit MBrushSettingInfoList(QObject *parent = nullptr);
    ~MBrushSettingInfoList() override;

    int count() const { return m_fields.size(); }
    MField *info(int id) const;
    MField *info(const QByteArray &name) const;
    QByteArray name(int id) const;
    void setSettingId(MField *record, int id);

    // The settings the stamping program takes as uniforms ("u" rows).
    QVector<int> uniformSettings() const { return m_uniformSettings; }

    QVector<MSettingCategory *> categories() const { return m_categories; }
    QVector<MField *> categorySettings(int category) const;

    // The setting's name: its key without "bs", first letter lower-cased.
    static QByteArray settingName(int id);

private:
    void addCategory(const QString &description, const QVector<int> &settings);

    QMap<QByteArray, int> m_ids;
    QMap<int, MField *> m_fields;
    MField m_fallback;
    QVector<MSettingCategory *> m_categories;
    QVector<int> m_uniformSettings;
};
