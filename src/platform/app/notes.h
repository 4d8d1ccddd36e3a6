// What the network's outcomes tell the player, over the window.
#pragma once

#include "platform/net/journal_upload.h"
#include "platform/net/online_port.h"
#include "platform/window/window.h"

namespace milka::platform {

// Shows a note over the window whenever the port could not open the site in a browser.
void noteFailedOpens(QtOnlinePort& port, GameWindow& window);

// Shows, on the closing screen after every entry, whether it was checked or why it stands
// unverified.
void noteEntries(JournalUpload& upload, GameWindow& window);

}  // namespace milka::platform
