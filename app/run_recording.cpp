#include "app/run_recording.h"

#include <cstdio>

#include "platform/support/rgb_image.h"

namespace kv {

namespace {

RecordingHeader headerFor(const CommandLine& cl) {
  RecordingHeader h;
  h.program = programName();
  h.backend = cl.headless ? "headless" : "window";
  h.fullScreen = !cl.windowed;
  h.seed = cl.seed;
  return h;
}

}  // namespace

std::string programName() {
  return std::string("korvalundrix ") + KV_VERSION;
}

RunRecording::RunRecording(const CommandLine& cl, const Platform& inner)
    : writer_(headerFor(cl)), platform_(inner, writer_) {}

bool RunRecording::create(HarnessOutputs& outputs, const std::string& path) {
  file_ = std::make_unique<OutputFile>(outputs, "the recording file", path);
  if (!file_->create()) return false;
  return writer_.attach([this](const uint8_t* data, size_t size) { return file_->write(data, size); });
}

bool RunRecording::finish() {
  const bool ok = platform_.finish();
  return file_ && file_->close() && ok;
}

RunReplay::RunReplay(const std::string& path) {
  RecordingFile file = loadRecording(path);
  const RecordingSummary summary = checkRecords(file);
  source_ = std::make_unique<ReplaySource>(std::move(file), summary, programName());
}

FormSettings RunReplay::settings() const {
  FormSettings s;
  s.fullScreen = source_->header().fullScreen;
  s.seedGiven = source_->header().seed.has_value();
  s.seed = source_->header().seed.value_or(0);
  return s;
}

void RunReplay::watchIn(const Platform& viewer) {
  source_->setViewer(ReplayViewer{&viewer.video, &viewer.events, &viewer.clock});
}

void RunReplay::serveHarness(TraceWriter& trace, HarnessOutputs& outputs, std::vector<ScriptEvent> script,
                             std::optional<uint32_t> shotsEveryMs) {
  trace_ = &trace;
  outputs_ = &outputs;
  script_ = std::move(script);
  shotsEvery_ = shotsEveryMs;
  source_->onPoll([this](uint32_t ms) { tick(ms); });
}

void RunReplay::tick(uint32_t ms) {
  while (nextEvent_ < script_.size() && script_[nextEvent_].timeMs <= ms && !outputs_->failed()) {
    const Event& e = script_[nextEvent_++].event;
    if (e.kind == Event::Kind::Shot) {
      writeOutputFile(*outputs_, "the screenshot", e.path, encodeBmp24(source_->screen()));
    } else if (e.kind == Event::Kind::State) {
      trace_->write("state", ms);
    } else if (e.kind == Event::Kind::Terrain) {
      trace_->writeTerrain(ms);
    }
  }
  if (shotsEvery_ && ms >= nextShotMs_ && !outputs_->failed()) {
    const uint64_t at = ms / *shotsEvery_ * *shotsEvery_;
    char name[32];
    std::snprintf(name, sizeof name, "shot-%08llu.bmp", static_cast<unsigned long long>(at));
    writeOutputFile(*outputs_, "the screenshot", name, encodeBmp24(source_->screen()));
    nextShotMs_ = at + *shotsEvery_;
  }
}

std::optional<std::string> replayScriptProblem(const std::vector<ScriptEvent>& script) {
  for (const ScriptEvent& e : script) {
    const Event::Kind k = e.event.kind;
    if (k != Event::Kind::Shot && k != Event::Kind::State && k != Event::Kind::Terrain)
      return "a script for --replay may hold only shot, state and terrain lines: the game's input comes from "
             "the recording (the line at " +
             std::to_string(e.timeMs) + " ms asks for more)";
  }
  return std::nullopt;
}

}  // namespace kv
