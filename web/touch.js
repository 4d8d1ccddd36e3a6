// The game on a touch screen (a phone): it has no keyboard with arrows, and its own keyboard turns
// letters into kana and covers half the screen. There the page draws the symbol keys itself and
// sends the very key codes a keyboard sends, lines the form's buttons up in a bar large enough for
// a finger, and shows large the lines a small screen must not lose. When the keys serve and what
// those lines say is the module's to tell; the page only lays them out.

const coarse = matchMedia('(pointer: coarse)');
const UNIT = 48;  // a key's pitch in CSS px: a 44 px key and its gap

// Where each key of the module's keyboard stands, in keys from the top left: each hand's half of
// the letter rows, its rows staggered as on a keyboard, the right hand's under the left's, and the
// arrows as an inverted T beside the right hand's shorter rows. Narrow enough for a phone held
// upright with every key a fingertip wide.
const STAGGER = [0, 0.25, 0.5];
function arranged(keyboard) {
  const placed = [];
  keyboard.left.forEach((row, r) => row.forEach((key, i) => placed.push({ key, x: STAGGER[r] + i, y: r })));
  keyboard.right.forEach((row, r) => row.forEach((key, i) => placed.push({ key, x: STAGGER[r] + i, y: 3 + r })));
  const [up, lower] = keyboard.arrows;
  placed.push({ key: up[0], x: 4.5, y: 4 });
  lower.forEach((key, i) => placed.push({ key, x: 3.5 + i, y: 5 }));
  return placed;
}

function element(tag, attributes = {}) {
  const e = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) e.setAttribute(name, value);
  return e;
}

export class TouchPad {
  // press(code, symbol, control): a key of the pad pressed; ask(): what the module says of the pad now;
  // relayout(): the stage changed size.
  constructor({ form, stage, commands, text1, press, ask, relayout }) {
    Object.assign(this, { form, stage, commands, text1, press, ask, relayout });
    this.pad = element('aside', { id: 'pad' });
    // The lines echo labels the form already shows; a screen reader reads them there.
    this.echo = element('div', { id: 'echo', 'aria-hidden': 'true' });
    this.first = element('div', { class: 'first' });
    this.second = element('div', { class: 'second' });
    this.echo.append(this.first, this.second);
    this.side = element('div', { id: 'side' });
    this.keys = element('div', { id: 'keys', role: 'group', 'aria-label': '記号キー' });
    this.side.append(this.keys);
    this.pad.append(this.echo, this.side);
    // The career's keys its notes name (F5, Ctrl+N), among the page's tools.
    this.career = element('span', { id: 'career-keys' });
    document.getElementById('tools').prepend(this.career);
    this.shown = '';
    this.careerShown = '';
    // A long press or a drag over the pad is still only a key.
    this.pad.addEventListener('contextmenu', (e) => e.preventDefault());
    coarse.addEventListener('change', () => this.follow());
  }

  get active() {
    return document.body.classList.contains('touch');
  }

  // The module's keyboard ({left, right, arrows}: rows of {code, symbol, name}), made into keys.
  start(keyboard) {
    let width = 0, height = 0;
    for (const { key, x, y } of arranged(keyboard)) {
      const b = element('button', { type: 'button', tabindex: '-1', 'aria-label': key.name });
      b.className = key.code < 65 ? 'key arrow' : 'key';
      b.textContent = key.symbol;
      b.dataset.code = key.code;
      b.dataset.symbol = key.symbol;
      b.style.left = `${x * UNIT}px`;
      b.style.top = `${y * UNIT}px`;
      width = Math.max(width, (x + 1) * UNIT);
      height = Math.max(height, (y + 1) * UNIT);
      const up = () => b.classList.remove('down');
      // At the touch itself, not at the click a moment later: the whip is timed.
      b.addEventListener('pointerdown', (e) => {
        e.preventDefault();
        if (e.button > 0) return;
        b.classList.add('down');
        this.press(key.code, key.symbol);
      });
      for (const ended of ['pointerup', 'pointercancel', 'pointerleave']) b.addEventListener(ended, up);
      this.keys.append(b);
    }
    this.keys.style.width = `${width - (UNIT - 44)}px`;
    this.keys.style.height = `${height - (UNIT - 44)}px`;
    document.body.append(this.pad);
    this.follow();
  }

  // A touch screen or not, as the browser says now (a tablet may gain a mouse).
  follow() {
    const on = coarse.matches;
    if (on !== this.active || !this.pad.isConnected) {
      document.body.classList.toggle('touch', on);
      // The system keyboard never opens over the game: the pad's keys serve instead.
      if (on) this.text1.setAttribute('inputmode', 'none');
      else this.text1.removeAttribute('inputmode');
      if (on) this.side.prepend(this.commands);
      else this.text1.before(this.commands);
    }
    this.relayout();
    this.refresh();
  }

  // After every call into the module: whether the keys serve, the lines and the career's keys.
  refresh() {
    if (!this.active) return;
    const said = this.ask();
    this.keys.classList.toggle('serving', said.keys === true);
    this.offerCareerKeys(said.career ?? []);
    const lines = `${said.first ?? ''}\n${said.second ?? ''}`;
    if (lines === this.shown) return;
    this.shown = lines;
    this.first.textContent = said.first ?? '';
    this.second.textContent = said.second ?? '';
  }

  offerCareerKeys(keys) {
    const now = JSON.stringify(keys);
    if (now === this.careerShown) return;
    this.careerShown = now;
    this.career.replaceChildren(...keys.map(({ code, control, caption }) => {
      const b = element('button', { type: 'button', tabindex: '-1' });
      b.textContent = caption;
      b.addEventListener('click', () => this.press(code, '', control));
      return b;
    }));
  }

  // A button of the form, in the bar: shown while the form shows it, in the form's order, left to
  // right and then top to bottom.
  place(button, model) {
    if (!button || !model) return;
    const away = model.x + model.w <= 0 || model.y + model.h <= 0 ||
      model.x >= this.form.width || model.y >= this.form.height;
    button.classList.toggle('away', away);
    button.classList.toggle('long', [...model.caption ?? ''].length > 8);
    button.style.order = String(Math.max(0, Math.round((model.x + model.w / 2) / 15)) * 1000 +
      Math.max(0, Math.min(999, Math.round(model.y / 15))));
  }
}
