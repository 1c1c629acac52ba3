// Nine short tunes, synthesised: each has its own tempo, key, mode, chord
// progression, instruments and drum pattern; the melody is built from a
// seeded walk over the scale that leans on chord tones, in phrases A A B A.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "demo_media.h"

namespace demo {
namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

struct TuneStyle {
    double bpm;
    int root;                   // MIDI note of the key's tonic (lead octave)
    std::array<int, 7> scale;   // semitones above the tonic
    std::array<int, 4> chords;  // scale degrees (0-based) of the four chords
    int lead;                   // 0 soft triangle, 1 square, 2 saw, 3 bell
    bool fourOnTheFloor;
    double seconds;             // about this long
};

constexpr std::array<int, 7> kMajor = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinor = {0, 2, 3, 5, 7, 8, 10};
constexpr std::array<int, 7> kDorian = {0, 2, 3, 5, 7, 9, 10};

constexpr TuneStyle kStyles[9] = {
    {92, 72, kMajor, {0, 5, 3, 4}, 0, false, 32},   // romantic: I vi IV V
    {124, 69, kMinor, {0, 5, 2, 6}, 1, true, 30},   // disco
    {132, 64, kDorian, {0, 3, 0, 4}, 2, true, 28},  // driving
    {100, 67, kMinor, {0, 3, 4, 0}, 3, false, 34},  // night shift
    {88, 65, kMajor, {0, 3, 0, 4}, 0, false, 36},   // welcome home
    {108, 74, kMajor, {0, 4, 5, 3}, 3, false, 30},  // sails
    {140, 62, kMinor, {0, 6, 5, 4}, 2, true, 26},   // antilithium
    {116, 70, kDorian, {0, 1, 3, 0}, 1, false, 30}, // quality standards
    {96, 68, kMajor, {5, 3, 0, 4}, 0, false, 32},   // names and faces
};

struct Random {
    uint32_t state;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
};

double Frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// The note of scale degree d (any integer) above the tonic.
int Degree(const TuneStyle& s, int root, int d) {
    const int octave = (d >= 0 ? d : d - 6) / 7;
    return root + 12 * octave + s.scale[static_cast<size_t>(d - 7 * octave)];
}

double Wave(int kind, double phase) {
    const double p = phase - std::floor(phase);
    switch (kind) {
    case 1: return (p < 0.5 ? 0.6 : -0.6) + 0.2 * std::sin(2 * kPi * p);
    case 2: return 0.8 * (2 * p - 1) * 0.7 + 0.3 * std::sin(2 * kPi * p);
    case 3: return std::sin(2 * kPi * p + 1.5 * std::sin(2 * kPi * p * 3.5));
    default: return 0.9 * (p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
    }
}

// Adds a note: a wave at the note's frequency with a short attack and an
// exponential decay.
void AddNote(std::vector<float>& out, double start, double length, int midi, int kind, double gain, double decay) {
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t count = static_cast<size_t>(length * kRate);
    const double f = Frequency(midi);
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.006);
        const double release = std::min(1.0, (length - t) / 0.03);
        out[first + i] += static_cast<float>(gain * attack * release * std::exp(-t * decay) * Wave(kind, f * t));
    }
}

void AddKick(std::vector<float>& out, double start) {
    const size_t first = static_cast<size_t>(start * kRate);
    double phase = 0;
    for (size_t i = 0; i < static_cast<size_t>(0.25 * kRate) && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        phase += (45 + 110 * std::exp(-t * 30)) / kRate;
        out[first + i] += static_cast<float>(0.55 * std::exp(-t * 14) * std::sin(2 * kPi * phase));
    }
}

void AddNoise(std::vector<float>& out, double start, double length, double gain, double decay, Random& random) {
    const size_t first = static_cast<size_t>(start * kRate);
    double previous = 0;
    for (size_t i = 0; i < static_cast<size_t>(length * kRate) && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double white = random.Next() / 2147483648.0 - 1.0;
        const double bright = white - previous;  // a first difference: hiss, not rumble
        previous = white;
        out[first + i] += static_cast<float>(gain * std::exp(-t * decay) * bright);
    }
}

}  // namespace

std::vector<float> SynthesiseTune(int n) {
    const TuneStyle& s = kStyles[std::clamp(n, 1, 9) - 1];
    Random random{0x9E3779B9u * static_cast<uint32_t>(n) + 12345u};
    const double beat = 60.0 / s.bpm, bar = 4 * beat;
    const int bars = std::max(8, static_cast<int>(std::round(s.seconds / bar / 4)) * 4);
    const double length = bars * bar + 1.5;
    std::vector<float> out(static_cast<size_t>(length * kRate), 0.0f);

    // Two melodic phrases of four bars, eight eighth-notes a bar; -100 rests.
    std::array<std::array<int, 32>, 2> phrases{};
    for (auto& phrase : phrases) {
        int d = 2 + random.Below(3);
        for (int i = 0; i < 32; ++i) {
            const int chord = s.chords[static_cast<size_t>(i / 8)];
            if (i % 8 != 0 && random.Below(5) == 0) {
                phrase[static_cast<size_t>(i)] = -100;
                continue;
            }
            d += random.Below(5) - 2;
            d = std::clamp(d, -2, 9);
            if (i % 4 == 0) {  // strong beats: the nearest chord tone
                const int tones[3] = {chord, chord + 2, chord + 4};
                int best = tones[0];
                for (int t : tones)
                    for (int o = -7; o <= 7; o += 7)
                        if (std::abs(t + o - d) < std::abs(best - d)) best = t + o;
                d = best;
            }
            phrase[static_cast<size_t>(i)] = d;
        }
    }

    for (int b = 0; b < bars; ++b) {
        const double t0 = b * bar;
        const int chord = s.chords[static_cast<size_t>(b % 4)];
        // Pad: the chord's three notes, held through the bar.
        for (int k = 0; k < 3; ++k)
            AddNote(out, t0, bar, Degree(s, s.root - 12, chord + 2 * k), 0, 0.045, 0.6);
        // Bass: the chord's root on eighths, the fifth on the off-beats of beat 4.
        for (int e = 0; e < 8; ++e) {
            const int note = Degree(s, s.root - 24, chord + (e == 7 ? 4 : 0));
            AddNote(out, t0 + e * beat / 2, beat / 2 * 0.9, note, 0, 0.22, 3.0);
        }
        // Lead: phrases A A B A.
        const auto& phrase = phrases[static_cast<size_t>((b / 4) % 4 == 2 ? 1 : 0)];
        for (int e = 0; e < 8; ++e) {
            const int d = phrase[static_cast<size_t>((b % 4) * 8 + e)];
            if (d == -100) continue;
            const bool held = e + 1 < 8 && phrase[static_cast<size_t>((b % 4) * 8 + e + 1)] == -100;
            AddNote(out, t0 + e * beat / 2, beat / 2 * (held ? 1.9 : 0.95), Degree(s, s.root, d), s.lead, 0.16,
                    s.lead == 3 ? 4.0 : 2.0);
        }
        // Drums (the first bar is the lead-in: hats only).
        for (int e = 0; e < 8; ++e) {
            const double t = t0 + e * beat / 2;
            AddNoise(out, t, 0.05, e % 2 == 0 ? 0.05 : 0.08, 60, random);
            if (b == 0) continue;
            if (e % 2 == 0 && (s.fourOnTheFloor || e == 0 || e == 4)) AddKick(out, t);
            if (e == 2 || e == 6) AddNoise(out, t, 0.18, 0.22, 18, random);
        }
    }
    AddNote(out, bars * bar, 1.4, Degree(s, s.root - 12, 0), 3, 0.2, 2.5);  // the last word

    // Gentle limiting, then fade in and out.
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double fade = std::min({1.0, t / 0.01, (length - t) / 1.0});
        out[i] = static_cast<float>(std::tanh(out[i] * 1.2) * 0.9 * fade);
    }
    return out;
}

bool WriteTunes(const std::string& folder) {
    for (int n = 1; n <= 9; ++n) {
        const std::string name = folder + "/0" + std::to_string(n) + ".mp3";
        if (!EncodeMp3(name, SynthesiseTune(n), kRate)) return false;
    }
    return true;
}

}  // namespace demo
