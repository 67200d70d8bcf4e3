// What Quorv.exe carries for both languages: the pictures and the manifest
// once, untagged, and words for the network failures a user meets most.
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "doctest/doctest.h"

namespace {

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    ((std::vector<WORD>*)found)->push_back(language);
    return TRUE;
}

BOOL CALLBACK collectLanguages(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found)
{
    return EnumResourceLanguagesA(module, type, name, collectLanguage, found);
}

// A string of the catalogue in one language, read from its table block.
std::wstring catalogueText(HMODULE program, UINT id, WORD language)
{
    HRSRC block = FindResourceExA(program, RT_STRING, MAKEINTRESOURCEA(id / 16 + 1), language);
    const WCHAR* entry = block ? (const WCHAR*)LockResource(LoadResource(program, block)) : 0;
    if (!entry)
        return L"";
    for (UINT skipped = 0; skipped < id % 16; ++skipped)
        entry += 1 + *entry;
    return std::wstring(entry + 1, *entry);
}

}  // namespace

TEST_CASE("shared pictures are language-neutral; common network failures have texts in both languages")
{
    HMODULE program = LoadLibraryExA("Quorv.exe", 0, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(program);
    struct {
        LPCSTR type;
        size_t atLeast;
    } kinds[] = { { RT_BITMAP, 7 }, { RT_GROUP_ICON, 1 }, { RT_ICON, 1 }, { RT_MANIFEST, 1 } };
    for (const auto& kind : kinds) {
        std::vector<WORD> languages;
        EnumResourceNamesA(program, kind.type, collectLanguages, (LONG_PTR)&languages);
        CAPTURE((UINT_PTR)kind.type);
        CHECK_GE(languages.size(), kind.atLeast);
        CHECK_EQ(std::count(languages.begin(), languages.end(), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)),
                 (long)languages.size());
    }
    // Network and host unreachable, timed out, refused, lookup failed for now.
    for (UINT code : { 10051u, 10060u, 10061u, 10065u, 11002u }) {
        CAPTURE(code);
        CHECK_FALSE(catalogueText(program, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)).empty());
        CHECK_FALSE(catalogueText(program, code, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)).empty());
    }
    FreeLibrary(program);
}
