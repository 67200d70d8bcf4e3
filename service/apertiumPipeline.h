// Long-lived Apertium pipelines, a pool of them per translation mode, fed
// through pipes in null-flush mode so that a translation costs no process
// start.
#pragma once
#include <string>
#include <vector>

// Starts count pipelines for each of the modes, all at once, and runs a
// word through each, so that the first request finds the dictionaries
// loaded. Returns 0 when a mode is not installed or does not start. A
// request waits answerTimeoutMs at the most for a pipeline and its answer.
// A mode "eng-spa:3" is the first three stages of eng-spa; "spa-eng*"
// marks the words its generator does not know ("*word").
int startApertiumPipelines(const std::vector<const char*>& modes, int count, int answerTimeoutMs);
// Ends every pipeline's processes.
void stopApertiumPipelines();
// The pool size for this machine: one pipeline of each mode per core, as
// far as the memory allows.
int defaultPipelineCount();

enum PipelineResult { PIPELINE_ANSWERED, PIPELINE_FAILED, PIPELINE_BUSY };

// Runs chunks of stream format through a free pipeline of the mode (such as
// "eng-spa"), one after another without waiting, so that the stages work
// on several at once, and reads the answer to each. A pipeline that has
// died or whose answers are out of step is restarted in the background and
// the chunks go to another; one that does not answer in time is restarted
// too, and the chunks are not sent again. Safe to call from many threads.
// PIPELINE_BUSY: every pipeline of the mode stayed taken, or the mode's
// queue is full; PIPELINE_FAILED also for a mode that is not one of ours.
PipelineResult runApertiumMode(const char* mode, const std::vector<std::string>& chunks,
    std::vector<std::string>& answers);
// 1 when every mode has a pipeline that answered its last request or probe.
// report gets a line per mode: its pipelines ready, busy and restarting,
// requests served, restarts and memory per pipeline.
int apertiumHealth(std::string& report);
// Process id of the shell that heads the index-th pipeline of the mode,
// once it is ready; 0 when none runs.
int apertiumPipelineProcess(const char* mode, int index = 0);
