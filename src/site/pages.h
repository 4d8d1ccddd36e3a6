// The site's pages, rendered whole on the server: plain HTML and one small stylesheet, no
// scripts. Every text that came from a request or the database is escaped here.
#pragma once

#include <QByteArray>
#include <QString>

#include "site/career_replay.h"
#include "site/store.h"

namespace milka::site {

inline constexpr int kCareersPerPage = 50;
// Every answer's: plain pages with nothing to run, no frames, no outside requests.
inline constexpr char kContentSecurityPolicy[] =
    "default-src 'none'; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'none'";
// /play/'s: the browser game's page, its module and its scripts come from this site alone. The
// same policy, opened only as far as that page needs: its scripts and stylesheet from here and
// the module compiled ('wasm-unsafe-eval', never 'unsafe-eval'), its fetches of the module,
// seeds, tokens and journals, its icons and manifest, its service worker (which keeps the page
// for playing offline), and the pictures it makes from the canvas (blob: and data: addresses of
// its own making).
inline constexpr char kPlayContentSecurityPolicy[] =
    "default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self' 'unsafe-inline'; "
    "connect-src 'self'; img-src 'self' blob: data:; manifest-src 'self'; worker-src 'self'; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
inline constexpr int kHallPlaces = 10;

// /karuden/: the race calendar from the game's own programme tables, the hall of fame, and page
// `page` (1-based) of every career entered, newest first.
// studBook: the game's own site, which links the player's own careers; playable: the site
// serves the browser game at /play/, which the page links.
QByteArray topPage(const Store& store, qint64 page, bool studBook = false, bool playable = false);
// One career and its place in the hall of fame; justEntered after vbvb55.php stored it. With
// its story (a verified career's, from its journal) the career is told race by race, and on a
// site that serves the browser game each race links to watching it there.
QByteArray entryPage(const Store& store, const Career& career, bool justEntered,
                     const Story* story = nullptr, bool playable = false);

// The player's own careers, from the journals beside the game: every horse they have raised.
struct StudBookLine {
  QString file;  // the journal's file name in the directory
  qint64 modifiedAt = 0;
  Story story;
};
QByteArray studBookPage(const QList<StudBookLine>& lines);
QByteArray studCareerPage(const StudBookLine& line);

// A career's races, its top races won and its charts (speed and body weight by month, place by
// race), drawn as SVG; journalHref is where its journal is downloaded. With watchHref, each race
// links to watchHref followed by "&race=K", K counting the races from 1 in the table's order.
QString storySection(const Story& story, const QString& journalHref, const QString& watchHref = {});
// A refusal or a missing page: a heading and one sentence, with the way back.
QByteArray messagePage(const QString& heading, const QString& message);

// &, <, >, " and ' as entities.
QString escaped(const QString& text);

}  // namespace milka::site
