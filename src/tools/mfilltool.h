#pragma once

#include "mtool.h"

#include <QImage>

class MQuickFill;

// The paint bucket: a left click fills the region around the clicked pixel
// of the current layer with the current colour, or with a pattern, as one
// undo step "Fill".
class MFillTool : public MTool
{
    Q_OBJECT
    Q_PROPERTY(int threshold READ threshold WRITE set_threshold NOTIFY thresholdChanged)
    Q_PROPERTY(QImage patternImage READ patternImage WRITE set_patternImage NOTIFY patternImageChanged)
    Q_PROPERTY(bool usePatternColor READ usePatternColor WRITE set_usePatternColor NOTIFY usePatternColorChanged)
public:
    MFillTool(ToolId toolId, QObject *parent = nullptr);
    ~MFillTool() override;

    int threshold() const { return m_threshold; }
    QImage patternImage() const { return m_patternImage; }
    bool usePatternColor() const { return m_usePatternColor; }
    MQuickFill *engine() const { return m_engine; }

    // A difference per byte only means something within one byte.
    static int clampedThreshold(double value);

    bool mousePressEvent(MEvent *event) override;

public slots:
    void set_threshold(int value);
    void set_patternImage(const QImage &value);
    void set_usePatternColor(bool value);
    void setThreshold(double value);
    void setPattern(int row);
    void setPattern(const QImage &image);
    void loadPattern();
    void clearPattern();
    bool updateCursor(const QPointF &viewPosition, double scale) override;

signals:
    void thresholdChanged(int value);
    void patternImageChanged(const QImage &value);
    void usePatternColorChanged(bool value);

private:
    int m_threshold = 125;
    QImage m_patternImage;
    bool m_usePatternColor = false;
    MQuickFill *m_engine;
};
