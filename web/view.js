// Where everything stands in the viewport: the form scaled as a whole and centred, the canvas's
// backing store at the screen's own density, the buttons and the text box over it at the same
// scale, the notes over the form. And the view's own settings, kept in the browser.

import { cssFont, pixels } from './draw.js';

const BUTTON_POINTS = 9;

// The browser may keep nothing (storage turned off): the view then starts as it always does.
export function remembered(key) {
  try {
    return localStorage.getItem(key);
  } catch {
    return null;
  }
}

export function remember(key, value) {
  try {
    localStorage.setItem(key, value);
  } catch {
    // Kept for this page only.
  }
}
const NOTE_MS = 6000;

export class View {
  constructor({ stage, canvas, commands, text1, note, lasting }) {
    Object.assign(this, { stage, canvas, commands, text1, note, lasting });
    this.zoom = Number(remembered('milka.zoom')) || 0;  // 0: as large as fits
    this.scale = 1;
    this.origin = { x: 0, y: 0 };
    this.deviceScale = 1;  // device pixels to the form's pixel
    this.noteTimer = 0;
    // Pictures glide between ticks unless the player turned it off, or asks the system for less
    // motion and has not turned it on here.
    const gliding = remembered('milka.gliding');
    this.gliding = gliding === null ? !matchMedia('(prefers-reduced-motion: reduce)').matches : gliding === '1';
  }

  setGliding(on) {
    this.gliding = on;
    remember('milka.gliding', on ? '1' : '0');
  }

  // How far the form may grow in the stage: the whole multiple it fits at least once.
  fits(form) {
    return Math.min(this.stage.clientWidth / pixels(form.width), this.stage.clientHeight / pixels(form.height));
  }

  largestWholeZoom(form) {
    return Math.max(1, Math.floor(this.fits(form)));
  }

  setZoom(zoom) {
    this.zoom = zoom;
    remember('milka.zoom', String(zoom));
  }

  // Places everything for the form; true when the canvas changed size.
  layOut(form) {
    const fit = this.fits(form);
    const scale = this.zoom > 0 ? Math.min(this.zoom, fit) : fit;
    const width = pixels(form.width) * scale, height = pixels(form.height) * scale;
    const dpr = window.devicePixelRatio || 1;
    const backing = { w: Math.max(1, Math.round(width * dpr)), h: Math.max(1, Math.round(height * dpr)) };
    this.scale = scale;
    this.origin = {
      x: Math.round((this.stage.clientWidth - width) / 2),
      y: Math.round((this.stage.clientHeight - height) / 2),
    };
    this.deviceScale = backing.w / pixels(form.width);
    const c = this.canvas;
    c.style.left = `${this.origin.x}px`;
    c.style.top = `${this.origin.y}px`;
    c.style.width = `${backing.w / dpr}px`;
    c.style.height = `${backing.h / dpr}px`;
    const resized = c.width !== backing.w || c.height !== backing.h;
    if (resized) {
      c.width = backing.w;
      c.height = backing.h;
    }
    form.commands.forEach((b, n) => b && this.placeButton(n, b));
    if (form.text1) this.placeTextBox(form.text1);
    this.placeNotes();
    return resized;
  }

  place(element, c) {
    const s = this.scale;
    element.style.left = `${this.origin.x + pixels(c.x) * s}px`;
    element.style.top = `${this.origin.y + pixels(c.y) * s}px`;
    element.style.width = `${pixels(c.w) * s}px`;
    element.style.height = `${pixels(c.h) * s}px`;
  }

  placeButton(n, model) {
    const button = this.commands[n];
    if (!button) return;
    this.place(button, model);
    button.style.font = cssFont(true, BUTTON_POINTS, false, this.scale);
    if (button.textContent !== model.caption) button.textContent = model.caption;
  }

  placeTextBox(model) {
    this.place(this.text1, model);
    this.text1.style.font = cssFont(false, model.size, false, this.scale);
  }

  // The notes grow with the form, so they read the same beside its captions at any zoom.
  placeNotes() {
    const formWidth = this.canvas.clientWidth;
    const font = `${Math.max(13, 13.3 * this.scale)}px`;
    for (const [note, widest] of [[this.note, 520], [this.lasting, 560]]) {
      note.style.fontSize = note === this.lasting ? `${Math.max(14.6, 14.6 * this.scale)}px` : font;
      note.style.width = `${Math.max(100, Math.min(formWidth - 40, widest * Math.max(1, this.scale)))}px`;
      note.style.left = `${this.origin.x + (formWidth - parseFloat(note.style.width)) / 2}px`;
    }
    this.note.style.top = `${this.origin.y + 14 * Math.max(1, this.scale)}px`;
    if (!this.lasting.hidden) {
      this.lasting.style.top = `${this.origin.y + (this.canvas.clientHeight - this.lasting.offsetHeight) / 2}px`;
    }
  }

  showNote(text) {
    this.note.textContent = text;
    this.note.hidden = false;
    clearTimeout(this.noteTimer);
    this.noteTimer = setTimeout(() => { this.note.hidden = true; }, NOTE_MS);
  }

  showLastingNote(text) {
    this.lasting.textContent = text;
    this.lasting.hidden = false;
    this.placeNotes();
  }

  hideLastingNote() {
    this.lasting.hidden = true;
  }
}

// The sound's settings, remembered across visits: the volume's eleven steps and mute.
export class SoundSettings {
  constructor() {
    const volume = remembered('milka.volume');
    this.volume = volume === null ? 7 : Math.min(10, Math.max(0, Number(volume) || 0));
    this.muted = remembered('milka.muted') === '1';
  }

  setMuted(muted) {
    this.muted = muted;
    remember('milka.muted', muted ? '1' : '0');
  }

  step(steps) {
    this.volume = Math.min(10, Math.max(0, this.volume + steps));
    remember('milka.volume', String(this.volume));
    // Turning it up is asking to hear it.
    if (steps > 0 && this.muted) this.setMuted(false);
  }
}
