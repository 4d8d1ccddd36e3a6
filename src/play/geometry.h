// Places and boxes on the form, in form pixels (twips / 15), for laying out what a window draws.
// Every window converts them to its own types only where it paints. The arithmetic is the one the
// Qt window always laid out with, step for step, so both windows put a caption on the same
// fraction of a pixel.
#pragma once

#include <algorithm>

namespace milka::play {

struct Point {
  double x = 0, y = 0;
  Point& operator+=(const Point& p) {
    x += p.x;
    y += p.y;
    return *this;
  }
  bool operator==(const Point&) const = default;
};

// A box from its top left corner. A negative width or height reaches left or up from x or y.
struct Rect {
  double x = 0, y = 0, width = 0, height = 0;

  double left() const { return x; }
  double top() const { return y; }
  double right() const { return x + width; }
  double bottom() const { return y + height; }
  Point topLeft() const { return {x, y}; }
  double centreX() const { return x + width / 2; }

  // Nothing inside: no area at all.
  bool isEmpty() const { return width <= 0 || height <= 0; }
  // Neither wide nor tall: a union passes over it.
  bool isNull() const { return width == 0 && height == 0; }

  // Moves the left edge and keeps the right one.
  void setLeft(double left) {
    const double by = left - x;
    x += by;
    width -= by;
  }
  void setRight(double right) { width = right - x; }

  Rect translated(double dx, double dy) const { return {x + dx, y + dy, width, height}; }
  // Each edge moved by its own amount, right and down being positive.
  Rect adjusted(double dLeft, double dTop, double dRight, double dBottom) const {
    return {x + dLeft, y + dTop, width + dRight - dLeft, height + dBottom - dTop};
  }

  // Whether the two share any area; touching edges share none.
  bool intersects(const Rect& r) const;
  // Whether r lies wholly inside, edges included.
  bool contains(const Rect& r) const;
  // The smallest box holding both.
  Rect united(const Rect& r) const;

  bool operator==(const Rect&) const = default;
};

}  // namespace milka::play
