#pragma once

#include <QObject>

#include <vector>

class QOpenGLContext;
class QOpenGLTexture;

// Tile textures released under a context, kept for the next tiles of the
// same size instead of being freed and made again: a software driver pays
// for each fresh texture's memory page by page, several times what filling
// it costs. A context made for a document owns one (as its child) and frees
// what it holds before it goes; at most limit() textures are kept, more
// only while a document that will take them is being read.
class MTexturePool : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultLimit = 32;

    explicit MTexturePool(QOpenGLContext *context);
    ~MTexturePool() override;

    // The pool of the current context, or null when it has none.
    static MTexturePool *current();
    static MTexturePool *of(QOpenGLContext *context);

    // A kept texture of that side, its storage and pixels as they were left,
    // or null; the caller owns it.
    QOpenGLTexture *take(int side);
    // Keeps a texture whose storage is allocated, or returns false (the
    // caller frees it) when the pool is full.
    bool give(QOpenGLTexture *texture);
    int count() const { return int(m_textures.size()); }
    int limit() const;
    // Raises the bound to count textures at least (0 to lower it again):
    // a document about to replace its tiles keeps the old ones for the new.
    // Textures past the bound are freed at once when the context is current,
    // else at the next give.
    void keepAtLeast(int count);
    // Frees every texture kept; needs a context of the share group current.
    void clear();

private:
    void trim();
    bool canFree() const;

    QOpenGLContext *m_context;
    std::vector<QOpenGLTexture *> m_textures;
    int m_kept = 0;
};
