#pragma once

#include <QStringList>

class MBrushList;
class MShaderList;
class MTestFolder;

// Brush and effect libraries of their own in a temporary folder, made the
// program's libraries, so that a test never reads or writes the real ones.
namespace MTestLibraries {

// One brush file per "group/description" (radius 4, a plain preview unless
// withPreviews is false), user brushes first, then system brushes, in that
// order. Brushes find their files through the library: the library that
// was there gives way.
MBrushList *make(const MTestFolder &root, const QStringList &userBrushes, const QStringList &systemBrushes = {},
                 bool withPreviews = true);

// An empty effect library (it holds only its default effect); brush engines
// are appended by the test.
MShaderList *makeEffects(const MTestFolder &root);

} // namespace MTestLibraries
