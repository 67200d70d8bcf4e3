// Turns the received page into the translation, or reports why it cannot.
#pragma once

// cleanPage and extractTranslation; on a failure writes the report file and
// shows message 2 (or 14 or 15) with the failure's tag. Returns 1 with the
// translation at the start of workText.
int extractReply();
