// The window model: every control of the one window as plain data. The Qt layer draws it;
// the handlers change it. Positions and sizes are twips (15 to a 96-dpi pixel), colours 0xRRGGBB.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace milka {

enum class FontFace { Mincho, Gothic };  // ＭＳ Ｐ明朝, ＭＳ Ｐゴシック
enum class Align { Left, Centre };

constexpr uint32_t kButtonFace = 0xF0F0F0;

struct Label {
  std::string caption;
  uint32_t foreColour = 0x000000;
  uint32_t backColour = kButtonFace;
  bool transparent = false;
  bool bold = false;
  float fontSize = 9.0f;
  Align alignment = Align::Left;
  FontFace face = FontFace::Mincho;
  float left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Label&) const = default;
};

enum class SpriteKind { None, Horse, Tower, Pole };
enum class Coat { Grey, Gold, Bay, Black, White };

// What a picture shows: a horse of a coat, facing one way, in one of its two stride frames,
// or one of the two course objects.
struct Sprite {
  SpriteKind kind = SpriteKind::None;
  Coat coat = Coat::Grey;
  bool facingLeft = false;
  int frame = 0;  // 0 or 1
  bool operator==(const Sprite&) const = default;
};

struct Picture {
  float left = 0, top = 0, width = 480, height = 480;
  Sprite sprite;
  bool operator==(const Picture&) const = default;
};

struct TextBox {
  std::string text;
  float left = 0, top = 0, width = 0, height = 0;
  float fontSize = 9.0f;
  bool operator==(const TextBox&) const = default;
};

struct Button {
  std::string caption;
  float left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Button&) const = default;
};

// The table rows Label16..Label26 (breeding table, race card, results board) were laid out 8205
// wide, which cuts the breeding header off at 成長 in a proportional Japanese font and hides the
// growth and distance columns. They reach the window's right edge instead, and stand aside far
// enough to the left to be wholly out of the window.
constexpr float kRowWidth = 10785 - 915;
constexpr float kRowsHiddenLeft = -9150 - (kRowWidth - 8205);

constexpr int kLabelCount = 40;
constexpr int kImageCount = 42;
constexpr int kCommandCount = 5;

struct Form {
  std::string caption;
  uint32_t backColour = 0x80FF80;
  float clientWidth = 10785, clientHeight = 7740;

  // 1-based, as the form names them: label(27) is Label27, image(21) is Image21.
  std::array<Label, kLabelCount + 1> labels{};
  std::array<Picture, kImageCount + 1> images{};
  std::array<Button, kCommandCount + 1> commands{};
  TextBox text1, text2;

  Label& label(int n) { return labels.at(static_cast<size_t>(n)); }
  const Label& label(int n) const { return labels.at(static_cast<size_t>(n)); }
  Picture& image(int n) { return images.at(static_cast<size_t>(n)); }
  const Picture& image(int n) const { return images.at(static_cast<size_t>(n)); }
  Button& command(int n) { return commands.at(static_cast<size_t>(n)); }
  const Button& command(int n) const { return commands.at(static_cast<size_t>(n)); }

  bool operator==(const Form&) const = default;
};

// The form as it stands at design time, before Form_Load runs.
Form designForm();

}  // namespace milka
