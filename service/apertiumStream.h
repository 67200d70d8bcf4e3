// Plain UTF-8 text to Apertium's stream format and back, as its text
// deformatter and reformatter do, but for one null-flushed chunk at a time.
#pragma once
#include <string>

// Escapes the stream's special characters, puts the caret and the tilde in
// superblanks of their own, wraps every run of white space other than a
// single blank in a superblank and turns a control byte into a blank. The
// chunk ends with a full stop and an empty superblank: taggers and
// constraint grammars read the last words of a text without a stop as part
// of an unfinished sentence ("la casa" as "marries her"), and the bilingual lookup waits for a byte after the last word
// before it answers a flush.
void textToStream(const std::string& text, std::string& stream);
// Drops that full stop, the superblank brackets and the escapes, and gives
// the caret back.
void streamToText(const std::string& stream, std::string& text);
