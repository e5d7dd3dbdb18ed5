// The score of the program's music, read from its text description.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace music {

struct Note {
    double Start = 0; // in beats from the start of the piece
    double Beats = 1; // how long it is held before the next note
    double Frequency = 0;
};

struct Score {
    double Tempo = 60;         // beats per minute
    std::vector<double> Drone; // frequencies held throughout
    unsigned Seed = 1;
    double FadeIn = 0, FadeOut = 0; // seconds
    std::vector<Note> Melody, Bass;
};

// Equal temperament, A4 = 440 Hz; "D4", "F#3", "Bb2". Throws on a bad name.
double NoteFrequency(const std::string& name);

// Reads a score; throws std::runtime_error with the line number on an error.
Score ReadScore(const std::string& path);

} // namespace music
