// Tag reader and genre table: tag windows written byte by byte into real files under the simulated drive.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "metadata/track_tag.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace {

namespace fs = std::filesystem;
using metadata::GENRE_NAMES;
using metadata::TrackTag;

using Bytes = std::vector<unsigned char>;

// Copies `text` into a zero-padded field of `width` bytes at `offset`.
void putField(Bytes& bytes, std::size_t offset, const std::string& text, std::size_t width) {
    for (std::size_t i = 0; i < width && i < text.size(); ++i) bytes[offset + i] = static_cast<unsigned char>(text[i]);
}

// A file of some audio-like bytes followed by a 128-byte tag.
Bytes taggedFile(const std::string& title, const std::string& artist, const std::string& album, int genre,
                 const std::string& year = "", const std::string& comment = "") {
    Bytes bytes(300, 0xFF);
    Bytes tag(128, 0);
    putField(tag, 0, "TAG", 3);
    putField(tag, 3, title, 30);
    putField(tag, 33, artist, 30);
    putField(tag, 63, album, 30);
    putField(tag, 93, year, 4);
    putField(tag, 97, comment, 30);
    tag[127] = static_cast<unsigned char>(genre);
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    return bytes;
}

class TrackTagTest : public SimTest {
protected:
    // Writes `bytes` to the Windows path `path` and returns the path.
    std::string writeTrack(const Bytes& bytes, const std::string& path = "C:\\Music\\track.mp3") {
        writeFile(path, std::string(bytes.begin(), bytes.end()));
        return path;
    }

    // Reads the tag and closes the file again, as the load step does.
    TrackTag read(const std::string& path, TrackTag tag = {}) {
        int file = metadata::readTrackTag(tag, path);
        metadata::finishTagRead(file);
        return tag;
    }
};

TEST_F(TrackTagTest, StandardTagGivesItsFieldsAndLeavesTheFileOpenUntilFinished) {
    std::string path = writeTrack(taggedFile("Song", "Band", "Disc", 17, "1999", "Nice"));
    TrackTag tag;
    tag.tagMissing = 1;
    int file = metadata::readTrackTag(tag, path);
    EXPECT_GE(file, 0);
    EXPECT_EQ(sim::openFileCount(), 1);
    metadata::finishTagRead(file);
    EXPECT_EQ(sim::openFileCount(), 0);

    EXPECT_EQ(tag.trackTitle, "Song");
    EXPECT_EQ(tag.trackArtist, "Band");
    EXPECT_EQ(tag.trackAlbum, "Disc");
    EXPECT_EQ(tag.trackGenre, "Rock ");
    EXPECT_EQ(tag.tagMissing, 0);
}

TEST_F(TrackTagTest, GenreComesFromTheLastByteAsAnUnsignedIndex) {
    struct Case {
        int byte;
        const char* genre;
    };
    for (Case c : {Case{0, "Blues"}, Case{140, "Contemporary Christian "}, Case{147, "Synthpop "}, Case{148, ""},
                   Case{200, ""}, Case{255, "N/A"}}) {
        TrackTag tag = read(writeTrack(taggedFile("Song", "Band", "Disc", c.byte)));
        EXPECT_EQ(tag.trackGenre, c.genre) << "genre byte " << c.byte;
        EXPECT_EQ(tag.trackTitle, "Song") << "genre byte " << c.byte;
        EXPECT_EQ(tag.tagMissing, 0) << "genre byte " << c.byte;
    }
}

TEST_F(TrackTagTest, FieldsAreRunsOfNonZeroBytesNotFixedOffsets) {
    // An empty artist field is skipped: the album becomes the artist, year and comment the album.
    TrackTag noArtist = read(writeTrack(taggedFile("Song", "", "Disc", 17, "2001", "Fine")));
    EXPECT_EQ(noArtist.trackTitle, "Song");
    EXPECT_EQ(noArtist.trackArtist, "Disc");
    EXPECT_EQ(noArtist.trackAlbum, "2001Fine");
    EXPECT_EQ(noArtist.tagMissing, 0);

    // A title filling its 30 bytes runs on into the artist field.
    std::string full(30, 'x');
    TrackTag longTitle = read(writeTrack(taggedFile(full, "Band", "Disc", 17)));
    EXPECT_EQ(longTitle.trackTitle, full + "Band");
    EXPECT_EQ(longTitle.trackArtist, "Disc");
    EXPECT_EQ(longTitle.tagMissing, 0);

    // Blank padding instead of zero bytes has the same effect.
    TrackTag blankPadded = read(writeTrack(taggedFile("Song" + std::string(26, ' '), "Band", "Disc", 17)));
    EXPECT_EQ(blankPadded.trackTitle, "Song" + std::string(26, ' ') + "Band");
}

TEST_F(TrackTagTest, CharacterTestRejectsCodesAbove123InTitleAndMatchingArtistPrefix) {
    struct Case {
        std::string title;
        std::string artist;
        bool passes;
    };
    std::vector<Case> cases = {
        {"ab{", "Band", true},
        {"ab|", "Band", false},
        {"ab}", "Band", false},
        {"ab~", "Band", false},
        {"ab\x7f", "Band", false},
        {"Caf\xe9", "Band", false},
        {"Song", "Ba\xe9", false},
        // Only as many artist characters as the title has are looked at.
        {"So", "Ba\xe9", true},
    };
    for (const Case& c : cases) {
        TrackTag tag = read(writeTrack(taggedFile(c.title, c.artist, "Disc", 17)));
        if (c.passes) {
            EXPECT_EQ(tag.trackTitle, c.title);
            EXPECT_EQ(tag.tagMissing, 0) << c.title << " / " << c.artist;
        } else {
            EXPECT_EQ(tag.trackTitle, "N/A") << c.title << " / " << c.artist;
            EXPECT_EQ(tag.trackArtist, "N/A");
            EXPECT_EQ(tag.trackAlbum, "N/A");
            EXPECT_EQ(tag.tagMissing, 1);
        }
        EXPECT_EQ(tag.trackGenre, "Rock ") << "the genre is never replaced";
    }
}

TEST_F(TrackTagTest, EmptyTitleOrArtistMeansNoTag) {
    TrackTag noTitle = read(writeTrack(taggedFile("", "Band", "Disc", 17)));
    EXPECT_EQ(noTitle.trackTitle, "N/A");
    EXPECT_EQ(noTitle.trackArtist, "N/A");
    EXPECT_EQ(noTitle.trackAlbum, "N/A");
    EXPECT_EQ(noTitle.trackGenre, "Rock ");
    EXPECT_EQ(noTitle.tagMissing, 1);

    // Title only: the skip finds nothing after it, so the artist is empty.
    TrackTag titleOnly = read(writeTrack(taggedFile("Song", "", "", 0)));
    EXPECT_EQ(titleOnly.trackTitle, "N/A");
    EXPECT_EQ(titleOnly.tagMissing, 1);
    EXPECT_EQ(titleOnly.trackGenre, "Blues");
}

TEST_F(TrackTagTest, FileWithoutTagReadsAudioBytesAsNoTag) {
    Bytes audio(4000);
    for (std::size_t i = 0; i < audio.size(); ++i) audio[i] = static_cast<unsigned char>(0x80 + (i * 37) % 120);
    audio.back() = 9;
    TrackTag tag = read(writeTrack(audio));
    EXPECT_EQ(tag.trackTitle, "N/A");
    EXPECT_EQ(tag.tagMissing, 1);
    EXPECT_EQ(tag.trackGenre, "Metal ");
}

TEST_F(TrackTagTest, ShortFileIsReadFromItsFirstByteFollowedByZeros) {
    const std::string content("Song\0\0Band\0Disc", 15);
    Bytes bytes(content.begin(), content.end());
    TrackTag tag = read(writeTrack(bytes));
    EXPECT_EQ(tag.trackTitle, "Song");
    EXPECT_EQ(tag.trackArtist, "Band");
    EXPECT_EQ(tag.trackAlbum, "Disc");
    EXPECT_EQ(tag.trackGenre, "Blues");  // W[124] lies past the end
    EXPECT_EQ(tag.tagMissing, 0);

    // Exactly 125 bytes: the window starts at offset 0 and W[124] is the last byte.
    Bytes exact(125, 0);
    putField(exact, 0, "Song", 4);
    putField(exact, 30, "Band", 4);
    exact[124] = 17;
    TrackTag exactTag = read(writeTrack(exact));
    EXPECT_EQ(exactTag.trackTitle, "Song");
    EXPECT_EQ(exactTag.trackArtist, "Band");
    EXPECT_EQ(exactTag.trackGenre, "Rock ");
}

TEST_F(TrackTagTest, MissingFileOrEmptyPathEmptiesTheTextsAndKeepsTagMissing) {
    TrackTag tag = read(writeTrack(taggedFile("Song", "Band", "Disc", 17)));
    ASSERT_EQ(tag.tagMissing, 0);
    for (const std::string& path : {std::string(), std::string("C:\\Music\\absent.mp3")}) {
        for (int before : {0, 1}) {
            tag.tagMissing = before;
            tag.trackTitle = tag.trackArtist = tag.trackAlbum = tag.trackGenre = "old";
            EXPECT_EQ(metadata::readTrackTag(tag, path), metadata::TAG_NOT_READ);
            EXPECT_EQ(tag.trackTitle, "");
            EXPECT_EQ(tag.trackArtist, "");
            EXPECT_EQ(tag.trackAlbum, "");
            EXPECT_EQ(tag.trackGenre, "");
            EXPECT_EQ(tag.tagMissing, before);
        }
    }
    metadata::finishTagRead(metadata::TAG_NOT_READ);
    EXPECT_EQ(sim::openFileCount(), 0);
}

TEST_F(TrackTagTest, ExistingButUnopenableFileReadsAsAllZeros) {
    fs::create_directories(sim::hostPath("C:\\Music\\folder.mp3"));
    TrackTag tag;
    int file = metadata::readTrackTag(tag, "C:\\Music\\folder.mp3");
    EXPECT_NE(file, metadata::TAG_NOT_READ) << "the row is still relabelled";
    metadata::finishTagRead(file);
    EXPECT_EQ(tag.trackTitle, "N/A");
    EXPECT_EQ(tag.trackArtist, "N/A");
    EXPECT_EQ(tag.trackAlbum, "N/A");
    EXPECT_EQ(tag.trackGenre, "Blues");
    EXPECT_EQ(tag.tagMissing, 1);
    EXPECT_EQ(sim::openFileCount(), 0);
}

TEST(GenreNames, TableHoldsTheNamesWithTheirBlanks) {
    EXPECT_EQ(GENRE_NAMES.size(), 257u);
    EXPECT_STREQ(GENRE_NAMES[0], "Blues");
    EXPECT_STREQ(GENRE_NAMES[3], "Dance ");
    EXPECT_STREQ(GENRE_NAMES[17], "Rock ");
    EXPECT_STREQ(GENRE_NAMES[67], "Psychadelic ");
    EXPECT_STREQ(GENRE_NAMES[79], "Hard Rock ");
    EXPECT_STREQ(GENRE_NAMES[80], "Folk ");
    EXPECT_STREQ(GENRE_NAMES[107], "Booty Bass");
    EXPECT_STREQ(GENRE_NAMES[118], "Rhytmic Soul ");
    EXPECT_STREQ(GENRE_NAMES[124], "Euro-House");
    EXPECT_STREQ(GENRE_NAMES[132], "BritPop");
    EXPECT_STREQ(GENRE_NAMES[147], "Synthpop ");
    EXPECT_STREQ(GENRE_NAMES[148], "");
    EXPECT_STREQ(GENRE_NAMES[254], "");
    EXPECT_STREQ(GENRE_NAMES[255], "N/A");
    EXPECT_STREQ(GENRE_NAMES[256], "");

    int named = 0;
    for (const char* name : GENRE_NAMES) {
        ASSERT_NE(name, nullptr);
        if (name[0] != '\0') ++named;
    }
    EXPECT_EQ(named, 149);
}

}  // namespace
