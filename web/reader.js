// The form in words for screen readers: the canvas shows it, this tells it. The screen's texts
// stand in reading order in a list only a reader sees, and what the module says is to be spoken
// (the commentary, the results board) goes to a live region the moment it changes.

export class Reader {
  constructor(lines, spoken) {
    this.lines = lines;
    this.spoken = spoken;
    this.said = '';
    this.read = [];
  }

  // reading: { lines, spoken } as the module gives it.
  take(reading) {
    const { lines, spoken } = reading;
    if (lines.length !== this.read.length || lines.some((line, k) => line !== this.read[k])) {
      this.lines.replaceChildren(...lines.map((line) => {
        const p = document.createElement('p');
        p.textContent = line;
        return p;
      }));
      this.read = lines;
    }
    if (spoken !== this.said) {
      this.said = spoken;
      this.spoken.textContent = spoken;
    }
  }
}
