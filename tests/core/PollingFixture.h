// A started window logic on the fakes, with a scripted quote server and a clock whose seconds reach
// the tickers through the event pump, as they would while a pass lets events run.
#pragma once

#include <gtest/gtest.h>

#include "app/MainWindowLogic.h"
#include "platform/KeyCodes.h"
#include "platform/TextCodec.h"
#include "tests/common/TableBuilder.h"
#include "tests/fakes/FakePlatform.h"

namespace norvale {

struct Polling {
    FakePlatform fp;
    MainWindowLogic logic{fp.platform};

    // Seconds passed, and seconds whose ticks have reached the handlers.
    int clock = 0, delivered = 0;
    // Seconds the server takes for an item; the ticks of that time arrive at the next pump.
    std::map<std::string, int> secondsFor;
    // Answers by "topic|item"; anything else gets `fallback`.
    std::map<std::string, std::string> quotes;
    std::string fallback = "100";
    // A server that fails every request, its conversations included.
    bool failing = false;
    // Milliseconds of the DDEML's clock that each answer takes; past the limit it is a time-out.
    std::int64_t answerMs = 0;
    // Called before every answer, with the request's number from 1.
    std::function<void(int, const std::string&, const std::string&)> onRequest;
    int served = 0;
    // Actions that the user takes while request k is under way; they run with the pending
    // events at the next pump, before the following request.
    std::map<int, std::function<void()>> afterRequest;
    std::vector<std::function<void()>> queued;

    // Started watching `watched` ("7203", "9984.oj": test::BrandOf), which the master holds with
    // `known` (to be typed in later) and then the lines of `master` (UTF-8).
    explicit Polling(const std::vector<std::string>& watched = {}, const std::vector<std::string>& known = {},
                     std::string master = "") {
        fp.window.events = &logic;
        const test::TestFiles files = test::FilesOf(watched, known);
        master = files.master + master;
        if (!master.empty()) fp.files.files[fp.files.InProgramFolder(kBrandMasterFileName)] = Utf8ToCp932(master);
        if (!watched.empty()) fp.files.files[fp.files.InProgramFolder(kWatchListFileName)] = files.watchList;
        EXPECT_TRUE(logic.StartUp());
        // The server sees and answers CP932, as the DDE layer sends and expects it.
        fp.ddeml.server = [this](const std::string& ansiTopic, const std::string& ansiItem) -> FakeDdeml::Reply {
            const std::string topic = Cp932ToUtf8(ansiTopic);
            const std::string item = Cp932ToUtf8(ansiItem);
            ++served;
            if (onRequest) onRequest(served, topic, item);
            if (afterRequest.contains(served)) queued.push_back(afterRequest[served]);
            if (secondsFor.contains(item)) clock += secondsFor[item];
            if (failing) return {std::nullopt, dmlerr::kNotProcessed};
            const auto q = quotes.find(topic + "|" + item);
            return {Utf8ToCp932(q != quotes.end() ? q->second : fallback), dmlerr::kNotProcessed, answerMs};
        };
        fp.events.every = [this](int) {
            for (auto& a : std::exchange(queued, {})) a();
            Deliver();
        };
    }

    // Both tickers tick once per second, the wait ticker first; a ticker switched on during a
    // second ticks from the next one.
    void Deliver() {
        while (delivered < clock) {
            ++delivered;
            const bool wait = fp.waitTicker.enabled;
            const bool load = fp.loadTicker.enabled;
            if (wait && fp.waitTicker.enabled) logic.WaitTick();
            if (load && fp.loadTicker.enabled) logic.LoadTick();
        }
    }
    void Idle(int seconds) {
        for (int s = 0; s < seconds; ++s, Deliver()) ++clock;
    }

    // Types a code the master knows and Enter, as the trader adds a brand.
    void Add(const std::string& code) {
        Type(code);
        Keys({key::kEnter});
    }
    const WatchEntry& Entry(int j) const { return logic.Table().Entry(j); }
    const WatchTable& Table() const { return logic.Table(); }
    // The codes in display order.
    std::vector<std::string> ShownCodes() const {
        std::vector<std::string> codes;
        for (int r = 0; r < Table().Count(); ++r) codes.push_back(Entry(Table().SlotInRow(r)).codeText);
        return codes;
    }
    const PollingState& State() const { return logic.Polling(); }
    void Keys(std::initializer_list<int> codes) {
        for (int c : codes) logic.KeyReleasedOnTable(static_cast<std::int16_t>(c));
    }
    void Type(const std::string& typed) {
        for (char c : typed) Keys({c >= 'A' ? key::kLetterA + (c - 'A') : key::kDigit0 + (c - '0')});
    }
    void ClickAt(int y) {
        fp.window.pointerY = y;
        logic.TableClicked();
    }
    // Marks slot for removal with Delete, as the trader does: click its row, then the key.
    void Delete(int slot) {
        for (int r = 0; r < Table().Count(); ++r) {
            if (Table().SlotInRow(r) != slot) continue;
            ClickAt(kRowHeight * (r + 1));
            Keys({key::kDelete});
            return;
        }
    }
    void ChooseSortKey(int index) {
        fp.window.SelectListItem(DropDown::SortKey, index);
        logic.SortKeyChosen();
    }
    // A pass whose prices rank the brands in reverse slot order by key 2 (previous-close rate, descending).
    void RankReversedByAPass() {
        for (int k = 0; k < Table().Count(); ++k) quotes[Entry(k).topic + "|現在値"] = std::to_string(101 + k);
        ChooseSortKey(2);
        ASSERT_EQ(logic.RunPass(), PassExit::Completed);
        ASSERT_EQ(Table().SlotInRow(0), Table().Count() - 1);
    }

    // The items requested of the server, as "topic,item", in order.
    std::vector<std::string> Requests() const {
        std::vector<std::string> out;
        for (const auto& line : fp.ddeml.log)
            if (line.starts_with("Request(")) out.push_back(Cp932ToUtf8(line.substr(8, line.size() - 9)));
        return out;
    }
    int RequestsFor(const std::string& topic) const {
        return static_cast<int>(std::ranges::count_if(Requests(), [&](auto& r) { return r.starts_with(topic + ","); }));
    }
    void ForgetRequests() { fp.ddeml.log.clear(); }

    const std::string& Panel(StatusPanel panel) const { return fp.statusBar.Panel(panel); }
    // The first surface operation since the test cleared them (Clear: the table cleared and drawn anew).
    std::optional<SurfaceOp::Kind> FirstDrawn() const {
        return fp.tableSurface.ops.empty() ? std::nullopt : std::optional(fp.tableSurface.ops.front().kind);
    }
};

}  // namespace norvale
