// A trading day and more: many refresh passes over a full watch list against an in-process quote
// server whose replies are random (numbers, blanks, empty texts, garbage bytes, failed requests).
// After every pass each number of the table must be finite and nothing drawn may read NaN or
// infinity; resident memory is printed at pass 100, every 1000 passes and at the end, to be compared.
//   norvale-soak [--passes N] [--brands M] [--seed S]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

#include "app/MainWindowLogic.h"
#include "platform/TextCodec.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/NullSurface.h"
#include "tests/fakes/QuickDdeml.h"

namespace norvale {
namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// What a quote server might send, in proportions that keep most values real.
class RandomReplies {
public:
    explicit RandomReplies(std::uint64_t seed) : state_(seed) {}

    bool operator()(std::string_view, std::string_view, std::string& out) {
        const std::uint64_t r = SplitMix64(state_);
        const unsigned kind = static_cast<unsigned>(r % 100);
        out.clear();
        if (kind < 6) return false;  // the request fails
        if (kind < 12) return true;  // empty
        if (kind < 18) {
            out.push_back(' ');  // not out = " ": GCC 12 warns of an overlap (-Wrestrict) inside that
            return true;
        }
        if (kind < 26) {
            Garbage(r >> 8, out);
            return true;
        }
        Number(r >> 8, out);
        return true;
    }

private:
    // A price or quantity as the broker writes it: separators, sometimes a decimal, rarely negative.
    static void Number(std::uint64_t r, std::string& out) {
        const std::uint64_t value = 1 + (r % 2'000'000);
        // Appended character by character: GCC 12 warns of an overlap (-Wrestrict) inside an
        // insert into the digits, and inside "." + digits.
        const std::string digits = std::to_string(value);
        if ((r >> 24) % 8 == 0) out.push_back('-');
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
            out.push_back(digits[i]);
        }
        if ((r >> 28) % 4 == 0) {
            out.push_back('.');
            out += std::to_string((r >> 32) % 10);
        }
    }

    void Garbage(std::uint64_t r, std::string& out) {
        switch (r % 8) {
            case 0: out = "NaN"; return;
            case 1: out = (r >> 4) % 2 ? "inf" : "-inf"; return;
            case 2: out.assign(308 + (r >> 4) % 300, '9'); return;  // around the largest double and beyond
            case 3: out = "1,,2"; return;
            case 4: out = "\x82\xA0\x82"; return;  // a CP932 character and half of another
            default: {
                // Random bytes, NULs and stray lead bytes included; sometimes past the 512-byte buffer.
                const std::size_t length = (r >> 4) % 700;
                out.resize(length);
                for (std::size_t k = 0; k < length; ++k) out[k] = static_cast<char>(SplitMix64(state_) & 0xFF);
            }
        }
    }

    std::uint64_t state_;
};

// A table surface that keeps nothing and checks every text drawn on it.
class CheckingSurface : public NullSurface {
public:
    void Text(int, int, std::string_view text, Rgb) override {
        for (std::size_t k = 0; k + 3 <= text.size(); ++k) {
            const std::string_view three = text.substr(k, 3);
            if (EqualsIgnoringCase(three, "nan") || EqualsIgnoringCase(three, "inf")) ++badTexts;
        }
    }
    long badTexts = 0;

private:
    static bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
        for (std::size_t k = 0; k < a.size(); ++k) {
            const char c = a[k] >= 'A' && a[k] <= 'Z' ? static_cast<char>(a[k] - 'A' + 'a') : a[k];
            if (c != b[k]) return false;
        }
        return true;
    }
};

class NullStatusBar : public StatusBar {
public:
    void SetPanel(StatusPanel, const std::string&) override {}
};

class CountingPump : public EventPump {
public:
    void RunPending() override { ++calls; }
    long calls = 0;
};

long ResidentKb() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) return -1;
    const int n = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    return n == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// Bytes that the table's text fields have reserved.
long TextKb(const WatchTable& table) {
    std::size_t bytes = 0;
    for (int j = 0; j < table.Count(); ++j) {
        const WatchEntry& e = table.Entry(j);
        for (const std::string* t : {&e.lastText, &e.prevCloseText, &e.vwapText, &e.openText, &e.highText,
                                     &e.lowText}) {
            bytes += t->capacity();
        }
        for (std::size_t k = 0; k < kQuoteLevels; ++k) {
            bytes += e.askQtyText[k].capacity() + e.bidQtyText[k].capacity();
        }
    }
    return static_cast<long>(bytes / 1024);
}

bool AllFinite(const WatchTable& table, int pass) {
    for (int j = 0; j < table.Count(); ++j) {
        const WatchEntry& e = table.Entry(j);
        bool finite = true;
        for (const double v : {e.quoteRatio, e.last, e.prevLast, e.prevClose, e.prevCloseDev, e.vwap, e.vwapDev,
                               e.open, e.openDev, e.high, e.highDev, e.low, e.lowDev, e.askQtyTotal, e.bidQtyTotal}) {
            finite &= std::isfinite(v);
        }
        for (std::size_t k = 0; k < kQuoteLevels; ++k) {
            finite &= std::isfinite(e.askQty[k]) && std::isfinite(e.bidQty[k]);
        }
        if (!finite) {
            std::fprintf(stderr, "soak: pass %d: entry %d (%s) holds a value that is not finite\n", pass, j,
                         e.topic.c_str());
            return false;
        }
    }
    return true;
}

int Run(int passes, int brands, std::uint64_t seed) {
    FakeWindow window;
    NullStatusBar statusBar;
    CheckingSurface tableSurface;
    FakeTicker loadTicker, waitTicker;
    CountingPump events;
    FakeFileDialog fileDialog;
    FakeAlert alert;
    FakeFileSystem files;
    FakeInstanceGuard instance;
    QuickDdeml ddeml;
    ddeml.answer = RandomReplies(seed);
    Platform platform{window, statusBar, tableSurface, loadTicker, waitTicker, events,
                      fileDialog, alert, files, instance, ddeml};
    // The watch list of start-up: one brand in ten on "HC", which has eight quote levels.
    std::string master, watch;
    for (int j = 0; j < brands; ++j) {
        const std::string code = std::to_string(1301 + j);
        master += code + ",ソーク銘柄,100," + (j % 10 == 0 ? "HC" : "東証") + "\r\n";
        watch += code + "\r\n";
    }
    files.files[files.InProgramFolder(kBrandMasterFileName)] = Utf8ToCp932(master);
    files.files[files.InProgramFolder(kWatchListFileName)] = watch;
    MainWindowLogic logic(platform);
    window.events = &logic;
    if (!logic.StartUp() || logic.Table().Count() != brands) return 2;

    std::printf("soak: %d passes over %d brands (%d with eight levels), seed %llu\n", passes, brands,
                (brands + 9) / 10, static_cast<unsigned long long>(seed));
    std::printf("soak: resident memory before the first pass: %ld KiB\n", ResidentKb());
    long rssAt100 = -1;
    for (int pass = 1; pass <= passes; ++pass) {
        // The user walks through the sort keys; every pass ranks by another one.
        window.SelectListItem(DropDown::SortKey, pass % 13);
        logic.SortKeyChosen();
        if (logic.RunPass() != PassExit::Completed) {
            std::fprintf(stderr, "soak: pass %d did not complete\n", pass);
            return 1;
        }
        if (!AllFinite(logic.Table(), pass)) return 1;
        if (tableSurface.badTexts != 0) {
            std::fprintf(stderr, "soak: pass %d drew a NaN or an infinity\n", pass);
            return 1;
        }
        // Text fields keep the largest capacity they have needed, so memory rises until every field
        // has met a reply of the longest kind; the thousands show whether it levels off.
        if (pass == 100 || (pass % 1000 == 0 && pass < passes)) {
            const long rss = ResidentKb();
            if (pass == 100) rssAt100 = rss;
            std::printf("soak: resident memory at pass %d: %ld KiB (texts reserve %ld KiB)\n", pass, rss,
                        TextKb(logic.Table()));
            std::fflush(stdout);
        }
    }
    const long rssAtEnd = ResidentKb();
    std::printf("soak: resident memory at pass %d: %ld KiB (texts reserve %ld KiB)", passes, rssAtEnd,
                TextKb(logic.Table()));
    if (rssAt100 > 0) std::printf(" (%+ld KiB since pass 100)", rssAtEnd - rssAt100);
    std::printf("\nsoak: %ld requests, all numbers finite\n", ddeml.requests);
    logic.Closing();
    return 0;
}

}  // namespace
}  // namespace norvale

int main(int argc, char** argv) {
    int passes = 200, brands = 1000;
    std::uint64_t seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        char* end = nullptr;
        const long long value = std::strtoll(argv[i + 1], &end, 10);
        if (end == argv[i + 1] || *end != '\0' || value < 0) {
            std::fprintf(stderr, "soak: %s wants a number of 0 or more\n", option.c_str());
            return 2;
        }
        if (option == "--passes") {
            passes = static_cast<int>(value);
        } else if (option == "--brands" && value <= norvale::kMaxEntries) {
            brands = static_cast<int>(value);
        } else if (option == "--seed") {
            seed = static_cast<std::uint64_t>(value);
        } else {
            std::fprintf(stderr, "usage: norvale-soak [--passes N] [--brands M (at most 1000)] [--seed S]\n");
            return 2;
        }
    }
    if (argc % 2 == 0) {
        std::fprintf(stderr, "usage: norvale-soak [--passes N] [--brands M (at most 1000)] [--seed S]\n");
        return 2;
    }
    return norvale::Run(passes, brands, seed);
}
