// The network failures a user meets most are told in words, in English and
// in German, rather than as a bare number.
#include <windows.h>
#include <string>
#include "doctest/doctest.h"

namespace {

// String id of the catalogue in one language, read from its table block.
std::wstring catalogueText(UINT id, WORD language)
{
    HRSRC block = FindResourceExA(0, RT_STRING, MAKEINTRESOURCEA(id / 16 + 1), language);
    const WCHAR* entry = block ? (const WCHAR*)LockResource(LoadResource(0, block)) : 0;
    if (!entry)
        return L"";
    for (UINT skipped = 0; skipped < id % 16; ++skipped)
        entry += 1 + *entry;
    return std::wstring(entry + 1, *entry);
}

}  // namespace

TEST_CASE("common network failures have texts of their own in both languages")
{
    // Network and host unreachable, timed out, refused, lookup failed for now.
    for (UINT code : { 10051u, 10060u, 10061u, 10065u, 11002u }) {
        CAPTURE(code);
        std::wstring english = catalogueText(code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        std::wstring german = catalogueText(code, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
        CHECK_FALSE(english.empty());
        CHECK_FALSE(german.empty());
    }
}
