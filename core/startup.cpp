// Startup and shutdown: what lives for the whole program run.
#include <string>

#include "core/data_files.h"
#include "core/form.h"
#include "core/speed_table.h"
#include "gfx/matrix_font.h"
#include "platform/audio/music_stream.h"
#include "state/game_state.h"
#include "state/random.h"

namespace kv {

void TForm1::FormCreate() {
  game.captionScale = 3;
  game.introPending = true;
  game.surfaceLocked = false;
  game.level = 1;
  game.levelWon = false;
  game.points = 0;
  game.totalPoints = 0;
  randomGenerator.seed(settings_.seedGiven ? settings_.seed : Application.platform().clock.seedValue());

  BASS_UseAudioSystem(&Audio);
  BASS_Init(1, 44100, 0, nullptr, nullptr);
  BASS_Start();
  game.musicFileName = "Velunora002c.mp3";
  // The music may sit beside the game rather than in the working directory; without it there is no music.
  const auto dirs = settings_.dataDirs.empty() ? dataSearchDirs() : settings_.dataDirs;
  const std::string musicPath = findDataFile(game.musicFileName, dirs).value_or(game.musicFileName);
  game.musicStream = BASS_StreamCreateFile(kFalse, musicPath.c_str(), 0, 0, 0);
  game.musicLength = static_cast<uint32_t>(BASS_StreamGetLength(game.musicStream));

  refreshcheck();
  zrobmatryce();

  const SpeedChoice speeds = chooseSpeeds(game.refreshRate);
  game.fastSpeed = speeds.fastSpeed;
  game.normalSpeed = speeds.normalSpeed;
  game.slowSpeed = speeds.slowSpeed;

  Button2.SetVisible(false);
}

void TForm1::refreshcheck() {
  // The rate of the desktop mode in force now, before the game's own full-screen mode. A display
  // faster than 120 Hz shows one redraw every k refreshes; the game then counts the effective rate.
  const SpeedChoice c = chooseSpeeds(Application.platform().video.refreshRateHz());
  game.refreshRate = c.refreshRate;
  vblanksPerFlip_ = c.vblanksPerFrame;
  DXDraw1.SetVBlanksPerFlip(vblanksPerFlip_);
}

void TForm1::zrobmatryce() {
  const std::string name = "alfabet";
  const auto dirs = settings_.dataDirs.empty() ? dataSearchDirs() : settings_.dataDirs;
  const auto path = findDataFile(name, dirs);
  if (!path) {
    std::string places;
    for (const auto& d : dirs) places += (places.empty() ? "" : ", ") + d;
    throw MissingDataFile("cannot find the matrix font file \"" + name + "\" (looked in " + places + ")");
  }
  loadMatrixFont(*path);
}

void TForm1::FormClose() {
  BASS_StreamFree(game.musicStream);
}

void TForm1::Button3Click() {
  BASS_Stop();
  BASS_Free();
  Close();
}

}  // namespace kv
