// bench-deps: drel_gps
#include "gps/NmeaDecoder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

struct Recording {
    std::string text;
    size_t rmcCount = 0;
    GpsFix last; // what the final sentences say
};

std::string WithChecksum(const std::string& body)
{
    unsigned char x = 0;
    for (size_t i = 1; i < body.size(); ++i)
        x ^= static_cast<unsigned char>(body[i]);
    char sum[8];
    std::snprintf(sum, sizeof sum, "*%02X\r\n", x);
    return body + sum;
}

// A receiver's output once a second: GGA, RMC and a satellites-in-view
// sentence that is skipped, driving along a seeded random walk.
const Recording& Recorded()
{
    static const Recording rec = [] {
        Recording r;
        const size_t target = 100u << 20;
        r.text.reserve(target + 256);
        std::mt19937 random(17);
        std::uniform_real_distribution<double> step(-0.0005, 0.0005);
        double lat = 54.6872, lon = 25.2797;
        int64_t t = MakeUtcTime(2005, 6, 17, 0, 0, 0);
        char line[160];
        while (r.text.size() < target) {
            lat += step(random);
            lon += step(random);
            int sats = static_cast<int>(random() % 12) + 3;
            std::string hms = FormatFixTime(t, "%H%M%S"), dmy = FormatFixTime(t, "%d%m%y");
            double latMin = (lat - std::floor(lat)) * 60, lonMin = (lon - std::floor(lon)) * 60;
            std::snprintf(line, sizeof line, "$GPGGA,%s.00,%02d%07.4f,N,%03d%07.4f,E,1,%02d,0.9,120.0,M,25.0,M,,",
                          hms.c_str(), int(lat), latMin, int(lon), lonMin, sats);
            r.text += WithChecksum(line);
            std::snprintf(line, sizeof line, "$GPRMC,%s.00,A,%02d%07.4f,N,%03d%07.4f,E,12.5,84.4,%s,,,A", hms.c_str(),
                          int(lat), latMin, int(lon), lonMin, dmy.c_str());
            r.text += WithChecksum(line);
            r.text += "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n";
            ++r.rmcCount;
            r.last.latitude = int(lat) + std::round(latMin * 1e4) / 1e4 / 60;
            r.last.longitude = int(lon) + std::round(lonMin * 1e4) / 1e4 / 60;
            r.last.satellites = sats;
            r.last.time = t++;
        }
        return r;
    }();
    return rec;
}

size_t Decode(const std::string& text, GpsFix& fix)
{
    size_t rmc = 0;
    SplitNmeaLines(text, [&](std::string_view line) {
        NmeaSentence s;
        if (!DecodeNmeaSentence(line, s))
            return;
        ApplyNmeaSentence(s, fix);
        rmc += s.kind == NmeaKind::Rmc;
    });
    return rmc;
}

void BM_DecodeRecordedSentences(benchmark::State& state)
{
    const Recording& rec = Recorded();
    {
        GpsFix fix;
        size_t rmc = Decode(rec.text, fix);
        if (rmc != rec.rmcCount || std::fabs(fix.latitude - rec.last.latitude) > 1e-9 ||
            std::fabs(fix.longitude - rec.last.longitude) > 1e-9 || fix.satellites != rec.last.satellites ||
            fix.time != rec.last.time) {
            state.SkipWithError("decoding gave the wrong fix");
            return;
        }
    }
    for (auto _ : state) {
        GpsFix fix;
        benchmark::DoNotOptimize(Decode(rec.text, fix));
        benchmark::DoNotOptimize(fix);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(rec.text.size()));
}

} // namespace

BENCHMARK(BM_DecodeRecordedSentences)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
