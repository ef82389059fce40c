#pragma once

#include <QSize>

namespace MTestView {

// The logger, the OpenGL holder and the default document size that canvas
// views made afterwards start with; false when OpenGL is not there.
bool prepare(const QSize &documentSize);

} // namespace MTestView
