#pragma once

#include <QHash>

class QOpenGLContextGroup;

// Sampler objects, one per set of filters and wraps and per group of shared
// contexts, made on first use: a draw binds one to a unit instead of writing
// the parameters of every texture it binds. Needs a current context.
class MSamplers
{
public:
    // No limit on the levels a sampler reads.
    static constexpr int allLevels = 1000;
    // The sampler for these OpenGL filters and wraps, reading levels
    // minLevel to maxLevel only, or 0 when none can be made.
    static unsigned int get(int minFilter, int magFilter, int wrapS, int wrapT, int maxLevel = allLevels,
                            int minLevel = -allLevels);
    // Binds it to the unit (0-based); unit keeps no sampler when it fails.
    static void bind(unsigned int unit, int minFilter, int magFilter, int wrapS, int wrapT, int maxLevel = allLevels,
                     int minLevel = -allLevels);
    // The unit samples by its texture's own parameters again.
    static void unbind(unsigned int unit);
};
