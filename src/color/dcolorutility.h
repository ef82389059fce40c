#pragma once

#include <QColor>
#include <QDialog>

class MConnector;

namespace Ui {
class DColorUtility;
}

// One colour in nine notations at once; editing one notation rewrites the
// others from it.
class DColorUtility : public QDialog
{
    Q_OBJECT
public:
    // The notation edited last, from which the others are computed.
    enum Source { Hex, Rgb, Rgb01, Cielab, Xyz, Yxy, Hsl, Hsv, Cmyk };

    explicit DColorUtility(QWidget *parent = nullptr);
    ~DColorUtility() override;

    // The colour of the RGB 0-255 boxes, which every notation agrees with.
    QColor color() const;

signals:
    void setBrushColor(const QColor &color, Qt::KeyboardModifiers modifiers);
    void addColorToPalette(const QColor &color);

public slots:
    void hexChanged();
    void rgbChanged();
    void rgb01Changed();
    void cielabChanged();
    void xyzChanged();
    void yxyChanged();
    void hslChanged();
    void hsvChanged();
    void cmykChanged();
    void on_setBrushColorBtn_clicked();
    void on_addColorToPaletteBtn_clicked();

private:
    void connectEditors();
    void updateEditors(Source source);
    void run(Source source);
    QColor colorFrom(Source source, bool srgb) const;

    Ui::DColorUtility *ui;
    MConnector *m_connector;
    Source m_source = Rgb;
};
