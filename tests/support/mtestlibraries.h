#pragma once

class MShaderList;
class MTestFolder;

// Libraries of their own in a temporary folder, made the program's
// libraries, so that a test never reads or writes the real ones (brushes:
// MTestBrushLibrary).
namespace MTestLibraries {

// An empty effect library (it holds only its default effect); brush engines
// are appended by the test.
MShaderList *makeEffects(const MTestFolder &root);

} // namespace MTestLibraries
