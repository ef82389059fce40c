#include "menumlabels.h"

#include <QCoreApplication>

#include <cctype>

namespace {
struct Label
{
    const char *key;
    const char *text;
};

// Keys of the enumerations that combo boxes list (MEnum, the tools' own,
// the curves' and the layer masks), with the words shown for them.
const Label labels[] = {
    // MEnum
    {"EllipseShape", QT_TRANSLATE_NOOP("Enum", "Ellipse")},
    {"RectangleShape", QT_TRANSLATE_NOOP("Enum", "Rectangle")},
    {"ConstantAngle", QT_TRANSLATE_NOOP("Enum", "Constant")},
    {"FollowDirectionAngle", QT_TRANSLATE_NOOP("Enum", "Follow direction")},
    {"AutoSpacing", QT_TRANSLATE_NOOP("Enum", "Automatic")},
    {"RatioSpacing", QT_TRANSLATE_NOOP("Enum", "Ratio")},
    {"ConstantSpacing", QT_TRANSLATE_NOOP("Enum", "Constant")},
    {"Antialiasing", QT_TRANSLATE_NOOP("Enum", "Antialiasing")},
    {"NoAntialiasing", QT_TRANSLATE_NOOP("Enum", "None")},
    {"Smoothing", QT_TRANSLATE_NOOP("Enum", "Smoothing")},
    {"BrushTextureColor", QT_TRANSLATE_NOOP("Enum", "Brush")},
    {"TextureTextureColor", QT_TRANSLATE_NOOP("Enum", "Texture")},
    {"MixedTextureColor", QT_TRANSLATE_NOOP("Enum", "Mixed")},
    {"Transparent", QT_TRANSLATE_NOOP("Enum", "Transparent")},
    {"Colored", QT_TRANSLATE_NOOP("Enum", "Colored")},
    {"Paper", QT_TRANSLATE_NOOP("Enum", "Paper")},
    {"PixelsPerInch", QT_TRANSLATE_NOOP("Enum", "Pixels per inch")},
    {"PixelsPerCentimeter", QT_TRANSLATE_NOOP("Enum", "Pixels per centimeter")},
    {"RandomOffsetGenerator", QT_TRANSLATE_NOOP("Enum", "Random offset")},
    {"AnalogousGenerator", QT_TRANSLATE_NOOP("Enum", "Analogous")},
    {"ComplementaryGenerator", QT_TRANSLATE_NOOP("Enum", "Complementary")},
    {"SplitComplementaryGenerator", QT_TRANSLATE_NOOP("Enum", "Split complementary")},
    {"TriadicGenerator", QT_TRANSLATE_NOOP("Enum", "Triadic")},
    {"TetradicGenerator", QT_TRANSLATE_NOOP("Enum", "Tetradic")},
    {"MonochromeGenerator", QT_TRANSLATE_NOOP("Enum", "Monochrome")},
    {"FlatCap", QT_TRANSLATE_NOOP("Enum", "Flat")},
    {"SquareCap", QT_TRANSLATE_NOOP("Enum", "Square")},
    {"RoundCap", QT_TRANSLATE_NOOP("Enum", "Round")},
    {"MiterJoin", QT_TRANSLATE_NOOP("Enum", "Miter")},
    {"BevelJoin", QT_TRANSLATE_NOOP("Enum", "Bevel")},
    {"RoundJoin", QT_TRANSLATE_NOOP("Enum", "Round")},
    {"SystemPath", QT_TRANSLATE_NOOP("Enum", "System")},
    {"UserPath", QT_TRANSLATE_NOOP("Enum", "User")},
    {"AmbientLight", QT_TRANSLATE_NOOP("Enum", "Ambient")},
    {"DirectionalLight", QT_TRANSLATE_NOOP("Enum", "Directional")},
    {"PointLight", QT_TRANSLATE_NOOP("Enum", "Point")},
    {"SpotLight", QT_TRANSLATE_NOOP("Enum", "Spot")},
    {"InteractiveUpdate", QT_TRANSLATE_NOOP("Enum", "Interactive")},
    {"TransactionalUpdate", QT_TRANSLATE_NOOP("Enum", "Transactional")},
    {"glZero", QT_TRANSLATE_NOOP("Enum", "Zero")},
    {"glOne", QT_TRANSLATE_NOOP("Enum", "One")},
    {"glSrcColor", QT_TRANSLATE_NOOP("Enum", "Source color")},
    {"glOneMinusSrcColor", QT_TRANSLATE_NOOP("Enum", "One minus source color")},
    {"glDstColor", QT_TRANSLATE_NOOP("Enum", "Destination color")},
    {"glOneMinusDstColor", QT_TRANSLATE_NOOP("Enum", "One minus destination color")},
    {"glSrcAlpha", QT_TRANSLATE_NOOP("Enum", "Source alpha")},
    {"glOneMinusSrcAlpha", QT_TRANSLATE_NOOP("Enum", "One minus source alpha")},
    {"glDstAlpha", QT_TRANSLATE_NOOP("Enum", "Destination alpha")},
    {"glOneMinusDstAlpha", QT_TRANSLATE_NOOP("Enum", "One minus destination alpha")},
    {"glConstantColor", QT_TRANSLATE_NOOP("Enum", "Constant color")},
    {"glOneMinusConstantColor", QT_TRANSLATE_NOOP("Enum", "One minus constant color")},
    {"glConstantAlpha", QT_TRANSLATE_NOOP("Enum", "Constant alpha")},
    {"glOneMinusConstantAlpha", QT_TRANSLATE_NOOP("Enum", "One minus constant alpha")},
    {"glSrcAlphaSaturate", QT_TRANSLATE_NOOP("Enum", "Source alpha saturate")},
    {"glAdd", QT_TRANSLATE_NOOP("Enum", "Add")},
    {"glSubtract", QT_TRANSLATE_NOOP("Enum", "Subtract")},
    {"glReverseSubtract", QT_TRANSLATE_NOOP("Enum", "Reverse subtract")},
    {"glMin", QT_TRANSLATE_NOOP("Enum", "Minimum")},
    {"glMax", QT_TRANSLATE_NOOP("Enum", "Maximum")},
    {"LeftEdge", QT_TRANSLATE_NOOP("Enum", "Left")},
    {"TopEdge", QT_TRANSLATE_NOOP("Enum", "Top")},
    {"RightEdge", QT_TRANSLATE_NOOP("Enum", "Right")},
    {"BottomEdge", QT_TRANSLATE_NOOP("Enum", "Bottom")},
    {"MixedUndo", QT_TRANSLATE_NOOP("Enum", "Memory and disk")},
    {"MemoryOnlyUndo", QT_TRANSLATE_NOOP("Enum", "Memory only")},
    {"FileOnlyUndo", QT_TRANSLATE_NOOP("Enum", "Disk only")},
    // Curves
    {"Add", QT_TRANSLATE_NOOP("Enum", "Add")},
    {"Multiply", QT_TRANSLATE_NOOP("Enum", "Multiply")},
    {"Sinus", QT_TRANSLATE_NOOP("Enum", "Sine")},
    {"LineAscending2", QT_TRANSLATE_NOOP("Enum", "Rising line, 2 points")},
    {"LineDescending2", QT_TRANSLATE_NOOP("Enum", "Falling line, 2 points")},
    {"LineAscending3", QT_TRANSLATE_NOOP("Enum", "Rising line, 3 points")},
    {"LineDescending3", QT_TRANSLATE_NOOP("Enum", "Falling line, 3 points")},
    {"LineAscending4", QT_TRANSLATE_NOOP("Enum", "Rising line, 4 points")},
    {"LineDescending4", QT_TRANSLATE_NOOP("Enum", "Falling line, 4 points")},
    {"CurveAscending3", QT_TRANSLATE_NOOP("Enum", "Rising curve, 3 points")},
    {"CurveDescending3", QT_TRANSLATE_NOOP("Enum", "Falling curve, 3 points")},
    {"CurveAscending4", QT_TRANSLATE_NOOP("Enum", "Rising curve, 4 points")},
    {"CurveDescending4", QT_TRANSLATE_NOOP("Enum", "Falling curve, 4 points")},
    {"GaussianCurve", QT_TRANSLATE_NOOP("Enum", "Bell curve")},
    // Layer masks
    {"NoMask", QT_TRANSLATE_NOOP("Enum", "None")},
    {"AlphaMask", QT_TRANSLATE_NOOP("Enum", "Alpha")},
    {"OneMinusAlphaMask", QT_TRANSLATE_NOOP("Enum", "Inverted alpha")},
    // Tools
    {"SingleLineType", QT_TRANSLATE_NOOP("Enum", "Single line")},
    {"PolyLineType", QT_TRANSLATE_NOOP("Enum", "Polyline")},
    {"CurvedLineType", QT_TRANSLATE_NOOP("Enum", "Curve")},
    {"TransparentGradient", QT_TRANSLATE_NOOP("Enum", "Transparent")},
    {"SolidGradient", QT_TRANSLATE_NOOP("Enum", "Solid")},
    {"DiagonalGradient", QT_TRANSLATE_NOOP("Enum", "Diagonal")},
    {"BackDiagonalGradient", QT_TRANSLATE_NOOP("Enum", "Back diagonal")},
    {"HorizontalGradient", QT_TRANSLATE_NOOP("Enum", "Horizontal")},
    {"VerticalGradient", QT_TRANSLATE_NOOP("Enum", "Vertical")},
    {"RadialGradient", QT_TRANSLATE_NOOP("Enum", "Radial")},
    {"Linear", QT_TRANSLATE_NOOP("Enum", "Linear")},
    {"Radial", QT_TRANSLATE_NOOP("Enum", "Radial")},
    {"Conical", QT_TRANSLATE_NOOP("Enum", "Conical")},
    {"PadSpread", QT_TRANSLATE_NOOP("Enum", "Pad")},
    {"RepeatSpread", QT_TRANSLATE_NOOP("Enum", "Repeat")},
    {"ReflectSpread", QT_TRANSLATE_NOOP("Enum", "Reflect")},
    {"CurrentLayer", QT_TRANSLATE_NOOP("Enum", "Current layer")},
    {"OverLayer", QT_TRANSLATE_NOOP("Enum", "Layer above")},
    {"UnderLayer", QT_TRANSLATE_NOOP("Enum", "Layer below")},
    {"TopMostLayer", QT_TRANSLATE_NOOP("Enum", "Top layer")},
    {"PercentageSpacing", QT_TRANSLATE_NOOP("Enum", "Percentage")},
    {"AbsoluteSpacing", QT_TRANSLATE_NOOP("Enum", "Absolute")},
    {"ReplaceSelectionMode", QT_TRANSLATE_NOOP("Enum", "Replace")},
    {"AddSelectionMode", QT_TRANSLATE_NOOP("Enum", "Add")},
    {"SubtractSelectionMode", QT_TRANSLATE_NOOP("Enum", "Subtract")},
    {"IntersectionSelectionMode", QT_TRANSLATE_NOOP("Enum", "Intersect")},
    {"RectangleSelection", QT_TRANSLATE_NOOP("Enum", "Rectangle")},
    {"EllipseSelection", QT_TRANSLATE_NOOP("Enum", "Ellipse")},
    {"PolygonSelection", QT_TRANSLATE_NOOP("Enum", "Polygon")},
    {"CurveSelection", QT_TRANSLATE_NOOP("Enum", "Curve")},
    {"StarSelection", QT_TRANSLATE_NOOP("Enum", "Star")},
    {"RoundedStarSelection", QT_TRANSLATE_NOOP("Enum", "Rounded star")},
    {"FreeSelection", QT_TRANSLATE_NOOP("Enum", "Freehand")},
    {"Inch", QT_TRANSLATE_NOOP("Enum", "Inches")},
    {"Centimeter", QT_TRANSLATE_NOOP("Enum", "Centimeters")},
    {"Pixel", QT_TRANSLATE_NOOP("Enum", "Pixels")},
    {"NoStyle", QT_TRANSLATE_NOOP("Enum", "None")},
    {"SolidLine", QT_TRANSLATE_NOOP("Enum", "Solid")},
    {"DashLine", QT_TRANSLATE_NOOP("Enum", "Dash")},
    {"DotLine", QT_TRANSLATE_NOOP("Enum", "Dot")},
    {"DashDotLine", QT_TRANSLATE_NOOP("Enum", "Dash dot")},
    {"DashDotDotLine", QT_TRANSLATE_NOOP("Enum", "Dash dot dot")},
    {"CustomDashLine", QT_TRANSLATE_NOOP("Enum", "Custom dash")},
};

// "SomeKeyX2" -> "Some key x2", without a lower-case prefix of two letters.
QString splitKey(const QByteArray &key)
{
    QByteArray rest = key;
    if (rest.size() > 2 && std::islower(uchar(rest[0])) && std::islower(uchar(rest[1]))
        && std::isupper(uchar(rest[2])))
        rest = rest.mid(2);
    QString text;
    for (int i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (std::isupper(uchar(c)) && i > 0) {
            text += QLatin1Char(' ');
            text += QLatin1Char(char(std::tolower(uchar(c))));
        } else {
            text += QLatin1Char(c);
        }
    }
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}
} // namespace

QString MEnumLabels::sourceText(const QByteArray &key)
{
    for (const Label &label : labels) {
        if (key == label.key)
            return QString::fromLatin1(label.text);
    }
    return splitKey(key);
}

QString MEnumLabels::label(const QByteArray &key)
{
    if (key.isEmpty())
        return QString();
    const QByteArray text = sourceText(key).toUtf8();
    return QCoreApplication::translate("Enum", text.constData());
}
