#include "mtexturetile.h"

#include "mframebuffer.h"
#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"
#include "mtexturepool.h"
#include "mtiledlayer.h"
#include "mundolayer.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLPixelTransferOptions>
#include <QOpenGLTexture>

#include <cstring>
#include <memory>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <utility>

namespace {
QOpenGLExtraFunctions *functions()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? context->extraFunctions() : nullptr;
}

QString hex(GLenum code)
{
    return QString::number(code, 16).toUpper();
}

// Makes the first levels of a texture transparent; whatever frame buffer,
// clear colour and scissor a pass in progress had stay as they were.
void clearLevels(QOpenGLExtraFunctions *f, GLuint texture, int levels)
{
    GLint drawFramebuffer = 0;
    f->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    GLfloat clearColor[4] = {0, 0, 0, 0};
    f->glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    const bool scissor = f->glIsEnabled(GL_SCISSOR_TEST);
    GLuint framebuffer = 0;
    f->glGenFramebuffers(1, &framebuffer);
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    f->glDisable(GL_SCISSOR_TEST);
    f->glClearColor(0, 0, 0, 0);
    for (int level = 0; level < levels; ++level) {
        f->glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level);
        f->glClear(GL_COLOR_BUFFER_BIT);
    }
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawFramebuffer));
    f->glDeleteFramebuffers(1, &framebuffer);
    f->glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    if (scissor)
        f->glEnable(GL_SCISSOR_TEST);
}
} // namespace

MTextureTile::MTextureTile(MTiledLayer *layer)
    : MTile(layer)
    , m_undoLayer(new MUndoLayer())
{
}

MTextureTile::~MTextureTile()
{
    dispose(m_texture);
}

void MTextureTile::dispose(QOpenGLTexture *&texture)
{
    MTexturePool *pool = texture && texture->isCreated() ? MTexturePool::current() : nullptr;
    if (!pool || !pool->give(texture))
        delete texture;
    texture = nullptr;
}

bool MTextureTile::reuseKeptTexture(QOpenGLExtraFunctions *f)
{
    MTexturePool *pool = MTexturePool::current();
    QOpenGLTexture *kept = pool ? pool->take(tileSize()) : nullptr;
    if (!kept)
        return false;
    delete m_texture;
    m_texture = kept;
    // Sampled and drawn into as a new texture would be.
    m_texture->setMinMagFilters(QOpenGLTexture::Nearest, QOpenGLTexture::Nearest);
    m_texture->setWrapMode(QOpenGLTexture::Repeat);
    GLint bound = 0;
    f->glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    f->glBindTexture(GL_TEXTURE_2D, m_texture->textureId());
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 1000);
    f->glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    return true;
}

bool MTextureTile::isValid() const
{
    return MTile::isValid() && m_texture;
}

bool MTextureTile::ensureTexture()
{
    if (m_awaitingPixels)
        return false;
    createEmptyTexture();
    if (!m_created || !m_texture)
        return false;
    if (!m_texture->isCreated())
        m_texture->create();
    return true;
}

void MTextureTile::createEmptyTexture()
{
    if (m_invalid || m_created)
        return;
    // Storage of every level and a clear: nothing is sent from memory.
    QOpenGLExtraFunctions *f = functions();
    if (makeStorage(f))
        clearTexture(f);
}

bool MTextureTile::makeStorage(QOpenGLExtraFunctions *f)
{
    if (f && reuseKeptTexture(f)) {
        m_created = true;
        return true;
    }
    if (!f || !allocateTexture(tileSize()) || !allocateLevels(m_texture)) {
        fail(QStringLiteral("Unable to instanciate texture"));
        m_invalid = true;
        return false;
    }
    m_created = true;
    return true;
}

bool MTextureTile::createTextureFrom(const void *pixels, bool blueFirst)
{
    m_awaitingPixels = false;
    const GLenum format = blueFirst ? GL_BGRA : GL_RGBA;
    // The first level is about to be replaced whole, and the smaller ones are
    // rebuilt from it before they are sampled: clearing them first would
    // cost as much again as the upload.
    if (!m_created && (m_invalid || !pixels || !makeStorage(functions())))
        return false;
    return upload(pixels, format, 1);
}

bool MTextureTile::createTextureWithLevels(const void *levels)
{
    m_awaitingPixels = false;
    if (!m_created && (m_invalid || !levels || !makeStorage(functions())))
        return false;
    return upload(levels, GL_BGRA, m_texture->mipLevels());
}

qsizetype MTextureTile::levelsBytes(int tileSize, int bytesPerPixel)
{
    qsizetype bytes = 0;
    for (int side = tileSize; side >= 1; side /= 2)
        bytes += qsizetype(side) * side * bytesPerPixel;
    return bytes;
}

bool MTextureTile::allocateTexture(int size)
{
    if (!m_texture)
        m_texture = new QOpenGLTexture(QOpenGLTexture::Target2D);
    if (m_texture->isCreated())
        m_texture->destroy();
    return createTexture(m_texture, size);
}

bool MTextureTile::createTexture(QOpenGLTexture *texture, int size)
{
    if (!texture->create())
        return false;
    texture->setSize(size, size);
    // 8-bit RGBA kept blue first (an unsized format given BGRA levels): a
    // software driver composites such tiles into a target of the same order
    // (see matchTileStorage) as plain blended copies, several times faster.
    texture->setFormat(QOpenGLTexture::RGBAFormat);
    texture->setMinMagFilters(QOpenGLTexture::Nearest, QOpenGLTexture::Nearest);
    return true;
}

bool MTextureTile::allocateLevels(QOpenGLTexture *texture)
{
    texture->setMipLevels(texture->maximumMipLevels());
    // Under a filter that samples no smaller level the driver makes room for
    // the first level alone, then for each smaller one apart, and moves them
    // all into a whole chain when they are first sampled: nearly twice the
    // fresh memory and a copy. Under a mip-map filter it makes the whole
    // chain at once.
    texture->setMinificationFilter(QOpenGLTexture::NearestMipMapNearest);
    texture->allocateStorage(QOpenGLTexture::BGRA, QOpenGLTexture::UInt8);
    texture->setMinificationFilter(QOpenGLTexture::Nearest);
    return texture->isStorageAllocated();
}

QOpenGLTexture *MTextureTile::createTransparentTexture(int size)
{
    QOpenGLExtraFunctions *f = functions();
    if (!f)
        return nullptr;
    auto texture = std::make_unique<QOpenGLTexture>(QOpenGLTexture::Target2D);
    if (!createTexture(texture.get(), size) || !allocateLevels(texture.get()))
        return nullptr;
    clearLevels(f, texture->textureId(), texture->mipLevels());
    return texture.release();
}

bool MTextureTile::clear()
{
    QOpenGLExtraFunctions *f = functions();
    if (!f || !ensureTexture())
        return false;
    clearTexture(f);
    return true;
}

void MTextureTile::clearTexture(QOpenGLExtraFunctions *f)
{
    if (m_layer)
        m_layer->markContentChanged();
    // Clearing every level costs far less than rebuilding the chain from a
    // transparent first level, which the stroke layer would pay for each of
    // its tiles in the frame after a release.
    if (!MSettings::instance()->generateMipmaps()) {
        clearLevels(f, m_texture->textureId(), 1);
        markMipmapsDirty();
        return;
    }
    clearLevels(f, m_texture->textureId(), m_texture->mipLevels());
    GLint bound = 0;
    f->glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    f->glBindTexture(GL_TEXTURE_2D, m_texture->textureId());
    // Every level may be sampled again, whatever a pass limited it to.
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 1000);
    f->glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    m_staleAreas.fill(QRect());
}

void MTextureTile::releaseTexture()
{
    if (m_layer)
        m_layer->markContentChanged();
    if (m_created)
        dispose(m_texture);
    delete m_texture;
    m_texture = nullptr;
    m_created = false;
    m_invalid = false;
}

void MTextureTile::release()
{
    if (isValid())
        m_texture->release();
}

unsigned int MTextureTile::textureId() const
{
    return isValid() ? m_texture->textureId() : 0;
}

int MTextureTile::byteSize() const
{
    return tileSize() * tileSize() * bytesPerPixel();
}

bool MTextureTile::setImage(const QImage &image)
{
    if (!isValid())
        return false;
    QImage pixels = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    // Exactly the tile size, whatever the shape: the upload reads a full tile.
    if (pixels.size() != QSize(tileSize(), tileSize()))
        pixels = pixels.scaled(tileSize(), tileSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!allocateTexture(tileSize()) || !allocateLevels(m_texture)) {
        fail(QStringLiteral("Unable to create texture"));
        return false;
    }
    QOpenGLPixelTransferOptions options;
    options.setAlignment(1);
    m_texture->setData(0, QOpenGLTexture::RGBA, QOpenGLTexture::UInt8, pixels.constBits(), &options);
    markMipmapsDirty();
    return true;
}

bool MTextureTile::setData(const void *pixels)
{
    return upload(pixels, GL_RGBA, 1);
}

bool MTextureTile::upload(const void *pixels, unsigned int format, int levels)
{
    if (!pixels) {
        fail(QStringLiteral("This function request a non null buffer"));
        return false;
    }
    QOpenGLExtraFunctions *f = functions();
    // Without a texture of our own the upload would land in whatever texture
    // happens to be bound.
    if (!f || !isValid())
        return false;
    m_texture->bind();
    GLint unpackBuffer = 0;
    f->glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer);
    f->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    MOpenGL::clearGlErrors();
    const auto *bytes = static_cast<const uchar *>(pixels);
    for (int level = 0, side = tileSize(); level < levels; ++level, side = qMax(1, side / 2)) {
        f->glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, side, side, format, GL_UNSIGNED_BYTE, bytes);
        bytes += qsizetype(side) * side * bytesPerPixel();
    }
    // Every level given may be sampled, whatever a pass limited it to.
    if (levels > 1)
        f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 1000);
    const GLenum error = f->glGetError();
    f->glBindBuffer(GL_PIXEL_UNPACK_BUFFER, GLuint(unpackBuffer));
    if (error != GL_NO_ERROR) {
        fail(QStringLiteral("Error during texture set data: 0x%1").arg(hex(error)));
        return false;
    }
    if (levels >= m_texture->mipLevels()) {
        if (m_layer)
            m_layer->markContentChanged();
        m_staleAreas.fill(QRect());
    } else {
        markMipmapsDirty();
    }
    return true;
}

bool MTextureTile::readPixels(void *pixels)
{
    return readPixels(pixels, QRect(0, 0, tileSize(), tileSize()));
}

bool MTextureTile::readPixels(void *pixels, const QRect &area)
{
    return pixels && readArea(pixels, area, 0);
}

bool MTextureTile::readPixelsToBuffer(unsigned int packBuffer, const QRect &area)
{
    return packBuffer != 0 && readArea(nullptr, area, packBuffer);
}

bool MTextureTile::readBlueFirstToBuffer(unsigned int packBuffer)
{
    return packBuffer != 0 && readArea(nullptr, QRect(0, 0, tileSize(), tileSize()), packBuffer, GL_BGRA);
}

void MTextureTile::swapRedAndBlue(void *pixels, qsizetype bytes)
{
    auto *p = static_cast<uchar *>(pixels);
    const qsizetype whole = bytes / 4 * 4;
    qsizetype i = 0;
#if defined(__SSE2__)
    // Four pixels at a time.
    const __m128i greenAndAlpha = _mm_set1_epi32(int(0xFF00FF00u));
    const __m128i firstByte = _mm_set1_epi32(0xFF);
    for (; i + 16 <= whole; i += 16) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const __m128i swapped = _mm_or_si128(
            _mm_and_si128(four, greenAndAlpha),
            _mm_or_si128(_mm_and_si128(_mm_srli_epi32(four, 16), firstByte),
                         _mm_slli_epi32(_mm_and_si128(four, firstByte), 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p + i), swapped);
    }
#endif
    // A pixel a word.
    for (; i < whole; i += 4) {
        quint32 pixel;
        std::memcpy(&pixel, p + i, 4);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        pixel = (pixel & 0xFF00FF00u) | ((pixel >> 16) & 0xFFu) | ((pixel & 0xFFu) << 16);
#else
        pixel = (pixel & 0x00FF00FFu) | ((pixel >> 16) & 0xFF00u) | ((pixel & 0xFF00u) << 16);
#endif
        std::memcpy(p + i, &pixel, 4);
    }
}

bool MTextureTile::readArea(void *pixels, const QRect &area, unsigned int packBuffer, unsigned int format)
{
    QOpenGLExtraFunctions *f = functions();
    if (!f || !isValid() || !QRect(0, 0, tileSize(), tileSize()).contains(area)) {
        fail(QStringLiteral("Error during texture pixel read: no texture"));
        return false;
    }
    // The caller's bindings are put back afterwards.
    GLint readFramebuffer = 0, drawFramebuffer = 0, boundPackBuffer = 0;
    f->glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    f->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    f->glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &boundPackBuffer);
    f->glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    f->glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);

    MFrameBuffer frameBuffer;
    frameBuffer.attachTexture(textureId());
    MOpenGL::clearGlErrors();
    GLint packAlignment = 4;
    f->glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    f->glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // A read into client memory returns once the pixels are there; one into
    // a pack buffer (pixels null: offset 0) is only queued.
    f->glReadPixels(area.x(), area.y(), area.width(), area.height(), format, GL_UNSIGNED_BYTE, pixels);
    const GLenum error = f->glGetError();
    f->glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    if (error != GL_NO_ERROR)
        fail(QStringLiteral("Error during texture pixel read: %1").arg(hex(error)));
    frameBuffer.detachTexture();
    frameBuffer.release();
    frameBuffer.deleteFramebuffer();

    f->glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFramebuffer));
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawFramebuffer));
    f->glBindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(boundPackBuffer));
    return error == GL_NO_ERROR;
}

bool MTextureTile::generateMipmaps()
{
    if (!rebuildMipmaps())
        return false;
    functions()->glFinish();
    return true;
}

bool MTextureTile::rebuildMipmaps()
{
    QOpenGLExtraFunctions *f = functions();
    if (!f || !isValid() || !MSettings::instance()->generateMipmaps())
        return false;
    const QRect whole(0, 0, tileSize(), tileSize());
    const QRect area = mipmapsDirtyArea() & whole;
    f->glActiveTexture(GL_TEXTURE0);
    m_texture->bind();
    // Every level may be sampled again, whatever a pass limited it to.
    f->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 1000);
    // Halving an area keeps to whole texels only while the sides stay even.
    const bool halves = (tileSize() & (tileSize() - 1)) == 0;
    if (area.isEmpty() || area == whole || !halves) {
        m_texture->generateMipMaps();
        m_staleAreas.fill(QRect());
    } else {
        rebuildStaleLevels(f, maximumLevels);
    }
    return true;
}

void MTextureTile::rebuildStaleLevels(QOpenGLExtraFunctions *f, int lastLevel)
{
    GLint readFramebuffer = 0;
    GLint drawFramebuffer = 0;
    f->glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    f->glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    const bool scissor = f->glIsEnabled(GL_SCISSOR_TEST);
    f->glDisable(GL_SCISSOR_TEST);
    GLuint framebuffers[2] = {0, 0};
    f->glGenFramebuffers(2, framebuffers);
    f->glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers[0]);
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers[1]);
    const GLuint texture = m_texture->textureId();
    const int last = qMin(lastLevel, smallerLevels());
    for (int level = 1; level <= last; ++level) {
        const QRect area = m_staleAreas[size_t(level)];
        if (area.isEmpty())
            continue;
        // The area's texels at this level: each is the linear blend of the
        // 2 x 2 texels above it, the filter the driver's own rebuild uses.
        int left = area.left(), top = area.top(), right = area.right() + 1, bottom = area.bottom() + 1;
        for (int i = 0; i < level; ++i) {
            left /= 2;
            top /= 2;
            right = (right + 1) / 2;
            bottom = (bottom + 1) / 2;
        }
        f->glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level - 1);
        f->glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level);
        f->glBlitFramebuffer(left * 2, top * 2, right * 2, bottom * 2, left, top, right, bottom,
                             GL_COLOR_BUFFER_BIT, GL_LINEAR);
        m_staleAreas[size_t(level)] = QRect();
    }
    f->glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFramebuffer));
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawFramebuffer));
    f->glDeleteFramebuffers(2, framebuffers);
    if (scissor)
        f->glEnable(GL_SCISSOR_TEST);
}

void MTextureTile::markMipmapsDirty()
{
    markMipmapsDirty(QRect());
}

void MTextureTile::markMipmapsDirty(const QRect &area)
{
    // Every write of level 0 comes here.
    if (m_layer)
        m_layer->markContentChanged();
    const QRect changed = area.isEmpty() ? QRect(0, 0, tileSize(), tileSize()) : area;
    for (size_t level = 1; level < m_staleAreas.size(); ++level)
        m_staleAreas[level] |= changed;
}

bool MTextureTile::mipmapsDirty() const
{
    return !mipmapsDirtyArea().isEmpty();
}

QRect MTextureTile::mipmapsDirtyArea() const
{
    QRect area;
    for (int level = 1; level <= smallerLevels(); ++level)
        area |= m_staleAreas[size_t(level)];
    return area;
}

int MTextureTile::smallerLevels() const
{
    return qBound(0, (m_texture ? m_texture->mipLevels() : maximumLevels) - 1, maximumLevels - 1);
}

void MTextureTile::updateMipmaps(int lastLevel)
{
    if (!isValid() || lastLevel < 1)
        return;
    const int last = qMin(lastLevel, smallerLevels());
    bool stale = false;
    for (int level = 1; level <= last && !stale; ++level)
        stale = !m_staleAreas[size_t(level)].isEmpty();
    if (!stale)
        return;
    const bool halves = (tileSize() & (tileSize() - 1)) == 0;
    if (last >= smallerLevels() || !halves) {
        rebuildMipmaps();
        return;
    }
    QOpenGLExtraFunctions *f = functions();
    if (!f || !MSettings::instance()->generateMipmaps())
        return;
    rebuildStaleLevels(f, last);
}

QRect MTextureTile::texelsUnder(const QRectF &canvasRect) const
{
    const QRect withBorder = rectWithBorder();
    return canvasRect.intersected(QRectF(withBorder)).toAlignedRect().translated(-withBorder.topLeft());
}

void MTextureTile::markSubTiles(const QRectF &canvasRect)
{
    const QRect covered = texelsUnder(canvasRect);
    if (covered.isEmpty())
        return;
    m_undoLayer->tilesInRect(QRectF(covered), m_touchedBlocks);
}

void MTextureTile::markChanged(const QRectF &canvasRect)
{
    const QRect covered = texelsUnder(canvasRect);
    if (!covered.isEmpty())
        markMipmapsDirty(covered);
}

void MTextureTile::resetUndoLayer()
{
    m_undoLayer->clearTiles();
    m_touchedBlocks.clear();
}

void MTextureTile::fail(const QString &message)
{
    m_failure = MLogger::instance()->systemError(message);
}

QString MTextureTile::creationFailure(const MTextureTile *tile)
{
    if (tile && !tile->m_failure.isEmpty())
        return tile->m_failure;
    return MLogger::instance()->systemError(QStringLiteral("Unable to instanciate texture"));
}
