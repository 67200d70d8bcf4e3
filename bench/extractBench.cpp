// Cleans and extracts a realistic 65,534-byte reply page many times and
// compares the rate with a plain memcpy of the same buffer.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "languagePairs.h"
#include "replyExtractor.h"
#include "translationState.h"

static std::string realisticPage()
{
    std::string page =
        "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=windows-1252\r\n\r\n"
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"windows-1252\">\n"
        "<title>Translation result</title>\n<style>body { font-family: sans-serif; }</style>\n"
        "</head>\n<body>\n<div class=\"nav\"><a href=\"/\">Home</a> | <a href=\"/help\">Help</a></div>\n"
        "<form action=\"/cgi-bin/translate\" method=\"get\">\n<textarea name=\"urltext\" rows=\"4\">"
        "</textarea>\n<select name=\"lp\"><option value=\"en_es\">English to Spanish</option></select>\n"
        "</form>\n<p><b>En Espa\xF1ol:</b><br>\n";
    const char* sentence =
        "El veloz murci\xE9lago hind\xFA com\xED" "a feliz cardillo y kiwi, "
        "mientras la cig\xFC" "e\xF1" "a tocaba el saxof\xF3n detr\xE1s del palenque de paja.<br>\n";
    std::string body;
    while (page.size() + body.size() < 30000)
        body += sentence;
    page += body + "</p>\n<p>Use the above text to search the Web</p>\n";
    const char* filler =
        "<tr><td class=\"c\"><a href=\"/dictionary?w=casa\">casa</a></td><td>house, home</td></tr>\n";
    while (page.size() + strlen(filler) < NET_BUFFER_SIZE - 1)
        page += filler;
    page.append(NET_BUFFER_SIZE - 1 - page.size(), ' ');
    return page;
}

template <class Work> static double megabytesPerSecond(Work work, int rounds, size_t bytes)
{
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        work();
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return bytes * (double)rounds / elapsed.count() / 1e6;
}

int main(int argc, char** argv)
{
    const char* label = argc > 1 ? argv[1] : "native";
    int rounds = argc > 2 ? atoi(argv[2]) : 2000;
    sourceText = (char*)malloc(SOURCE_TEXT_SIZE);
    workText = (char*)malloc(WORK_TEXT_SIZE);
    netBuffer = (char*)malloc(NET_BUFFER_SIZE);
    char* copy = (char*)malloc(NET_BUFFER_SIZE);
    std::string page = realisticPage();
    memcpy(netBuffer, page.c_str(), page.size() + 1);
    targetLanguage = LANGUAGE_SPANISH;

    if (!cleanPage() || !extractTranslation()) {
        fprintf(stderr, "the benchmark page does not give a translation\n");
        return 1;
    }
    size_t translated = strlen(workText);
    volatile char sink = 0;
    double extract = megabytesPerSecond([] { cleanPage(); extractTranslation(); }, rounds, page.size());
    double plainCopy = megabytesPerSecond([&] { memcpy(copy, netBuffer, page.size()); sink = sink + copy[rounds & 255]; },
                                          rounds * 20, page.size());
    printf("| %-7s | %6zu bytes page | %6zu bytes translation | clean+extract %8.1f MB/s | memcpy %9.1f MB/s | ratio 1:%.1f |\n",
           label, page.size(), translated, extract, plainCopy, plainCopy / extract);
    return 0;
}
