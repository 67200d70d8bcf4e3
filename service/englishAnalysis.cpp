#include "englishAnalysis.h"
#include "apertiumPipeline.h"
#include "apertiumStream.h"

const char EnglishAnalysisMode[] = "eng-spa:3";

int analyseEnglish(const std::string& text, std::vector<EnglishWord>& words)
{
    std::vector<std::string> chunks(1), answers;
    textToStream(text, chunks[0]);
    if (runApertiumMode(EnglishAnalysisMode, chunks, answers) != PIPELINE_ANSWERED)
        return 0;
    return parseTaggedStream(answers[0], words);
}
