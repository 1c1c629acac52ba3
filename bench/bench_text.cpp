// Text command speed:
//  1. ReplaceText on a 1 MB text holding 10 000 occurrences, with a shorter,
//     an equal and a longer replacement, against a std::string find/replace
//     loop on a copy of the same text (the anchor);
//  2. FormatNumber on 1M mixed values, widths and decimals against
//     snprintf("%*.*f") into a local buffer (the anchor).
// Run: build/bench/bench_text
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"

#include <vantrix/vantrix.h>

namespace {

using bench::Best;

constexpr size_t kTextSize = 1 << 20;
constexpr int kOccurrences = 10000;

// 1 MB of lower-case letters (never holding the search text by chance) with
// the search text at kOccurrences evenly spread places.
std::string TextWithOccurrences(const std::string& search) {
    bench::Xorshift random;
    std::string text(kTextSize, 'x');
    static const char kLetters[] = "abcfghijkmopqrstuvwx";  // none of "needle"
    for (char& c : text) c = kLetters[random.next() % 20];
    const size_t step = kTextSize / kOccurrences;
    for (int i = 0; i < kOccurrences; ++i) text.replace(static_cast<size_t>(i) * step, search.size(), search);
    return text;
}

// The plain loop: find, replace in place, go on after the replacement.
std::string StdReplace(const std::string& text, const std::string& f, const std::string& r) {
    std::string s = text;
    for (size_t p = 0; (p = s.find(f, p)) != std::string::npos; p += r.size()) s.replace(p, f.size(), r);
    return s;
}

void CompareReplace(const char* label, const std::string& f, const std::string& r, size_t& sink) {
    const std::string text = TextWithOccurrences(f);
    const RtString rtText(text.c_str());
    const RtString rtF(f.c_str()), rtR(r.c_str());
    if (StdReplace(text, f, r) != ReplaceText(rtText, rtF, rtR).c_str()) std::printf("  results differ!\n");
    const double anchor = Best(5, [&] { sink += StdReplace(text, f, r).size(); });
    const double ours = Best(5, [&] { sink += ReplaceText(rtText, rtF, rtR).length(); });
    std::printf("  %-26s std::string %8.2f ms  ReplaceText %7.2f ms  -> %6.2fx the anchor's speed\n", label,
                anchor * 1e3, ours * 1e3, anchor / ours);
}

}  // namespace

int main() {
    size_t sink = 0;
    std::printf("ReplaceText, 1 MB text, %d replacements:\n", kOccurrences);
    CompareReplace("shorter (\"needle\"->\"pin\")", "needle", "pin", sink);
    CompareReplace("equal (\"needle\"->\"thread\")", "needle", "thread", sink);
    CompareReplace("longer (\"needle\"->\"pin&thread\")", "needle", "pin&thread", sink);

    struct Case {
        int width;
        int decimals;
        double value;
    };
    std::vector<Case> cases;
    bench::Xorshift random;
    for (int i = 0; i < 1000000; ++i) {
        const uint64_t r = random.next();
        const double magnitude = i % 3 == 0 ? 1e6 : i % 3 == 1 ? 1.0 : 1e-3;
        const double value = (static_cast<double>(r >> 11) * 0x1.0p-53 - 0.5) * magnitude;
        cases.push_back({static_cast<int>(r % 13) - 2, static_cast<int>((r >> 8) % 7), value});
    }
    const double anchor = Best(5, [&] {
        char text[128];
        for (const Case& c : cases)
            sink += static_cast<size_t>(std::snprintf(text, sizeof text, "%*.*f", c.width, c.decimals, c.value));
    });
    const double ours = Best(5, [&] {
        for (const Case& c : cases) sink += FormatNumber(c.width, c.decimals, c.value).length();
    });
    std::printf("FormatNumber, 1M values, widths -2..10, 0..6 decimals:\n");
    std::printf("  snprintf(\"%%*.*f\")  %8.1f ms  (anchor)\n", anchor * 1e3);
    std::printf("  FormatNumber       %8.1f ms  -> %.2fx the anchor's speed\n", ours * 1e3, anchor / ours);
    return sink == 0 ? 1 : 0;
}
