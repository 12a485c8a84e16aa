#include "controls/ProCursors.h"

#include "controls/Proconst.h"

namespace qb {

namespace {

// 'X' black, '.' white, anything else transparent.
const char* const kHandPoint[] = {
    "     XX",           "    X..X",          "    X..X",          "    X..X",          "    X..X",
    "    X..XXX",        "    X..X..XXX",     "    X..X..X..XX",   "    X..X..X..X.X",  "XXX X..X..X..X..X",
    "X..XX........X..X", "X...X...........X", " X..............X", "  X.............X", "  X.............X",
    "   X............X", "   X...........X",  "    X..........X",  "    X.........X",   "     X........X",
    "     X........X",   "     XXXXXXXXXX",
};

const char* const kGrabHand[] = {
    "      XX XX",        "     X..X..X XX",    "   XXX..X..XX..X",    "  X..X..X..X...X",
    "  X..X..X..X..X",    "   X..X..X..X.X XX", "   X..X..X..X.XX..X", "XX  X.........X...X",
    "X..XX............X", "X...X...........X",  " X..............X",   "  X.............X",
    "  X............X",   "   X...........X",   "    X.........X",     "     X........X",
    "     X........X",    "     XXXXXXXXXX",
};

const char* const kDragHand[] = {
    "",
    "",
    "",
    "     XX XX XX",
    "    X..X..X..XX",
    "    X..X..X..X.X",
    "  XXX.........X.X",
    " X..X...........X",
    " X..............X",
    "  X.............X",
    "  X............X",
    "   X...........X",
    "    X.........X",
    "     X........X",
    "     X........X",
    "     XXXXXXXXXX",
};

const char* const kArrow[] = {
    "X",        "XX",        "X.X",     "X..X",     "X...X",    "X....X",    "X.....X",
    "X......X", "X.....XXX", "X..X..X", "X.X X..X", "XX  X..X", "     X..X", "     XXX",
};

void Stamp(QImage& image, const char* const* rows, int count, int left, int top) {
  for (int y = 0; y < count; ++y)
    for (int x = 0; rows[y][x]; ++x) {
      const int px = left + x, py = top + y;
      if (px < 0 || py < 0 || px >= image.width() || py >= image.height()) continue;
      if (rows[y][x] == 'X') image.setPixel(px, py, qRgba(0, 0, 0, 255));
      if (rows[y][x] == '.') image.setPixel(px, py, qRgba(255, 255, 255, 255));
    }
}

QImage Blank() {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  return image;
}

template <int N>
constexpr int Count(const char* const (&)[N]) {
  return N;
}

}  // namespace

TCursorPicture ProCursorPicture(int id) {
  QImage image = Blank();
  switch (id) {
    case crProHandPoint: Stamp(image, kHandPoint, Count(kHandPoint), 0, 0); return {image, {6, 0}};
    case crProSmallHandPoint: Stamp(image, kHandPoint, Count(kHandPoint), 7, 9); return {image, {13, 9}};
    case crProGrabHand: Stamp(image, kGrabHand, Count(kGrabHand), 0, 1); return {image, {4, 2}};
    case crProGrabHandArrow:
      Stamp(image, kGrabHand, Count(kGrabHand), 10, 12);
      Stamp(image, kArrow, Count(kArrow), 0, 0);
      return {image, {0, 0}};
    case crProDragHand: Stamp(image, kDragHand, Count(kDragHand), 0, 0); return {image, {0, 0}};
    default: return {QImage(), {0, 0}};
  }
}

}  // namespace qb
