// norvale-probe: asks the quote server items of topics through the DDE layer and prints each answer.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <memory>
#include <thread>
#include <vector>

#include "NorvaleVersion.h"
#include "platform/Console.h"
#include "platform/PlatformDdeml.h"
#include "quotes/DdeCtrl.h"
#include "quotes/QuoteItems.h"
#include "tools/probe/Transport.h"

namespace {

constexpr const char* kUsage =
    "usage: norvale-probe [--service NAME] [--timeout-ms MS] [--repeat N] [--interval-ms MS]\n"
    "                     TOPIC[=ITEM,ITEM...]...\n"
    "       norvale-probe --version\n"
    "Asks each ITEM of each TOPIC (brand code, '.', market suffix, e.g. 7203.t) of the DDE service\n"
    "(default RSS) and prints one line per answer: TOPIC<tab>ITEM<tab>TEXT, or on failure\n"
    "TOPIC<tab>ITEM<tab>ERROR<tab>DESCRIPTION. A TOPIC without items asks the refresh pass's items.\n"
    "Exit status: 0 when every request was answered, 1 when any failed, 2 on a usage error.\n";

struct Query {
    std::string topic;
    std::vector<std::string> items;
};

struct Args {
    std::string service = "RSS";
    int timeoutMs = 500;
    int repeat = 1;
    int intervalMs = 1000;
    std::vector<Query> queries;
};

// The items a refresh pass asks, all eight levels of both sides.
std::vector<std::string> RefreshItems() { return {norvale::quote::kAll.begin(), norvale::quote::kAll.end()}; }

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(text.substr(from));
    return parts;
}

bool ParseCount(const char* text, int low, int& out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > 1000000000) return false;
    out = static_cast<int>(value);
    return true;
}

bool Parse(const std::vector<std::string>& argv, Args& args) {
    const std::size_t argc = argv.size();
    for (std::size_t i = 1; i < argc; ++i) {
        const std::string& arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--service" && hasValue) {
            args.service = argv[++i];
        } else if (arg == "--timeout-ms" && hasValue) {
            if (!ParseCount(argv[++i].c_str(), 1, args.timeoutMs)) return false;
        } else if (arg == "--repeat" && hasValue) {
            if (!ParseCount(argv[++i].c_str(), 1, args.repeat)) return false;
        } else if (arg == "--interval-ms" && hasValue) {
            if (!ParseCount(argv[++i].c_str(), 0, args.intervalMs)) return false;
        } else if (arg.empty() || arg[0] == '-') {
            return false;
        } else {
            const std::size_t eq = arg.find('=');
            Query query{arg.substr(0, eq), {}};
            if (query.topic.empty()) return false;
            query.items = eq == std::string::npos ? RefreshItems() : Split(arg.substr(eq + 1), ',');
            for (const std::string& item : query.items) {
                if (item.empty()) return false;
            }
            args.queries.push_back(std::move(query));
        }
    }
    return !args.queries.empty();
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = norvale::Utf8Arguments(argc, argv);
    if (arguments.size() == 2 && arguments[1] == "--version") {
        std::puts("norvale-probe " NORVALE_VERSION);
        return 0;
    }
    Args args;
    if (!Parse(arguments, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const std::unique_ptr<norvale::Ddeml> ddeml = norvale::MakePlatformDdeml();
    norvale::DdeCtrl dde(*ddeml);
    if (!dde.Open(args.service)) {
        // Every request will fail too and say why; this only tells where it began.
        const std::string problem = norvale::TransportProblem();
        if (!problem.empty()) {
            std::fprintf(stderr, "norvale-probe: %s\n", problem.c_str());
        } else {
            std::fprintf(stderr, "norvale-probe: cannot open the DDE layer: %s\n", dde.LastErrorText().c_str());
        }
    }

    bool allAnswered = true;
    for (int round = 0; round < args.repeat; ++round) {
        if (round > 0) std::this_thread::sleep_for(std::chrono::milliseconds(args.intervalMs));
        for (const Query& query : args.queries) {
            for (const std::string& item : query.items) {
                const norvale::DdeReply reply = dde.Request(query.topic, item, args.timeoutMs);
                if (reply) {
                    std::printf("%s\t%s\t%s\n", query.topic.c_str(), item.c_str(), reply.text->c_str());
                } else {
                    allAnswered = false;
                    std::printf("%s\t%s\tERROR\t%s\n", query.topic.c_str(), item.c_str(), reply.errorText.c_str());
                }
                std::fflush(stdout);
            }
        }
    }
    dde.Close();
    return allAnswered ? 0 : 1;
}
