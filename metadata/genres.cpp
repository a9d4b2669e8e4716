// The genre table: the ID3v1 genre numbers and their extension, as shown in the information strip.
#include "metadata/track_tag.h"

namespace metadata {

namespace {

// Indices 0..147 are named, 255 says "no genre"; every other slot stays empty.
// Most names end in one blank; the few that do not are kept as they are.
constexpr std::array<const char*, GENRE_COUNT> buildGenreNames() {
    // each tenth name starts a line, so the lines count the numbers in tens (kept by hand)
    // clang-format off
    constexpr const char* NAMED[] = {
        "Blues", "Classic Rock", "Country", "Dance ", "Disco ", "Funk ", "Grunge", "Hip-Hop", "Jazz ", "Metal ",
        "New Age", "Oldies ", "Other ", "Pop ", "R&B ", "Rap ", "Reggae", "Rock ", "Techno", "Industrial ",
        "Alternative ", "Ska ", "Death Metal ", "Pranks ", "Soundtrack ", "Euro-Techno ", "Ambient ", "Trip-Hop ",
        "Vocal ", "Jazz+Funk ",
        "Fusion ", "Trance ", "Classical ", "Instrumental ", "Acid ", "House ", "Game ", "Sound Clip ", "Gospel ",
        "Noise ",
        "Alternative Rock ", "Bass ", "Soul ", "Punk ", "Space ", "Meditative ", "Instrumental Pop ",
        "Instrumental Rock ", "Ethnic ", "Gothic ",
        "Darkwave ", "Techno-Industrial ", "Electronic ", "Pop-Folk ", "Eurodance ", "Dream ", "Southern Rock ",
        "Comedy ", "Cult ", "Gangsta ",
        "Top 40 ", "Christian Rap ", "Pop/Funk ", "Jungle ", "Native US ", "Cabaret ", "New Wave ", "Psychadelic ",
        "Rave ", "Showtunes ",
        "Trailer ", "Lo-Fi ", "Tribal ", "Acid Punk ", "Acid Jazz ", "Polka ", "Retro ", "Musical ", "Rock & Roll ",
        "Hard Rock ",
        "Folk ", "Folk-Rock ", "National Folk ", "Swing ", "Fast Fusion ", "Bebob ", "Latin ", "Revival ", "Celtic ",
        "Bluegrass ",
        "Avantgarde ", "Gothic Rock ", "Progressive Rock ", "Psychedelic Rock ", "Symphonic Rock ", "Slow Rock ",
        "Big Band ", "Chorus ", "Easy Listening ", "Acoustic ",
        "Humour ", "Speech ", "Chanson ", "Opera ", "Chamber Music ", "Sonata ", "Symphony ", "Booty Bass", "Primus ",
        "Porn Groove ",
        "Satire ", "Slow Jam ", "Club ", "Tango ", "Samba ", "Folklore ", "Ballad ", "Power Ballad ",
        "Rhytmic Soul ", "Freestyle ",
        "Duet ", "Punk Rock ", "Drum Solo ", "Acapella ", "Euro-House", "Dance Hall ", "Goa ", "Drum & Bass ",
        "Club-House ", "Hardcore ",
        "Terror ", "Indie ", "BritPop", "Negerpunk ", "Polsk Punk ", "Beat ", "Christian Gangsta Rap ",
        "Heavy Metal ", "Black Metal ", "Crossover ",
        "Contemporary Christian ", "Christian Rock ", "Merengue ", "Salsa ", "Trash Metal ", "Anime ", "Jpop ",
        "Synthpop ",
    };
    // clang-format on
    static_assert(sizeof(NAMED) / sizeof(NAMED[0]) == 148);

    std::array<const char*, GENRE_COUNT> names{};
    for (auto& name : names) name = "";
    for (int i = 0; i < 148; ++i) names[i] = NAMED[i];
    names[255] = "N/A";
    return names;
}

}  // namespace

const std::array<const char*, GENRE_COUNT> GENRE_NAMES = buildGenreNames();

}  // namespace metadata
