#pragma once

#include <QString>

#include <vector>

namespace velmor::tools {

// One track of the generated library. An empty album means the file carries no album tag at all.
struct CatalogueTrack {
    QString file; // relative to the library folder
    QString artist;
    QString album;
    QString title;
    QString genre;
    int trackNumber = 0;
    double seconds = 0;
    double frequency = 0; // of the tone the track holds
};

// About a dozen tracks by four artists, with the awkward cases a jukebox meets: parentheses and a
// quotation mark in a title, a track with no album, names outside ASCII.
[[nodiscard]] const std::vector<CatalogueTrack>& musicCatalogue();

} // namespace velmor::tools
