// What the player is told about the career itself: paused, continued from last time, no longer
// kept, a journal that could not be read, a replay. Every word in one place.
#pragma once

#include <QString>

#include "journal/format.h"
#include "shell/game_state.h"

namespace milka::platform {

QString pauseText();
// The career from before, paused where it stopped; how to go on, and how to start afresh.
QString continuedText(const GameState& s);
// Added when the end of the journal was damaged and the career goes on from before the damage.
QString damagedTailText(const QString& keptAs);
// A journal that could not be continued at all, and where it was put.
QString setAsideText(const journal::Reading& r, const QString& keptAs);
// The disk took no more: the career goes on, unkept.
QString notKeptText();
QString newHorseText();
QString watchingText();
QString notWatchableText();
QString replayTitle();
QString watchingTitle();
QString replayHelpText();
QString replaySpeedText(int speed);
QString replayEndText();
// The end of a replay whose journal was damaged from there on.
QString replayDamagedEndText();
// The closing screen, when the career is entered: it began while the site was out of reach, so it
// stands unverified.
QString unseededEntryText();
// The site refused the journal, saying why; the entry stands unverified.
QString refusedEntryText(const QString& reason);
// The journal could not be sent; the entry stands unverified.
QString notSentEntryText();
// The site replayed the career and found the record as sent.
QString checkedEntryText();
// For the command line: why a journal cannot be replayed.
QString unreadableText(const journal::Reading& r);

}  // namespace milka::platform
