// The service's log: one line per event on standard error, which systemd
// keeps in the journal.
#pragma once

enum LogLevel { LEVEL_ERROR = 3, LEVEL_WARNING = 4, LEVEL_INFO = 6 };

// Writes "LEVEL SUBJECT: MESSAGE". The subject names what the line is about:
// a pair code, an Apertium mode, "clients" or "service". Under systemd the
// level goes into the journal's own "<N>" prefix and the journal adds the
// time; elsewhere the line starts with the UTC time and the level's name.
void logLine(LogLevel level, const char* subject, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
