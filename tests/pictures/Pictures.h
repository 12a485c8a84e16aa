#pragma once

#include <QImage>

// The pictures of the documentation that need no running program. Each
// returns a null image when it could not be made.
QImage RenderGallery();
QImage RenderCalculator();
QImage RenderStatistics();
