#include "tools/music_library/music_catalogue.h"

namespace velmor::tools {

namespace {

CatalogueTrack track(const char* file, const char* artist, const char* album, const char* title,
                     const char* genre, int trackNumber, double seconds, double frequency) {
    return {QString::fromUtf8(file),
            QString::fromUtf8(artist),
            QString::fromUtf8(album),
            QString::fromUtf8(title),
            QString::fromUtf8(genre),
            trackNumber,
            seconds,
            frequency};
}

std::vector<CatalogueTrack> makeCatalogue() {
    return {
        track("quiet-pines/harbour-lights/01-morning-tide.flac", "The Quiet Pines", "Harbour Lights",
              "Morning Tide (Live)", "Folk", 1, 12, 262),
        track("quiet-pines/harbour-lights/02-lanterns.flac", "The Quiet Pines", "Harbour Lights", "Lanterns",
              "Folk", 2, 9, 294),
        track("quiet-pines/harbour-lights/03-long-way-home.flac", "The Quiet Pines", "Harbour Lights",
              "The \"Long\" Way (Home)", "Folk", 3, 15, 330),
        track("quiet-pines/harbour-lights/04-salt-road.flac", "The Quiet Pines", "Harbour Lights",
              "Salt Road", "Folk", 4, 18, 349),
        track("ann-other/small-hours/01-track-one.flac", "Ann Other", "Small Hours", "Track One", "Pop", 1, 8,
              392),
        track("ann-other/small-hours/02-second-thoughts.flac", "Ann Other", "Small Hours", "Second Thoughts",
              "Pop", 2, 11, 440),
        track("ann-other/small-hours/03-paper-boats.flac", "Ann Other", "Small Hours", "Paper Boats", "Pop",
              3, 14, 494),
        track("ann-other/demo-tape-song.flac", "Ann Other", "", "Demo Tape Song", "Pop", 0, 10, 523),
        track("sigrun/nordurljos/01-vetrarnott.flac", "Sigrún Ólafsdóttir", "Norðurljós", "Vetrarnótt",
              "Ambient", 1, 20, 220),
        track("sigrun/nordurljos/02-isbjorn.flac", "Sigrún Ólafsdóttir", "Norðurljós", "Ísbjörn", "Ambient",
              2, 13, 247),
        track("sigrun/nordurljos/03-hafid.flac", "Sigrún Ólafsdóttir", "Norðurljós", "Hafið", "Ambient", 3,
              16, 277),
        track("brass-foundry/late-shift/01-overtime.flac", "Brass Foundry", "Late Shift", "Overtime", "Jazz",
              1, 10, 587),
        track("brass-foundry/late-shift/02-night-bus.flac", "Brass Foundry", "Late Shift", "Night Bus",
              "Jazz", 2, 17, 659),
    };
}

} // namespace

const std::vector<CatalogueTrack>& musicCatalogue() {
    static const std::vector<CatalogueTrack> catalogue = makeCatalogue();
    return catalogue;
}

} // namespace velmor::tools
