// The page's sound on the audio thread: plays the module's mix as the page sends it, asking for
// the next blocks before it runs short. Kept a little ahead of what is heard (few enough frames
// that a whip is heard at once, enough that a busy page does not starve it); read at the module's
// rate and, should the context run at another, interpolated to the context's.

const SIZE = 1 << 15;  // the ring, in the module's frames: far more than is ever kept ahead

class MilkaSound extends AudioWorkletProcessor {
  constructor(options) {
    super();
    const { ratio, ahead, step, most, block } = options.processorOptions;
    this.ratio = ratio;    // the module's frames per frame heard
    this.ahead = ahead;    // frames kept ahead of what is heard, grown by step up to most
    this.step = step;
    this.most = most;
    this.block = block;    // frames asked for at a time
    this.ring = new Float32Array(SIZE);
    this.written = 0;
    this.read = 0;         // where the next frame heard is read, in the module's frames
    this.asked = 0;
    this.primed = false;   // enough ahead to start, or to start again after running short
    this.starved = 0;      // render quanta that ran short, told to the page with every ask
    this.port.onmessage = ({ data }) => {
      this.asked = Math.max(0, this.asked - data.length);
      for (let i = 0; i < data.length; i++) this.ring[(this.written + i) % SIZE] = data[i];
      this.written += data.length;
    };
  }

  process(inputs, outputs) {
    const out = outputs[0][0];
    const buffered = () => this.written - this.read;
    if (!this.primed && buffered() >= this.ahead / 2) this.primed = true;
    let i = 0;
    if (this.primed) {
      for (; i < out.length; i++) {
        const at = Math.floor(this.read);
        if (at + 1 >= this.written) break;
        const frac = this.read - at;
        const a = this.ring[at % SIZE];
        out[i] = frac === 0 ? a : a + (this.ring[(at + 1) % SIZE] - a) * frac;
        this.read += this.ratio;
      }
      if (i < out.length) {
        this.starved++;
        this.primed = false;
        this.ahead = Math.min(this.most, this.ahead + this.step);
      }
    }
    out.fill(0, i);
    const short = this.ahead - buffered() - this.asked;
    if (short > 0) {
      const want = Math.ceil(short / this.block) * this.block;
      this.asked += want;
      this.port.postMessage({ want, starved: this.starved, ahead: this.ahead });
    }
    return true;
  }
}

registerProcessor('milka-sound', MilkaSound);
