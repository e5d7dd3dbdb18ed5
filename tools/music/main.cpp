// Synthesises the program's music from its score: plucked strings
// (Karplus-Strong) over a soft drone, with a little room reverberation, as a
// mono 16-bit 22050 Hz PCM WAV of exactly 2 592 576 samples.
// Usage: charolist-music SCORE OUT.wav
#include "Score.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr size_t kSamples = 2592576;
constexpr double kPeak = 0.89; // about -1 dBFS

// Uniform noise in [-1, 1) from a fully specified generator.
class Noise {
public:
    explicit Noise(unsigned seed) : engine_(seed) {}
    double Next() { return (engine_() >> 8) / double(1u << 24) * 2.0 - 1.0; }

private:
    std::mt19937 engine_;
};

// One plucked string: a delay line of one period with a two-point average in
// the loop. The excitation is low-passed noise with a soft attack, so no
// note starts with a click; a note ends with a short release.
void Pluck(std::vector<double>& out, double startSecond, double frequency, double seconds,
           double gain, double brightness, Noise& noise) {
    const double period = kRate / frequency - 0.5; // the averaging filter adds half a sample
    const size_t size = static_cast<size_t>(period) + 4;
    std::vector<double> line(size, 0.0);
    double lp = 0;
    for (size_t i = 0; i < size; ++i) {
        lp += brightness * (noise.Next() - lp);
        line[i] = lp;
    }
    // Reads the line `delay` samples before the write position w.
    auto tap = [&](size_t w, double delay) {
        const double at = double(w) - delay;
        const double base = std::floor(at);
        const double f = at - base;
        const size_t i0 = static_cast<size_t>(
                              static_cast<long long>(base) % static_cast<long long>(size) + size) %
                          size;
        return line[i0] * (1.0 - f) + line[(i0 + 1) % size] * f;
    };
    const size_t start = static_cast<size_t>(startSecond * kRate);
    const size_t count = static_cast<size_t>(seconds * kRate);
    const size_t release = kRate / 20, attack = kRate / 400;
    const double decay = 0.9985;
    for (size_t n = 0; n < count && start + n < out.size(); ++n) {
        const size_t w = n + size;
        const double y = decay * 0.5 * (tap(w, period) + tap(w, period + 1.0));
        line[w % size] = y;
        double env = 1.0;
        if (n < attack)
            env = double(n) / attack;
        if (n + release > count)
            env *= double(count - n) / release;
        out[start + n] += gain * env * y;
    }
}

void AddDrone(std::vector<double>& out, const music::Score& score) {
    for (size_t k = 0; k < score.Drone.size(); ++k) {
        const double f = score.Drone[k];
        const double gain = 0.06 / (1.0 + k * 0.5);
        for (size_t n = 0; n < out.size(); ++n) {
            const double t = double(n) / kRate;
            // A slow swell, different for each voice, and a soft second harmonic.
            const double swell = 0.75 + 0.25 * std::sin(2 * M_PI * (0.05 + 0.013 * k) * t + k);
            const double phase = 2 * M_PI * f * t;
            out[n] += gain * swell * (std::sin(phase) + 0.25 * std::sin(2 * phase + 0.3));
        }
    }
}

// A small room: four feedback combs and two all-pass filters.
std::vector<double> Reverb(const std::vector<double>& in) {
    const int combs[] = {1116 / 2, 1188 / 2, 1277 / 2, 1356 / 2};
    const int allpasses[] = {556 / 2, 225 / 2};
    std::vector<double> wet(in.size(), 0.0);
    for (int d : combs) {
        std::vector<double> buf(d, 0.0);
        double damp = 0;
        for (size_t n = 0; n < in.size(); ++n) {
            const double y = buf[n % d];
            damp = 0.6 * y + 0.4 * damp;
            buf[n % d] = in[n] + 0.78 * damp;
            wet[n] += y * 0.25;
        }
    }
    for (int d : allpasses) {
        std::vector<double> buf(d, 0.0);
        for (size_t n = 0; n < wet.size(); ++n) {
            const double b = buf[n % d];
            const double x = wet[n];
            buf[n % d] = x + 0.5 * b;
            wet[n] = b - x;
        }
    }
    return wet;
}

void PutLE(std::ofstream& f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        f.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void WriteWave(const std::string& path, const std::vector<int16_t>& samples) {
    std::ofstream f(path, std::ios::binary);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    f.write("RIFF", 4);
    PutLE(f, 38 + dataBytes, 4); // the rest of the file after this field
    f.write("WAVEfmt ", 8);
    PutLE(f, 18, 4); // format chunk of 18 bytes, with an empty extra field
    PutLE(f, 1, 2);  // PCM
    PutLE(f, 1, 2);  // mono
    PutLE(f, kRate, 4);
    PutLE(f, kRate * 2, 4);
    PutLE(f, 2, 2);
    PutLE(f, 16, 2);
    PutLE(f, 0, 2);
    f.write("data", 4);
    PutLE(f, dataBytes, 4);
    for (int16_t s : samples)
        PutLE(f, static_cast<uint16_t>(s), 2);
    if (!f)
        throw std::runtime_error("cannot write " + path);
}

std::vector<int16_t> Render(const music::Score& score) {
    std::vector<double> mix(kSamples, 0.0);
    Noise noise(score.Seed);
    const double beat = 60.0 / score.Tempo;
    for (const music::Note& n : score.Melody)
        Pluck(mix, n.Start * beat, n.Frequency, std::max(n.Beats * beat * 2.2, 2.5), 0.32, 0.4,
              noise);
    for (const music::Note& n : score.Bass)
        Pluck(mix, n.Start * beat, n.Frequency, std::max(n.Beats * beat * 1.5, 3.0), 0.3, 0.25,
              noise);
    AddDrone(mix, score);
    const std::vector<double> wet = Reverb(mix);
    double peak = 1e-9, x1 = 0, y1 = 0;
    for (size_t n = 0; n < kSamples; ++n) {
        // A gentle high-pass (about 16 Hz) keeps the signal centred on zero.
        const double x = 0.82 * mix[n] + 0.35 * wet[n];
        y1 = x - x1 + 0.9955 * y1;
        x1 = x;
        mix[n] = y1;
        const double t = double(n) / kRate, left = double(kSamples - 1 - n) / kRate;
        if (t < score.FadeIn)
            mix[n] *= 0.5 - 0.5 * std::cos(M_PI * t / score.FadeIn);
        if (left < score.FadeOut)
            mix[n] *= 0.5 - 0.5 * std::cos(M_PI * left / score.FadeOut);
        peak = std::max(peak, std::abs(mix[n]));
    }
    std::vector<int16_t> out(kSamples);
    for (size_t n = 0; n < kSamples; ++n)
        out[n] = static_cast<int16_t>(std::lround(mix[n] / peak * kPeak * 32767.0));
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SCORE OUT.wav\n", argv[0]);
        return 2;
    }
    try {
        WriteWave(argv[2], Render(music::ReadScore(argv[1])));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "charolist-music: %s\n", e.what());
        return 1;
    }
    return 0;
}
