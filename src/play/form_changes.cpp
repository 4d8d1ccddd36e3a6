#include "play/form_changes.h"

#include <cstdio>

#include "play/json_out.h"

namespace milka::play {
namespace {

void field(std::string& out, const char* name, double value) {
  char text[40];
  std::snprintf(text, sizeof text, "\"%s\":%.9g,", name, value);
  out += text;
}

void field(std::string& out, const char* name, const std::string& value) {
  out += '"';
  out += name;
  out += "\":";
  json::quoted(out, value);
  out += ',';
}

void box(std::string& out, float left, float top, float width, float height) {
  field(out, "x", left);
  field(out, "y", top);
  field(out, "w", width);
  field(out, "h", height);
}

void close(std::string& out) {
  if (out.back() == ',') out.pop_back();
  out += "},";
}

template <class Control, class Write>
void part(std::string& out, const char* name, const Control* shown, const Control* now, int count,
          Write write) {
  const size_t start = out.size();
  out += '"';
  out += name;
  out += "\":{";
  bool any = false;
  for (int n = 1; n <= count; ++n) {
    if (shown != nullptr && shown[n] == now[n]) continue;
    any = true;
    out += '"' + std::to_string(n) + "\":{";
    write(out, now[n]);
    close(out);
  }
  if (!any) {
    out.resize(start);
    return;
  }
  close(out);
}

void label(std::string& out, const Label& l) {
  field(out, "caption", l.caption);
  field(out, "fore", l.foreColour);
  field(out, "back", l.backColour);
  field(out, "transparent", l.transparent);
  field(out, "bold", l.bold);
  field(out, "size", l.fontSize);
  field(out, "centre", l.alignment == Align::Centre);
  field(out, "gothic", l.face == FontFace::Gothic);
  box(out, l.left, l.top, l.width, l.height);
}

void picture(std::string& out, const Picture& p) {
  box(out, p.left, p.top, p.width, p.height);
  field(out, "kind", static_cast<int>(p.sprite.kind));
  field(out, "coat", static_cast<int>(p.sprite.coat));
  field(out, "left", p.sprite.facingLeft);
  field(out, "frame", p.sprite.frame);
}

void button(std::string& out, const Button& b) {
  field(out, "caption", b.caption);
  box(out, b.left, b.top, b.width, b.height);
}

void textBox(std::string& out, const char* name, const TextBox& t) {
  out += '"';
  out += name;
  out += "\":{";
  field(out, "text", t.text);
  field(out, "size", t.fontSize);
  box(out, t.left, t.top, t.width, t.height);
  close(out);
}

}  // namespace

std::string FormChanges::since(const Form& now) {
  const Form* shown = shown_ ? &*shown_ : nullptr;
  std::string out = "{";
  if (!shown || shown->caption != now.caption) field(out, "caption", now.caption);
  if (!shown || shown->backColour != now.backColour) field(out, "back", now.backColour);
  if (!shown) {
    field(out, "width", now.clientWidth);
    field(out, "height", now.clientHeight);
  }
  part(out, "labels", shown ? shown->labels.data() : nullptr, now.labels.data(), kLabelCount,
       label);
  part(out, "images", shown ? shown->images.data() : nullptr, now.images.data(), kImageCount,
       picture);
  part(out, "commands", shown ? shown->commands.data() : nullptr, now.commands.data(),
       kCommandCount, button);
  if (!shown || !(shown->text1 == now.text1)) textBox(out, "text1", now.text1);
  if (!shown || !(shown->text2 == now.text2)) textBox(out, "text2", now.text2);
  if (out.back() == ',') out.pop_back();
  out += '}';
  shown_ = now;
  return out;
}

}  // namespace milka::play
