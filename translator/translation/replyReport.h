// Turns the received page into the translation, or reports why it cannot.
#pragma once

// cleanPage and extractTranslation; on a failure shows message 2 with the
// failure's tag and writes the report file. Returns 1 with the translation
// at the start of workText.
int extractReply();
