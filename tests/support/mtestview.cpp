#include "mtestview.h"

#include "mlogger.h"
#include "mopengl.h"
#include "msettings.h"

namespace MTestView {

bool prepare(const QSize &documentSize)
{
    MLogger::instance();
    if (!MOpenGL::instance()->initialize())
        return false;
    MSettings::instance()->set_defaultWidth(documentSize.width());
    MSettings::instance()->set_defaultHeight(documentSize.height());
    return true;
}

} // namespace MTestView
