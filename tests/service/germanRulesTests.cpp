// The pieces of the German renderings that need neither Apertium nor a
// dictionary: the tagger's answer taken apart, German forms by rule.
#include <string>
#include "bytes.h"
#include "taggerAnswer.h"
#include "germanGrammar.h"

TEST_CASE("the tagger's answer gives each word's lemma, class and the text before it")
{
    struct {
        const char* stream;
        const char* words;  // lemma/class/before, each word on a line; "" when the answer is not the tagger's
    } cases[] = {
        { "^The<det><def><sp>$ ^do<vbdo><pres>+not<adv>$ ^coffee<n><sg># with milk$[\n\t]^*Zorb\\/lax$^.<sent>$[]",
            "The/det/\ndo/vbdo/ \nnot/adv/\ncoffee with milk/n/ \nZorb/lax//\n\t\n" },
        { "^a<det><ind><sg>$ ^house<n>", "" },
        { "", "" },
    };
    for (auto& c : cases) {
        CAPTURE(std::string(c.stream));
        std::vector<EnglishWord> words(1);
        std::string listed;
        int parsed = parseTaggedStream(c.stream, words);
        for (const EnglishWord& word : words)
            listed += word.lemma + "/" + word.wordClass + "/" + word.before + "\n";
        CHECK_EQ(parsed, c.words[0] || !c.stream[0]);
        if (parsed)
            CHECK_EQ(Bytes(listed), Bytes(c.words));
    }
}

TEST_CASE("German verbs and nouns take their forms by rule")
{
    struct {
        std::string form;
        const char* expected;
    } cases[] = {
        { conjugated("arbeiten", 2, 0), "arbeitet" },  // a linking e
        { conjugated("fahren", 1, 0), "f\xC3\xA4hrst" },   // a changed stem
        { conjugated("lesen", 2, 0), "liest" },
        { conjugated("abfahren", 2, 1), "abfuhr" },     // a prefix kept
        { conjugated("kaufen", 3, 1), "kauften" },
        { conjugated("im Garten arbeiten", 0, 0), "im Garten arbeite" },
        { pastParticiple("besuchen"), "besucht" },      // no "ge" after "be"
        { pastParticiple("verlassen"), "verlassen" },
        { pastParticiple("abfahren"), "abgefahren" },
        { pastParticiple("studieren"), "studiert" },
        { pastParticiple("reden"), "geredet" },
        { nounPlural("Tasse", GENDER_FEMININE, CASE_NOMINATIVE), "Tassen" },
        { nounPlural("Freundin", GENDER_FEMININE, CASE_NOMINATIVE), "Freundinnen" },
        { nounPlural("Zimmer", GENDER_NEUTER, CASE_DATIVE), "Zimmern" },  // the dative's n
        { nounPlural("Auto", GENDER_NEUTER, CASE_DATIVE), "Autos" },
        { nounPlural("Hund", GENDER_MASCULINE, CASE_ACCUSATIVE), "Hunde" },
    };
    for (auto& c : cases)
        CHECK_EQ(c.form, c.expected);
    int tense = -1;
    CHECK_EQ(irregularInfinitive("gegangen", tense), "gehen");
    CHECK_EQ(tense, 2);
    CHECK_EQ(irregularInfinitive("fuhren", tense), "fahren");
    CHECK_EQ(tense, 1);
}
