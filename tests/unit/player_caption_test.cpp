#include "player/player_caption.h"

#include <gtest/gtest.h>

namespace {

TEST(PlayerCaption, NamesTheSongWithoutNumberPlayerOrState) {
  struct Case {
    std::string_view caption, title, artist;
  };
  for (const Case& c : {
           Case{"123. 李白 - 静夜思 - Winamp", "静夜思", "李白"},
           Case{"7. Artist - Title - Winamp [Paused]", "Title", "Artist"},
           // The first " - " splits, the last " - Winamp" is the player's.
           Case{"Artist - Title - Part 2 - Winamp [Stopped]", "Title - Part 2", "Artist"},
           Case{"1. A - Winamp Song - Winamp", "Winamp Song", "A"},
           Case{"Title alone", "Title alone", ""},
           Case{"Winamp 5.666 Build 3516", "", ""},
       }) {
    const player::CaptionSong song = player::SongFromCaption(c.caption);
    EXPECT_EQ(song.title, c.title) << c.caption;
    EXPECT_EQ(song.artist, c.artist) << c.caption;
  }
}

}  // namespace
