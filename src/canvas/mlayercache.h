#pragma once

#include <QColor>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>
#include <QVector>

#include <memory>

class MPaintParams;
class QOpenGLFramebufferObject;

// While a stroke is under way, what lies under the stroke's layer (the
// view's background, the paper and the layers below) and the layers over it
// are each composited once into an image of the view, so that a frame draws
// three images instead of every layer. An image is made again whenever
// anything it shows differs from what it was made of: a layer's pixels,
// visibility, opacity, effect or order, the paper, the view. A group with a
// layer drawn by an effect is drawn layer by layer, as without the images.
// Needs the view's context current.
class MLayerCache
{
public:
    MLayerCache();
    ~MLayerCache();

    // Draws the document for a view frame through the images into the frame
    // buffer bound now; false, with nothing drawn, when no image applies
    // (no stroke, a time line, tiled copies) and the caller draws it all.
    // With build false, missing or outdated images are not made: the group
    // is drawn layer by layer this time.
    bool draw(MPaintParams *params, const QColor &background, bool build);
    // Forgets both images (their GL objects go under the current context).
    void release();

    // Images made since construction, for the tests: below, above.
    int belowBuilds() const { return m_below.builds; }
    int aboveBuilds() const { return m_above.builds; }

private:
    struct Layer
    {
        const void *layer = nullptr;
        quint64 revision = 0;
        bool visible = false;
        double opacity = 0.0;
        QString program;
        int tiles = 0;
        bool operator==(const Layer &other) const;
    };
    // Everything an image shows depends on.
    struct Key
    {
        QTransform matrix;
        QSize size;
        QRectF viewport;
        QRectF painted;
        bool smooth = false;
        bool matchLevel = false;
        QColor background;
        int paperType = -1;
        QColor paperColor;
        quint64 paperRevision = 0;
        bool showEmptyPaper = false;
        // A layer that has an effect, even unused, is clipped to the selection.
        bool clipToSelection = false;
        quint64 selectionRevision = 0;
        QVector<Layer> layers;
        bool operator==(const Key &other) const;
        bool operator!=(const Key &other) const { return !(*this == other); }
    };
    struct Image
    {
        std::unique_ptr<QOpenGLFramebufferObject> target;
        Key key;
        bool valid = false;
        int builds = 0;
    };

    // The key of rows first to last; false when one of them is drawn by an effect.
    static bool groupKey(MPaintParams *params, int first, int last, const QColor &background, bool paper,
                         Key &key);
    bool ensure(Image &image, MPaintParams *params, const Key &key, bool build, bool below, int first, int last,
                const QColor &background);

    Image m_below;
    Image m_above;
};
