#include "workbench/media.h"

#include <fluidsynth.h>

#include <cstdlib>
#include <filesystem>

namespace matcalc::workbench {

struct Media::Song {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
  fluid_audio_driver_t* driver = nullptr;

  ~Song() {
    if (player != nullptr) fluid_player_stop(player);
    // The driver goes first: it calls into the synth from its own thread.
    if (driver != nullptr) delete_fluid_audio_driver(driver);
    if (player != nullptr) delete_fluid_player(player);
    if (synth != nullptr) delete_fluid_synth(synth);
    if (settings != nullptr) delete_fluid_settings(settings);
  }
};

namespace {

// Drivers tried in turn. JACK is left out: its client may try to start a
// server and wait for it.
constexpr const char* kAudioDrivers[] = {"pulseaudio", "pipewire", "alsa", "sdl2", "oss"};

void QuietFluidSynth() {
  static const bool quiet = [] {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
    return true;
  }();
  (void)quiet;
}

// Whether a driver that opens a sound device directly has one to open. ALSA
// without a card prints a burst of errors on stderr before it gives up, so
// it is not even tried then.
bool HasDevice(std::string_view driver) {
  std::error_code error;
  if (driver == "alsa") {
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error)) {
      if (entry.path().filename().string().rfind("pcm", 0) == 0) return true;
    }
    return false;
  }
  if (driver == "oss") return std::filesystem::exists("/dev/dsp", error);
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool Media::AudioDisabled() {
  const char* audio = std::getenv("MATCALC_AUDIO");
  return audio != nullptr && std::string_view(audio) == "none";
}

Media::Media(std::vector<std::string> soundfonts) : soundfonts_(std::move(soundfonts)) {
  if (soundfonts_.empty()) {
    if (const char* chosen = std::getenv("MATCALC_SOUNDFONT")) soundfonts_.emplace_back(chosen);
    soundfonts_.emplace_back("/usr/share/sounds/sf2/default-GM.sf2");
    soundfonts_.emplace_back("/usr/share/sounds/sf2/TimGM6mb.sf2");
    soundfonts_.emplace_back("/usr/share/sounds/sf2/FluidR3_GM.sf2");
  }
}

Media::~Media() = default;

bool Media::Send(std::string_view command) {
  sent_.emplace_back(command);
  if (StartsWith(command, "open ")) {
    // The file name may hold spaces; the alias is what follows the last
    // " alias ".
    const std::string_view rest = command.substr(5);
    const std::size_t at = rest.rfind(" alias ");
    if (at == std::string_view::npos) return false;
    const std::string alias(rest.substr(at + 7));
    if (alias.empty() || songs_.count(alias) != 0) return false;
    return Open(std::string(rest.substr(0, at)), alias);
  }
  if (StartsWith(command, "play ")) {
    constexpr std::string_view kFromStart = " from 0";
    std::string_view alias = command.substr(5);
    if (alias.size() >= kFromStart.size() &&
        alias.substr(alias.size() - kFromStart.size()) == kFromStart) {
      alias.remove_suffix(kFromStart.size());
    }
    const auto song = songs_.find(std::string(alias));
    if (song == songs_.end()) return false;
    fluid_player_seek(song->second->player, 0);
    return fluid_player_play(song->second->player) == FLUID_OK;
  }
  if (StartsWith(command, "stop ")) {
    const auto song = songs_.find(std::string(command.substr(5)));
    if (song == songs_.end()) return false;
    fluid_player_stop(song->second->player);
    return true;
  }
  if (StartsWith(command, "close ")) {
    return songs_.erase(std::string(command.substr(6))) != 0;
  }
  return false;
}

bool Media::Open(const std::string& file, const std::string& alias) {
  if (AudioDisabled()) return false;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  if (fluid_is_midifile(file.c_str()) == 0) return false;
  std::string soundfont;
  for (const std::string& candidate : soundfonts_) {
    if (std::filesystem::is_regular_file(candidate, error)) {
      soundfont = candidate;
      break;
    }
  }
  if (soundfont.empty()) return false;

  QuietFluidSynth();
  auto song = std::make_unique<Song>();
  song->settings = new_fluid_settings();
  if (song->settings == nullptr) return false;
  song->synth = new_fluid_synth(song->settings);
  if (song->synth == nullptr) return false;
  if (fluid_synth_sfload(song->synth, soundfont.c_str(), 1) == FLUID_FAILED) return false;
  song->player = new_fluid_player(song->synth);
  if (song->player == nullptr) return false;
  if (fluid_player_add(song->player, file.c_str()) != FLUID_OK) return false;
  for (const char* driver : kAudioDrivers) {
    if (!HasDevice(driver)) continue;
    if (fluid_settings_setstr(song->settings, "audio.driver", driver) != FLUID_OK) continue;
    song->driver = new_fluid_audio_driver(song->settings, song->synth);
    if (song->driver != nullptr) break;
  }
  // No device at all: silence, and the commands that follow fail quietly.
  if (song->driver == nullptr) return false;
  songs_[alias] = std::move(song);
  return true;
}

bool Media::Play(const std::string& file, const std::string& alias) {
  Stop(alias);
  if (!Send("open " + file + " alias " + alias)) return false;
  return Send("play " + alias + " from 0");
}

void Media::Stop(const std::string& alias) {
  Send("stop " + alias);
  Send("close " + alias);
}

}  // namespace matcalc::workbench
