#include "Art.h"
#include "Draw.h"

#include <QtEndian>

#include <cmath>
#include <vector>

namespace kelpo::resgen {

namespace {

constexpr int Rate = 22050;

// A mono mix in floating point, normalised once at the end.
class Mix {
public:
    explicit Mix(double seconds) : samples_(std::size_t(seconds * Rate), 0.0) {}

    // A bell-like note: the fundamental with a few softer partials, a quick
    // attack and an exponential fade.
    void note(double freq, double start, double length, double amp, double decay = 6.0,
              std::initializer_list<std::pair<double, double>> partials = {{2.0, 0.35}, {3.0, 0.12}})
    {
        each(start, length, [&](double t) {
            const double env = std::min(1.0, t / 0.006) * std::exp(-decay * t);
            double v = std::sin(2 * M_PI * freq * t);
            for (const auto& [ratio, weight] : partials)
                v += weight * std::sin(2 * M_PI * freq * ratio * t);
            return amp * env * v;
        });
    }

    // Filtered noise: `tone` 0..1 sets how bright it is (one-pole low-pass).
    void noise(std::uint32_t seed, double start, double length, double amp, double decay, double tone)
    {
        Rng rng(seed);
        double low = 0;
        each(start, length, [&](double t) {
            const double white = rng.unit() * 2 - 1;
            low += tone * (white - low);
            const double env = std::min(1.0, t / 0.002) * std::exp(-decay * t);
            return amp * env * low;
        });
    }

    // A sine gliding from one frequency to another.
    void glide(double from, double to, double start, double length, double amp, double decay)
    {
        double phase = 0;
        each(start, length, [&](double t) {
            const double f = from + (to - from) * (t / length);
            phase += 2 * M_PI * f / Rate;
            const double env = std::min(1.0, t / 0.004) * std::exp(-decay * t);
            return amp * env * std::sin(phase);
        });
    }

    // A soft square-ish buzz (odd harmonics only), for alerts.
    void buzz(double freq, double start, double length, double amp)
    {
        each(start, length, [&](double t) {
            const double env = std::min(1.0, t / 0.01) * std::min(1.0, (length - t) / 0.02);
            double v = 0;
            for (int h = 1; h <= 7; h += 2)
                v += std::sin(2 * M_PI * freq * h * t) / h;
            return amp * env * v;
        });
    }

    // 16-bit little-endian PCM in a RIFF wave file, peak at 70 % of full scale.
    QByteArray wav() const
    {
        double peak = 1e-9;
        for (double s : samples_)
            peak = std::max(peak, std::abs(s));
        const double gain = 0.7 * 32767 / peak;
        QByteArray data;
        data.reserve(int(samples_.size() * 2));
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            // A 3 ms fade at both ends keeps the file from clicking.
            const double edge = std::min({1.0, i / (0.003 * Rate), (samples_.size() - 1 - i) / (0.003 * Rate)});
            const auto v = qint16(std::lround(samples_[i] * gain * edge));
            data.append(char(v & 0xFF));
            data.append(char((v >> 8) & 0xFF));
        }
        QByteArray out;
        auto u32 = [&out](quint32 v) { out.append(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 4); };
        auto u16 = [&out](quint16 v) { out.append(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 2); };
        out.append("RIFF");
        u32(quint32(36 + data.size()));
        out.append("WAVEfmt ");
        u32(16);
        u16(1);        // PCM
        u16(1);        // mono
        u32(Rate);
        u32(Rate * 2); // bytes per second
        u16(2);        // bytes per frame
        u16(16);       // bits per sample
        out.append("data");
        u32(quint32(data.size()));
        out.append(data);
        return out;
    }

private:
    template <typename F>
    void each(double start, double length, F f)
    {
        const std::size_t from = std::size_t(start * Rate);
        const std::size_t n = std::size_t(length * Rate);
        for (std::size_t i = 0; i < n && from + i < samples_.size(); ++i)
            samples_[from + i] += f(double(i) / Rate);
    }

    std::vector<double> samples_;
};

double Hz(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

QByteArray Deal()
{
    // Cards riffling, quicker towards the end, closed by a light chime.
    Mix m(0.7);
    double t = 0;
    for (int i = 0; i < 14; ++i) {
        m.noise(10 + i, t, 0.03, 0.55, 120, 0.55);
        t += 0.045 - i * 0.0018;
    }
    m.note(Hz(15), 0.5, 0.2, 0.25, 14);
    return m.wav();
}

QByteArray Show()
{
    Mix m(0.55);
    m.note(Hz(19), 0, 0.5, 0.5, 7, {{2.76, 0.3}, {5.4, 0.1}});
    m.note(Hz(26), 0.09, 0.45, 0.4, 7, {{2.76, 0.3}});
    return m.wav();
}

QByteArray PlayCard()
{
    // A crisp snap over a soft thump: a card laid on the cloth.
    Mix m(0.16);
    m.noise(3, 0, 0.06, 0.9, 70, 0.8);
    m.glide(180, 90, 0, 0.09, 0.7, 40);
    return m.wav();
}

QByteArray Pass()
{
    // Two knocks on the table, the player's way of saying "no".
    Mix m(0.36);
    for (int i = 0; i < 2; ++i) {
        m.glide(240, 150, i * 0.16, 0.12, 0.8, 38);
        m.noise(20 + i, i * 0.16, 0.03, 0.35, 90, 0.3);
    }
    return m.wav();
}

QByteArray Sparkle()
{
    Mix m(0.65);
    const int steps[5] = {15, 19, 22, 27, 31};
    for (int i = 0; i < 5; ++i)
        m.note(Hz(steps[i]), i * 0.07, 0.35, 0.35, 10, {{3.0, 0.2}});
    return m.wav();
}

QByteArray Bomb()
{
    Mix m(0.85);
    m.noise(5, 0, 0.85, 1.0, 5.5, 0.08);
    m.glide(110, 38, 0, 0.6, 0.9, 5);
    m.noise(6, 0, 0.08, 0.5, 50, 0.6);
    return m.wav();
}

QByteArray Warning()
{
    Mix m(0.5);
    for (int i = 0; i < 3; ++i)
        m.note(Hz(27), i * 0.15, 0.1, 0.45, 25, {{3.0, 0.25}});
    return m.wav();
}

QByteArray End()
{
    // A rising major arpeggio settling on the full chord.
    Mix m(0.95);
    const int steps[3] = {3, 7, 10};
    for (int i = 0; i < 3; ++i)
        m.note(Hz(steps[i]), i * 0.11, 0.3, 0.4, 8);
    for (int s : {3, 7, 10, 15})
        m.note(Hz(s), 0.36, 0.58, 0.3, 4.5);
    return m.wav();
}

QByteArray Arrive()
{
    Mix m(0.5);
    m.note(Hz(12), 0, 0.3, 0.45, 9);
    m.note(Hz(19), 0.13, 0.36, 0.45, 8);
    return m.wav();
}

QByteArray Leave()
{
    Mix m(0.5);
    m.note(Hz(19), 0, 0.3, 0.45, 9);
    m.note(Hz(12), 0.13, 0.36, 0.45, 8);
    return m.wav();
}

QByteArray SeatWarning()
{
    // Two short low buzzes, slightly detuned against each other.
    Mix m(0.48);
    for (int i = 0; i < 2; ++i) {
        m.buzz(Hz(-7), i * 0.24, 0.17, 0.35);
        m.buzz(Hz(-7) * 1.03, i * 0.24, 0.17, 0.25);
    }
    return m.wav();
}

} // namespace

void AddSounds(Pack& pack)
{
    const struct {
        const char* file;
        QByteArray (*make)();
    } cues[] = {{"Start.wav", Deal},        {"Liang.wav", Show},        {"OutPai.wav", PlayCard},
                {"Pass.wav", Pass},         {"Hong10.wav", Sparkle},    {"ZhaDan.wav", Bomb},
                {"Warning.wav", Warning},   {"End.wav", End},           {"PangGuanIn.wav", Arrive},
                {"PangGuanOut.wav", Leave}, {"UserWarn.wav", SeatWarning}};
    for (const auto& cue : cues)
        pack.addBytes(Root::App, QStringLiteral("Res/Sound/") + cue.file, cue.make());
}

} // namespace kelpo::resgen
