#pragma once

#include <QColor>
#include <QObject>

// A named text style: font, size, bold, italic, underline and colour.
class MTextStyle : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString id READ id WRITE set_id NOTIFY idChanged)
    Q_PROPERTY(QString fontName READ fontName WRITE set_fontName NOTIFY fontNameChanged)
    Q_PROPERTY(int fontSize READ fontSize WRITE set_fontSize NOTIFY fontSizeChanged)
    Q_PROPERTY(bool fontBold READ fontBold WRITE set_fontBold NOTIFY fontBoldChanged)
    Q_PROPERTY(bool fontItalic READ fontItalic WRITE set_fontItalic NOTIFY fontItalicChanged)
    Q_PROPERTY(bool fontUnderline READ fontUnderline WRITE set_fontUnderline NOTIFY fontUnderlineChanged)
    Q_PROPERTY(QColor fontColor READ fontColor WRITE set_fontColor NOTIFY fontColorChanged)
public:
    explicit MTextStyle(QObject *parent = nullptr);

    QString id() const { return m_id; }
    QString fontName() const { return m_fontName; }
    int fontSize() const { return m_fontSize; }
    bool fontBold() const { return m_fontBold; }
    bool fontItalic() const { return m_fontItalic; }
    bool fontUnderline() const { return m_fontUnderline; }
    QColor fontColor() const { return m_fontColor; }

public slots:
    void set_id(const QString &id);
    void set_fontName(const QString &fontName);
    void set_fontSize(int fontSize);
    void set_fontBold(bool fontBold);
    void set_fontItalic(bool fontItalic);
    void set_fontUnderline(bool fontUnderline);
    void set_fontColor(const QColor &fontColor);

signals:
    void idChanged(const QString &id);
    void fontNameChanged(const QString &fontName);
    void fontSizeChanged(int fontSize);
    void fontBoldChanged(bool fontBold);
    void fontItalicChanged(bool fontItalic);
    void fontUnderlineChanged(bool fontUnderline);
    void fontColorChanged(const QColor &fontColor);

private:
    QString m_id = QStringLiteral("normal");
    QString m_fontName = QStringLiteral("Arial");
    int m_fontSize = 12;
    bool m_fontBold = false;
    bool m_fontItalic = false;
    bool m_fontUnderline = false;
    QColor m_fontColor = Qt::black;
};
