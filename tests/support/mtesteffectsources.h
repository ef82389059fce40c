#pragma once

#include <QString>

// The effect sources of the test data ("effects/<name>.kfx") and what each
// assembles to as an effect ("effects/effect-<name>.frag") and as a brush
// engine ("effects/brush-<name>.frag").
namespace MTestEffectSources {

// The source of that name, its bytes taken as UTF-8 as they are.
QString source(const QString &name);
// The expected fragment file of a source for a shader type.
QString goldenPath(const QString &name, int type);
// Data rows, one per source and type, with the columns "name" (QString),
// "type" (int) and "source" (QString).
void addRows();

} // namespace MTestEffectSources
