#include "platform/app/notes.h"

#include "play/words.h"

namespace milka::platform {

void noteFailedOpens(QtOnlinePort& port, GameWindow& window) {
  port.setOpenFailedCallback(
      [&window](const std::string& url) { window.showNote(play::noBrowserText(url)); });
}

void noteEntries(JournalUpload& upload, GameWindow& window) {
  upload.setUploaded([&window](const JournalUpload::Outcome& outcome) {
    window.showLastingNoteClearOfWords(QString::fromStdString(play::entryOutcomeText(outcome)));
  });
}

}  // namespace milka::platform
