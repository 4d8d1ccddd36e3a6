#include "play/geometry.h"

namespace milka::play {

namespace {

struct Span {
  double from, to;
};

Span across(double start, double length) {
  return length < 0 ? Span{start + length, start} : Span{start, start + length};
}

}  // namespace

bool Rect::intersects(const Rect& r) const {
  const Span a = across(x, width), b = across(r.x, r.width);
  if (a.from == a.to || b.from == b.to) return false;
  if (a.from >= b.to || b.from >= a.to) return false;
  const Span c = across(y, height), d = across(r.y, r.height);
  if (c.from == c.to || d.from == d.to) return false;
  return c.from < d.to && d.from < c.to;
}

bool Rect::contains(const Rect& r) const {
  const Span a = across(x, width), b = across(r.x, r.width);
  if (a.from == a.to || b.from == b.to) return false;
  if (b.from < a.from || b.to > a.to) return false;
  const Span c = across(y, height), d = across(r.y, r.height);
  if (c.from == c.to || d.from == d.to) return false;
  return d.from >= c.from && d.to <= c.to;
}

Rect Rect::united(const Rect& r) const {
  if (isNull()) return r;
  if (r.isNull()) return *this;
  const Span a = across(x, width), b = across(r.x, r.width);
  const Span c = across(y, height), d = across(r.y, r.height);
  const double left = std::min(a.from, b.from), right = std::max(a.to, b.to);
  const double top = std::min(c.from, d.from), bottom = std::max(c.to, d.to);
  return {left, top, right - left, bottom - top};
}

}  // namespace milka::play
