#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

// Pictures of what a test built, for a developer to look at: written into the
// folder named by KALMI_TEST_SCREENSHOTS when it is set, and nowhere otherwise,
// so that a test never writes outside its isolated folders by default.
namespace MTestScreenshot {

void keep(const QImage &image, const QString &name);
void keep(const QPixmap &pixmap, const QString &name);

} // namespace MTestScreenshot
