#include "mtexturepool.h"

#include <QOpenGLContext>
#include <QOpenGLTexture>

#include <iterator>

MTexturePool::MTexturePool(QOpenGLContext *context)
    : QObject(context)
    , m_context(context)
{
}

MTexturePool::~MTexturePool()
{
    // The context is mostly gone by now (the pool is its child): its owner
    // clears the pool before, while it is current. Whatever is left goes
    // under whichever context is current.
    for (QOpenGLTexture *texture : m_textures)
        delete texture;
}

MTexturePool *MTexturePool::current()
{
    return of(QOpenGLContext::currentContext());
}

MTexturePool *MTexturePool::of(QOpenGLContext *context)
{
    return context ? context->findChild<MTexturePool *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QOpenGLTexture *MTexturePool::take(int side)
{
    for (auto it = m_textures.rbegin(); it != m_textures.rend(); ++it) {
        if ((*it)->width() == side && (*it)->height() == side) {
            QOpenGLTexture *texture = *it;
            m_textures.erase(std::next(it).base());
            return texture;
        }
    }
    return nullptr;
}

bool MTexturePool::give(QOpenGLTexture *texture)
{
    trim();
    if (!texture || !texture->isStorageAllocated() || count() >= limit())
        return false;
    m_textures.push_back(texture);
    return true;
}

int MTexturePool::limit() const
{
    return qMax(DefaultLimit, m_kept);
}

void MTexturePool::keepAtLeast(int count)
{
    m_kept = qMax(0, count);
    trim();
}

void MTexturePool::clear()
{
    for (QOpenGLTexture *texture : m_textures)
        delete texture;
    m_textures.clear();
}

void MTexturePool::trim()
{
    if (count() <= limit() || !canFree())
        return;
    while (count() > limit()) {
        delete m_textures.front();
        m_textures.erase(m_textures.begin());
    }
}

bool MTexturePool::canFree() const
{
    QOpenGLContext *current = QOpenGLContext::currentContext();
    return current && (current == m_context || QOpenGLContext::areSharing(current, m_context));
}
