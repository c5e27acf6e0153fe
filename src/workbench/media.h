// A small string-command media layer for the exit screen's music. It knows
// four commands, each answering whether it succeeded:
//   open FILE alias A     load a MIDI file under the name A
//   play A from 0         play it from the start
//   stop A                stop playing
//   close A               forget A
// Playback goes through FluidSynth with a General MIDI soundfont. A missing
// file, soundfont or audio device only means silence.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace matcalc::workbench {

class Media {
 public:
  // Where to look for a soundfont. An empty list means the usual places
  // (MATCALC_SOUNDFONT first, then the Debian General MIDI fonts).
  explicit Media(std::vector<std::string> soundfonts = {});
  ~Media();
  Media(const Media&) = delete;
  Media& operator=(const Media&) = delete;

  // Sends one command; false for an unknown or failed one.
  bool Send(std::string_view command);

  // Stops `alias`, opens `file` under it and plays it when the open worked.
  // Returns whether the last command sent succeeded.
  bool Play(const std::string& file, const std::string& alias);
  // Stops and closes `alias`, whatever the outcome.
  void Stop(const std::string& alias);

  // Every command sent, for the tests.
  const std::vector<std::string>& sent() const { return sent_; }

  // Whether playing is switched off (MATCALC_AUDIO=none): open fails at once,
  // so the tests never wait for an audio device.
  static bool AudioDisabled();

 private:
  struct Song;
  bool Open(const std::string& file, const std::string& alias);

  std::vector<std::string> soundfonts_;
  std::map<std::string, std::unique_ptr<Song>> songs_;
  std::vector<std::string> sent_;
};

}  // namespace matcalc::workbench
