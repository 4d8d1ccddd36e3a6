// The page's sound: the module mixes exactly what the desktop plays (its cues follow the game
// after every event); this carries the mix to Web Audio. Browsers let a page sound only after the
// player has touched or pressed something, so the sound starts on the first touch, click or key
// that finds it on. A muted or hidden page lets its audio context sleep, and a page muted from
// the start never makes one.

import { SoundSettings } from './view.js';

const WORKLET = 'sound-worklet.js';
// Kept ahead of what is heard: a whip's delay, and the margin for a busy page. Each time the
// output runs short the margin grows a step, up to the most.
const AHEAD_MS = 30;
const AHEAD_STEP_MS = 10;
const AHEAD_MOST_MS = 150;
const BLOCK = 512;     // frames asked for at a time
const SLEEP_MS = 300;  // after muting, long enough for the silence to reach the speakers

export class PageSound extends SoundSettings {
  // button: the speaker in the tool bar; volume: its slider; done: gives the keys back to the game.
  constructor({ button, volume, done = () => {} }) {
    super();
    this.button = button;
    this.slider = volume;
    this.milka = null;
    this.context = null;
    this.analyser = null;   // what the page sends to the speakers, for the tests
    this.starved = 0;       // times the output ran short, for the benchmarks
    this.aheadMs = AHEAD_MS;  // and how far ahead it is kept now
    this.sleeping = 0;
    this.tried = false;
    // Every touch or key may be the one that lets the page sound, or wakes a context a browser
    // held back.
    for (const e of ['pointerdown', 'keydown', 'touchend']) document.addEventListener(e, () => this.wake(true), true);
    document.addEventListener('visibilitychange', () => this.wake(false));
    button.addEventListener('mousedown', (e) => e.preventDefault());
    button.addEventListener('click', () => {
      this.setMuted(!this.muted);
      done();
    });
    volume.addEventListener('input', () => this.step(Number(volume.value) - this.volume));
    volume.addEventListener('change', () => done());
    this.show();
  }

  attach(milka) {
    this.milka = milka;
    milka._milka_sound_set(this.muted, this.volume);
  }

  setMuted(muted) {
    super.setMuted(muted);
    this.apply();
  }

  step(steps) {
    super.step(steps);
    this.apply();
  }

  apply() {
    this.show();
    if (!this.milka) return;
    this.milka._milka_sound_set(this.muted, this.volume);
    this.wake(true);
  }

  show() {
    const label = this.muted ? '音を出す' : '音を消す';
    this.button.setAttribute('aria-label', label);
    this.button.title = `${label} (F6、音量は F7・F8)`;
    this.button.classList.toggle('muted', this.muted);
    this.slider.value = String(this.volume);
  }

  // Made within the player's touch or key, as browsers require.
  begin() {
    if (this.tried || !globalThis.AudioContext) return;
    this.tried = true;
    const rate = this.milka._milka_sound_rate();
    try {
      this.context = new AudioContext({ sampleRate: rate, latencyHint: 'interactive' });
    } catch {
      try {
        this.context = new AudioContext({ latencyHint: 'interactive' });
      } catch {
        return;  // no sound here; the game plays on in silence
      }
    }
    const context = this.context;
    const frames = (ms) => Math.round(rate * ms / 1000);
    this.analyser = context.createAnalyser();
    this.analyser.fftSize = 2048;
    this.analyser.connect(context.destination);
    if (!context.audioWorklet) return;  // an insecure page: silent
    context.audioWorklet.addModule(new URL(WORKLET, import.meta.url).href).then(() => {
      const node = new AudioWorkletNode(context, 'milka-sound', {
        numberOfInputs: 0, outputChannelCount: [1],
        processorOptions: {
          ratio: rate / context.sampleRate, ahead: frames(AHEAD_MS), step: frames(AHEAD_STEP_MS), most: frames(AHEAD_MOST_MS), block: BLOCK,
        },
      });
      node.port.onmessage = ({ data }) => {
        this.starved = data.starved;
        this.aheadMs = data.ahead * 1000 / rate;
        const at = this.milka._milka_sound_render(data.want) >> 1;
        const samples = new Float32Array(data.want);
        const mix = this.milka.HEAP16;
        for (let i = 0; i < data.want; i++) samples[i] = mix[at + i] / 32768;
        node.port.postMessage(samples, [samples.buffer]);
      };
      node.connect(this.analyser);
    }).catch(() => {});
  }

  // Runs the context while the sound is heard, lets it sleep otherwise; within a touch or key
  // (gesture), the first time it is heard, makes it.
  wake(gesture) {
    const heard = !this.muted && document.visibilityState !== 'hidden';
    if (!this.context && gesture && heard && this.milka) this.begin();
    const context = this.context;
    if (!context) return;
    clearTimeout(this.sleeping);
    this.milka._milka_sound_playing(heard);
    if (heard) {
      context.resume().catch(() => {});
    } else {
      // Muted, what is already queued plays out as silence first, so that nothing stale is heard
      // on waking and the analyser's last samples are the quiet ones.
      const after = document.visibilityState === 'hidden' ? 0 : SLEEP_MS;
      this.sleeping = setTimeout(() => context.suspend().catch(() => {}), after);
    }
  }
}
