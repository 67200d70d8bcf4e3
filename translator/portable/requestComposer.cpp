#include "requestComposer.h"
#include "translationState.h"

const char RequestTemplate[] = "GET /cgi-bin/translate?doit=done&urltext=%u&lp=%n HTTP/1.0\n\n";

static int isLetterOrDigit(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

void urlEncode(char* destination, unsigned destinationSize, const char* source)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    unsigned length = 0;
    int plusAllowed = 0;
    for (const unsigned char* s = (const unsigned char*)source; *s; ++s) {
        unsigned needed = isLetterOrDigit(*s) || *s == ' ' ? 1 : 3;
        if (length + needed >= destinationSize)
            break;
        if (isLetterOrDigit(*s)) {
            destination[length++] = (char)*s;
            plusAllowed = 1;
        } else if (*s == ' ') {
            // A run of blanks becomes one "+"; leading blanks vanish.
            if (plusAllowed)
                destination[length++] = '+';
            plusAllowed = 0;
        } else {
            destination[length++] = '%';
            destination[length++] = hexDigits[*s >> 4];
            destination[length++] = hexDigits[*s & 15];
            plusAllowed = 1;
        }
    }
    destination[length] = 0;
}

static char* appendText(char* out, const char* text)
{
    while (*text)
        *out++ = *text++;
    return out;
}

void expandRequestTemplate(char* destination, const char* requestTemplate)
{
    char* out = destination;
    int placeholderNext = 0;
    for (const char* t = requestTemplate; *t; ++t) {
        if (*t == '%') {
            placeholderNext = 1;
        } else if (placeholderNext) {
            if (*t == 'u')
                out = appendText(out, workText);
            else if (*t == 'n')
                out = appendText(out, pairCode);
            placeholderNext = 0;
        } else {
            *out++ = *t;
        }
    }
    *out = 0;
}
