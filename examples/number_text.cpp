// Prints how the runtime writes numbers as text. A complete Vantrix program:
// it starts through the runtime's entry and ends by returning from AppMain.
#include <cstdio>

#include <vantrix/vantrix.h>

void ApplyProjectSettings() {
    ProjectSettings.title = "number text";
}

void AppMain() {
    std::printf("Vantrix number text (title \"%s\")\n\n", ProjectSettings.title.c_str());
    const double reals[] = {3.0, 0.5, -2.25, 1.0 / 3.0, 2.0 / 3.0, 123456.789, 1234567890.0, 12345678901.0,
                            1e10, 0.05, 0.000123, -0.00000015, 0.0, 0.1};
    for (double v : reals) {
        char reference[32];
        std::snprintf(reference, sizeof reference, "%.10g", v);
        std::printf("  %-22s -> %s\n", reference, RtString(v).c_str());
    }
    std::printf("  %-22s -> %s\n", "0.1 (32-bit float)", RtString(0.1f).c_str());
    std::printf("  %-22s -> %s\n", "3.14159 (32-bit float)", RtString(3.14159f).c_str());
    std::printf("  %-22s -> %s\n", "-2147483648 (integer)", RtString(int32_t{-2147483647 - 1}).c_str());

    RtString sentence = RtString("Text joins numbers: ") + 42 + " and " + 2.5;
    std::printf("\n%s\n", sentence.c_str());
    std::printf("\"10\" > 9 compares as numbers: %s\n", RtString("10") > 9 ? "yes" : "no");
    std::printf("\"  12.5kg\" reads as %s\n", RtString(static_cast<double>(RtString("  12.5kg"))).c_str());
    SeedRandom(2026);
    std::printf("Three dice: %d %d %d\n", 1 + RandomInt(5), 1 + RandomInt(5), 1 + RandomInt(5));
}
