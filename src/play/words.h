// What the player is told beside the game's own screens: paused, continued from last time, a
// journal put aside, the disk full, a race watched again, a replay, how an entry fared, no
// browser. Every word in one place, for every window.
#pragma once

#include <string>

#include "journal/format.h"
#include "play/storage.h"
#include "shell/game_state.h"

namespace milka::play {

std::string pauseText();
// The career from before, paused where it stopped; how to go on, and how to start afresh.
std::string continuedText(const GameState& s);
// Added when the end of the journal was damaged and the career goes on from before the damage.
std::string damagedTailText(const std::string& keptAs);
// A journal that could not be continued at all, and where it was put.
std::string setAsideText(const journal::Reading& r, const std::string& keptAs);
// The disk (or the browser's storage) took no more: the career goes on, unkept.
std::string notKeptText(KeptIn where = KeptIn::disk);
std::string newHorseText();
std::string watchingText();
std::string notWatchableText();
std::string replayTitle();
std::string watchingTitle();
std::string replayHelpText();
std::string replaySpeedText(int speed);
std::string replayEndText();
// The end of a replay whose journal was damaged from there on.
std::string replayDamagedEndText();
// Why a journal cannot be replayed.
std::string unreadableText(const journal::Reading& r);
// The site button found no browser to open the site in.
std::string noBrowserText(const std::string& url);

// The closing screen, when the career is entered: it began while the site was out of reach, so it
// stands unverified.
std::string unseededEntryText();
// The site refused the journal, saying why; the entry stands unverified.
std::string refusedEntryText(const std::string& reason);
// The journal could not be sent; the entry stands unverified.
std::string notSentEntryText();
// The site replayed the career and found the record as sent.
std::string checkedEntryText();
// A new career's seed: the site did not answer at all (the network is off), so the career plays
// on, and will stand unverified.
std::string offlineSeedText();
// The entry itself never reached the site: nothing was entered, and the career is still kept.
std::string unreachableEntryText();

// How the career's entry fared with the site, for the closing screen.
struct EntryOutcome {
  enum Kind { Checked, Refused, NotSent } kind = NotSent;
  std::string reason;   // the site's own words when refused
  bool seeded = false;  // the career began under a seed the site issued
};
std::string entryOutcomeText(const EntryOutcome& outcome);

// A key drawn on a screen without a keyboard, as a screen reader names it: the arrows by their
// direction, a letter as its key cap reads (key codes 37..40 and 65..90).
std::string symbolKeyName(int keyCode);
// The career's keys as buttons where there is no keyboard, each naming the key the notes speak of.
std::string pauseCaption();
std::string goOnCaption();
std::string newHorseCaption();

}  // namespace milka::play
