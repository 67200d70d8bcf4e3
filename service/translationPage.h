// The answers the service writes: the translation page that the program
// cleans and extracts, and error pages with a reason a person can read.
#pragma once
#include <string>
#include "languagePairs.h"

// The translation as the program shows it after cleaning and extracting the
// page, which is exactly what the page carries: every line ended by CR LF,
// runs of blanks folded to one and none at either end of a line (the
// cleaner folds them), and "<" written as the Windows-1252 single angle
// quote 0x8B, since the cleaner takes every "<" for the start of a tag.
// A line equal to an end marker has its last blank written as the no-break
// space 0xA0, so that the translation does not end there.
void shownTranslation(const std::string& translation, std::string& shown);
// A complete HTTP answer: status 200 and a Windows-1252 HTML page with the
// target's heading on a line of its own, the translation's lines, and the
// first end marker.
void writeTranslationPage(Language target, const std::string& translation, std::string& response);
// A complete HTTP answer to a health check: status 200 when healthy, 503
// otherwise, and the report as plain text.
void writeHealthPage(int healthy, const std::string& report, std::string& response);
// A complete HTTP answer with the status and the reason, HTML-escaped.
void writeErrorPage(int status, const std::string& reason, std::string& response);
