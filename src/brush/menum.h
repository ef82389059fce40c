#pragma once

// Made by the build from the brush setting table.
#include "mbrushsettingkeys.h"

#include <QObject>

// The enumerations whose key names are stored in files and settings and shown,
// translated in the context "Enum", in combo boxes.
class MEnum
{
    Q_GADGET
public:
    enum BrushInput {
        biPressure, biTangentialPressure, biXTilt, biYTilt, biPositionX, biPositionY, biDirectionX, biDirectionY,
        biSpeed, biTimeToPrevious, biTotalTime, biDistanceToPrevious, biTotalDistance, biRandom, biCount
    };
    Q_ENUM(BrushInput)

    enum BrushShape { EllipseShape, RectangleShape };
    Q_ENUM(BrushShape)

    enum AngleType { ConstantAngle, FollowDirectionAngle };
    Q_ENUM(AngleType)

    enum SpacingType { AutoSpacing, RatioSpacing, ConstantSpacing };
    Q_ENUM(SpacingType)

    enum AntialiasingType { Antialiasing, NoAntialiasing, Smoothing };
    Q_ENUM(AntialiasingType)

    // The rows of the brush setting table (mbrushsettinginfolist.h) by id.
#define M_BRUSH_SETTING_ENUM_KEY(Key) bs##Key,
    enum BrushSetting { M_BRUSH_SETTING_KEYS(M_BRUSH_SETTING_ENUM_KEY) bsCount };
#undef M_BRUSH_SETTING_ENUM_KEY
    Q_ENUM(BrushSetting)

    enum TextureColor { BrushTextureColor, TextureTextureColor, MixedTextureColor };
    Q_ENUM(TextureColor)

    enum PaperType { Transparent, Colored, Paper };
    Q_ENUM(PaperType)

    enum ResolutionUnit { PixelsPerInch, PixelsPerCentimeter };
    Q_ENUM(ResolutionUnit)

    enum ColorGenerator {
        RandomOffsetGenerator, AnalogousGenerator, ComplementaryGenerator, SplitComplementaryGenerator,
        TriadicGenerator, TetradicGenerator, MonochromeGenerator
    };
    Q_ENUM(ColorGenerator)

    enum CapStyle { FlatCap = 0x00, SquareCap = 0x10, RoundCap = 0x20 };
    Q_ENUM(CapStyle)

    enum JoinStyle { MiterJoin = 0x00, BevelJoin = 0x40, RoundJoin = 0x80 };
    Q_ENUM(JoinStyle)

    enum PathType { SystemPath, UserPath };
    Q_ENUM(PathType)

    enum Directory { BrushDir, CacheDir, ModelDir, PaperDir, ShaderDir, ShapeDir, SnippetDir, SwatchDir, TemplateDir, TextureDir };
    Q_ENUM(Directory)

    enum LightType { AmbientLight, DirectionalLight, PointLight, SpotLight };
    Q_ENUM(LightType)

    enum UpdateType { InteractiveUpdate, TransactionalUpdate };
    Q_ENUM(UpdateType)

    // OpenGL blend factors and equations, by their GL values.
    enum OpenGLFactor {
        glZero = 0, glOne = 1, glSrcColor = 0x0300, glOneMinusSrcColor = 0x0301, glDstColor = 0x0306,
        glOneMinusDstColor = 0x0307, glSrcAlpha = 0x0302, glOneMinusSrcAlpha = 0x0303, glDstAlpha = 0x0304,
        glOneMinusDstAlpha = 0x0305, glConstantColor = 0x8001, glOneMinusConstantColor = 0x8002,
        glConstantAlpha = 0x8003, glOneMinusConstantAlpha = 0x8004, glSrcAlphaSaturate = 0x0308
    };
    Q_ENUM(OpenGLFactor)

    enum OpenGLEquation { glAdd = 0x8006, glSubtract = 0x800A, glReverseSubtract = 0x800B, glMin = 0x8007, glMax = 0x8008 };
    Q_ENUM(OpenGLEquation)

    enum Edge { LeftEdge, TopEdge, RightEdge, BottomEdge };
    Q_ENUM(Edge)

    enum UndoType { MixedUndo, MemoryOnlyUndo, FileOnlyUndo };
    Q_ENUM(UndoType)

    // The names brush settings and inputs have in files: the key without its
    // two-letter prefix, first letter lower-cased ("bsRadius" is "radius");
    // empty for a value the enumeration does not know.
    static QByteArray settingName(int setting);
    static QByteArray inputName(int input);
};
