#include "player/player_caption.h"

#include "text/gbk.h"

namespace player {

namespace {

constexpr std::string_view kPlayerName = " - Winamp";
constexpr std::string_view kSeparator = " - ";

// The caption without the player's name: the last " - Winamp" that ends it or
// is followed by a state in brackets.
std::string_view WithoutPlayerName(std::string_view caption) {
  std::size_t cut = text::npos;
  for (std::size_t at = text::Find(caption, kPlayerName); at != text::npos;
       at = text::Find(caption, kPlayerName, at + kPlayerName.size())) {
    const std::string_view rest = caption.substr(at + kPlayerName.size());
    if (rest.empty() || rest.starts_with(" [")) cut = at;
  }
  return caption.substr(0, cut);
}

std::string_view WithoutTrackNumber(std::string_view song) {
  std::size_t digits = 0;
  while (digits < song.size() && text::IsDigit(song[digits])) ++digits;
  if (digits > 0 && song.substr(digits).starts_with(". ")) song.remove_prefix(digits + 2);
  return song;
}

}  // namespace

CaptionSong SongFromCaption(std::string_view caption) {
  const std::string_view named = WithoutPlayerName(caption);
  if (named.size() == caption.size() && caption.starts_with("Winamp")) return {};
  const std::string_view song = WithoutTrackNumber(text::TrimBlanks(named));
  const std::size_t separator = text::Find(song, kSeparator);
  if (separator == text::npos) return {std::string(text::TrimBlanks(song)), {}};
  return {std::string(text::TrimBlanks(song.substr(separator + kSeparator.size()))),
          std::string(text::TrimBlanks(song.substr(0, separator)))};
}

}  // namespace player
