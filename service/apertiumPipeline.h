// Long-lived Apertium pipelines, one per translation mode, fed through pipes
// in null-flush mode so that a translation costs no process start.
#pragma once
#include <string>
#include <vector>

struct ApertiumPipeline;

// Starts a pipeline for each of the modes and runs a word through each, so
// that the first request finds the dictionaries loaded. Returns 0 when a
// mode is not installed or does not start. answerTimeoutMs bounds
// both the wait for a pipeline's answer and the wait for its turn; the first
// word may take up to a minute, while the dictionaries load. A mode
// "eng-spa:3" is the first three stages of eng-spa; "spa-eng*" marks the
// words its generator does not know ("*word").
int startApertiumPipelines(const std::vector<const char*>& modes, int answerTimeoutMs);
// Ends every pipeline's processes.
void stopApertiumPipelines();
// The pipeline of a mode such as "eng-spa", or 0 when it is not one of ours.
ApertiumPipeline* apertiumPipeline(const char* mode);
enum PipelineResult { PIPELINE_ANSWERED, PIPELINE_FAILED, PIPELINE_BUSY };

// Sends chunks of stream format one after another without waiting, so that
// the stages work on several at once, and reads the answer to each. A
// pipeline that has died or whose answers are out of step is restarted and
// the chunks are sent once more; one that does not answer in time is
// restarted, and the chunks are not sent again. Safe to call
// from many threads: a pipeline serves one caller at a time, and a caller
// that has waited the answer timeout for its turn gets PIPELINE_BUSY.
PipelineResult runApertiumPipeline(ApertiumPipeline* pipeline, const std::vector<std::string>& chunks,
    std::vector<std::string>& answers);
// Process id of the shell that heads the pipeline's process group, 0 when
// none runs.
int apertiumPipelineProcess(const char* mode);
