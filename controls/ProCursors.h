#pragma once

// Pictures of the library's five cursors: 32 x 32, black and white on transparent.

#include <QImage>
#include <QPoint>

namespace qb {

struct TCursorPicture {
  QImage image;  // 32 x 32 ARGB, only black, white and transparent pixels
  QPoint hotSpot;
};

// Picture of cursor id crProHandPoint ... crProDragHand; a null image for other ids.
TCursorPicture ProCursorPicture(int id);

}  // namespace qb
