#pragma once

#include "menum.h"
#include "mshaderobject.h"
#include "mvalues.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

#include <memory>
#include <type_traits>

class MBrushList;
class MCurve;

// One brush: its identity, the base values of the 39 brush settings (each a
// property of the same name, so editors bind to settings by name), the input
// curves that modulate them during a stroke, the auto-spacing curve, the
// quick settings, an optional texture and, through its base, the brush
// engine that draws its stamps.
class MBrush : public MShaderObject
{
    Q_OBJECT
    Q_PROPERTY(QColor borderColor READ borderColor WRITE set_borderColor NOTIFY borderColorChanged)
    Q_PROPERTY(QImage preview READ preview)
    Q_PROPERTY(QString id READ id WRITE setId NOTIFY idChanged)
    Q_PROPERTY(QString group READ group WRITE setGroup NOTIFY groupChanged)
    Q_PROPERTY(QString description READ description WRITE setDescription NOTIFY descriptionChanged)
    Q_PROPERTY(int version READ version WRITE setVersion NOTIFY versionChanged)
    Q_PROPERTY(double radius READ radius WRITE setRadius NOTIFY radiusChanged)
    Q_PROPERTY(double spacing READ spacing WRITE setSpacing NOTIFY spacingChanged)
    Q_PROPERTY(int spacingType READ spacingType WRITE setSpacingType NOTIFY spacingTypeChanged)
    Q_PROPERTY(double flow READ flow WRITE setFlow NOTIFY flowChanged)
    Q_PROPERTY(double opacity READ opacity WRITE setOpacity NOTIFY opacityChanged)
    Q_PROPERTY(double hardness READ hardness WRITE setHardness NOTIFY hardnessChanged)
    Q_PROPERTY(int compositionMode READ compositionMode WRITE setCompositionMode NOTIFY compositionModeChanged)
    Q_PROPERTY(int antialiasing READ antialiasing WRITE setAntialiasing NOTIFY antialiasingChanged)
    Q_PROPERTY(double ratio READ ratio WRITE setRatio NOTIFY ratioChanged)
    Q_PROPERTY(double angle READ angle WRITE setAngle NOTIFY angleChanged)
    Q_PROPERTY(int angleType READ angleType WRITE setAngleType NOTIFY angleTypeChanged)
    Q_PROPERTY(double minDistance READ minDistance WRITE setMinDistance NOTIFY minDistanceChanged)
    Q_PROPERTY(double smoothing READ smoothing WRITE setSmoothing NOTIFY smoothingChanged)
    Q_PROPERTY(int shape READ shape WRITE setShape NOTIFY shapeChanged)
    Q_PROPERTY(double offsetX READ offsetX WRITE setOffsetX NOTIFY offsetXChanged)
    Q_PROPERTY(double offsetY READ offsetY WRITE setOffsetY NOTIFY offsetYChanged)
    Q_PROPERTY(double noise READ noise WRITE setNoise NOTIFY noiseChanged)
    Q_PROPERTY(double density READ density WRITE setDensity NOTIFY densityChanged)
    Q_PROPERTY(double accumulatorDistance READ accumulatorDistance WRITE setAccumulatorDistance NOTIFY accumulatorDistanceChanged)
    Q_PROPERTY(bool eraser READ eraser WRITE setEraser NOTIFY eraserChanged)
    Q_PROPERTY(bool inheritAlphaUnder READ inheritAlphaUnder WRITE setInheritAlphaUnder NOTIFY inheritAlphaUnderChanged)
    Q_PROPERTY(bool inheritAlphaCurrent READ inheritAlphaCurrent WRITE setInheritAlphaCurrent NOTIFY inheritAlphaCurrentChanged)
    Q_PROPERTY(int sourceRgbBlendMode READ sourceRgbBlendMode WRITE setSourceRgbBlendMode NOTIFY sourceRgbBlendModeChanged)
    Q_PROPERTY(int destinationRgbBlendMode READ destinationRgbBlendMode WRITE setDestinationRgbBlendMode NOTIFY destinationRgbBlendModeChanged)
    Q_PROPERTY(int sourceAlphaBlendMode READ sourceAlphaBlendMode WRITE setSourceAlphaBlendMode NOTIFY sourceAlphaBlendModeChanged)
    Q_PROPERTY(int destinationAlphaBlendMode READ destinationAlphaBlendMode WRITE setDestinationAlphaBlendMode NOTIFY destinationAlphaBlendModeChanged)
    Q_PROPERTY(int rgbBlendEquation READ rgbBlendEquation WRITE setRgbBlendEquation NOTIFY rgbBlendEquationChanged)
    Q_PROPERTY(int alphaBlendEquation READ alphaBlendEquation WRITE setAlphaBlendEquation NOTIFY alphaBlendEquationChanged)
    Q_PROPERTY(int preserveTextureColor READ preserveTextureColor WRITE setPreserveTextureColor NOTIFY preserveTextureColorChanged)
    Q_PROPERTY(double colorAbsorbtionRate READ colorAbsorbtionRate WRITE setColorAbsorbtionRate NOTIFY colorAbsorbtionRateChanged)
    Q_PROPERTY(double colorFlowingRate READ colorFlowingRate WRITE setColorFlowingRate NOTIFY colorFlowingRateChanged)
    Q_PROPERTY(double factor READ factor WRITE setFactor NOTIFY factorChanged)
    Q_PROPERTY(bool useBorderColor READ useBorderColor WRITE setUseBorderColor NOTIFY useBorderColorChanged)
    Q_PROPERTY(double brushColorHue READ brushColorHue WRITE setBrushColorHue NOTIFY brushColorHueChanged)
    Q_PROPERTY(double brushColorSaturation READ brushColorSaturation WRITE setBrushColorSaturation NOTIFY brushColorSaturationChanged)
    Q_PROPERTY(double brushColorValue READ brushColorValue WRITE setBrushColorValue NOTIFY brushColorValueChanged)
    Q_PROPERTY(double borderColorHue READ borderColorHue WRITE setBorderColorHue NOTIFY borderColorHueChanged)
    Q_PROPERTY(double borderColorSaturation READ borderColorSaturation WRITE setBorderColorSaturation NOTIFY borderColorSaturationChanged)
    Q_PROPERTY(double borderColorValue READ borderColorValue WRITE setBorderColorValue NOTIFY borderColorValueChanged)
public:
    using CurveKey = QPair<int, int>; // (MEnum::BrushSetting, MEnum::BrushInput)

    explicit MBrush(QObject *parent = nullptr);
    ~MBrush() override;

    QColor borderColor() const { return m_borderColor; }
    QString id() const { return m_id; }
    QString group() const { return m_group; }
    QString description() const { return m_description; }
    int version() const { return m_version; }
    MValues *settingValues() const { return m_values.get(); }

    double radius() const { return m_values->doubleValue(MEnum::bsRadius); }
    double spacing() const { return m_values->doubleValue(MEnum::bsSpacing); }
    int spacingType() const { return m_values->intValue(MEnum::bsSpacingType); }
    double flow() const { return m_values->doubleValue(MEnum::bsFlow); }
    double opacity() const { return m_values->doubleValue(MEnum::bsOpacity); }
    double hardness() const { return m_values->doubleValue(MEnum::bsHardness); }
    int compositionMode() const { return m_values->intValue(MEnum::bsCompositionMode); }
    int antialiasing() const { return m_values->intValue(MEnum::bsAntialiasing); }
    double ratio() const { return m_values->doubleValue(MEnum::bsRatio); }
    double angle() const { return m_values->doubleValue(MEnum::bsAngle); }
    int angleType() const { return m_values->intValue(MEnum::bsAngleType); }
    double minDistance() const { return m_values->doubleValue(MEnum::bsMinDistance); }
    double smoothing() const { return m_values->doubleValue(MEnum::bsSmoothing); }
    int shape() const { return m_values->intValue(MEnum::bsShape); }
    double offsetX() const { return m_values->doubleValue(MEnum::bsOffsetX); }
    double offsetY() const { return m_values->doubleValue(MEnum::bsOffsetY); }
    double noise() const { return m_values->doubleValue(MEnum::bsNoise); }
    double density() const { return m_values->doubleValue(MEnum::bsDensity); }
    double accumulatorDistance() const { return m_values->doubleValue(MEnum::bsAccumulatorDistance); }
    bool eraser() const { return m_values->boolValue(MEnum::bsEraser); }
    bool inheritAlphaUnder() const { return m_values->boolValue(MEnum::bsInheritAlphaUnder); }
    bool inheritAlphaCurrent() const { return m_values->boolValue(MEnum::bsInheritAlphaCurrent); }
    int sourceRgbBlendMode() const { return m_values->intValue(MEnum::bsSourceRgbBlendMode); }
    int destinationRgbBlendMode() const { return m_values->intValue(MEnum::bsDestinationRgbBlendMode); }
    int sourceAlphaBlendMode() const { return m_values->intValue(MEnum::bsSourceAlphaBlendMode); }
    int destinationAlphaBlendMode() const { return m_values->intValue(MEnum::bsDestinationAlphaBlendMode); }
    int rgbBlendEquation() const { return m_values->intValue(MEnum::bsRgbBlendEquation); }
    int alphaBlendEquation() const { return m_values->intValue(MEnum::bsAlphaBlendEquation); }
    int preserveTextureColor() const { return m_values->intValue(MEnum::bsPreserveTextureColor); }
    double colorAbsorbtionRate() const { return m_values->doubleValue(MEnum::bsColorAbsorbtionRate); }
    double colorFlowingRate() const { return m_values->doubleValue(MEnum::bsColorFlowingRate); }
    double factor() const { return m_values->doubleValue(MEnum::bsFactor); }
    bool useBorderColor() const { return m_values->boolValue(MEnum::bsUseBorderColor); }
    double brushColorHue() const { return m_values->doubleValue(MEnum::bsBrushColorHue); }
    double brushColorSaturation() const { return m_values->doubleValue(MEnum::bsBrushColorSaturation); }
    double brushColorValue() const { return m_values->doubleValue(MEnum::bsBrushColorValue); }
    double borderColorHue() const { return m_values->doubleValue(MEnum::bsBorderColorHue); }
    double borderColorSaturation() const { return m_values->doubleValue(MEnum::bsBorderColorSaturation); }
    double borderColorValue() const { return m_values->doubleValue(MEnum::bsBorderColorValue); }

    // The stored value of a setting as a double.
    double value(int setting) const;
    // Emits the change signal of the setting's property with the value,
    // converted to the property's type, without storing anything.
    void applySetting(int setting, double value);
    // Every setting back to the setting table's default; removes every curve.
    void resetValues();

    MCurve *curve(int setting, int input) const;
    MCurve *addCurve(int setting, int input);
    bool removeCurve(int setting, int input);
    bool hasCurve(int setting, int input) const;
    bool settingHasCurve(int setting) const;
    QList<MCurve *> curves(int setting) const;
    MCurve *autoSpacingCurve() const { return m_autoSpacingCurve; }

    static QVector<int> defaultQuickSettings();
    QVector<int> quickSettings() const { return m_quickSettings; }
    void addQuickSetting(int setting);
    void clearQuickSettings();
    void resetQuickSettings();
    void setQuickSettings(const QVector<int> &settings);

    QImage texture() const { return m_texture; }

    // Everything but the id, the preview and the auto-spacing curve, silently.
    void copyFrom(const MBrush *other);

    // Files: a brush has a user file and may have a system file of the same
    // name; the user's takes precedence. The paths are those the brush library
    // knows (the file the brush was read from, whatever its letter case).
    QString userFilePath() const;
    QString systemFilePath() const;
    bool systemFileExists() const;
    // Reads the file and announces every setting; false for a missing or
    // unreadable file (a missing one changes nothing).
    bool loadFromFile(const QString &path);
    bool load();
    bool save();
    // The user file, else the system file; then a new preview.
    void reload();
    // The system file over the user file; then a new preview.
    void restore();

    // The cached preview, rendered on first use.
    QImage preview() const;
    // A null image is ignored.
    void setPreview(const QImage &image);
    void updatePreview();
    QImage createPreview(const QColor &first, const QColor &second) const;
    QImage drawPreview(double width, double height, const QColor &first, const QColor &second) const;

public slots:
    void set_borderColor(const QColor &value);
    void setId(const QString &value);
    void setGroup(const QString &value);
    void setDescription(const QString &value);
    void setVersion(int value);
    // Stores the value as a double and announces it (file reading, stroke start).
    void setBaseValue(int setting, double value);
    void setRadius(double value);
    void setSpacing(double value);
    void setSpacingType(int value);
    void setFlow(double value);
    void setOpacity(double value);
    void setHardness(double value);
    void setCompositionMode(int value);
    void setAntialiasing(int value);
    void setRatio(double value);
    void setAngle(double value);
    void setAngleType(int value);
    void setMinDistance(double value);
    void setSmoothing(double value);
    void setShape(int value);
    void setOffsetX(double value);
    void setOffsetY(double value);
    void setNoise(double value);
    void setDensity(double value);
    void setAccumulatorDistance(double value);
    void setEraser(bool value);
    void setInheritAlphaUnder(bool value);
    void setInheritAlphaCurrent(bool value);
    void setSourceRgbBlendMode(int value);
    void setDestinationRgbBlendMode(int value);
    void setSourceAlphaBlendMode(int value);
    void setDestinationAlphaBlendMode(int value);
    void setRgbBlendEquation(int value);
    void setAlphaBlendEquation(int value);
    void setPreserveTextureColor(int value);
    void setColorAbsorbtionRate(double value);
    void setColorFlowingRate(double value);
    void setTexture(const QImage &image);
    void setFactor(double value);
    void setUseBorderColor(bool value);
    void setBrushColorHue(double value);
    void setBrushColorSaturation(double value);
    void setBrushColorValue(double value);
    void setBorderColorHue(double value);
    void setBorderColorSaturation(double value);
    void setBorderColorValue(double value);

signals:
    void borderColorChanged(const QColor &value);
    void idChanged(const QString &value);
    void groupChanged(const QString &value);
    void descriptionChanged(const QString &value);
    void versionChanged(int value);
    void radiusChanged(double value);
    void spacingChanged(double value);
    void spacingTypeChanged(int value);
    void flowChanged(double value);
    void opacityChanged(double value);
    void hardnessChanged(double value);
    void compositionModeChanged(int value);
    void antialiasingChanged(int value);
    void ratioChanged(double value);
    void angleChanged(double value);
    void angleTypeChanged(int value);
    void minDistanceChanged(double value);
    void smoothingChanged(double value);
    void shapeChanged(int value);
    void offsetXChanged(double value);
    void offsetYChanged(double value);
    void noiseChanged(double value);
    void densityChanged(double value);
    void accumulatorDistanceChanged(double value);
    void eraserChanged(bool value);
    void inheritAlphaUnderChanged(bool value);
    void inheritAlphaCurrentChanged(bool value);
    void sourceRgbBlendModeChanged(int value);
    void destinationRgbBlendModeChanged(int value);
    void sourceAlphaBlendModeChanged(int value);
    void destinationAlphaBlendModeChanged(int value);
    void rgbBlendEquationChanged(int value);
    void alphaBlendEquationChanged(int value);
    void preserveTextureColorChanged(int value);
    void colorAbsorbtionRateChanged(double value);
    void colorFlowingRateChanged(double value);
    void factorChanged(double value);
    void useBorderColorChanged(bool value);
    void brushColorHueChanged(double value);
    void brushColorSaturationChanged(double value);
    void brushColorValueChanged(double value);
    void borderColorHueChanged(double value);
    void borderColorSaturationChanged(double value);
    void borderColorValueChanged(double value);

private:
    template <typename T>
    void storeSetting(int setting, T value, void (MBrush::*changed)(T));
    void deleteCurves();
    const MBrushList *library() const;

    QColor m_borderColor = Qt::white;
    QString m_id;
    QString m_description;
    QString m_group;
    int m_version = 1;
    QHash<CurveKey, MCurve *> m_curves;
    mutable QImage m_preview;
    MCurve *m_autoSpacingCurve;
    QVector<int> m_quickSettings;
    QImage m_texture;
    std::unique_ptr<MValues> m_values;
};
