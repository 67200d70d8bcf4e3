// The pictures and the manifest exist once for both languages, so they must
// not carry the tag of either.
#include <windows.h>
#include <algorithm>
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

}  // namespace

TEST_CASE("the shared pictures and the manifest are language-neutral")
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
    FreeLibrary(program);
}
