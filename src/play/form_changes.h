// The form as a window that draws elsewhere (the browser's page) takes it: after every event, only
// the controls that changed since it last drew, as JSON. The first time, and after forget(), the
// whole form.
#pragma once

#include <optional>
#include <string>

#include "shell/form.h"

namespace milka::play {

class FormChanges {
 public:
  // {"caption": …, "back": …, "labels": {"7": {…}}, "images": {…}, "commands": {…},
  //  "text1": {…}, "text2": {…}}, each part there only when it changed.
  std::string since(const Form& now);
  void forget() { shown_.reset(); }

 private:
  std::optional<Form> shown_;
};

}  // namespace milka::play
