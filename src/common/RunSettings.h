#pragma once
// The settings of the run, passed explicitly to whatever needs them.
#include <QString>

namespace fenwa {

// The settings of the run (the settings window's public fields).
struct RunSettings {
    QString fd;            // data folder, no trailing separator
    QString fa;            // archive folder
    QString fe;            // export folder
    QString wiw;           // voivodeship name
    QString piw;           // county name (adjective stem)
    QString wkod;          // voivodeship code, 2 characters
    QString pkod;          // county inspectorate code, 4 characters
    int p_w = 1;           // 1 = voivodeship installation, else county
    QString iw;            // the inspectorate block of prints: name, street, town (one a line)
    bool voivodeship() const { return p_w == 1; }
};

} // namespace fenwa
