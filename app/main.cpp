// KORVALUNDRIX: reads the command line, picks the back end and runs the game.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/trace_writer.h"
#include "core/data_files.h"
#include "core/form.h"
#include "platform/application.h"
#include "platform/audio_system.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/script.h"
#include "platform/headless/wav_stream.h"
#include "platform/sdl/sdl_backend.h"

namespace {

int fail(int status, const std::string& message) {
  std::fprintf(stderr, "korvalundrix: %s\n", message.c_str());
  return status;
}

int run(const kv::CommandLine& cl) {
  std::vector<kv::ScriptEvent> script;
  if (!cl.scriptPath.empty()) {
    try {
      script = kv::loadScript(cl.scriptPath);
    } catch (const kv::ScriptError& e) {
      return fail(2, e.what());
    }
  }

  std::unique_ptr<kv::HeadlessBackend> headless;
  std::unique_ptr<kv::SdlBackend> sdl;
  std::optional<kv::Platform> platform;
  if (cl.headless) {
    headless = std::make_unique<kv::HeadlessBackend>(cl.refreshHz, std::move(script));
    platform.emplace(headless->platform());
  } else {
    sdl = std::make_unique<kv::SdlBackend>();
    std::string error;
    if (!sdl->init(kv::SdlOptions{cl.windowed}, error)) return fail(1, error);
    platform.emplace(sdl->platform());
  }

  kv::AudioSystem audio(platform->audio);
  kv::WavStream audioOut;
  if (!cl.audioOutPath.empty()) {
    if (!audioOut.open(cl.audioOutPath, audio.sampleRate())) return fail(2, audioOut.error());
    headless->audio.record(audio.sampleRate(), [&](const int16_t* s, int n) { audioOut.write(s, n); });
  }
  kv::TApplication app(*platform);
  kv::TraceWriter trace(platform->clock);
  if (!cl.tracePath.empty() && !trace.open(cl.tracePath)) {
    return fail(2, "cannot write the trace file " + cl.tracePath);
  }

  kv::FormSettings settings;
  settings.fullScreen = !cl.windowed;
  settings.seedGiven = cl.seed.has_value();
  settings.seed = cl.seed.value_or(0);
  std::unique_ptr<kv::TForm1> form;
  try {
    form = std::make_unique<kv::TForm1>(app, audio, settings);
  } catch (const kv::MissingDataFile& e) {
    return fail(1, e.what());
  } catch (const std::exception& e) {
    return fail(1, std::string("cannot start: ") + e.what());
  }

  int status = 0;
  app.setHarnessHandler([&](const kv::Event& e) {
    if (e.kind == kv::Event::Kind::State) {
      trace.write("state");
    } else if (e.kind == kv::Event::Kind::Terrain) {
      trace.writeTerrain();
    } else if (e.kind == kv::Event::Kind::Shot && !platform->video.saveScreenshot(e.path)) {
      std::fprintf(stderr, "korvalundrix: cannot write the screenshot %s\n", e.path.c_str());
      status = 2;
      app.Terminate();
    }
  });
  form->setObserver(&trace);
  try {
    if (!form->Show()) return fail(1, "cannot open the window: " + platform->video.error());
  } catch (const std::exception& e) {
    return fail(1, std::string("cannot start the display: ") + e.what());
  }
  trace.write("start");
  app.Run();
  trace.write("exit");
  if (!cl.audioOutPath.empty()) {
    headless->audio.finishRecording();
    if (!audioOut.finish()) status = fail(2, audioOut.error());
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  kv::CommandLine cl;
  try {
    cl = kv::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const kv::UsageError& e) {
    return fail(2, e.what());
  }
  if (cl.help) {
    std::fputs(kv::usageText(), stdout);
    return 0;
  }
  if (cl.version) {
    std::printf("korvalundrix %s\n", KV_VERSION);
    return 0;
  }
  return run(cl);
}
