// Turns the typed text and the pair code into the service's GET request.
#pragma once

extern const char RequestTemplate[];

// Form-encodes source into destination. The output stops before an encoded
// byte that would not fit, so it never runs past destinationSize.
void urlEncode(char* destination, unsigned destinationSize, const char* source);
// Copies the template, putting the encoded text of workText for %u and
// pairCode for %n.
void expandRequestTemplate(char* destination, const char* requestTemplate);
