#pragma once

#include <QPointer>
#include <QRect>

#include <functional>

class MTextureTile;
class QOpenGLContext;
class QSurface;

// A read of a tile's area into a pixel-pack buffer: queued at once, mapped
// only when the pixels are wanted, so that the caller does not wait for the
// GPU in between. Everything it does to the buffer happens in the context it
// was started in (or one sharing with it, when that is current); that
// context and its surface must outlive the read or see it finished first.
class MPixelReadback
{
public:
    MPixelReadback() = default;
    ~MPixelReadback();
    MPixelReadback(const MPixelReadback &) = delete;
    MPixelReadback &operator=(const MPixelReadback &) = delete;

    // Queues the read of `area` (texture pixels) of the tile.
    bool start(MTextureTile *tile, const QRect &area);
    // Waits for the read, hands the packed rows (area().width() pixels each,
    // row 0 first) to `use` and frees the buffer; false when the read or
    // `use` failed.
    bool finish(const std::function<bool(const uchar *pixels)> &use);
    // Frees the buffer without waiting for the pixels.
    void release();

    bool isStarted() const { return m_buffer != 0; }
    QRect area() const { return m_area; }

private:
    // Makes the read's context current when no context sharing with it is;
    // `run` gets false when neither could be had.
    void inContext(const std::function<void(bool current)> &run);

    unsigned int m_buffer = 0;
    QRect m_area;
    int m_bytes = 0;
    QPointer<QOpenGLContext> m_context;
    QSurface *m_surface = nullptr;
};
