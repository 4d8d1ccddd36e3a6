// The form in words for screen readers: the canvas shows it, this tells it. The screen's texts
// stand in reading order in a list only a reader sees, and what the module says is to be spoken
// (the commentary, the results board) goes to a live region the moment it changes.

export class Reader {
  constructor(lines, spoken) {
    this.lines = lines;
    this.spoken = spoken;
    this.said = '';
  }

  // reading: { lines, spoken } as the module gives it.
  take(reading) {
    const { lines, spoken } = reading;
    // Line by line, so a reader's place in the list survives the race's clock ticking.
    const shown = this.lines.children;
    lines.forEach((line, k) => {
      if (k >= shown.length) this.lines.append(document.createElement('p'));
      if (shown[k].textContent !== line) shown[k].textContent = line;
    });
    while (shown.length > lines.length) shown[shown.length - 1].remove();
    if (spoken !== this.said) {
      this.said = spoken;
      this.spoken.textContent = spoken;
    }
  }
}
