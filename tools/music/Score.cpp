#include "Score.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace music {

namespace {

struct Phrase {
    std::vector<std::vector<std::string>> Melody, Bass; // each step: notes struck, then beats
    std::vector<double> MelodyBeats, BassBeats;
};

// Parses "D4+A4:2" into its notes and beats.
void ParseStep(const std::string& token, std::vector<std::string>& notes, double& beats) {
    const auto colon = token.find(':');
    if (colon == std::string::npos)
        throw std::runtime_error("a note needs :BEATS: " + token);
    beats = std::stod(token.substr(colon + 1));
    if (!(beats > 0))
        throw std::runtime_error("beats must be positive: " + token);
    std::stringstream names(token.substr(0, colon));
    std::string name;
    notes.clear();
    while (std::getline(names, name, '+'))
        if (name != "-")
            notes.push_back(name);
}

void ParseVoice(const std::string& text, std::vector<std::vector<std::string>>& steps,
                std::vector<double>& beats) {
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        std::vector<std::string> notes;
        double b = 0;
        ParseStep(token, notes, b);
        steps.push_back(notes);
        beats.push_back(b);
    }
}

void Append(std::vector<Note>& out, const std::vector<std::vector<std::string>>& steps,
            const std::vector<double>& beats, double start) {
    for (size_t i = 0; i < steps.size(); ++i) {
        for (const std::string& name : steps[i])
            out.push_back(Note{start, beats[i], NoteFrequency(name)});
        start += beats[i];
    }
}

double Sum(const std::vector<double>& v) {
    double s = 0;
    for (double x : v)
        s += x;
    return s;
}

} // namespace

double NoteFrequency(const std::string& name) {
    static const std::map<char, int> kSteps = {{'C', -9}, {'D', -7}, {'E', -5}, {'F', -4},
                                               {'G', -2}, {'A', 0},  {'B', 2}};
    if (name.size() < 2 || !kSteps.count(name[0]))
        throw std::runtime_error("bad note name: " + name);
    int semitone = kSteps.at(name[0]);
    size_t i = 1;
    if (name[i] == '#')
        ++semitone, ++i;
    else if (name[i] == 'b')
        --semitone, ++i;
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '8')
        throw std::runtime_error("bad note name: " + name);
    semitone += (name[i] - '4') * 12;
    return 440.0 * std::pow(2.0, semitone / 12.0);
}

Score ReadScore(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    Score score;
    std::map<std::string, Phrase> phrases;
    std::vector<std::string> form;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string key;
        if (!(words >> key))
            continue;
        try {
            if (key == "tempo") {
                words >> score.Tempo;
            } else if (key == "drone") {
                std::string n;
                while (words >> n)
                    score.Drone.push_back(NoteFrequency(n));
            } else if (key == "seed") {
                words >> score.Seed;
            } else if (key == "fade-in") {
                words >> score.FadeIn;
            } else if (key == "fade-out") {
                words >> score.FadeOut;
            } else if (key == "form") {
                std::string p;
                while (words >> p)
                    form.push_back(p);
            } else if (key.back() == ':') {
                const std::string rest = line.substr(line.find(':') + 1);
                const auto slash = rest.find('/');
                Phrase& phrase = phrases[key.substr(0, key.size() - 1)];
                ParseVoice(rest.substr(0, slash), phrase.Melody, phrase.MelodyBeats);
                if (slash != std::string::npos)
                    ParseVoice(rest.substr(slash + 1), phrase.Bass, phrase.BassBeats);
            } else {
                throw std::runtime_error("unknown line");
            }
        } catch (const std::exception& e) {
            throw std::runtime_error(path + ":" + std::to_string(number) + ": " + e.what());
        }
    }
    double start = 0;
    for (const std::string& name : form) {
        const auto it = phrases.find(name);
        if (it == phrases.end())
            throw std::runtime_error("the form names an unknown phrase: " + name);
        Append(score.Melody, it->second.Melody, it->second.MelodyBeats, start);
        Append(score.Bass, it->second.Bass, it->second.BassBeats, start);
        start += Sum(it->second.MelodyBeats);
    }
    if (score.Melody.empty() || score.Tempo <= 0)
        throw std::runtime_error(path + ": the score has no music");
    return score;
}

} // namespace music
