// What the game is asked for when it starts: --help and --version answer and stop; the other
// options shape the game it plays. Read before any window exists, so that --help and --version
// answer on a machine without a desktop.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace milka::platform {

// One field per option that changes how the game plays; a new option adds a field here and one
// row to the table in command_line.cpp.
struct Options {
  std::optional<uint64_t> seed;  // --seed N: draw from N and a counting clock, to replay a career
  std::optional<double> scale;   // --scale F: the window's starting zoom
  QString site;                  // --site URL: the maker's site hosted elsewhere (empty: our own)
  QString replay;                // --replay FILE: play a career's journal back, touching nothing
  bool mute = false;             // --mute: start silent
};

struct StartRequest {
  bool play = false;  // false: print `message` and stop with `exitCode`
  int exitCode = 0;
  QString message;  // for standard output when exitCode is 0, else for standard error
  Options options;
  QString platform;  // Qt's own -platform argument, which the display check must honour
};

// The whole argument list, program name first.
StartRequest readCommandLine(const QStringList& arguments);

}  // namespace milka::platform
