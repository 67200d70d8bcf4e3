#include "dictionarySenses.h"
#include <algorithm>
#include "dictionaryFiles.h"

static std::string trimmed(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// A translation ends where its grammar tag ("<neut>"), a label ("[Am.]") or
// a case hint ("([+ dat])") begins; an item that is only a pronunciation
// ("/ju:/") is none.
// The class and gender that a tag's words ("v, trans", "neut, n, sg") name.
static void readTag(const std::string& tag, WordClass& wordClass, Gender& gender)
{
    static const struct {
        const char* word;
        WordClass wordClass;
        Gender gender;
    } Words[] = {
        { "n", CLASS_NOUN, GENDER_NONE }, { "masc", CLASS_NOUN, GENDER_MASCULINE },
        { "fem", CLASS_NOUN, GENDER_FEMININE }, { "neut", CLASS_NOUN, GENDER_NEUTER },
        { "pl", CLASS_NOUN, GENDER_PLURAL }, { "v", CLASS_VERB, GENDER_NONE },
        { "adj", CLASS_ADJECTIVE, GENDER_NONE }, { "adv", CLASS_ADVERB, GENDER_NONE },
    };
    for (size_t start = 0; start < tag.size();) {
        size_t end = std::min(tag.find(',', start), tag.size());
        std::string word = trimmed(tag.substr(start, end - start));
        for (const auto& known : Words) {
            if (word != known.word)
                continue;
            if (wordClass == CLASS_OTHER)
                wordClass = known.wordClass;
            if (gender == GENDER_NONE)
                gender = known.gender;
        }
        start = end + 1;
    }
}

static std::string firstTag(const std::string& text)
{
    size_t open = text.find('<'), close = text.find('>', open);
    return close == std::string::npos ? "" : text.substr(open + 1, close - open - 1);
}

static void addTranslation(const std::string& item, Sense& sense)
{
    size_t end = std::min(item.find_first_of("<["), item.size());
    while (end > 0 && (item[end - 1] == '(' || item[end - 1] == ' '))
        --end;
    std::string word = trimmed(item.substr(0, end));
    if (word.empty() || word[0] == '/')
        return;
    Gender gender = GENDER_NONE;
    readTag(firstTag(item), sense.wordClass, gender);
    sense.translations.push_back(word);
    sense.genders.push_back(gender);
}

// The line's translations: labels in front and a sense number ("2. ") go,
// and commas inside tags ("<v, trans>") do not separate.
static void parseSenseLine(const std::string& line, Sense& sense)
{
    std::string rest = trimmed(line);
    size_t labelsEnd = 0, close;
    while (labelsEnd < rest.size() && rest[labelsEnd] == '[' && (close = rest.find(']', labelsEnd)) != std::string::npos)
        labelsEnd = rest.find_first_not_of(' ', close + 1);
    rest.erase(0, labelsEnd);
    size_t digits = rest.find_first_not_of("0123456789");
    if (digits > 0 && digits != std::string::npos && rest.compare(digits, 2, ". ") == 0)
        rest.erase(0, digits + 2);
    std::string item;
    int depth = 0;
    for (char c : rest) {
        if (c == '<' || c == '[' || c == '(')
            ++depth;
        else if ((c == '>' || c == ']' || c == ')') && depth > 0)
            --depth;
        if (c == ',' && depth == 0) {
            addTranslation(item, sense);
            item.clear();
        } else {
            item += c;
        }
    }
    addTranslation(item, sense);
}

// The headword as the entry spells it, before its pronunciation or tags.
static std::string entryHeadword(const std::string& line)
{
    size_t end = line.find(" /");
    if (end == std::string::npos)
        end = line.find(" <");
    return trimmed(line.substr(0, end));
}

std::string addSenses(const std::string& word, const std::string& entry, std::vector<Sense>& senses)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < entry.size();) {
        size_t end = std::min(entry.find('\n', start), entry.size());
        lines.push_back(entry.substr(start, end - start));
        start = end + 1;
    }
    if (lines.empty())
        return "";
    std::string headword = entryHeadword(lines[0]);
    int match = headword == word ? 2 : compareFolded(headword, word) == 0 ? 1 : 0;
    WordClass headwordClass = CLASS_OTHER;
    Gender unused = GENDER_NONE;
    readTag(firstTag(lines[0]), headwordClass, unused);
    int examples = 0;
    size_t firstSense = senses.size();
    std::string reference;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        size_t text = line.find_first_not_of(' ');
        if (text == std::string::npos)
            continue;
        if (line[text] == '"') {
            ++examples;
        } else if (text == 0 || (text == 1 && line[1] == '[')) {
            Sense sense = { {}, {}, headwordClass, match, 0, text == 1 };
            parseSenseLine(line, sense);
            if (!sense.translations.empty())
                senses.push_back(sense);
        } else if (reference.empty() && line.compare(text, 4, "see:") == 0) {
            size_t open = line.find('{', text), close = line.find('}', open);
            if (close != std::string::npos)
                reference = line.substr(open + 1, close - open - 1);
        }
    }
    for (size_t i = firstSense; i < senses.size(); ++i)
        senses[i].examples = examples;
    return senses.size() == firstSense ? reference : "";
}

void rankSenses(std::vector<Sense>& senses)
{
    // One example is often just a phrase that uses the word; it says little.
    auto weight = [](const Sense& sense) {
        return sense.examples < 2 ? 0 : sense.labelled ? sense.examples : 2 * sense.examples;
    };
    std::stable_sort(senses.begin(), senses.end(), [&weight](const Sense& a, const Sense& b) {
        if (a.headwordMatch != b.headwordMatch)
            return a.headwordMatch > b.headwordMatch;
        return weight(a) > weight(b);
    });
    // Entries of other forms ("Haus…" for "Haus") only help a word without its own.
    auto otherForms = std::find_if(senses.begin(), senses.end(),
        [](const Sense& sense) { return sense.headwordMatch == 0; });
    if (otherForms != senses.begin())
        senses.erase(otherForms, senses.end());
}

static int isSingleWord(const std::string& translation)
{
    return translation.find_first_of(" .()") == std::string::npos;
}

const Sense* senseOfClass(const std::vector<Sense>& senses, WordClass wordClass, size_t& index)
{
    // A field's sense ("[fin.] post") is not the everyday one.
    int labelsToo = std::none_of(senses.begin(), senses.end(),
        [wordClass](const Sense& sense) { return sense.wordClass == wordClass && !sense.labelled; });
    auto fits = [wordClass, labelsToo](const Sense& sense) {
        return sense.wordClass == wordClass && (labelsToo || !sense.labelled);
    };
    auto found = std::find_if(senses.begin(), senses.end(), fits);
    // A word of the class in a sense of its own beats an idiom of the first.
    for (auto at = found; at != senses.end(); at = std::find_if(at + 1, senses.end(), fits))
        if (std::any_of(at->translations.begin(), at->translations.end(), isSingleWord)) {
            found = at;
            break;
        }
    if (found == senses.end())
        found = senses.begin();
    if (found == senses.end())
        return 0;
    const Sense& sense = *found;
    index = 0;
    for (size_t i = sense.translations.size(); i-- > 0;) {
        int better = isSingleWord(sense.translations[i]) && (wordClass != CLASS_NOUN || sense.genders[i] != GENDER_NONE);
        if (better)
            index = i;
    }
    return &sense;
}

std::string plainTranslation(const std::string& translation)
{
    std::string out, word;
    int depth = 0;
    for (size_t i = 0; i <= translation.size(); ++i) {
        char c = i < translation.size() ? translation[i] : ' ';
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            depth -= depth > 0;
        } else if (c == ' ') {
            int placeholder = word.empty() || word.back() == '.' || word == "sich" || word == "to";
            if (!placeholder)
                out += (out.empty() ? "" : " ") + word;
            word.clear();
        } else if (depth == 0 && c != '!' && c != '?') {
            word += c;
        }
    }
    return out.empty() ? translation : out;
}
