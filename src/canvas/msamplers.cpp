#include "msamplers.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>

#include <iterator>

namespace {

struct Key
{
    int minFilter, magFilter, wrapS, wrapT, maxLevel, minLevel;
    bool operator==(const Key &other) const
    {
        return minFilter == other.minFilter && magFilter == other.magFilter && wrapS == other.wrapS &&
               wrapT == other.wrapT && maxLevel == other.maxLevel && minLevel == other.minLevel;
    }
};

uint qHash(const Key &key, uint seed = 0)
{
    const int values[] = {key.minFilter, key.magFilter, key.wrapS, key.wrapT, key.maxLevel, key.minLevel};
    return qHashRange(std::begin(values), std::end(values), seed);
}

// Per share group; a group's samplers go with its last context.
QHash<QOpenGLContextGroup *, QHash<Key, unsigned int>> &samplers()
{
    static QHash<QOpenGLContextGroup *, QHash<Key, unsigned int>> all;
    return all;
}

} // namespace

unsigned int MSamplers::get(int minFilter, int magFilter, int wrapS, int wrapT, int maxLevel, int minLevel)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return 0;
    QOpenGLContextGroup *group = context->shareGroup();
    auto found = samplers().find(group);
    if (found == samplers().end()) {
        found = samplers().insert(group, {});
        QObject::connect(group, &QObject::destroyed, [group] { samplers().remove(group); });
    }
    const Key key{minFilter, magFilter, wrapS, wrapT, maxLevel, minLevel};
    const auto sampler = found->constFind(key);
    if (sampler != found->cend())
        return *sampler;
    QOpenGLExtraFunctions *f = context->extraFunctions();
    GLuint id = 0;
    f->glGenSamplers(1, &id);
    if (!id)
        return 0;
    f->glSamplerParameteri(id, GL_TEXTURE_MIN_FILTER, minFilter);
    f->glSamplerParameteri(id, GL_TEXTURE_MAG_FILTER, magFilter);
    f->glSamplerParameteri(id, GL_TEXTURE_WRAP_S, wrapS);
    f->glSamplerParameteri(id, GL_TEXTURE_WRAP_T, wrapT);
    if (maxLevel < allLevels)
        f->glSamplerParameterf(id, GL_TEXTURE_MAX_LOD, GLfloat(maxLevel));
    if (minLevel > -allLevels)
        f->glSamplerParameterf(id, GL_TEXTURE_MIN_LOD, GLfloat(minLevel));
    found->insert(key, id);
    return id;
}

void MSamplers::bind(unsigned int unit, int minFilter, int magFilter, int wrapS, int wrapT, int maxLevel,
                     int minLevel)
{
    if (QOpenGLContext *context = QOpenGLContext::currentContext())
        context->extraFunctions()->glBindSampler(unit, get(minFilter, magFilter, wrapS, wrapT, maxLevel, minLevel));
}

void MSamplers::unbind(unsigned int unit)
{
    if (QOpenGLContext *context = QOpenGLContext::currentContext())
        context->extraFunctions()->glBindSampler(unit, 0);
}
