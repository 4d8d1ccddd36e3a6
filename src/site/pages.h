// The site's pages, rendered whole on the server: plain HTML and one small stylesheet, no
// scripts. Every text that came from a request or the database is escaped here.
#pragma once

#include <QByteArray>
#include <QString>

#include "site/store.h"

namespace milka::site {

inline constexpr int kCareersPerPage = 50;
inline constexpr int kHallPlaces = 10;

// /karuden/: the race calendar from the game's own programme tables, the hall of fame, and page
// `page` (1-based) of every career entered, newest first.
QByteArray topPage(const Store& store, qint64 page);
// One career and its place in the hall of fame; justEntered after vbvb55.php stored it.
QByteArray entryPage(const Store& store, const Career& career, bool justEntered);
// A refusal or a missing page: a heading and one sentence, with the way back.
QByteArray messagePage(const QString& heading, const QString& message);

// &, <, >, " and ' as entities.
QString escaped(const QString& text);

}  // namespace milka::site
