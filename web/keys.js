// The browser's keys as the Windows key codes the game reads (play/keys.h). Letters go by where
// they sit on the keyboard, so a player typing with another layout or with Shift held still
// whips with the key the screen names.

const named = {
  Backspace: 8, Enter: 13, NumpadEnter: 13, Pause: 19, Escape: 27, Space: 32,
  PageUp: 33, PageDown: 34, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40,
  Digit0: 48, Numpad0: 48, NumpadAdd: 107, NumpadSubtract: 109, Equal: 187, Minus: 189,
};

// By key, for the keyboards whose keys report no position (some remote desktops, old engines).
const byKey = {
  Backspace: 8, Enter: 13, Pause: 19, Escape: 27, Esc: 27, ' ': 32, Spacebar: 32,
  PageUp: 33, PageDown: 34, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40,
  Left: 37, Up: 38, Right: 39, Down: 40, '0': 48, '=': 187, '+': 187, '-': 189,
};

// 0 for a key the game has no use for.
export function keyCodeOf(event) {
  const code = event.code || '';
  let m = /^Key([A-Z])$/.exec(code);
  if (m) return m[1].charCodeAt(0);
  m = /^F([1-9]|1[0-2])$/.exec(code);
  if (m) return 111 + Number(m[1]);
  if (code in named) return named[code];
  const key = event.key || '';
  if (/^[a-zA-Z]$/.test(key)) return key.toUpperCase().charCodeAt(0);
  m = /^F([1-9]|1[0-2])$/.exec(key);
  if (m) return 111 + Number(m[1]);
  return byKey[key] ?? 0;
}
