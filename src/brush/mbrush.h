#pragma once

#include "mbrushsettinginfolist.h"
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

// Each row of the setting table is a property of the brush, of the row's
// type, with a getter, a setter and a change signal.
#define M_BRUSH_SETTING_PROPERTY(Id, Key, name, Type, ...) Q_PROPERTY(Type name READ name WRITE set##Key NOTIFY name##Changed)
#define M_BRUSH_SETTING_GETTER(Id, Key, name, Type, ...) \
    Type name() const { return settingValue<Type>(MEnum::bs##Key); }
#define M_BRUSH_SETTING_SETTER(Id, Key, name, Type, ...) void set##Key(Type value);
#define M_BRUSH_SETTING_SIGNAL(Id, Key, name, Type, ...) void name##Changed(Type value);

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
    M_BRUSH_SETTINGS(M_BRUSH_SETTING_PROPERTY)
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

    M_BRUSH_SETTINGS(M_BRUSH_SETTING_GETTER)

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
    // Writes the user file; false, with the logged line in why when given,
    // when it cannot.
    bool save(QString *why = nullptr);
    // The user file, else the system file; then a new preview.
    void reload();
    // The system file over the user file; then a new preview.
    void restore();

    // The picture the brush keeps (from its file, or drawn by
    // MBrushPreviewRenderer); null when it has none.
    QImage preview() const { return m_preview; }
    // A null image is ignored.
    void setPreview(const QImage &image);
    // Drawing is MBrushPreviewRenderer's: these ask it.
    void updatePreview();
    QImage createPreview(const QColor &first, const QColor &second) const;
    QImage drawPreview(double width, double height, const QColor &first, const QColor &second) const;

    // Drawing needs a document, a floor above the brush: the document's
    // renderer lends itself here when its library loads. Without it a brush
    // keeps the picture it has and draws nothing.
    struct PreviewPainter
    {
        void (*update)(MBrush *brush) = nullptr;
        // An invalid size draws at the size of the picture a brush keeps.
        QImage (*render)(const MBrush *brush, const QSize &size, const QColor &first, const QColor &second) = nullptr;
    };
    static bool setPreviewPainter(const PreviewPainter &painter);

public slots:
    void set_borderColor(const QColor &value);
    void setId(const QString &value);
    void setGroup(const QString &value);
    void setDescription(const QString &value);
    void setVersion(int value);
    // Stores the value as a double and announces it (file reading, stroke start).
    void setBaseValue(int setting, double value);
    void setTexture(const QImage &image);
    M_BRUSH_SETTINGS(M_BRUSH_SETTING_SETTER)

signals:
    void borderColorChanged(const QColor &value);
    void idChanged(const QString &value);
    void groupChanged(const QString &value);
    void descriptionChanged(const QString &value);
    void versionChanged(int value);
    M_BRUSH_SETTINGS(M_BRUSH_SETTING_SIGNAL)

private:
    template <typename T>
    T settingValue(int setting) const
    {
        const QVariant value = storedSetting(setting);
        if constexpr (std::is_same<T, bool>::value)
            return value.toBool();
        else if constexpr (std::is_same<T, int>::value)
            return value.toInt();
        else
            return value.toDouble();
    }
    // A setting's value under its name in the values; invalid for a setting
    // the table does not name.
    QVariant storedSetting(int setting) const;
    void storeSettingValue(int setting, const QVariant &value);
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
    QImage m_preview;
    MCurve *m_autoSpacingCurve;
    QVector<int> m_quickSettings;
    QImage m_texture;
    std::unique_ptr<MValues> m_values;
};
