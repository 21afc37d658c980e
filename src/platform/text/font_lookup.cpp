#include "platform/text/font_lookup.h"

#include "platform/library_leaks.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The Windows faces the game names are met by a metric-compatible Gothic.
const char* FONT_ALIASES = "<?xml version=\"1.0\"?>\n"
                           "<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                           "<fontconfig>\n"
                           "  <alias binding=\"same\"><family>ＭＳ ゴシック</family>"
                           "<accept><family>IPAGothic</family></accept></alias>\n"
                           "  <alias binding=\"same\"><family>MS Gothic</family>"
                           "<accept><family>IPAGothic</family></accept></alias>\n"
                           "</fontconfig>\n";

bool s_aliasesLoaded = false;
bool s_fallbackNoted = false;

bool MatchFont(const char* pattern, bool wantJapanese, FontFile* match) {
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!query)
        return false;
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result;
    FcPattern* found = FcFontMatch(nullptr, query, &result);
    FcPatternDestroy(query);
    if (!found)
        return false;
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    FcLangSet* langs = nullptr;
    bool ok = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch &&
              FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch;
    if (ok && wantJapanese) {
        ok = FcPatternGetLangSet(found, FC_LANG, 0, &langs) == FcResultMatch &&
             FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
    }
    if (ok) {
        match->file = reinterpret_cast<const char*>(file);
        match->family = reinterpret_cast<const char*>(family);
        int index = 0;
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        match->index = index;
    }
    FcPatternDestroy(found);
    return ok;
}

} // namespace

bool FindFontFile(const char* faceName, FontFile* match) {
    {
        // fontconfig's parser loses a few hundred bytes of the configuration it reads.
        const LibraryLeakIgnored parserLeaks;
        if (!FcInit())
            return false;
        if (!s_aliasesLoaded) {
            FcConfigParseAndLoadFromMemory(FcConfigGetCurrent(),
                                           reinterpret_cast<const FcChar8*>(FONT_ALIASES), FcFalse);
            s_aliasesLoaded = true;
        }
    }
    // Only the family is taken from the name: fontconfig would read ':' and '-' in it.
    FcPattern* probe = FcPatternCreate();
    FcPatternAddString(probe, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    FcChar8* unparsed = FcNameUnparse(probe);
    FcPatternDestroy(probe);
    const std::string pattern = unparsed ? reinterpret_cast<const char*>(unparsed) : "";
    std::free(unparsed);
    if (MatchFont(pattern.c_str(), true, match))
        return true;
    if (!MatchFont("sans-serif:lang=ja", true, match) && !MatchFont("sans-serif", false, match))
        return false;
    if (!s_fallbackNoted) {
        std::fprintf(stderr, "font \"%s\" not found; using \"%s\"\n", faceName,
                     match->family.c_str());
        s_fallbackNoted = true;
    }
    return true;
}
