// Strips the markup from the reply page and finds the translation in it.
#pragma once

extern const char HtmlNotFoundTag[];   // "HTML_NOT_FOUND"
extern const char TransNotFoundTag[];  // "TRANS_NOT_FOUND"

// Cleans the page in netBuffer into workText: plain lines ended by CR LF.
// Returns 0 when the page has no "<". A cleaned text that would not fit
// workText is cut at the last whole byte or line break that fits.
int cleanPage();
// Moves the lines that follow the target's heading, up to the first end
// marker line, to the start of workText. Returns 0 when there is no heading
// line or nothing after it.
int extractTranslation();
