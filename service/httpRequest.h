// Reads the program's request: "GET /cgi-bin/translate?doit=done&urltext=...
// &lp=... HTTP/1.0", lines ended by LF or CR LF, header lines allowed.
#pragma once
#include <cstddef>
#include <string>

// The program's longest request is 3,130 bytes.
enum { REQUEST_LIMIT = 4096 };

struct TranslateRequest {
    std::string text;  // Windows-1252 bytes, form encoding undone
    char pairCode[8];  // lower case
    int health;        // 1: a balancer asks for the service's health, not for a translation
};

// 1 when the bytes hold a whole request: the request line and the header
// lines up to an empty line.
int requestComplete(const char* bytes, size_t length);
// Returns the HTTP status: 200 with the request filled in ("GET /health"
// sets health alone), or the error's status with a reason a person can
// read.
int parseRequest(const char* bytes, size_t length, TranslateRequest& request, std::string& reason);
