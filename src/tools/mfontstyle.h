#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>

// How a tool writes text: colour, family, pixel size, decorations and
// letter spacing. Every change is also announced as a whole.
class MFontStyle : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QColor fontColor READ fontColor WRITE set_fontColor NOTIFY fontColorChanged)
    Q_PROPERTY(QString fontName READ fontName WRITE set_fontName NOTIFY fontNameChanged)
    Q_PROPERTY(int size READ size WRITE set_size NOTIFY sizeChanged)
    Q_PROPERTY(bool bold READ bold WRITE set_bold NOTIFY boldChanged)
    Q_PROPERTY(bool italic READ italic WRITE set_italic NOTIFY italicChanged)
    Q_PROPERTY(bool underline READ underline WRITE set_underline NOTIFY underlineChanged)
    Q_PROPERTY(bool strikeOut READ strikeOut WRITE set_strikeOut NOTIFY strikeOutChanged)
    Q_PROPERTY(double letterSpacing READ letterSpacing WRITE set_letterSpacing NOTIFY letterSpacingChanged)
    Q_PROPERTY(int letterSpacingType READ letterSpacingType WRITE set_letterSpacingType NOTIFY
                   letterSpacingTypeChanged)
public:
    // The spacing types of the framework's fonts.
    enum SpacingType { PercentageSpacing = QFont::PercentageSpacing, AbsoluteSpacing = QFont::AbsoluteSpacing };
    Q_ENUM(SpacingType)

    explicit MFontStyle(QObject *parent = nullptr);

    QColor fontColor() const { return m_fontColor; }
    QString fontName() const { return m_fontName; }
    int size() const { return m_size; }
    bool bold() const { return m_bold; }
    bool italic() const { return m_italic; }
    bool underline() const { return m_underline; }
    bool strikeOut() const { return m_strikeOut; }
    double letterSpacing() const { return m_letterSpacing; }
    int letterSpacingType() const { return m_letterSpacingType; }

    QFont font() const;

public slots:
    void set_fontColor(const QColor &value);
    void set_fontName(const QString &value);
    void set_size(int value);
    void set_bold(bool value);
    void set_italic(bool value);
    void set_underline(bool value);
    void set_strikeOut(bool value);
    void set_letterSpacing(double value);
    void set_letterSpacingType(int value);

signals:
    void fontColorChanged(const QColor &value);
    void fontNameChanged(const QString &value);
    void sizeChanged(int value);
    void boldChanged(bool value);
    void italicChanged(bool value);
    void underlineChanged(bool value);
    void strikeOutChanged(bool value);
    void letterSpacingChanged(double value);
    void letterSpacingTypeChanged(int value);
    void fontStyleChanged(MFontStyle *style);

private:
    // Stores value into field and announces it, unless it is already there.
    template<typename T, typename Signal>
    void assign(T &field, const T &value, Signal signal);

    QColor m_fontColor = Qt::black;
    QString m_fontName = QStringLiteral("Arial");
    int m_size = 12;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    bool m_strikeOut = false;
    double m_letterSpacing;
    int m_letterSpacingType;
};
