#include "app/program.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/harness_output.h"
#include "app/output_paths.h"
#include "app/run_recording.h"
#include "app/sound_recording.h"
#include "app/trace_writer.h"
#include "core/data_files.h"
#include "core/form.h"
#include "platform/audio/audio_system.h"
#include "platform/components/application.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/script.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/support/printable_text.h"
#include "platform/support/rgb_image.h"

namespace kv {

namespace {

int fail(int status, const std::string& message) {
  std::fprintf(stderr, "korvalundrix: %s\n", message.c_str());
  return status;
}

// Everything the run will write, so that no output lands on an input or on another output.
std::vector<NamedPath> outputsOf(const CommandLine& cl, const std::vector<ScriptEvent>& script) {
  std::vector<NamedPath> outputs;
  if (!cl.tracePath.empty()) outputs.push_back({"the trace file", cl.tracePath});
  if (!cl.audioOutPath.empty()) outputs.push_back({"the audio file", cl.audioOutPath});
  if (!cl.recordPath.empty()) outputs.push_back({"the recording file", cl.recordPath});
  for (const ScriptEvent& e : script) {
    if (e.event.kind == Event::Kind::Shot) outputs.push_back({"the screenshot", e.event.path});
  }
  return outputs;
}

}  // namespace

int runProgram(const CommandLine& cl, const ProgramHooks& hooks) {
  std::vector<ScriptEvent> script;
  std::vector<NamedPath> inputs;
  if (!cl.scriptPath.empty()) {
    try {
      script = loadScript(cl.scriptPath);
    } catch (const ScriptError& e) {
      return fail(kExitUsageError, e.what());
    }
    inputs.push_back({"the script", cl.scriptPath});
  }
  const bool replaying = !cl.replayPath.empty();
  if (replaying) {
    inputs.push_back({"the recording", cl.replayPath});
    if (auto problem = replayScriptProblem(script)) return fail(kExitUsageError, *problem);
  }
  if (auto clash = findPathClash(inputs, outputsOf(cl, script))) return fail(kExitUsageError, *clash);

  std::unique_ptr<HeadlessBackend> headless;
  std::unique_ptr<SdlBackend> sdl;
  std::unique_ptr<RunReplay> replay;
  std::vector<ScriptEvent> replayScript;  // a replay's script serves the harness, not the game
  std::optional<Platform> platform;
  if (replaying) {
    replayScript = std::move(script);
    try {
      replay = std::make_unique<RunReplay>(cl.replayPath);
    } catch (const RecordingError& e) {
      return fail(kExitUsageError, "the recording " + printablePath(cl.replayPath) + " " + e.what());
    }
    if (cl.windowed) {
      sdl = std::make_unique<SdlBackend>();
      std::string error;
      if (!sdl->init(SdlOptions{true}, error)) return fail(kExitCannotStart, error);
      replay->watchIn(sdl->platform());
    }
    platform.emplace(replay->platform());
  } else if (cl.headless) {
    headless = std::make_unique<HeadlessBackend>(cl.refreshHz, std::move(script));
    platform.emplace(headless->platform());
  } else {
    sdl = std::make_unique<SdlBackend>();
    std::string error;
    if (!sdl->init(SdlOptions{cl.windowed}, error)) return fail(kExitCannotStart, error);
    platform.emplace(sdl->platform());
  }
  std::unique_ptr<RunRecording> recorder;
  if (!cl.recordPath.empty()) {
    recorder = std::make_unique<RunRecording>(cl, *platform);
    platform.emplace(recorder->platform());
  }

  AudioSystem audio(platform->audio);
  TApplication app(*platform);
  HarnessOutputs outputs;
  outputs.onFailure([&app] { app.Terminate(); });
  TraceWriter trace(platform->clock);
  std::unique_ptr<SoundRecording> recording;
  if (headless && !cl.audioOutPath.empty()) {
    // Set up before the game opens the card, so the recording covers the run from its first moment.
    recording = std::make_unique<SoundRecording>(outputs, cl.audioOutPath, audio.sampleRate());
    headless->audio.record(audio.sampleRate(),
                           [&recording](const int16_t* s, int n) { recording->write(s, n); });
  }
  if (replay) {
    if (!cl.audioOutPath.empty()) {
      recording = std::make_unique<SoundRecording>(outputs, cl.audioOutPath, audio.sampleRate());
      replay->source().setSoundSink([&recording](const int16_t* s, int n) { recording->write(s, n); });
    }
    replay->source().onStop([&app, &trace] {
      trace.stop();
      app.Terminate();
    });
    replay->serveHarness(trace, outputs, std::move(replayScript), cl.shotsEveryMs);
  }

  FormSettings settings;
  settings.fullScreen = !cl.windowed;
  settings.seedGiven = cl.seed.has_value();
  settings.seed = cl.seed.value_or(0);
  if (replay) settings = replay->settings();
  std::unique_ptr<TForm1> form;
  try {
    form = std::make_unique<TForm1>(app, audio, settings);
  } catch (const MissingDataFile& e) {
    return fail(kExitCannotStart, e.what());
  } catch (const std::exception& e) {
    return fail(kExitCannotStart, std::string("cannot start: ") + e.what());
  }

  app.setHarnessHandler([&](const Event& e) {
    if (e.kind == Event::Kind::State) {
      trace.write("state");
    } else if (e.kind == Event::Kind::Terrain) {
      trace.writeTerrain();
    } else if (e.kind == Event::Kind::Shot && headless) {
      writeOutputFile(outputs, "the screenshot", e.path, encodeBmp24(headless->display.screen()));
    }
  });
  form->setObserver(&trace);
  try {
    if (!form->Show()) return fail(kExitCannotStart, "cannot open the window: " + platform->video.error());
  } catch (const std::exception& e) {
    return fail(kExitCannotStart, std::string("cannot start the display: ") + e.what());
  }
  // The run really starts here: only now are output files created, so a start that fails leaves none.
  if (!cl.tracePath.empty() && !trace.open(outputs, cl.tracePath))
    return fail(kExitUsageError, outputs.failure());
  if (replay && recording) recording->setSampleRate(replay->source().soundRate());
  if (recording && !recording->create()) return fail(kExitUsageError, outputs.failure());
  if (recorder && !recorder->create(outputs, cl.recordPath)) return fail(kExitUsageError, outputs.failure());
  if (headless && hooks.beforeRun) hooks.beforeRun(*headless, app);
  trace.write("start");
  const auto replayStopped = [&replay] {
    return replay && replay->source().outcome() != ReplaySource::Outcome::Running;
  };
  if (!outputs.failed() && !replayStopped()) app.Run();
  trace.write("exit");
  if (replay && !outputs.failed()) replay->source().finish();
  if (recorder) recorder->finish();
  trace.close();
  if (recording) {
    if (headless) headless->audio.finishRecording();
    recording->finish();
  }
  if (outputs.failed()) return fail(kExitUsageError, outputs.failure());
  if (replay) {
    const ReplaySource& r = replay->source();
    if (r.outcome() == ReplaySource::Outcome::Failed)
      return fail(kExitUsageError, "replaying " + printablePath(cl.replayPath) + ": " + r.message());
    if (r.outcome() == ReplaySource::Outcome::ViewerFailed) return fail(kExitCannotStart, r.message());
  }
  if ((headless || replay) && app.exceptionCount() > 0) {
    return fail(kExitErrorInRun,
                std::to_string(app.exceptionCount()) + " error(s) during the run, printed above");
  }
  return kExitOk;
}

}  // namespace kv
